// Window handles and messages with Win32 meanings, usable with or without Qt.
//
// A handle belongs to the thread that created it, and every thread has its own message queue.
// Posted messages wait in the owner's queue until that thread retrieves them (GetMessage,
// PeekMessage, or the Qt bridge's delivery). A cross-thread SendMessage blocks the sender until the
// owner thread has run the handler; the owner runs pending sent messages inside every platform wait
// (GetMessage, PeekMessage, SendMessage, WaitServicingSends, Thread::join) and, on a Qt thread,
// from its event loop including nested modal loops. A sender waiting for its reply services
// messages sent to itself meanwhile, so two threads sending to each other do not deadlock.
//
// What PeekMessage/GetMessage see: messages posted and sent through this layer, and due window
// timers (timers.h) as WM_TIMER. What they cannot see: Qt's own events (key and mouse input,
// paint, posted QEvents, queued signals, deferred deletes). So a "dispatch everything pending"
// loop over PeekMessage runs no input or painting; use plat::qt::PumpAllPending (qt/pump.h) for
// both kinds, and plat::qt::FlushPendingKeyInput (qt/keyboard_hook.h) to drop pending keys.
#pragma once

#include "platform/sync.h"
#include "platform/types.h"

#include <functional>

namespace plat {

// The handler of a handle, called on the owner thread.
using MessageHandler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0; // tick count (ms) when it was posted
};

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

// Posted messages a queue holds at most; PostMessage fails beyond that, as on Win32.
inline constexpr std::size_t MAX_POSTED_MESSAGES = 10000;

// Handle registry (thread-safe). A handle value is never reused, so a stale one stays invalid.
HWND CreateMessageWindow(MessageHandler handler); // owned by the calling thread
// Destroys the handle: queued posted messages to it are dropped and senders still waiting for it
// are released with failure. Call it from the owner thread (a handler running on the owner thread
// at that moment finishes normally). FALSE for an unknown handle.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
// The owner thread runs this handle's handler (false also for an unknown handle).
bool IsWindowOfCurrentThread(HWND hwnd);

// Posts to the owner's queue from any thread. FALSE for a null, destroyed or unknown handle and
// when the owner's queue is full.
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Same thread: calls the handler directly. Other thread: blocks until the owner thread ran the
// handler, servicing messages sent to the calling thread meanwhile. 0 when the handle is not a
// window or dies before its handler ran.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// SendMessage that the sender can give up through an event (not consumed): false when the handle
// is not a window, dies before its handler ran, or cancel is signalled before the owner takes the
// message up. Once the owner's handler runs, the sender waits for it to return, since the handler
// may use what wParam/lParam point to. On success the handler's result goes to *out (when given).
bool SendMessageCancellable(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, Event& cancel,
                            LRESULT* out = nullptr);

// Services pending sent messages to the calling thread, then looks for a posted message of the
// calling thread for hwnd (null: any of its handles) with an id in [filterMin, filterMax] (both 0:
// any id). Messages that do not match stay queued, in order. PM_REMOVE takes the message out.
// WM_QUIT from PostQuitMessage is seen only when the id range includes it and no other matching
// message is queued.
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until a matching message is there, servicing sent messages meanwhile. 0 for WM_QUIT,
// -1 for a null msg or a hwnd that is not a window of the calling thread, else 1.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Calls the handler of msg->hwnd on the calling thread; 0 when it is not a window of this thread.
LRESULT DispatchMessage(const MSG* msg);
// Lets the calling thread's GetMessage loop end with exitCode as WM_QUIT's wParam.
void PostQuitMessage(int exitCode);
// Time stamp of the last message the calling thread retrieved with GetMessage or PeekMessage.
DWORD GetMessageTime();

// Runs every pending cross-thread send to the calling thread; returns how many ran.
int PumpSentMessages();
// Retrieves (PM_REMOVE) and dispatches at most maxMessages posted messages for hwnd (null: any
// handle of this thread) with ids in [first, last]; everything else stays queued. Returns how many
// were dispatched. For busy loops that must let only some notifications through.
int PumpMessageRange(HWND hwnd, UINT first, UINT last, int maxMessages = 1);

// Waits for the event (consuming an auto-reset one) while servicing sent messages. True when it
// was signalled within the time-out.
bool WaitServicingSends(Event& event, DWORD timeoutMs);

// For event-loop integrations (the Qt bridge): wake is called, from any thread, whenever a message
// is posted or sent to the calling thread; it must only schedule a later call on that thread to
// PumpSentMessages() and the retrieval of posted messages, never dispatch itself. It is called
// with an internal lock held, and after SetMessageWaker({}) returns it is not called any more.
// One waker per thread; installing replaces the previous one.
void SetMessageWaker(std::function<void()> wake);

} // namespace plat
