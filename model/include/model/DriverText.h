// Text that comes from the driver (alarm history, replies, a read-all reply) as the data store
// keeps it. The driver may answer in Shift_JIS (code page 932); the store holds UTF-8 only, so
// every such text is converted where it enters the store, and the document writer converts what
// it still meets the same way.
#pragma once

#include <string>
#include <string_view>

namespace model {

// Each line (lines end with CR, LF or CR LF; the ends are kept as they are) that is valid UTF-8
// stays as it is; any other line is decoded as Shift_JIS, and what is not valid there either
// becomes U+FFFD. One line in another encoding never changes the lines around it.
std::string DriverTextToUtf8(std::string_view text);

} // namespace model
