// Window timers with Win32 meanings, on the platform clock (clock.h).
//
// SetTimer(hwnd, id, ms) makes WM_TIMER (wParam = id, lParam = 0) arrive at hwnd's handler every
// ms milliseconds until KillTimer(hwnd, id) or until the window is destroyed. A WM_TIMER is not a
// queued message: the owner thread's PeekMessage/GetMessage (and so PumpMessageRange, the Qt
// bridge's delivery and every nested loop) make one when a timer is due and no posted message
// matches the filter. A timer that fell behind fires once, not once
// per missed period; its next period starts when its WM_TIMER is retrieved.
//
// Tests: under a ManualClock (ScopedClock) timers move only with the clock. Advancing it wakes the
// owner threads, and the next pump delivers every due timer once, earliest due first, so a 500 ms
// poll or a 30 s watchdog is tested in no real time:
//     plat::ManualClock clock; plat::ScopedClock use(clock);
//     SetTimer(hwnd, 7, 500);  clock.advance(500);  PumpAllPending();  // one WM_TIMER 7
// Install the clock before setting timers: due times are ticks of the clock in use at SetTimer.
#pragma once

#include "platform/types.h"

namespace plat {

using UINT_PTR = std::uintptr_t;

// Shorter periods are raised to this (a 0 or 1 ms timer fires after
// 10 ms, and at once on a ManualClock advanced by 10).
inline constexpr UINT USER_TIMER_MINIMUM = 10;

// Sets or replaces (same hwnd and id: new period, counted from now) a timer. Only for a window of
// the calling thread: 0 with ERROR_INVALID_WINDOW_HANDLE otherwise. Returns id, or 1 for id 0.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs);
// Stops the timer; safe inside its own WM_TIMER. FALSE when there is no such timer of a window of
// the calling thread.
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Milliseconds until the calling thread's next timer is due on a clock that moves by itself (0:
// one is due now); INFINITE when the thread has no timer or the clock moves only when told to. For
// event-loop integrations that must wake up for timers (the Qt bridge).
DWORD TimeUntilNextTimer();

} // namespace plat
