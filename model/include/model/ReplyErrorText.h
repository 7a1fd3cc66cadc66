// The driver's error texts as the communication library knows them, for callers that must find
// one inside a longer reply (the library itself only looks at a reply's start, and does not
// export its table).
#pragma once

#include <cstdint>
#include <string_view>

namespace model {

// The result code (0x4000000c-0x40000015) of the first row of the error table whose text occurs
// anywhere in reply, the rows tried in the table's order; 0 when none does.
std::uint32_t FindDriverErrorText(std::string_view reply);

} // namespace model
