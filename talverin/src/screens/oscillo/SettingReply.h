// The driver's answers to the oscilloscope's settings commands, line by line. A reply repeats the
// command's name without its question mark, the channel letter where the command has one, and the
// value: "WVAVF", "WLA0", "WHR201", "WHL200.0", "WTCA", "WTH50.0", "WTV1". A command the driver
// does not know comes back as the command and '?' ("?WVA?"), so one leading '?' is passed over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talverin {

struct SettingReplyLine {
    enum class Kind { Other, Source, Level, Resolution, Time, Trigger, Position, Edge };
    Kind kind = Kind::Other;
    int channel = 0;   // Source, Level, Trigger: 1-4 from the letter, 0 for any other letter
    std::string value; // the text after the name (and letter); Level: without ';' and blanks
};

// The non-empty lines of a reply, split at CR and LF.
std::vector<std::string_view> SplitReplyLines(std::string_view reply);

SettingReplyLine ParseSettingReplyLine(std::string_view line);

} // namespace talverin
