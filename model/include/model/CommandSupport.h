// What every window needs around the driver queue, short of queueing itself: the error reporting
// record that travels with a queued command, the user texts of the communication library's result
// codes and command states, the failure a command event stands for, and the last monitor code.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace model {

// Language ids: 1041 selects the Japanese texts, every other value the English ones.
inline constexpr std::uint16_t kLangEnglish = 1033;
inline constexpr std::uint16_t kLangJapanese = 1041;

// Codes the helpers below act on (the communication library defines them all).
inline constexpr std::uint32_t kCommErrNotOpen = 0x40000004;      // no port is open
inline constexpr std::uint32_t kCommEventWriteFailed = 3;
inline constexpr std::uint32_t kCommEventTimeout = 6;
inline constexpr std::uint32_t kCommEventCompleted = 8;
inline constexpr std::uint32_t kMonitorConnectionLost = 15;
inline constexpr std::uint32_t kMonitorNotConnected = 16;
inline constexpr std::uint32_t kMonitorPortClosed = 17;

// Travels with a command queued with error reporting.
struct SendCommandInfo {
    enum : std::uint32_t {
        kNoBox = 0x00000001,          // never show a message box
        kNoBoxWhenNotOpen = 0x08000000, // no box when the port is not open
        kSilent = 0x88000001,         // what most callers pass: never a box
    };

    std::uint32_t errorCode = 0;  // out: the library's last error when queueing failed
    std::uint32_t flags = 0;
    std::string title;            // message box title
    std::string description;      // the command as the box names it
};

// The user text of a result code or command state in the given language; empty for codes that
// have none (so that "Contents of error:" boxes leave that part out).
std::string GetCommErrorText(std::uint32_t code, std::uint16_t language);

// The failure code a command event stands for: the event itself for a failed write (3) and a
// time-out (6); for a completed command (8) its state as `commandState` reports it, unless that
// state means "still under way or fine"; 0 for every other event. `commandState` is asked only
// for event 8.
std::uint32_t GetCommandFailure(std::uint32_t event, std::uint32_t commandId,
                                const std::function<std::uint32_t(std::uint32_t)>& commandState);

// The last monitor code the connection bar saw (0 at start). 15, 16 and 17 end the wait loops,
// even when they came from an earlier connection attempt.
void SetCommEventState(std::uint32_t monitorCode);
std::uint32_t GetCommEventState();

} // namespace model
