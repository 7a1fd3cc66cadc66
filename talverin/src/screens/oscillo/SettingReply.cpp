#include "screens/oscillo/SettingReply.h"

#include "screens/oscillo/CaptureCommands.h"

#include <array>

namespace talverin {

std::vector<std::string_view> SplitReplyLines(std::string_view reply)
{
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < reply.size()) {
        const std::size_t end = reply.find_first_of("\r\n", at);
        const std::size_t stop = end == std::string_view::npos ? reply.size() : end;
        if (stop > at)
            lines.push_back(reply.substr(at, stop - at));
        at = stop + 1;
    }
    return lines;
}

SettingReplyLine ParseSettingReplyLine(std::string_view line)
{
    using Kind = SettingReplyLine::Kind;
    struct Prefix {
        std::string_view name;
        Kind kind;
        bool lettered;
    };
    // Longer names first: "WTC" must not be read as some shorter one.
    static constexpr std::array<Prefix, 7> prefixes{{
        {"WHR", Kind::Resolution, false},
        {"WHL", Kind::Time, false},
        {"WTC", Kind::Trigger, true},
        {"WTH", Kind::Position, false},
        {"WTV", Kind::Edge, false},
        {"WV", Kind::Source, true},
        {"WL", Kind::Level, true},
    }};

    SettingReplyLine result;
    if (!line.empty() && line.front() == '?')
        line.remove_prefix(1);
    for (const Prefix& p : prefixes) {
        if (!line.starts_with(p.name))
            continue;
        std::string_view rest = line.substr(p.name.size());
        if (p.lettered) {
            if (rest.empty())
                return result;
            result.channel = ChannelFromLetter(rest.front());
            rest.remove_prefix(1);
        }
        result.kind = p.kind;
        if (p.kind == Kind::Level) {
            for (const char c : rest)
                if (c != ';' && c != ' ' && c != '\t')
                    result.value += c;
        } else {
            result.value = std::string(rest);
        }
        return result;
    }
    return result;
}

} // namespace talverin
