#include "platform/messages.h"
#include "platform/named_objects.h"

#include "held_locks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace plat;

namespace {

constexpr UINT WM_PING = WM_USER + 1;
constexpr UINT WM_STOP = WM_USER + 2;
constexpr UINT WM_COMM_COMMAND = WM_USER + 300;
constexpr UINT WM_COMM_TEXT = WM_USER + 301;
constexpr UINT WM_COMM_MONITOR = WM_USER + 302;

// Records what a handle received, on which thread.
struct Recorder {
    std::mutex mutex;
    std::vector<MSG> seen;
    std::vector<std::thread::id> threads;

    MessageHandler handler(LRESULT answer = 0)
    {
        return [this, answer](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            std::lock_guard lock(mutex);
            seen.push_back(MSG{h, m, w, l, 0});
            threads.push_back(std::this_thread::get_id());
            return answer;
        };
    }
    std::vector<UINT> ids()
    {
        std::lock_guard lock(mutex);
        std::vector<UINT> out;
        for (const auto& m : seen)
            out.push_back(m.message);
        return out;
    }
};

// Counts the wake-ups of the calling thread's queue: one per message posted or sent to it, so a
// test can tell that a send is queued without servicing it.
class WakeCounter {
public:
    WakeCounter() { SetMessageWaker([this] { ++m_count; }); }
    ~WakeCounter() { SetMessageWaker({}); }
    void waitFor(int n) const
    {
        while (m_count.load() < n)
            std::this_thread::yield();
    }

private:
    std::atomic<int> m_count{0};
};

// Dispatches until a handler posts WM_QUIT.
int runLoop()
{
    MSG msg;
    BOOL r;
    while ((r = GetMessage(&msg, nullptr, 0, 0)) > 0)
        DispatchMessage(&msg);
    return r == 0 ? static_cast<int>(msg.wParam) : -1;
}

} // namespace

TEST(MessagesTest, HandlesAreValidUntilDestroyedAndNeverReused)
{
    HWND a = CreateMessageWindow({});
    HWND b = CreateMessageWindow({});
    EXPECT_NE(a, nullptr);
    EXPECT_NE(a, b);
    EXPECT_TRUE(IsWindow(a));
    EXPECT_TRUE(IsWindowOfCurrentThread(a));
    EXPECT_TRUE(DestroyWindow(a));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(DestroyWindow(a));
    HWND c = CreateMessageWindow({});
    EXPECT_NE(c, a);
    EXPECT_FALSE(IsWindow(nullptr));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(0x7777)));
    std::thread([&] { EXPECT_FALSE(IsWindowOfCurrentThread(b)); }).join();
    DestroyWindow(b);
    DestroyWindow(c);
}

TEST(MessagesTest, PostToDeadOrUnknownHandleFailsAndDropsQueuedMessages)
{
    Recorder rec;
    HWND w = CreateMessageWindow(rec.handler());
    EXPECT_TRUE(PostMessage(w, WM_PING, 1, 2));
    HWND other = CreateMessageWindow(rec.handler());
    EXPECT_TRUE(PostMessage(other, WM_STOP, 0, 0));
    DestroyWindow(w);
    EXPECT_FALSE(PostMessage(w, WM_PING, 3, 4));
    EXPECT_FALSE(PostMessage(nullptr, WM_PING, 0, 0));
    EXPECT_FALSE(PostMessage(reinterpret_cast<HWND>(0x1234), WM_PING, 0, 0));
    EXPECT_EQ(SendMessage(w, WM_PING, 0, 0), 0);
    Event never(true);
    LRESULT r = 42;
    EXPECT_FALSE(SendMessageCancellable(w, WM_PING, 0, 0, never, &r));
    EXPECT_EQ(r, 42);

    // The message queued before the handle died is gone; the other handle's stays.
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessage(nullptr), 0);
    DestroyWindow(other);
}

