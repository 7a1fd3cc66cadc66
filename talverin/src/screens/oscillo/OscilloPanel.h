// The settings panel saved beside the scope in a bitmap export: a 32-line text template whose
// bracketed placeholders are replaced by the screen's values, and whose '-', '|' and '+' are the
// panel's frame lines (drawn, not printed). A line ending in '@' is a short spacer line.
#pragma once

#include "screens/oscillo/SettingsSummary.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talverin {

inline constexpr std::size_t kPanelLineCount = 32;
const std::array<std::string_view, kPanelLineCount>& PanelTemplate();

struct PanelValues {
    std::string date;                      // "YYYY/MM/DD hh:mm:ss"
    std::string cursorA, cursorB, cursorAB; // 1226, 1227, 1231
    std::string readoutA, readoutB, readoutAB; // 1250-1252
    int activeChannel = 0;                 // 1040-1043 checked: 1-4, else 0
    std::string triggerPosition;           // 1010
    std::string triggerLevel;              // 1035
    std::string unit;                      // 1069
    std::array<std::string, 4> sources;    // the channels' sources
    int triggerChannel = 0;                // 1-4, 0 none
    std::optional<bool> slopeDown;         // none: neither slope button checked
    CaptureMode mode = CaptureMode::None;
    std::array<std::string, 4> positions;  // 1013-1016
    std::array<std::string, 4> scales;     // 1017-1020
    std::string time;                      // 1037
    std::string resolution;                // 1034
};

struct PanelLine {
    std::string text; // what is printed: frame characters blanked, placeholders filled
    bool spacer = false;
};
// One template line filled: the date first, then the frame characters blanked, then the other
// placeholders; a trailing '@' removed and the line marked as a spacer.
PanelLine FillPanelLine(std::string_view templateLine, const PanelValues& values);
std::vector<PanelLine> PanelLines(const PanelValues& values);

// [CH_n]: the source trimmed ("CHn" when empty); the trigger channel's with a leading '*', left-
// aligned in 6; any other one left-aligned in 6, then a leading blank and cut to 6. A text longer
// than 6 stays whole (and shifts the rest of its line).
std::string PanelSourceCell(std::string_view source, int channel, bool trigger);

} // namespace talverin
