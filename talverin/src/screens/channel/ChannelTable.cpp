#include "screens/channel/ChannelTable.h"

#include <memory>

namespace talverin {

namespace {

constexpr int kCount = model::CDataFile::kChannelCount;

std::unique_ptr<model::CChannelProgram> emptyProgram(int channel, int readState, int writeState)
{
    auto program = std::make_unique<model::CChannelProgram>();
    program->m_channel = channel;
    program->m_lineCount = readState;
    program->m_currentLine = writeState;
    return program;
}

bool validChannel(const model::CDataFile::ChannelArray& channels, int current)
{
    return current >= 0 && current < kCount && static_cast<int>(channels.size()) == kCount;
}

// Numbers the programs from `first` upward after their position, marking the known ones.
void renumber(model::CDataFile::ChannelArray& channels, int first, bool marking)
{
    for (int channel = first; channel < kCount; ++channel) {
        model::CChannelProgram* program = channels[static_cast<std::size_t>(channel)].get();
        if (!program)
            continue;
        program->m_channel = channel;
        if (marking && program->m_lineCount != -1)
            program->m_currentLine = 1;
    }
}

} // namespace

void DeleteChannelLocal(model::CDataFile::ChannelArray& channels, int current, bool marking)
{
    if (!validChannel(channels, current))
        return;
    channels.erase(channels.begin() + current);
    channels.push_back(emptyProgram(kCount - 1, 0, 0));
    renumber(channels, current, marking);
}

void InsertChannelLocal(model::CDataFile::ChannelArray& channels, int current, bool marking)
{
    if (!validChannel(channels, current))
        return;
    channels.pop_back();
    channels.insert(channels.begin() + current, emptyProgram(current, marking ? 0 : -1, 0));
    renumber(channels, current, marking);
}

void ClearAllChannelsLocal(model::CDataFile::ChannelArray& channels, bool marking)
{
    if (static_cast<int>(channels.size()) != kCount)
        channels.resize(kCount);
    for (int channel = 0; channel < kCount; ++channel) {
        auto& slot = channels[static_cast<std::size_t>(channel)];
        if (!slot)
            slot = emptyProgram(channel, 0, 0);
        slot->Clear();
        slot->m_channel = channel;
        slot->m_lineCount = 0;
        slot->m_currentLine = marking ? 1 : 0;
    }
}

std::string UnwrittenChannelList(const model::CDataFile::ChannelArray* channels)
{
    std::string list;
    for (std::size_t channel = 0; channels && channel < channels->size(); ++channel) {
        const model::CChannelProgram* program = (*channels)[channel].get();
        if (program && program->m_currentLine == -1)
            list += (list.empty() ? "" : ", ") + std::to_string(channel);
    }
    return list;
}

} // namespace talverin