TEST(MessagesTest, PostedMessagesArriveInOrderOnTheOwnerThread)
{
    Recorder rec;
    HWND w = CreateMessageWindow([&](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        rec.handler()(h, m, wp, lp);
        if (m == WM_STOP)
            PostQuitMessage(7);
        return 0;
    });
    constexpr int count = 500;
    std::thread poster([&] {
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(PostMessage(w, WM_PING, static_cast<WPARAM>(i), -i));
        PostMessage(w, WM_STOP, 0, 0);
    });
    EXPECT_EQ(runLoop(), 7);
    poster.join();
    ASSERT_EQ(rec.seen.size(), static_cast<std::size_t>(count + 1));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(rec.seen[i].wParam, static_cast<WPARAM>(i));
        EXPECT_EQ(rec.seen[i].lParam, -i);
        EXPECT_EQ(rec.threads[i], std::this_thread::get_id());
    }
    DestroyWindow(w);
}

TEST(MessagesTest, ParametersCarryFullPointers)
{
    static int target = 5;
    void* seen = nullptr;
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM wp, LPARAM lp) -> LRESULT {
        seen = reinterpret_cast<void*>(lp);
        return static_cast<LRESULT>(wp);
    });
    const WPARAM big = static_cast<WPARAM>(0x123456789ABCull);
    EXPECT_EQ(static_cast<WPARAM>(SendMessage(w, WM_PING, big, reinterpret_cast<LPARAM>(&target))),
              big);
    EXPECT_EQ(seen, &target);
    DestroyWindow(w);
}

TEST(MessagesTest, FilteredPeeksLeaveOtherMessagesQueuedInOrder)
{
    Recorder rec;
    HWND a = CreateMessageWindow(rec.handler());
    HWND b = CreateMessageWindow(rec.handler());
    const UINT ids[] = {WM_PING, WM_COMM_COMMAND, WM_STOP, WM_COMM_MONITOR, WM_PING,
                        WM_COMM_TEXT, WM_COMM_COMMAND, WM_STOP};
    for (UINT i = 0; i < std::size(ids); ++i)
        PostMessage(i % 2 ? b : a, ids[i], i, 0);

    MSG msg;
    // No removal: the same message twice.
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);

    // Only the range, oldest first.
    EXPECT_EQ(PumpMessageRange(nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, 2), 2);
    EXPECT_EQ(rec.ids(), (std::vector<UINT>{WM_COMM_COMMAND, WM_COMM_MONITOR}));
    // Range and handle together: WM_COMM_TEXT went to b (index 5), the last WM_COMM_COMMAND to a.
    ASSERT_TRUE(PeekMessage(&msg, a, WM_COMM_COMMAND, WM_COMM_MONITOR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 6u);
    EXPECT_EQ(msg.hwnd, a);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, PM_REMOVE));
    EXPECT_EQ(PumpMessageRange(nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, 10), 0);

    // Everything else is still there, in the order it was posted.
    std::vector<WPARAM> rest;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        rest.push_back(msg.wParam);
    EXPECT_EQ(rest, (std::vector<WPARAM>{0, 2, 4, 7}));
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(MessagesTest, QuitIsSeenOnlyByUnfilteredRetrievalAfterQueuedMessages)
{
    Recorder rec;
    HWND w = CreateMessageWindow(rec.handler());
    PostMessage(w, WM_PING, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    // A busy loop pumping only some ids must not swallow the quit.
    EXPECT_EQ(PumpMessageRange(nullptr, WM_COMM_COMMAND, WM_COMM_MONITOR, 5), 0);
    EXPECT_FALSE(PeekMessage(&msg, w, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT);
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_PING);
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessage(nullptr, nullptr, 0, 0), -1);
    HWND foreign = nullptr;
    std::thread([&] { foreign = CreateMessageWindow({}); }).join();
    EXPECT_EQ(GetMessage(&msg, foreign, 0, 0), -1); // its thread ended, so it is gone
    DestroyWindow(w);
}

