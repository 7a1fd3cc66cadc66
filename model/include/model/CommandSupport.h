// What every window needs around the driver queue, short of queueing itself: the error reporting
// record that travels with a queued command, the user texts of the communication library's result
// codes and command states, the failure a command event stands for, and the last monitor code.
#pragma once

#include <platform/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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

// What the helpers below ask of the communication library. The program uses the library itself
// (the default); a test may install its own for a scope.
class DriverLink {
public:
    virtual ~DriverLink() = default;
    // A port is open and a driver answers on it.
    virtual bool isConnected() = 0;
    // Queues a command for the reply window with the caller's tag: the new id, or 0 (then
    // lastError() tells why).
    virtual std::int32_t sendCommandText(plat::HWND replyWindow, const std::string& text, std::intptr_t tag) = 0;
    virtual std::uint32_t lastError() = 0;
    // Commands queued (not direct text, not the library's own steps).
    virtual int commandCount() = 0;
    // 0: every command that is not under way; else that command.
    virtual int removeCommand(std::int32_t id) = 0;
    // The command's state, or its result once completed.
    virtual std::uint32_t commandState(std::int32_t id) = 0;
};

// The link in use: the communication library unless a test installed another.
DriverLink& CurrentDriverLink();

// Installs a link for a scope; nests.
class ScopedDriverLink {
public:
    explicit ScopedDriverLink(DriverLink& link);
    ~ScopedDriverLink();
    ScopedDriverLink(const ScopedDriverLink&) = delete;
    ScopedDriverLink& operator=(const ScopedDriverLink&) = delete;

private:
    DriverLink* m_previous;
};

// WM_COMMAND id of the main window's Disconnect command.
inline constexpr unsigned kDisconnectCommand = 32826;

// Queues a command (CR-ended lines) for the reply window with the caller's tag, after a 10 ms
// pause that gives the line a rest between commands. Returns the command id, or 0 with
// info.errorCode set to the library's last error; unless the flags keep it quiet, a failure then
// shows "Failed to send command <description> ..." on the main window with info.title, and a
// negative code (a system error) first posts Disconnect to the main window.
std::int32_t SendDriverCommand(plat::HWND window, std::string_view text, std::intptr_t tag, SendCommandInfo& info);

// How long WaitCommandQueue waits, with the stall limit on, for a queue whose command count does
// not fall.
inline constexpr std::uint32_t kQueueStallLimitMs = 40000;

// Lets the queued commands drain: waits in 10 ms steps while commands remain, letting only the
// communication library's own messages through (one per step). Ends when the queue is empty, the
// line was lost (the idle commands are removed first) or the port closed, the driver is no longer
// connected, or, with `stallLimit` set, after kQueueStallLimitMs in which the count did not fall.
// Every caller passes the limit unless it must wait without one. `keepWaiting`, when given, is
// asked after every step: false ends the wait at once and the result is false (true otherwise).
bool WaitCommandQueue(plat::HWND window, bool stallLimit = true, const std::function<bool()>& keepWaiting = {});
// True while WaitCommandQueue runs.
bool IsWaitingForCommandQueue();

// While it lives, every WaitCommandQueue without a keepWaiting of its own asks this one (the
// innermost when they nest): a screen switch lets the user give up the waits of the screens.
// GUI thread only.
class ScopedQueueWatch {
public:
    explicit ScopedQueueWatch(std::function<bool()> keepWaiting);
    ~ScopedQueueWatch();
    ScopedQueueWatch(const ScopedQueueWatch&) = delete;
    ScopedQueueWatch& operator=(const ScopedQueueWatch&) = delete;
    const std::function<bool()>& keepWaiting() const { return m_keepWaiting; }

private:
    std::function<bool()> m_keepWaiting;
    ScopedQueueWatch* m_outer;
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
