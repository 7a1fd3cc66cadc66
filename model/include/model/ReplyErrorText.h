// The driver's error texts as the communication library knows them, for callers that must find
// one inside a longer reply (the library itself only looks at a reply's start, and does not
// export its table).
#pragma once

#include <platform/language.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// The result code (0x4000000c-0x40000015) of the first row of the error table whose text occurs
// anywhere in reply, the rows tried in the table's order; 0 when none does.
std::uint32_t FindDriverErrorText(std::string_view reply);

// What to tell the user the driver answered to a command that ended in `state`: the reply line
// holding one of the driver's error texts, else its last line, else (nothing came back: a time-out,
// a lost line, an abort) the program's text for the state or for no response.
std::string DriverReplyForUser(std::string_view reply, std::uint32_t state, plat::LANGID language);

} // namespace model
