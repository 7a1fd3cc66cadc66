#include "screens/oscillo/CaptureCommands.h"

#include <model/NumberText.h>

#include <platform/text.h>

#include <cmath>

namespace talverin {

namespace {

std::string withLetter(const char* prefix, int channel)
{
    std::string text(prefix);
    text += ChannelLetter(channel);
    return text;
}

} // namespace

char ChannelLetter(int channel)
{
    return channel >= 1 && channel <= 4 ? static_cast<char>('A' + channel - 1) : '\0';
}

int ChannelFromLetter(char letter)
{
    return letter >= 'A' && letter <= 'D' ? letter - 'A' + 1 : 0;
}

CaptureCommand TriggerStopCommand(bool pause)
{
    return {"WTA\r", pause ? "Send trigger pause command" : "Send trigger stop command"};
}

CaptureCommand TriggerStartCommand(bool autoMode)
{
    return {autoMode ? "WTR1\r" : "WTR0\r", "Send trigger start comand"};
}

CaptureCommand ChannelSourceSetCommand(int channel, std::string_view source)
{
    std::string text = withLetter("WV", channel);
    text += source.empty() ? std::string_view("-1") : source;
    return {text + "\r", "Send channel source setting command"};
}

CaptureCommand ChannelSourceQueryCommand(int channel)
{
    return {withLetter("?WV", channel) + "\r", "Send channel source monitoring command"};
}

CaptureCommand TriggerChannelSetCommand(int channel)
{
    return {withLetter("WTC", channel) + "\r", "Send trigger setting command"};
}

CaptureCommand TriggerChannelQueryCommand()
{
    return {"?WTC\r", "Send trigger monitoring command"};
}

std::optional<CaptureCommand> TriggerLevelSetCommand(int channel, std::string_view level)
{
    const std::string_view trimmed = plat::TrimView(level);
    if (trimmed.empty() || ChannelLetter(channel) == '\0')
        return std::nullopt;
    return CaptureCommand{withLetter("WL", channel) + std::string(trimmed) + "\r", "Send trigger level setting command"};
}

CaptureCommand TriggerLevelQueryCommand(int channel)
{
    return {withLetter("?WL", channel) + "\r", "Send trigger level monitoring command"};
}

CaptureCommand RecordTimeSetCommand(double timePerDivision)
{
    return {"WHL" + model::FormatFixed(timePerDivision * 20, 1) + "\r", "Send record time setting command"};
}

CaptureCommand RecordTimeQueryCommand()
{
    return {"?WHL\r", "Send record time monitoring command"};
}

CaptureCommand RecordResolutionSetCommand(double resolution)
{
    return {"WHR" + model::FormatInt(static_cast<long long>(SampleCount(resolution)) + 1) + "\r",
            "Send record resolution setting command"};
}

CaptureCommand RecordResolutionQueryCommand()
{
    return {"?WHR\r", "Send record resolution monitoring command"};
}

CaptureCommand TriggerEdgeSetCommand(bool down)
{
    return {down ? "WTV1\r" : "WTV0\r", "Send trigger edge setting command"};
}

CaptureCommand TriggerEdgeQueryCommand()
{
    return {"?WTV\r", "Send trigger edge monitoring command"};
}

CaptureCommand TriggerPositionSetCommand(double percent)
{
    return {"WTH" + model::FormatFixed(percent, 1) + "\r", "Send trigger position setting command"};
}

CaptureCommand TriggerPositionQueryCommand()
{
    return {"?WTH\r", "Send trigger position monitoring command"};
}

CaptureCommand StatusQueryCommand()
{
    return {"?WTS\r", "Send capture status verify command"};
}

CaptureCommand DataFetchCommand()
{
    return {"WCD\r", "Send capture results monitor command"};
}

char CaptureStatus(std::string_view reply)
{
    return reply.size() >= 4 ? reply[3] : '\0';
}

int TruncateSetting(double value)
{
    // A value typed with one decimal is at most a few units in the last place off its decimal
    // meaning; that much is given back before truncating.
    const double nudge = std::fabs(value) * 1e-12;
    return model::TruncateToInt(value < 0 ? value - nudge : value + nudge);
}

int SampleCount(double resolution)
{
    const int res = model::TruncateToInt(resolution);
    return res > 0 && res < (1 << 24) ? res * 20 : 0;
}

} // namespace talverin
