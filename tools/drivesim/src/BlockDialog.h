// The question dialogs of the block commands. After "CHn" the driver asks for line after line
// ("0003?", numbered from the channel's next line); each answer is taken or refused at once
// ("XYZ10?", then the same number again); an empty answer ends it. After "PIn" / "POn" it asks
// for the fields ("0000?", "0001?", ...) and checks them at the empty answer: a "<field>?" line
// for each refused one, then the error text of the first. A backspace abandons either (the line
// editor answers it with the prompt); channel lines taken so far stay.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drivesim/ModelTypes.h"
#include "drivesim/Program.h"

namespace drivesim {

class ModelState;

// Both expect the state's mutex held; their handlers take it themselves.
Program channelBlock(const std::shared_ptr<ModelState>& state, int channel);
Program pinBlock(const std::shared_ptr<ModelState>& state, PinSide side, int io, std::vector<std::string> fields);

} // namespace drivesim
