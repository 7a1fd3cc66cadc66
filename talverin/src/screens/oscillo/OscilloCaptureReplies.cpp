// The driver's replies applied: the capture data into the data store's rows, the settings
// replies onto the screen.
#include "screens/oscillo/OscilloCapture.h"

#include "connection/DriverQueue.h"
#include "screens/oscillo/CaptureDataParser.h"
#include "screens/oscillo/CaptureScreen.h"
#include "screens/oscillo/SettingReply.h"

#include <model/DataFile.h>
#include <model/NumberText.h>
#include <model/SharedData.h>

#include <zrcomm/zrcomm.h>

#include <algorithm>
#include <charconv>

namespace talverin {

namespace {

bool inRange(int tag, int first, int last)
{
    return tag >= first && tag <= last;
}

// "0" or "1" exactly; -1 for anything else.
int edgeValue(std::string_view text)
{
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && (value == 0 || value == 1) ? value : -1;
}

} // namespace

void OscilloCapture::ParseCaptureData(const std::string& reply)
{
    model::OscilloDataBlock& block = m_store.m_oscillo;
    const int count = m_sampleCount;
    {
        model::SharedLock lock(m_store.GetOscilloMutex());
        m_store.m_lastCaptureReply = reply;
        block.ClearSamples();
        const CaptureRows parsed = ParseCaptureRows(reply, count, block.m_samples);
        if (!parsed.hasHeader)
            return;
        block.m_headerLine = parsed.header;
        if (m_autoFlag == 0) {
            const int kept = KeptCaptureRows(static_cast<int>(block.m_samples.size()), count, m_store.m_drawMode);
            block.m_samples.resize(static_cast<std::size_t>(kept));
        }
    }
    if (m_autoFlag != 0 || m_store.m_drawMode == 1 || m_store.m_drawMode == 2)
        m_screen.scopeDrawMode(1);
    m_screen.scopeLockPaint(false);
    m_screen.scopeUpdateData(count, block.m_captureInfo.m_length, count);
}

std::uint32_t OscilloCapture::ApplySettingReply(std::int32_t commandId, int tag, const std::string* reply)
{
    using namespace OscilloId;
    using Kind = SettingReplyLine::Kind;
    if (!reply)
        return COMM_REPLY_UNKNOWN_COMMAND;
    const std::vector<std::string_view> lines = SplitReplyLines(*reply);

    // A level set answered by the prompt alone: the level is the one the command carried.
    if (inRange(tag, 44, 47) && lines.empty()) {
        const std::string command = m_port.commandLine(commandId, 32);
        if (command.size() >= 3 && command.starts_with("WL")) {
            std::string value = command.substr(3);
            value.erase(std::find_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }), value.end());
            m_screen.setControlText(Level, value);
            m_screen.ReapplyZeroPosition(tag - 43);
        }
        return 0;
    }

    std::uint32_t result = 0;
    for (const std::string_view text : lines) {
        const SettingReplyLine line = ParseSettingReplyLine(text);
        const int channel = line.channel;
        switch (line.kind) {
        case Kind::Source:
            if (channel == 0)
                break;
            if (line.value.find('?') != std::string::npos) {
                m_screen.ShowChannelWithoutSource(channel);
                result = COMM_REPLY_UNKNOWN_OPTION;
            } else if (m_screen.ApplyChannelSource(channel, line.value)) {
                SendChannelSource(channel, CaptureTag::Source1 - 1 + channel);
            }
            break;
        case Kind::Level:
            if (channel != 0 && inRange(tag, 40, 43)) {
                m_screen.ApplySourceLevelReply(channel, line.value);
            } else if (inRange(tag, 58, 61)) {
                const int trigger = TriggerChannel();
                if (trigger != 0 && tag == CaptureTag::LevelQuery1 - 1 + trigger) {
                    m_screen.setControlText(Level, line.value);
                    m_screen.RunRangeCheck(Level);
                }
            }
            break;
        case Kind::Resolution: {
            // A newer resolution set is still on its way: this answer is already out of date.
            if ((tag == CaptureTag::TimeSet || tag == CaptureTag::ResolutionQuery) && !m_lastResolutionCommand.empty()
                && m_port.findCommand(m_lastResolutionCommand) != 0)
                break;
            const int res = TruncateSetting(model::ParseLeadingDouble(line.value) * 0.05);
            m_screen.setControlText(Resolution, model::FormatInt(res));
            m_screen.setSliderValue(ResolutionSlider, 1, res);
            m_screen.setModified(Resolution, false);
            break;
        }
        case Kind::Time: {
            if (tag != CaptureTag::TimeQuery)
                break;
            const std::string shown = model::FormatFixed(std::max(model::ParseLeadingDouble(line.value) * 0.05, 0.1), 1);
            m_screen.setControlText(Time, shown);
            m_screen.setSliderValue(TimeSlider, 1, TruncateSetting(model::ParseLeadingDouble(shown) * 10));
            m_screen.setModified(Time, false);
            break;
        }
        case Kind::Trigger:
            if (channel != 0 && m_screen.comboSelection(Source1 + channel - 1) > 0) {
                for (int c = 1; c <= 4; ++c)
                    m_screen.setChecked(Trigger1 + c - 1, c == channel);
                m_screen.enableControl(Level, true);
                m_screen.ReapplyChannelScale(channel);
            }
            QueryTriggerLevel();
            break;
        case Kind::Position:
            m_screen.setControlText(TriggerPosition, model::FormatFixed(model::ParseLeadingDouble(line.value), 1));
            m_screen.RunRangeCheck(TriggerPosition);
            m_screen.setModified(TriggerPosition, false);
            break;
        case Kind::Edge: {
            const int down = edgeValue(line.value);
            if (down >= 0) {
                m_screen.setChecked(EdgeDown, down == 1);
                m_screen.setChecked(EdgeUp, down == 0);
            }
            break;
        }
        case Kind::Other: break;
        }
    }
    return result;
}

} // namespace talverin
