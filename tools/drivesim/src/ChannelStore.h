// The driver's 256 channel programs, with one limit on the lines of all of them together.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace drivesim {

class ChannelStore {
public:
    static constexpr int kChannels = 256;
    static constexpr int kMaxLines = 1024;

    static bool valid(int channel) { return channel >= 0 && channel < kChannels; }

    const std::vector<std::string>& lines(int channel) const { return m_lines.at(static_cast<std::size_t>(channel)); }
    int total() const { return m_total; }
    // False when the limit is reached.
    bool append(int channel, std::string line);
    // Replaces a program; false (nothing changed) when the limit would be passed.
    bool replace(int channel, std::vector<std::string> lines);
    void clear(int channel);
    void clearAll();
    // Channels channel..254 move up one; the old 255 is lost; `channel` is empty.
    void insert(int channel);
    // Channels channel+1..255 move down one; 255 is empty.
    void remove(int channel);

private:
    std::vector<std::string>& slot(int channel) { return m_lines.at(static_cast<std::size_t>(channel)); }

    std::array<std::vector<std::string>, kChannels> m_lines;
    int m_total = 0;
};

} // namespace drivesim