TEST(MessagesTest, QueueRefusesPostsBeyondItsLimit)
{
    HWND w = CreateMessageWindow({});
    for (std::size_t i = 0; i < MAX_POSTED_MESSAGES; ++i)
        ASSERT_TRUE(PostMessage(w, WM_PING, i, 0));
    EXPECT_FALSE(PostMessage(w, WM_PING, 0, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PostMessage(w, WM_PING, 0, 0));
    DestroyWindow(w);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessagesTest, SameThreadSendIsADirectCall)
{
    int depth = 0;
    HWND w = nullptr;
    w = CreateMessageWindow([&](HWND h, UINT m, WPARAM wp, LPARAM) -> LRESULT {
        EXPECT_EQ(h, w);
        if (m == WM_PING && wp < 3) {
            ++depth;
            return 1 + SendMessage(h, WM_PING, wp + 1, 0); // re-entrant, like a handler calling back
        }
        return 100;
    });
    EXPECT_EQ(SendMessage(w, WM_PING, 0, 0), 103);
    EXPECT_EQ(depth, 3);
    DestroyWindow(w);
}

TEST(MessagesTest, CrossThreadSendsFromSeveralThreadsWhileOwnerPumps)
{
    std::atomic<int> handled{0};
    const auto owner = std::this_thread::get_id();
    HWND w = CreateMessageWindow([&](HWND, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        EXPECT_EQ(std::this_thread::get_id(), owner);
        if (m == WM_STOP) {
            PostQuitMessage(0);
            return 0;
        }
        ++handled;
        return static_cast<LRESULT>(wp) * 1000 + lp;
    });
    constexpr int senders = 6, perSender = 200;
    std::atomic<int> finished{0};
    std::vector<std::thread> threads;
    for (int s = 0; s < senders; ++s)
        threads.emplace_back([&, s] {
            for (int i = 0; i < perSender; ++i) {
                EXPECT_EQ(SendMessage(w, WM_PING, static_cast<WPARAM>(s), i), s * 1000 + i);
            }
            if (++finished == senders)
                PostMessage(w, WM_STOP, 0, 0);
        });
    EXPECT_EQ(runLoop(), 0);
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(handled.load(), senders * perSender);
    DestroyWindow(w);
}

// The shutdown case: the owner joins a worker that is blocked sending to it.
TEST(MessagesTest, OwnerJoiningTheSenderServicesItsSend)
{
    std::atomic<int> handled{0};
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT {
        ++handled;
        return static_cast<LRESULT>(wp) + 1;
    });
    Thread worker;
    std::atomic<LRESULT> answer{0};
    ASSERT_TRUE(worker.start([&] {
        for (int i = 0; i < 50; ++i)
            answer = SendMessage(w, WM_PING, static_cast<WPARAM>(i), 0);
    }));
    EXPECT_TRUE(worker.join(INFINITE));
    EXPECT_EQ(handled.load(), 50);
    EXPECT_EQ(answer.load(), 50);
    DestroyWindow(w);
}

TEST(MessagesTest, WaitServicingSendsRunsSendsUntilTheEvent)
{
    std::atomic<int> handled{0};
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++handled; });
    Event done(false);
    std::thread worker([&] {
        SendMessage(w, WM_PING, 0, 0);
        SendMessage(w, WM_PING, 0, 0);
        done.set();
    });
    EXPECT_TRUE(WaitServicingSends(done, INFINITE));
    EXPECT_FALSE(done.isSet()); // auto-reset: consumed
    worker.join();
    EXPECT_EQ(handled.load(), 2);
    EXPECT_FALSE(WaitServicingSends(done, 10));
    DestroyWindow(w);
}

