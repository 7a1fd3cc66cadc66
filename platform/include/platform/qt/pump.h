// Running everything that is pending on the calling (GUI) thread: the "dispatch all pending
// messages" step of the long operations, and the way tests let queued work happen.
//
// PeekMessage/GetMessage (messages.h) see only the platform's messages: sent and posted messages
// and due WM_TIMERs. Qt's own events (input, paint, posted QEvents, queued signal calls, deferred
// deletes) are not platform messages; PumpAllPending runs both kinds.
#pragma once

namespace plat::qt {

enum PumpFlag : unsigned {
    PumpDefault = 0,
    // Also run deleteLater()'s deletions. Only where no deleted object can be on the stack:
    // at the outermost level (a test's body, the end of shut-down), never from a handler.
    PumpDeferredDeletes = 1,
};

// Repeats, until a round finds nothing left or maxRounds rounds ran: sent messages, every
// posted message and due timer of this thread (dispatched), then Qt's pending events. A WM_QUIT
// met on the way is left for the thread's main loop and ends the pump. Returns how many platform
// messages ran. Never waits.
int PumpAllPending(unsigned flags = PumpDefault, int maxRounds = 1000);

} // namespace plat::qt
