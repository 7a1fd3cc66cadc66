// Lines, trimming and case-insensitive comparison.
#include "platform/text.h"

namespace plat {

// ---- Lines -----------------------------------------------------------------------------------

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.emplace_back(text.substr(start));
    return lines;
}

void LineReader::feed(std::string_view bytes)
{
    // Drop lines already taken before adding more, so a long-running reader does not grow.
    if (m_nextLine > 0 && m_nextLine == m_lines.size()) {
        m_lines.clear();
        m_nextLine = 0;
    }
    std::size_t i = 0;
    if (m_pendingCr && !bytes.empty()) {
        if (bytes[0] == '\n')
            i = 1;
        m_pendingCr = false;
    }
    std::size_t start = i;
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r')
            continue;
        m_partial.append(bytes.substr(start, i - start));
        m_lines.push_back(std::move(m_partial));
        m_partial.clear();
        if (c == '\r') {
            if (i + 1 < bytes.size()) {
                if (bytes[i + 1] == '\n')
                    ++i;
            } else {
                m_pendingCr = true;
            }
        }
        start = i + 1;
    }
    if (start < bytes.size())
        m_partial.append(bytes.substr(start));
}

bool LineReader::next(std::string& line)
{
    if (m_nextLine >= m_lines.size())
        return false;
    line = std::move(m_lines[m_nextLine++]);
    return true;
}

std::optional<std::string> LineReader::finish()
{
    std::optional<std::string> rest;
    if (!m_partial.empty())
        rest = std::move(m_partial);
    m_partial.clear();
    m_lines.clear();
    m_nextLine = 0;
    m_pendingCr = false;
    return rest;
}

// ---- Strings ---------------------------------------------------------------------------------

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimLeftView(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view TrimRightView(std::string_view s)
{
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return s.substr(0, n);
}

std::string_view TrimView(std::string_view s) { return TrimRightView(TrimLeftView(s)); }
std::string Trim(std::string_view s) { return std::string(TrimView(s)); }
std::string TrimLeft(std::string_view s) { return std::string(TrimLeftView(s)); }
std::string TrimRight(std::string_view s) { return std::string(TrimRightView(s)); }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string ToLowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = ToLowerAscii(c);
    return out;
}

std::string ToUpperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = ToUpperAscii(c);
    return out;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(ToLowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(ToLowerAscii(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

std::size_t FindNoCase(std::string_view s, std::string_view needle, std::size_t from)
{
    if (needle.size() > s.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= s.size(); ++i) {
        if (EqualsNoCase(s.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

} // namespace plat
