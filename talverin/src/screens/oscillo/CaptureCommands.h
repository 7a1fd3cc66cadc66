// The oscilloscope capture's driver commands: their texts, the titles the queue's error reporting
// names them by, and the tags that tell the completion handler which step finished. Plain
// functions of the values read from the screen; no state.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talverin {

// Command tags (the tag queued with a command comes back with its completion).
namespace CaptureTag {
inline constexpr int StartStop = 20;       // trigger stop, first step of a start
inline constexpr int StartSource1 = 21;    // channel source set CH1 .. (24) CH4
inline constexpr int StartTrigger = 25;    // trigger channel set
inline constexpr int StartLevel = 26;      // trigger level set
inline constexpr int StartTime = 27;       // record time set
inline constexpr int StartResolution = 28; // record resolution set
inline constexpr int StartEdge = 29;       // trigger edge set
inline constexpr int StartPosition = 30;   // trigger position set
inline constexpr int StartStatus = 31;     // status query, last step of a start
inline constexpr int Source1 = 40;         // channel source set or query CH1 .. (43) CH4
inline constexpr int Level1 = 44;          // trigger level set CH1 .. (47) CH4
inline constexpr int TimeSet = 48;
inline constexpr int ResolutionSet = 49;
inline constexpr int TriggerSet = 50;
inline constexpr int Edge = 51;            // trigger edge set or query
inline constexpr int PositionSet = 52;
inline constexpr int TimeQuery = 53;
inline constexpr int ResolutionQuery = 54;
inline constexpr int TriggerQuery = 55;
inline constexpr int PositionQuery = 57;
inline constexpr int LevelQuery1 = 58;     // trigger level query CH1 .. (61) CH4
inline constexpr int Stop = 62;            // trigger stop from Stop
inline constexpr int Fetch = 63;           // data fetch
inline constexpr int Arm = 70;             // trigger start
inline constexpr int Poll = 80;            // status query while capturing, end of a synchronisation
inline constexpr int Count = 100;          // slots kept per tag
} // namespace CaptureTag

struct CaptureCommand {
    std::string text;  // CR-ended
    const char* title; // the queue's error-report title, as the driver's manual names the command
};

// Channel 1-4 <-> the driver's letter 'A'-'D'; 0 for anything else.
char ChannelLetter(int channel);
int ChannelFromLetter(char letter);

// "WTA": Stop calls it a pause, the start sequence a stop.
CaptureCommand TriggerStopCommand(bool pause);
// "WTR1" in AUTO mode, else "WTR0".
CaptureCommand TriggerStartCommand(bool autoMode);
// "WV<letter><source>"; a channel without source sends "-1".
CaptureCommand ChannelSourceSetCommand(int channel, std::string_view source);
CaptureCommand ChannelSourceQueryCommand(int channel);
CaptureCommand TriggerChannelSetCommand(int channel);
CaptureCommand TriggerChannelQueryCommand();
// "WL<letter><level>" with the level trimmed; none for an empty level or no channel.
std::optional<CaptureCommand> TriggerLevelSetCommand(int channel, std::string_view level);
CaptureCommand TriggerLevelQueryCommand(int channel);
// "WHL%.1f" of the record time: TIME (ms per division) x 20 divisions.
CaptureCommand RecordTimeSetCommand(double timePerDivision);
CaptureCommand RecordTimeQueryCommand();
// "WHR%d" of trunc(RES) x 20 + 1: the driver counts the sample after the last division too.
CaptureCommand RecordResolutionSetCommand(double resolution);
CaptureCommand RecordResolutionQueryCommand();
// "WTV1" for the falling edge (DOWN), "WTV0" for the rising one (UP).
CaptureCommand TriggerEdgeSetCommand(bool down);
CaptureCommand TriggerEdgeQueryCommand();
CaptureCommand TriggerPositionSetCommand(double percent);
CaptureCommand TriggerPositionQueryCommand();
CaptureCommand StatusQueryCommand();
CaptureCommand DataFetchCommand();

// The recording status of a status reply ("WTS" and one digit): its fourth character; a reply
// shorter than that reads as not recording ('\0').
char CaptureStatus(std::string_view reply);
inline bool IsDataReady(char status) { return status == '3'; }
inline bool IsNotRecording(char status) { return status <= '0'; }

// The numbers the screen's edits give: truncated toward zero, forgiving the binary rounding of a
// one-decimal edit value (499.9 x 200 is 99980, not 99979).
int TruncateSetting(double value);
// trunc(RES) x 20: the samples of a capture.
int SampleCount(double resolution);

} // namespace talverin
