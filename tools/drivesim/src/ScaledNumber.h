// Decimal texts as scaled integers (value x 10^decimals), the way the driver keeps its numbers,
// and the small text tools the driver model shares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace drivesim {

// Optional sign, digits, optionally '.' and digits; at least one digit. A number with more
// decimals than `decimals` is taken only when the extra digits are zeros ("1.50" with 1).
bool parseScaled(std::string_view text, int decimals, long long& out);
// "-12.50" for -1250 with 2 decimals; "%lld" with none.
std::string formatScaled(long long value, int decimals);
// A whole number of decimal digits only (no sign), at most 9 of them.
bool parseIndex(std::string_view text, int& out);

// Blanks removed and letters upper-cased: commands are taken without regard to either.
std::string normalised(std::string_view text);
// Splits at every `sep`; an empty text gives no items.
std::vector<std::string> split(std::string_view text, char sep);
// A reply line that quotes received text: bytes outside 0x20..0x7E and '@' become '?', and so
// does a ':' or '#' at the start, so the quoted text is never taken for a prompt or a marker.
std::string quoted(std::string_view text);
// "%04d".
std::string lineNumber(int n);

} // namespace drivesim
