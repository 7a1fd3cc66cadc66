// Between the clock and the message queues: a clock that was moved by hand wakes the threads that
// have window timers, so they look for due WM_TIMERs.
#pragma once

namespace plat::detail {

// Any thread; takes the handle registry's lock, so never call it with a queue's lock held.
void WakeTimerThreads();

} // namespace plat::detail
