// The oscilloscope's settings summary: the one-line text that names a capture's settings
// ("T=10.0,R=50,TP=50.0,TL=0.00,*CH1=VF,SLOPE=DOWN,SING"), kept as the View record history
// (newest first, at most eight) and read back when the user restores an entry.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talverin {

enum class CaptureMode { None, Cont, Sing, Auto };

struct SettingsSummaryFields {
    std::string time;            // the texts of 1037, 1034, 1010, 1035
    std::string resolution;
    std::string triggerPosition;
    std::string triggerLevel;
    std::array<std::string, 4> sources; // the source boxes' texts
    int triggerChannel = 0;      // 1-4, 0 none
    bool slopeDown = false;      // 1209 checked
    CaptureMode mode = CaptureMode::None;
};

// "T=%s,R=%s,TP=%s,TL=%s,%s,SLOPE=%s,%s": the channel part lists "CH%d=%s" for each channel with a
// source ("*CH%d=%s" for the trigger channel), joined by ","; the mode is empty when none is checked.
std::string FormatSettingsSummary(const SettingsSummaryFields& fields);

// What restoring an entry sets. A missing field changes nothing.
struct ViewRecordRestore {
    struct Channel {
        bool present = false; // the entry names this channel
        bool trigger = false; // '*': the trigger channel
        std::string source;   // up to a '('
    };
    std::optional<std::string> time;
    std::optional<std::string> resolution;
    std::optional<std::string> triggerPosition;
    std::optional<std::string> triggerLevel;
    std::array<Channel, 4> channels;
    std::optional<bool> slopeDown; // none: neither slope button
    CaptureMode mode = CaptureMode::None;
};
// Field 0 after "T=" is the time; a field 1 with "R=" the resolution; then "TP=" and "TL=" in
// turn; then each channel named in the current field in order; then "SLOPE=" and the mode.
ViewRecordRestore ParseViewRecord(std::string_view entry);

// Adds a summary to the history: an entry equal to it is found (its index returned, nothing
// moves); otherwise it becomes entry 0 and the history is cut to eight.
int AddToViewHistory(std::vector<std::string>& history, const std::string& summary, std::size_t limit = 8);
// An entry can be restored when it holds an upper-case 'T' and no capture is running.
bool IsViewRecordAvailable(std::string_view entry, bool idle);

} // namespace talverin