TEST(MessagesTest, TwoThreadsSendingToEachOtherDoNotDeadlock)
{
    Event bReady(true);
    HWND bWindow = nullptr;
    HWND aWindow = CreateMessageWindow([](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT {
        return static_cast<LRESULT>(wp) * 2;
    });
    std::atomic<LRESULT> bGot{0};
    std::thread b([&] {
        bWindow = CreateMessageWindow([&](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT {
            // While A waits for this answer, ask A something: A services it inside its wait.
            return SendMessage(aWindow, WM_PING, wp + 1, 0);
        });
        bReady.set();
        bGot = SendMessage(aWindow, WM_PING, 10, 0);
        MSG msg;
        GetMessage(&msg, nullptr, 0, 0); // serve A until told to stop
        DestroyWindow(bWindow);
    });
    bReady.wait(INFINITE);
    EXPECT_EQ(SendMessage(bWindow, WM_PING, 4, 0), 10);
    PostMessage(bWindow, WM_STOP, 0, 0);
    // b's own send may still be waiting for us: join while servicing.
    Event joined(true);
    std::thread waiter([&] {
        b.join();
        joined.set();
    });
    EXPECT_TRUE(WaitServicingSends(joined, INFINITE));
    waiter.join();
    EXPECT_EQ(bGot.load(), 20);
    DestroyWindow(aWindow);
}

TEST(MessagesTest, CancelledSendIsWithdrawnAndNeverHandled)
{
    std::atomic<int> handled{0};
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++handled; });
    Event cancel(true);
    std::atomic<bool> result{true};
    WakeCounter wakes;
    std::thread sender([&] {
        LRESULT out = -1;
        result = SendMessageCancellable(w, WM_PING, 0, 0, cancel, &out);
        EXPECT_EQ(out, -1);
    });
    // The owner does not pump: the queued send waits until the cancel event ends it.
    wakes.waitFor(1);
    cancel.set();
    sender.join();
    EXPECT_FALSE(result.load());
    EXPECT_EQ(PumpSentMessages(), 0);
    EXPECT_EQ(handled.load(), 0);

    // An already signalled cancel event never lets the message through.
    std::thread([&] { EXPECT_FALSE(SendMessageCancellable(w, WM_PING, 0, 0, cancel)); }).join();
    EXPECT_EQ(PumpSentMessages(), 0);

    // A send that is not cancelled gets its answer.
    cancel.reset();
    std::thread ok([&] {
        LRESULT out = 0;
        EXPECT_TRUE(SendMessageCancellable(w, WM_PING, 0, 0, cancel, &out));
        EXPECT_EQ(out, 1);
    });
    Event never(true);
    while (handled.load() == 0)
        WaitServicingSends(never, 5);
    ok.join();
    DestroyWindow(w);
}

TEST(MessagesTest, CancelWhileTheHandlerRunsWaitsForItsResult)
{
    Event inHandler(true), cancel(true), letGo(true);
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
        inHandler.set();
        letGo.wait(INFINITE);
        return 55;
    });
    std::atomic<int> state{0};
    std::thread sender([&] {
        LRESULT out = 0;
        EXPECT_TRUE(SendMessageCancellable(w, WM_PING, 0, 0, cancel, &out));
        EXPECT_EQ(out, 55);
        state = 1;
    });
    std::thread canceller([&] {
        inHandler.wait(INFINITE);
        cancel.set();
        // The sender must still be waiting: the handler may use its parameters.
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(state.load(), 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        letGo.set();
    });
    Event never(true);
    while (!inHandler.isSet())
        WaitServicingSends(never, 5);
    sender.join();
    canceller.join();
    EXPECT_EQ(state.load(), 1);
    DestroyWindow(w);
}

TEST(MessagesTest, DestroyWhileASendWaitsReleasesTheSender)
{
    std::atomic<int> handled{0};
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++handled; });
    Event cancel(true);
    std::atomic<int> outcome{-1};
    std::atomic<LRESULT> plain{-1};
    WakeCounter wakes;
    std::thread cancellable([&] { outcome = SendMessageCancellable(w, WM_PING, 0, 0, cancel) ? 1 : 0; });
    std::thread uncancellable([&] { plain = SendMessage(w, WM_PING, 0, 0); });
    wakes.waitFor(2); // both sends are queued and nobody services them
    EXPECT_TRUE(DestroyWindow(w));
    cancellable.join();
    uncancellable.join();
    EXPECT_EQ(outcome.load(), 0);
    EXPECT_EQ(plain.load(), 0);
    EXPECT_EQ(PumpSentMessages(), 0);
    EXPECT_EQ(handled.load(), 0);
}

TEST(MessagesTest, OwnerThreadEndingReleasesSendersAndDestroysItsHandles)
{
    HWND w = nullptr;
    Event created(true), quit(true);
    std::atomic<int> wakes{0};
    std::thread owner([&] {
        w = CreateMessageWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 1; });
        SetMessageWaker([&] { ++wakes; });
        created.set();
        quit.wait(INFINITE); // never pumps
    });
    created.wait(INFINITE);
    std::atomic<int> outcome{-1};
    Event cancel(true);
    std::thread sender([&] { outcome = SendMessageCancellable(w, WM_PING, 0, 0, cancel) ? 1 : 0; });
    while (wakes.load() == 0)
        std::this_thread::yield();
    quit.set();
    owner.join();
    sender.join();
    EXPECT_EQ(outcome.load(), 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(PostMessage(w, WM_PING, 0, 0));
}

