#include "screens/channel/ChannelLineBudget.h"

namespace talverin {

void ChannelLineBudget::Recount()
{
    const LineTally tally = m_source ? m_source() : LineTally{};
    m_unread = tally.unread;
    m_remaining = kLineLimit - tally.lines;
    m_overLimit = m_remaining < 0;
    if (m_overLimit)
        m_remaining = 0;
}

void ChannelLineBudget::ConsumeLines(int n)
{
    if (m_overLimit) {
        Recount();
        return;
    }
    m_remaining -= n;
    if (m_remaining < 0) {
        m_overLimit = true;
        m_remaining = 0;
    }
}

LineTally ChannelLineBudget::Tally(const model::CDataFile::ChannelArray* channels, int currentChannel,
                                   int currentUsedRows)
{
    LineTally tally;
    for (int channel = 0; channel < model::CDataFile::kChannelCount; ++channel) {
        const model::CChannelProgram* program =
            channels && channel < static_cast<int>(channels->size()) ? (*channels)[static_cast<std::size_t>(channel)].get()
                                                                     : nullptr;
        if (!program || program->m_lineCount == -1)
            tally.unread = true;
        if (channel == currentChannel && currentUsedRows >= 0)
            tally.lines += currentUsedRows;
        else if (program)
            tally.lines += static_cast<int>(program->m_lines.size());
    }
    return tally;
}

} // namespace talverin
