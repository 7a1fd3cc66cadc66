#include "model/RangeList.h"

#include "model/NumberText.h"
#include "model/StringSplitter.h"

#include <string>

namespace model {

namespace {

// Reads at most two numbers from one item, character by character. A '-' is a minus sign at the
// start of the item and inside parentheses, the interval dash elsewhere; negative upper bounds
// need parentheses ("(-10)-(-5)").
int readItem(const std::string& item, double numbers[2])
{
    enum class Paren { None, Inside, AfterClosing };
    Paren state = Paren::None;
    std::size_t start = 0;
    int count = 0;
    bool dashAfterClosing = false;
    auto read = [&](std::size_t from, std::size_t to) {
        numbers[count++] = ParseLeadingDouble(std::string_view(item).substr(from, to - from));
    };
    for (std::size_t pos = 0; pos <= item.size() && count < 2; ++pos) {
        const char c = pos < item.size() ? item[pos] : '\0';
        if (c == '(') {
            start = pos;
            state = Paren::Inside;
        } else if (c == ')') {
            const std::size_t from = start < pos ? start + 1 : pos;
            read(from, pos);
            if (count == 1)
                state = Paren::AfterClosing;
        } else if (c == '-' && state != Paren::Inside) {
            if (state == Paren::AfterClosing) {
                start = pos + 1;
                dashAfterClosing = true;
            } else if (pos != 0) {
                read(start, pos);
                start = pos + 1;
            }
        } else if (c == '\0') {
            // A lone parenthesized number such as "(5)" is that single value: nothing follows it.
            if (state == Paren::AfterClosing && !dashAfterClosing)
                break;
            read(start < item.size() ? start : item.size(), item.size());
        }
    }
    return count;
}

} // namespace

int CRangeList::Parse(std::string_view text)
{
    m_entries.clear();
    m_minimum = std::numeric_limits<double>::max();
    m_maximum = std::numeric_limits<double>::lowest();
    m_descending = 0;

    StringSplitter splitter;
    const int count = splitter.Split(text, '/',
        StringSplitter::kRemoveSpaces | StringSplitter::kRemoveTabs | StringSplitter::kCollapseSpaces);
    m_entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        double numbers[2] = {0.0, 0.0};
        const int n = readItem(splitter.Token(i), numbers);
        Entry entry;
        if (n < 2) {
            entry.low = entry.high = numbers[0];
        } else {
            entry.interval = 1;
            entry.low = numbers[0] < numbers[1] ? numbers[0] : numbers[1];
            entry.high = numbers[0] < numbers[1] ? numbers[1] : numbers[0];
            if (numbers[0] > numbers[1])
                m_descending = 1;
        }
        if (entry.low < m_minimum)
            m_minimum = entry.low;
        if (!(m_maximum >= entry.high))
            m_maximum = entry.high;
        m_entries.push_back(entry);
    }
    return 1;
}

int CRangeList::Contains(double value) const
{
    for (const auto& entry : m_entries) {
        if (entry.interval) {
            if (entry.low <= value && value <= entry.high)
                return 1;
        } else if (value == entry.low) {
            return 1;
        }
    }
    return 0;
}

} // namespace model
