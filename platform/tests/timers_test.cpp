// Window timers on the manual clock: due order, coalescing, killing and destroying from inside
// WM_TIMER, filters, and a waiting GetMessage woken by moving the clock.
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/timers.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace plat;

namespace {

struct TimerLog {
    std::vector<std::pair<HWND, WPARAM>> fired;
    std::function<void(HWND, WPARAM)> onTimer;

    HWND make()
    {
        return CreateMessageWindow([this](HWND h, UINT m, WPARAM w, LPARAM) -> LRESULT {
            if (m == WM_TIMER) {
                fired.emplace_back(h, w);
                if (onTimer)
                    onTimer(h, w);
            }
            return 0;
        });
    }
    int pump()
    {
        MSG msg;
        int n = 0;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE) && n < 100) {
            DispatchMessage(&msg);
            ++n;
        }
        return n;
    }
};

class TimerTest : public ::testing::Test {
protected:
    ManualClock clock;
    ScopedClock use{clock};
    TimerLog log;
};

} // namespace

TEST_F(TimerTest, DueTimersFireOnceEachEarliestFirstAndKeepTheirPeriod)
{
    const HWND a = log.make(), b = log.make();
    EXPECT_EQ(SetTimer(a, 1001, 500), 1001u);
    EXPECT_EQ(SetTimer(b, 7, 200), 7u);
    EXPECT_EQ(SetTimer(a, 1000, 0), 1000u); // raised to the 10 ms minimum
    EXPECT_EQ(log.pump(), 0);
    clock.advance(9);
    EXPECT_EQ(log.pump(), 0);
    clock.advance(1491); // all three are due, each fires once however far behind it is
    EXPECT_EQ(log.pump(), 3);
    const std::vector<std::pair<HWND, WPARAM>> order{{a, 1000}, {b, 7}, {a, 1001}};
    EXPECT_EQ(log.fired, order);
    log.fired.clear();
    clock.advance(200); // periods restart at retrieval: 1000 (10) and 7 (200) are due, 1001 not
    EXPECT_EQ(log.pump(), 2);
    // Setting an existing timer again replaces it, counting from now.
    SetTimer(b, 7, 1000);
    clock.advance(999);
    log.fired.clear();
    log.pump();
    for (const auto& f : log.fired)
        EXPECT_NE(f.second, 7u);
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST_F(TimerTest, KilledOrDestroyedInsideItsOwnTimerStopsAndBadCallsFail)
{
    const HWND a = log.make(), b = log.make();
    SetTimer(a, 1, 100);
    SetTimer(a, 2, 100);
    SetTimer(b, 3, 100);
    log.onTimer = [&](HWND h, WPARAM id) {
        if (id == 1) {
            EXPECT_TRUE(KillTimer(h, 1));
        }
        if (id == 2)
            DestroyWindow(h); // takes timer 2 with it
    };
    clock.advance(100);
    log.pump();
    EXPECT_EQ(log.fired.size(), 3u);
    log.fired.clear();
    clock.advance(1000);
    log.pump();
    ASSERT_EQ(log.fired.size(), 1u);
    EXPECT_EQ(log.fired[0].first, b);
    EXPECT_FALSE(KillTimer(a, 2));
    EXPECT_FALSE(KillTimer(b, 99));
    EXPECT_EQ(SetTimer(a, 5, 10), 0u);       // destroyed window
    EXPECT_EQ(SetTimer(nullptr, 5, 10), 0u); // no window

    // Another thread's window cannot be given a timer.
    UINT_PTR fromOther = 1;
    std::thread([&] { fromOther = SetTimer(b, 9, 10); }).join();
    EXPECT_EQ(fromOther, 0u);
    DestroyWindow(b);
}

TEST_F(TimerTest, FiltersSeeTimersOnlyInTheirRangeAndPostedMessagesComeFirst)
{
    const HWND a = log.make(), other = log.make();
    SetTimer(a, 4, 50);
    clock.advance(50);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_USER, WM_USER + 10, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessage(&msg, other, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(PumpMessageRange(a, WM_USER, WM_USER, 10), 0);
    PostMessage(a, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessage(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(PumpMessageRange(a, WM_TIMER, WM_TIMER, 10), 1);
    EXPECT_EQ(log.fired.size(), 1u);
    DestroyWindow(a);
    DestroyWindow(other);
}

TEST_F(TimerTest, GetMessageWaitingOnAnotherThreadWakesWhenTheClockMoves)
{
    std::atomic<HWND> window{nullptr};
    std::atomic<WPARAM> got{0};
    std::thread owner([&] {
        TimerLog mine;
        const HWND h = mine.make();
        SetTimer(h, 30000, 30000); // a 30 s watchdog
        window = h;
        MSG msg;
        if (GetMessage(&msg, nullptr, 0, 0) > 0)
            got = msg.message == WM_TIMER ? msg.wParam : 0;
        DestroyWindow(h);
    });
    while (!window)
        std::this_thread::yield();
    clock.advance(30000);
    owner.join();
    EXPECT_EQ(got, 30000u);
}

TEST(TimerRealClockTest, TimeUntilNextTimerCountsDownOnTheSystemClock)
{
    TimerLog log;
    const HWND h = log.make();
    EXPECT_EQ(TimeUntilNextTimer(), INFINITE);
    SetTimer(h, 1, 60000);
    const DWORD left = TimeUntilNextTimer();
    EXPECT_GT(left, 59000u);
    EXPECT_LE(left, 60000u);
    {
        ManualClock manual;
        ScopedClock use(manual);
        EXPECT_EQ(TimeUntilNextTimer(), INFINITE); // only moving the clock brings it closer
    }
    DestroyWindow(h);
    EXPECT_EQ(TimeUntilNextTimer(), INFINITE);
}
