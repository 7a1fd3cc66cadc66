#include "model/NumberText.h"

#include <charconv>
#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

namespace model {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Decimal order of magnitude of the number at p (digits, point, exponent), used only to tell an
// overflow from an underflow when from_chars reports "out of range".
long long magnitudeOf(const char* p, const char* end)
{
    long long intDigits = 0;
    long long fracZeros = 0;
    bool seenNonZero = false;
    while (p < end && isDigit(*p)) {
        if (*p != '0' || seenNonZero) {
            seenNonZero = true;
            ++intDigits;
        }
        ++p;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && isDigit(*p)) {
            if (!seenNonZero) {
                if (*p == '0')
                    ++fracZeros;
                else
                    seenNonZero = true;
            }
            ++p;
        }
    }
    long long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-')) {
            negative = *p == '-';
            ++p;
        }
        while (p < end && isDigit(*p)) {
            if (exponent < 1000000)
                exponent = exponent * 10 + (*p - '0');
            ++p;
        }
        if (negative)
            exponent = -exponent;
    }
    return (intDigits > 0 ? intDigits - 1 : -(fracZeros + 1)) + exponent;
}

} // namespace

std::string_view CutAtNul(std::string_view text)
{
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

double ParseLeadingDouble(std::string_view text)
{
    text = CutAtNul(text);
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && isSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Only plain decimal numbers: no "inf", "nan" or hex forms, which no file of ours holds and
    // which would poison every calculation that follows.
    const bool startsNumber = p < end && (isDigit(*p) || (*p == '.' && p + 1 < end && isDigit(p[1])));
    if (!startsNumber)
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = magnitudeOf(p, end) > 0 ? DBL_MAX : 0.0;
    else if (result.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

int ParseLeadingInt(std::string_view text)
{
    text = CutAtNul(text);
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::uint32_t ParseLeadingHex(std::string_view text)
{
    text = CutAtNul(text);
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && hexValue(text[i + 2]) >= 0)
        i += 2;
    std::uint64_t value = 0;
    for (; i < text.size() && hexValue(text[i]) >= 0; ++i) {
        value = value * 16 + static_cast<std::uint64_t>(hexValue(text[i]));
        if (value > 0xFFFFFFFFu)
            value = 0xFFFFFFFFu + std::uint64_t{1};
    }
    if (value > 0xFFFFFFFFu)
        return 0xFFFFFFFFu;
    const auto v32 = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - v32) : v32;
}

int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

long long TruncateToLong(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exactly representable; anything at or above it does not fit.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit)
        return LLONG_MAX;
    if (value < -kLimit)
        return LLONG_MIN;
    return static_cast<long long>(value);
}

std::string FormatFixed(double value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > kMaxDecimals)
        decimals = kMaxDecimals;
    // DBL_MAX has 309 integer digits; sign, point and the decimals fit comfortably.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return std::string();
    return std::string(buffer, result.ptr);
}

std::string FormatTruncated(double value)
{
    return FormatInt(TruncateToLong(value));
}

std::string FormatInt(long long value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatHex(std::uint32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    return std::string(buffer, result.ptr);
}

} // namespace model
