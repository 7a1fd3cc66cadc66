// Queueing commands with error reporting, and waiting for the queue to drain.
#include "model/CommandSupport.h"

#include "DriverLinkInternal.h"

#include <platform/clock.h>
#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/messages.h>

#include <zrcomm/zrcomm.h>

#include <atomic>

namespace model {

namespace {

std::atomic<DriverLink*> g_link{nullptr};
std::atomic<bool> g_waitingForQueue{false};

// The pause before every command and the step of the drain loop.
constexpr plat::DWORD kStepMs = 10;

// One of the library's notifications, if one is waiting: the queue only moves on when its events
// are handled, while every other message (input, timers, the program's own) waits.
void dispatchOneCommMessage()
{
    plat::MSG msg{};
    if (plat::PeekMessage(&msg, nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, plat::PM_REMOVE))
        plat::DispatchMessage(&msg);
}

} // namespace

DriverLink& CurrentDriverLink()
{
    DriverLink* link = g_link.load(std::memory_order_acquire);
    return link ? *link : detail::LibraryDriverLink();
}

ScopedDriverLink::ScopedDriverLink(DriverLink& link) : m_previous(g_link.exchange(&link, std::memory_order_acq_rel)) {}

ScopedDriverLink::~ScopedDriverLink()
{
    g_link.store(m_previous, std::memory_order_release);
}

std::int32_t SendDriverCommand(plat::HWND window, std::string_view text, std::intptr_t tag, SendCommandInfo& info)
{
    plat::Sleep(kStepMs);
    DriverLink& link = CurrentDriverLink();
    const std::int32_t id = link.sendCommandText(window, std::string(text), tag);
    if (id != 0)
        return id;

    info.errorCode = link.lastError();
    if (info.flags & SendCommandInfo::kNoBox)
        return 0;
    if (info.errorCode == COMM_ERR_NOT_OPEN && (info.flags & SendCommandInfo::kNoBoxWhenNotOpen))
        return 0;
    // A system error means the line itself failed: the program disconnects.
    if (static_cast<std::int32_t>(info.errorCode) < 0)
        plat::PostMessage(GetMainWindow(), plat::WM_COMMAND, kDisconnectCommand, 0);
    const std::string message = "Failed to send command " + info.description
                                + "\nCheck the unit and re-try.\n\nContents of error:"
                                + GetCommErrorText(info.errorCode, plat::GetLanguage());
    plat::MessageBox(GetMainWindow(), message, info.title, plat::MB_OK | plat::MB_ICONWARNING);
    return 0;
}

namespace {
ScopedQueueWatch* g_queueWatch = nullptr;
} // namespace

ScopedQueueWatch::ScopedQueueWatch(std::function<bool()> keepWaiting)
    : m_keepWaiting(std::move(keepWaiting)), m_outer(g_queueWatch)
{
    g_queueWatch = this;
}

ScopedQueueWatch::~ScopedQueueWatch()
{
    g_queueWatch = m_outer;
}

bool WaitCommandQueue(plat::HWND /*window*/, bool stallLimit, const std::function<bool()>& ownKeepWaiting)
{
    const std::function<bool()> keepWaiting =
        ownKeepWaiting ? ownKeepWaiting : g_queueWatch ? g_queueWatch->keepWaiting() : std::function<bool()>();
    struct WaitingFlag {
        WaitingFlag() { g_waitingForQueue.store(true); }
        ~WaitingFlag() { g_waitingForQueue.store(false); }
    } waiting;

    DriverLink& link = CurrentDriverLink();
    dispatchOneCommMessage();
    int lastCount = link.commandCount();
    plat::DWORD progressAt = plat::GetTickCount();
    for (int count = lastCount; count > 0; count = link.commandCount()) {
        plat::Sleep(kStepMs);
        const std::uint32_t monitor = GetCommEventState();
        if (monitor == COMM_MONITOR_CONNECTION_LOST) {
            // Nothing more will be answered: what has not started goes.
            link.removeCommand(0);
            break;
        }
        if (monitor == COMM_MONITOR_PORT_CLOSED || !link.isConnected())
            break;
        dispatchOneCommMessage();
        if (keepWaiting && !keepWaiting())
            return false;
        if (count < lastCount) {
            lastCount = count;
            progressAt = plat::GetTickCount();
        } else if (stallLimit && plat::TicksSince(progressAt) >= kQueueStallLimitMs) {
            break;
        }
        lastCount = count;
    }
    return true;
}

bool IsWaitingForCommandQueue()
{
    return g_waitingForQueue.load();
}

} // namespace model
