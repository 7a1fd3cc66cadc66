// Small text helpers shared by the model's sources (not part of the public interface).
#pragma once

#include <platform/text.h>

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

// The first CR or LF at or after `from`; npos when none. (find_first_of("\r\n") looks every
// character up in the set through a library call: a tenth of a unit file's load.)
inline std::size_t FindLineEnd(std::string_view text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n')
            return i;
    }
    return std::string_view::npos;
}

inline bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The text cut to at most `maxChars` characters; a UTF-8 sequence is never cut in two. A text
// that is not UTF-8 is cut after `maxChars` bytes.
inline std::string_view CapChars(std::string_view text, std::size_t maxChars)
{
    if (!plat::IsValidUtf8(text))
        return text.substr(0, maxChars);
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && chars++ == maxChars)
            return text.substr(0, i);
    }
    return text;
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
