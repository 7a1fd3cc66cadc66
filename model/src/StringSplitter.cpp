#include "model/StringSplitter.h"

#include "model/NumberText.h"

namespace model {

namespace {

// The characters that make an item "numeric": those between '(' and '9' in code order, except
// '*', ',' and '/'. That is the digits and ( ) + - .
bool isNumericChar(char c)
{
    return c >= '(' && c <= '9' && c != '*' && c != ',' && c != '/';
}

} // namespace

void StringSplitter::Init()
{
    m_tokens.clear();
}

void StringSplitter::Free()
{
    m_tokens.clear();
    m_tokens.shrink_to_fit();
}

const std::string& StringSplitter::Token(int index) const
{
    static const std::string empty;
    if (index < 0 || index >= Count())
        return empty;
    return m_tokens[static_cast<std::size_t>(index)];
}

std::string StringSplitter::Filter(std::string_view text, unsigned flags)
{
    text = CutAtNul(text);
    std::string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    for (const char c : text) {
        if (c == ' ' && (flags & (kRemoveSpaces | kCollapseSpaces))) {
            pendingSpace = true;
            continue;
        }
        if (c == '\t' && (flags & kRemoveTabs))
            continue;
        if ((c == '(' || c == ')') && (flags & kRemoveParens))
            continue;
        if (pendingSpace && (flags & kCollapseSpaces) && !out.empty())
            out.push_back(' ');
        pendingSpace = false;
        out.push_back(c);
    }
    return out;
}

int StringSplitter::Split(std::string_view text, char separator, unsigned flags)
{
    text = CutAtNul(text);
    if (text.empty())
        return 0;
    Free();
    // Splitting at spaces with every filter on would remove the separators themselves; collapsing
    // keeps exactly one space between words.
    if (separator == ' ' && flags == kAll)
        flags = kAll & ~kRemoveSpaces;
    const std::string filtered = Filter(text, flags);
    std::size_t start = 0;
    for (;;) {
        const auto pos = filtered.find(separator, start);
        if (pos == std::string::npos) {
            m_tokens.emplace_back(filtered.substr(start));
            break;
        }
        m_tokens.emplace_back(filtered.substr(start, pos - start));
        start = pos + 1;
    }
    return Count();
}

int StringSplitter::ClassifyItems(std::string_view text)
{
    if (Split(text, '/', kRemoveSpaces | kRemoveTabs | kCollapseSpaces) == 0)
        return kItemsNone;
    bool numeric = false;
    bool other = false;
    for (const auto& item : m_tokens) {
        for (const char c : item) {
            if (numeric && other)
                break;
            if (isNumericChar(c))
                numeric = true;
            else
                other = true;
        }
    }
    if (numeric && other)
        return kItemsMixed;
    if (numeric)
        return kItemsNumeric;
    if (other)
        return kItemsText;
    return kItemsNone;
}

int StringSplitter::FilterItems(std::string_view text, unsigned mode, std::string& out)
{
    out.clear();
    // An empty text splits into nothing (and leaves older tokens in place, which must not count).
    const int count = Split(text, '/', kRemoveSpaces | kRemoveTabs | kCollapseSpaces);
    int taken = 0;
    for (int i = 0; i < count; ++i) {
        const std::string& item = m_tokens[static_cast<std::size_t>(i)];
        bool take = false;
        for (const char c : item) {
            const unsigned kind = isNumericChar(c) ? 1u : 2u;
            if (mode & kind) {
                take = true;
                break;
            }
        }
        if (!take)
            continue;
        if (!out.empty())
            out.push_back('/');
        out += item;
        ++taken;
    }
    return taken;
}

} // namespace model
