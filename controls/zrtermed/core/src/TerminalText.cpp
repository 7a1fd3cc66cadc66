#include "zrtermed/TerminalText.h"

#include <algorithm>

namespace zrtermed {

namespace {

// A string this long, added to the text with the spare room, trims the text first.
constexpr std::size_t kTrimThreshold = 0x8000;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

bool TerminalText::put(int i, char c)
{
    if (i == length()) {
        m_text.push_back(c);
        m_pairs += pairAt(i - 1);
        return true;
    }
    if (m_text[i] == c)
        return false;
    m_pairs -= pairAt(i - 1) + pairAt(i);
    m_text[i] = c;
    m_pairs += pairAt(i - 1) + pairAt(i);
    return true;
}

int TerminalText::trimFront()
{
    const int dropped = std::min(kTrimLength, length());
    if (dropped == 0)
        return 0;
    // A CR LF pair split here leaves a lone line feed at the front: harmless, it shows as a
    // line break.
    m_text.erase(0, static_cast<std::size_t>(dropped));
    m_cursor = std::max(0, m_cursor - dropped);
    m_caret = std::max(0, m_caret - dropped);
    countPairs();
    return dropped;
}

void TerminalText::countPairs()
{
    m_pairs = 0;
    for (int i = 0; i + 1 < length(); ++i)
        m_pairs += pairAt(i);
}

TerminalText::Change TerminalText::addString(std::string_view s, bool bufferAdd)
{
    Change change{-1, false};
    auto touched = [&change](int i) {
        if (change.from < 0 || i < change.from)
            change.from = i;
    };
    auto trim = [this, &change] {
        const int dropped = trimFront();
        change.whole = change.whole || dropped > 0;
        return dropped;
    };
    m_cursor = std::clamp(m_cursor, 0, length());

    if (!s.empty() && m_text.size() + s.size() + kSpare >= kTrimThreshold)
        trim();

    for (const char c : s) {
        switch (c) {
        case '\0':
            break;
        case '\b':
            if (m_cursor >= 2 && m_text[m_cursor - 1] == '\n' && m_text[m_cursor - 2] == '\r')
                m_cursor -= 2;
            else if (m_cursor > 0)
                --m_cursor;
            break;
        case '\r':
            while (m_cursor > 0 && !isLineEnd(m_text[m_cursor - 1]))
                --m_cursor;
            break;
        case '\n': {
            int at = m_cursor;
            while (at < length() && !isLineEnd(m_text[at]))
                ++at;
            if (at + 2 > kMaxLength)
                at -= trim();
            if (put(at, '\r'))
                touched(at);
            if (put(at + 1, '\n'))
                touched(at + 1);
            m_cursor = at + 2;
            break;
        }
        default:
            if (m_cursor >= kMaxLength)
                trim();
            if (put(m_cursor, c))
                touched(m_cursor);
            ++m_cursor;
            break;
        }
    }

    // Blanks after the cursor are what an overwritten line left over: cut them so that the
    // caret stands where the next output goes.
    const int end = length();
    m_caret = end;
    if (m_cursor < end
        && std::all_of(m_text.begin() + m_cursor, m_text.end(), [](char c) { return c == ' '; })) {
        m_text.resize(static_cast<std::size_t>(m_cursor));
        touched(m_cursor);
        m_caret = m_cursor;
    }

    if (bufferAdd) {
        for (const char c : s)
            if (c != '\0')
                m_typed.push_back(c);
    }
    if (change.whole)
        change.from = 0;
    return change;
}

void TerminalText::reset()
{
    clear(true, true);
}

void TerminalText::clear(bool text, bool typedLine)
{
    if (text) {
        m_text.clear();
        m_cursor = m_caret = m_pairs = 0;
    }
    if (typedLine)
        m_typed.clear();
}

TerminalText::Typed TerminalText::type(int ch, bool enterOnCharEnabled)
{
    Typed t;
    t.ch = upperCased(ch);
    if (t.ch == '\r') {
        t.keyEnterLine = std::move(m_typed);
        m_typed.clear();
        if (enterOnCharEnabled)
            t.onChar = t.ch;
    } else {
        m_typed.push_back(static_cast<char>(t.ch));
        t.onChar = t.ch;
    }
    return t;
}

void TerminalText::moveToEnd()
{
    m_cursor = m_caret = length();
}

void TerminalText::replace(int from, int to, std::string_view bytes)
{
    from = std::clamp(from, 0, length());
    to = std::clamp(to, from, length());
    m_text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), bytes);
    countPairs();
    m_cursor = std::clamp(m_cursor, 0, length());
    m_caret = std::clamp(from + static_cast<int>(bytes.size()), 0, length());
}

int TerminalText::viewIndex(int index) const
{
    index = std::clamp(index, 0, length());
    if (pairAt(index - 1))
        --index;
    // Pairs from index on; those before it are the rest of the count.
    int after = 0;
    for (int i = index; i + 1 < length(); ++i)
        after += pairAt(i);
    return index - (m_pairs - after);
}

int TerminalText::textIndex(int viewIndex) const
{
    int i = 0;
    for (int v = 0; i < length() && v < viewIndex; ++v)
        i += pairAt(i) ? 2 : 1;
    return i;
}

} // namespace zrtermed
