// Numbers in definition files, documents and driver command texts. They never follow the user's
// locale: a German desktop must still write "1.50", not "1,50", and read "1.50" back as 1.5. Every
// conversion here is built on std::from_chars / std::to_chars, which ignore the locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// The most digits after the point that a value is ever formatted with. Definition files use 0 to 6;
// the cap keeps a garbled decimals field from producing kilobyte-long numbers.
inline constexpr int kMaxDecimals = 15;

// The C library's atof: leading white space, an optional sign, then the longest decimal number
// (digits, point, exponent) at the start of the text. Nothing numeric gives 0. A number too large
// for a double gives +/-DBL_MAX, one too small 0 (never inf or NaN, which no caller can handle).
double ParseLeadingDouble(std::string_view text);

// The C library's atoi: leading white space, an optional sign, decimal digits. Saturates at the
// limits of int instead of overflowing.
int ParseLeadingInt(std::string_view text);

// strtoul(text, nullptr, 16) cut to 32 bits: white space, optional sign and "0x", hex digits.
// Saturates at 0xFFFFFFFF.
std::uint32_t ParseLeadingHex(std::string_view text);

// The value truncated toward zero, saturated at the limits of the type; NaN gives 0.
int TruncateToInt(double value);
long long TruncateToLong(double value);

// "%.Nf" with N = decimals (clamped to 0..kMaxDecimals).
std::string FormatFixed(double value, int decimals);

// "%ld" of the value truncated toward zero.
std::string FormatTruncated(double value);

// "%d" and "%x" (lower case).
std::string FormatInt(long long value);
std::string FormatHex(std::uint32_t value);

// Text up to its first NUL byte: the files and driver replies carry C strings, so a NUL inside a
// line ends it, as every reader of these files expects.
std::string_view CutAtNul(std::string_view text);

} // namespace model
