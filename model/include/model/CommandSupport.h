// What every window needs around the driver queue, short of queueing itself: the error reporting
// record that travels with a queued command, the user texts of the communication library's result
// codes and command states, the failure a command event stands for, and the last monitor code.
#pragma once

#include <platform/types.h>

#include <cstdint>
#include <functional>
#include <string>

namespace model {

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

// The user text of a result code or command state, Japanese for language 1041 and English for
// every other; empty for codes that have none (so that "Contents of error:" boxes leave that part
// out).
std::string GetCommErrorText(std::uint32_t code, plat::LANGID language);

// The failure code a command event stands for: the event itself for a failed write (3) and a
// time-out (6); for a completed command (8) its state as `commandState` reports it, unless that
// state means "still under way or fine"; 0 for every other event. `commandState` is asked only
// for event 8.
std::uint32_t GetCommandFailure(plat::WPARAM event, std::int32_t commandId,
                                const std::function<std::uint32_t(std::int32_t)>& commandState);

// The main window: owner of the command helpers' and the data store's message boxes, and where a
// send failure that means a lost line posts its Disconnect command. Set by the program once its
// main window exists; null until then (boxes are then owned by nobody).
void SetMainWindow(plat::HWND window);
plat::HWND GetMainWindow();

// The last monitor code the connection bar saw (0 at start). 15, 16 and 17 end the wait loops,
// even when they came from an earlier connection attempt.
void SetCommEventState(std::uint32_t monitorCode);
std::uint32_t GetCommEventState();

} // namespace model
