// The driver connection's rules that need neither a window nor the line: the read-all command
// text, the lock reply, the clear-to-send setting, the grown reply buffer and the states that mean
// the line failed.
#pragma once

#include <platform/dcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talverin {

// Tags of the frame's own driver commands.
namespace ConnectionTag {
inline constexpr int LockQuery = 10;        // "?KP"
inline constexpr int ReadAll = 20;          // read-all while connecting
inline constexpr int ReadAllTerminal = 21;  // read-all on leaving the terminal screen
inline constexpr int ReadAllOscillo = 23;   // "TX0" on leaving the oscilloscope screen
inline constexpr int LockEnable = 30;       // "KP0"
inline constexpr int LockDisable = 35;      // "KP1"
inline constexpr int AlarmHistory = 36;     // "TA/HI" before the port closes
inline constexpr int SaveReadAll = 38;      // read-all before a save or print
inline constexpr int SaveAlarms = 39;       // (the read-all is in; the alarm read comes next)
inline constexpr int SaveAlarmHistory = 40; // "TA/HI" before a save or print
inline constexpr int SaveReady = 41;        // (both are in; the command runs)
inline constexpr int CloseReadAll = 42;     // read-all before the program closes
inline constexpr int CloseReady = 43;
inline constexpr int CommandBar = 100;      // 100-104: the command bar's five buttons
inline constexpr int CommandBarCount = 5;
} // namespace ConnectionTag

// A command of the command bar: its completions go to the bar's buttons.
inline bool IsCommandBarTag(std::intptr_t tag)
{
    return tag >= ConnectionTag::CommandBar && tag < ConnectionTag::CommandBar + ConnectionTag::CommandBarCount;
}

// The driver connection's phase (DriverConnection::m_connectionPhase; WM_GET_CONNECTION_PHASE
// answers its value).
enum class Phase : int {
    Disconnecting = -1,
    Idle = 0, // no port
    Connecting = 1,
    PortOpen = 2, // waiting for the driver
    Identifying = 3,
    ReadingAll = 4,
    Connected = 4096,
    EnteringTerminal = 4097,
    LeavingTerminal = 4098,
    SwitchReadAll = 4099,
    Closing = 4100,
};

// A connection step of a screen switch: entering or leaving the terminal screen, a switch's read-all.
bool IsSwitchStep(Phase phase);
// A step that holds the bars and the frame's commands: a switch step, closing, disconnecting.
bool IsHoldingStep(Phase phase);

// A connection made from this screen reads all of the driver's data into the document first
// (from the terminal screen it does not).
bool ConnectReadsAllData(int currentView);

// The frame's read-alls: while connecting, on a screen switch, before a save or print, on closing.
bool IsReadAllTag(int tag);

// "?A,?B,TX0\r" for the special parameters A and B ("TX0\r" without any); tag 23 reads "TX0\r" only.
std::string ReadAllCommandText(const std::vector<std::string>& specials, int tag);

// The lock state a "?KP" reply gives: 0 for "KP0" (lock enabled), 1 for "KP1"; nothing for any other
// reply. Blanks and line ends around the reply do not count.
std::optional<int> LockStateFromReply(std::string_view reply);

// The clear-to-send check of [Port] SoftCTSWait (compared without regard to case): "AUTO" follows
// the port's hardware flow setting, "ON" 1, "OFF" 0, any other text 1.
std::uint32_t CtsCheckFromSetting(std::string_view setting, const plat::DCB& dcb);

// The driver's error results a completed command may carry (the library's reply codes).
bool IsDriverErrorResult(std::uint32_t result);

// A queued command's state that, on a lost line, means the line failed under it: send failed, no
// echo, waiting for the reply, answer failed, reply time-out.
bool IsLineFailureState(std::uint32_t state);

} // namespace talverin
