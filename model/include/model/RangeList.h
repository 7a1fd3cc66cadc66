// The range field of a parameter definition: '/'-separated single values and intervals such as
// "0-3000", "0/1" or "(-10)-(-5)". Answers whether a value satisfies the condition and gives the
// overall minimum and maximum that the step derivation clamps to.
#pragma once

#include <limits>
#include <string_view>
#include <vector>

namespace model {

class CRangeList {
public:
    struct Entry {
        int interval = 0; // 0 single value (low == high), 1 interval
        double low = 0.0;
        double high = 0.0;
    };

    CRangeList() = default;

    // Reads the range text, replacing whatever the list held. Always returns 1: an item that holds
    // no number reads as 0, as the C library's conversion does.
    int Parse(std::string_view text);

    // 1 when an interval holds the value (bounds included) or a single value equals it exactly;
    // 0 otherwise and for an empty list.
    int Contains(double value) const;

    const std::vector<Entry>& Entries() const { return m_entries; }
    bool IsEmpty() const { return m_entries.empty(); }
    // DBL_MAX for an empty list.
    double Minimum() const { return m_minimum; }
    // The lowest double for an empty list, so that negative-only ranges report their true maximum.
    double Maximum() const { return m_maximum; }
    // 1 when some interval was written high-to-low ("10-0").
    int Descending() const { return m_descending; }

private:
    std::vector<Entry> m_entries;
    double m_minimum = std::numeric_limits<double>::max();
    double m_maximum = std::numeric_limits<double>::lowest();
    int m_descending = 0;
};

} // namespace model
