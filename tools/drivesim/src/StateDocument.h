// A document (.zrd) read by the simulator itself, to seed the driver with values, pins and
// channel programs: every record goes to the driver as a download sends it (';' comments and
// blanks dropped; "CHn", "PIn" and "POn" take the records up to the next empty one as their
// block), and the first one the driver refuses ends the reading.
#pragma once

#include <string>

namespace drivesim {

class ModelState;

class StateDocument {
public:
    // Expects the state's mutex held. The lock is not asked while the document is applied.
    static bool apply(ModelState& state, const std::string& text, std::string& error);
};

} // namespace drivesim
