// The driver holds at most 1024 program lines over all 256 channels. The budget keeps how many
// lines remain, whether the channels already exceed the limit, and whether some channel has not
// been read from the driver yet (its lines are unknown, so the count is not shown).
#pragma once

#include <model/DataFile.h>

#include <functional>
#include <string>

namespace talverin {

struct LineTally {
    int lines = 0;       // lines over all channels
    bool unread = false; // some channel still has read state -1
};

class ChannelLineBudget {
public:
    static constexpr int kLineLimit = 1024;
    using Source = std::function<LineTally()>;

    explicit ChannelLineBudget(Source source = {}) : m_source(std::move(source)) {}
    void setSource(Source source) { m_source = std::move(source); }

    // Counts afresh from the source (RecountRemaining).
    void Recount();
    // Takes n lines (-1 gives one back), clamped at 0; counts afresh instead while the channels
    // exceed the limit, since then the remainder is not a difference of two known numbers.
    void ConsumeLines(int n);

    int remaining() const { return m_remaining; }
    bool overLimit() const { return m_overLimit; }
    bool unread() const { return m_unread; }
    // The lines exceed the limit and every channel is known: the user must delete lines.
    bool mustDeleteLines() const { return m_overLimit && !m_unread; }

    // The sum over the store's 256 channels: the lines each program holds (an empty slot has
    // none and is unread), except the current channel, for which `currentUsedRows` counts when it
    // is not negative (the list is modified and not stored yet). Take the data mutex around it.
    static LineTally Tally(const model::CDataFile::ChannelArray* channels, int currentChannel, int currentUsedRows);

private:
    Source m_source;
    int m_remaining = kLineLimit;
    bool m_overLimit = false;
    bool m_unread = false;
};

} // namespace talverin