TEST(MessagesTest, DispatchRefusesAnotherThreadsHandle)
{
    std::atomic<int> handled{0};
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++handled; });
    MSG msg{w, WM_PING, 0, 0, 0};
    std::thread([&] { EXPECT_EQ(DispatchMessage(&msg), 0); }).join();
    EXPECT_EQ(handled.load(), 0);
    EXPECT_EQ(DispatchMessage(&msg), 1);
    DestroyWindow(w);
}

TEST(MessagesTest, MessageTimeIsTheRetrievedMessagesPostTime)
{
    HWND w = CreateMessageWindow({});
    PostMessage(w, WM_PING, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessageTime(), msg.time);
    DestroyWindow(w);
}

// The communication library's shutdown: its receive thread sends text to a window with the port
// lock fully released, the handler calls back into the port (takes the lock), and the user-
// interface thread stops the port and joins the thread while sends keep coming.
TEST(MessagesTest, ShutdownJoinServicesTextSentWithThePortLockReleased)
{
    RecursiveMutex portLock;
    Event stop(true);
    std::atomic<int> texts{0};
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
        ScopedLock callback(portLock);
        ++texts;
        return 0;
    });
    Thread receiver;
    ASSERT_TRUE(receiver.start([&] {
        while (!stop.isSet()) {
            ScopedLock pass(portLock);
            ScopedLock nested(portLock);
            {
                ScopedReleaseAll released(portLock);
                SendMessage(w, WM_COMM_TEXT, 10, 0);
            }
            EXPECT_EQ(portLock.depth(), 2);
        }
    }));
    Event never(true);
    while (texts.load() < 3)
        WaitServicingSends(never, 1);
    {
        ScopedLock term(portLock);
        stop.set();
    }
    EXPECT_TRUE(receiver.join(INFINITE));
    DestroyWindow(w);
}

// The other way out: the user-interface thread joins without servicing anything, and the stop
// event withdraws the send that would otherwise wait for it for ever.
TEST(MessagesTest, ShutdownStopEventCancelsATextSendNobodyServices)
{
    RecursiveMutex portLock;
    Event stop(true);
    std::atomic<int> texts{0};
    HWND w = CreateMessageWindow([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++texts; });
    WakeCounter wakes;
    std::atomic<int> sent{-1};
    Thread receiver;
    ASSERT_TRUE(receiver.start([&] {
        ScopedLock pass(portLock);
        ScopedReleaseAll released(portLock);
        sent = SendMessageCancellable(w, WM_COMM_TEXT, 10, 0, stop) ? 1 : 0;
    }));
    wakes.waitFor(1);
    {
        ScopedLock term(portLock); // free: the sender released it completely
        stop.set();
    }
    EXPECT_TRUE(receiver.finished().wait(INFINITE)); // services nothing
    EXPECT_TRUE(receiver.join(0));
    EXPECT_EQ(sent.load(), 0);
    EXPECT_EQ(PumpSentMessages(), 0);
    EXPECT_EQ(texts.load(), 0);
    DestroyWindow(w);
}

TEST(MessageContractTest, ASendWhileHoldingANamedMutexIsNoticed)
{
    HWND w = CreateMessageWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 5; });
    NamedMutex data = NamedMutex::create("VEKZR_MEM_MUTEX_send_check");
    const int before = detail::SendsWhileHoldingNamedMutex();
    std::atomic<LRESULT> answer{0};
    Thread sender;
    ASSERT_TRUE(sender.start([&] {
        answer = SendMessage(w, WM_USER, 0, 0); // not holding: fine
        std::lock_guard hold(data);
        answer = answer + SendMessage(w, WM_USER, 0, 0); // holding: noted (the receiver does not take it)
    }));
    EXPECT_TRUE(sender.join(10000));
    EXPECT_EQ(answer.load(), 10);
#ifndef NDEBUG
    EXPECT_EQ(detail::SendsWhileHoldingNamedMutex(), before + 1);
#else
    EXPECT_EQ(detail::SendsWhileHoldingNamedMutex(), before);
#endif
    DestroyWindow(w);
}
