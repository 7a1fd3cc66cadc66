#include "ScaledNumber.h"

#include <cctype>
#include <cstdio>

namespace drivesim {

bool parseScaled(std::string_view text, int decimals, long long& out)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    int digits = 0;
    int fraction = -1;   // digits after the point so far; -1 before the point
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && fraction < 0) {
            fraction = 0;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        ++digits;
        if (fraction >= 0 && fraction >= decimals) {
            if (c != '0')
                return false;   // not representable with the parameter's decimals
            continue;
        }
        if (value > 99'999'999'999'999LL)
            return false;
        value = value * 10 + (c - '0');
        if (fraction >= 0)
            ++fraction;
    }
    if (digits == 0)
        return false;
    for (int f = fraction < 0 ? 0 : fraction; f < decimals; ++f) {
        if (value > 99'999'999'999'999LL)
            return false;
        value *= 10;
    }
    out = negative ? -value : value;
    return true;
}

std::string formatScaled(long long value, int decimals)
{
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    if (decimals > 0) {
        const auto d = static_cast<std::size_t>(decimals);
        if (digits.size() <= d)
            digits.insert(0, d + 1 - digits.size(), '0');
        digits.insert(digits.size() - d, ".");
    }
    return negative ? "-" + digits : digits;
}

bool parseIndex(std::string_view text, int& out)
{
    if (text.empty() || text.size() > 9)
        return false;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    out = value;
    return true;
}

std::string normalised(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != ' ' && c != '\t')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::string> split(std::string_view text, char sep)
{
    std::vector<std::string> items;
    if (text.empty())
        return items;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(sep, from);
        items.emplace_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return items;
        from = at + 1;
    }
}

std::string quoted(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b > 0x7E || c == '@')
            c = '?';
    }
    if (!out.empty() && (out[0] == ':' || out[0] == '#'))
        out[0] = '?';
    return out;
}

std::string lineNumber(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", n);
    return buf;
}

} // namespace drivesim
