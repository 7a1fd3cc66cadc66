// Small text helpers shared by the model's sources (not part of the public interface).
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace model {

inline bool IsBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text without white space (spaces, tabs, CR, LF) at either end.
inline std::string_view TrimSpace(std::string_view text)
{
    while (!text.empty() && IsBlankChar(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankChar(text.back()))
        text.remove_suffix(1);
    return text;
}

inline bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

inline std::string JoinText(std::span<const std::string> parts, char separator)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out.push_back(separator);
        out += parts[i];
    }
    return out;
}

} // namespace model
