#include "screens/oscillo/SettingsSummary.h"

#include <model/StringSplitter.h>

#include <algorithm>

namespace talverin {

namespace {

std::optional<std::string> after(std::string_view field, std::string_view prefix)
{
    if (field.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    return std::string(field.substr(prefix.size()));
}

const char* modeText(CaptureMode mode)
{
    switch (mode) {
    case CaptureMode::Cont: return "CONT";
    case CaptureMode::Sing: return "SING";
    case CaptureMode::Auto: return "AUTO";
    case CaptureMode::None: break;
    }
    return "";
}

} // namespace

std::string FormatSettingsSummary(const SettingsSummaryFields& f)
{
    std::string channels;
    for (int ch = 1; ch <= 4; ++ch) {
        const std::string& source = f.sources[static_cast<std::size_t>(ch - 1)];
        if (source.empty())
            continue;
        if (!channels.empty())
            channels += ',';
        channels += (ch == f.triggerChannel ? "*CH" : "CH") + std::to_string(ch) + "=" + source;
    }
    return "T=" + f.time + ",R=" + f.resolution + ",TP=" + f.triggerPosition + ",TL=" + f.triggerLevel + "," +
           channels + ",SLOPE=" + (f.slopeDown ? "DOWN" : "UP") + "," + modeText(f.mode);
}

ViewRecordRestore ParseViewRecord(std::string_view entry)
{
    ViewRecordRestore r;
    model::StringSplitter splitter;
    splitter.Split(entry, ',', 0);
    const std::vector<std::string>& fields = splitter.Tokens();
    const auto field = [&fields](std::size_t i) {
        return i < fields.size() ? std::string_view(fields[i]) : std::string_view();
    };

    if (const std::size_t t = field(0).find("T="); t != std::string_view::npos)
        r.time = std::string(field(0).substr(t + 2));
    std::size_t next = 1;
    if (const std::size_t at = field(1).find("R="); at != std::string_view::npos) {
        r.resolution = std::string(field(1).substr(at + 2));
        next = 2;
    }
    if (auto tp = after(field(next), "TP=")) {
        r.triggerPosition = std::move(tp);
        ++next;
    }
    if (auto tl = after(field(next), "TL=")) {
        r.triggerLevel = std::move(tl);
        ++next;
    }

    for (int ch = 1; ch <= 4 && next < fields.size(); ++ch) {
        const std::string_view current = fields[next];
        const std::string name = "CH" + std::to_string(ch);
        const std::size_t at = current.find(name);
        if (at == std::string_view::npos)
            continue;
        ViewRecordRestore::Channel& channel = r.channels[static_cast<std::size_t>(ch - 1)];
        channel.present = true;
        channel.trigger = at > 0 && current[at - 1] == '*';
        const std::size_t equals = current.find('=', at + name.size());
        if (equals != std::string_view::npos) {
            const std::string_view rest = current.substr(equals + 1);
            channel.source = std::string(rest.substr(0, rest.find('(')));
        }
        ++next;
    }

    // An entry without sources has an empty channel part: the slope is the next field that names one.
    for (std::size_t i = next; i < fields.size(); ++i) {
        if (auto slope = after(fields[i], "SLOPE=")) {
            r.slopeDown = slope->find("DOWN") != std::string::npos;
            next = i + 1;
            break;
        }
    }
    const std::string_view mode = field(next);
    if (mode.find("CONT") != std::string_view::npos)
        r.mode = CaptureMode::Cont;
    else if (mode.find("SING") != std::string_view::npos)
        r.mode = CaptureMode::Sing;
    else if (mode.find("AUTO") != std::string_view::npos)
        r.mode = CaptureMode::Auto;
    return r;
}

int AddToViewHistory(std::vector<std::string>& history, const std::string& summary, std::size_t limit)
{
    const auto found = std::find(history.begin(), history.end(), summary);
    if (found != history.end())
        return static_cast<int>(found - history.begin());
    history.insert(history.begin(), summary);
    if (history.size() > limit)
        history.resize(limit);
    return 0;
}

bool IsViewRecordAvailable(std::string_view entry, bool idle)
{
    return idle && entry.find('T') != std::string_view::npos;
}

} // namespace talverin
