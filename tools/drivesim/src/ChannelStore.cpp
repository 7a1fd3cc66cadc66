#include "ChannelStore.h"

namespace drivesim {

bool ChannelStore::append(int channel, std::string line)
{
    if (m_total >= kMaxLines)
        return false;
    slot(channel).push_back(std::move(line));
    ++m_total;
    return true;
}

bool ChannelStore::replace(int channel, std::vector<std::string> lines)
{
    const int after = m_total - static_cast<int>(slot(channel).size()) + static_cast<int>(lines.size());
    if (after > kMaxLines)
        return false;
    slot(channel) = std::move(lines);
    m_total = after;
    return true;
}

void ChannelStore::clear(int channel)
{
    m_total -= static_cast<int>(slot(channel).size());
    slot(channel).clear();
}

void ChannelStore::clearAll()
{
    for (auto& l : m_lines)
        l.clear();
    m_total = 0;
}

void ChannelStore::insert(int channel)
{
    clear(kChannels - 1);
    for (int ch = kChannels - 1; ch > channel; --ch)
        slot(ch) = std::move(slot(ch - 1));
    slot(channel).clear();
}

void ChannelStore::remove(int channel)
{
    clear(channel);
    for (int ch = channel; ch < kChannels - 1; ++ch)
        slot(ch) = std::move(slot(ch + 1));
    slot(kChannels - 1).clear();
}

} // namespace drivesim
