// What the user interface feels of the message layer: how long a notification posted by a serial
// thread takes to reach the owner's handler, how many per second get through, and what one
// synchronous cross-thread send costs.
#include "platform/messages.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace plat;

namespace {

constexpr UINT WM_BENCH = WM_USER + 300;
constexpr UINT WM_BENCH_STOP = WM_USER + 301;

using Clock = std::chrono::steady_clock;

// A thread that owns one handle and runs a GetMessage loop, like a plain (non-Qt) owner.
class Owner {
public:
    explicit Owner(MessageHandler handler)
    {
        Event ready(true);
        m_thread = std::thread([&, handler = std::move(handler)]() mutable {
            m_hwnd = CreateMessageWindow([&, handler](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                if (m == WM_BENCH_STOP) {
                    PostQuitMessage(0);
                    return 0;
                }
                return handler(h, m, w, l);
            });
            ready.set();
            MSG msg;
            while (GetMessage(&msg, nullptr, 0, 0) > 0)
                DispatchMessage(&msg);
            DestroyWindow(m_hwnd);
        });
        ready.wait(INFINITE);
    }
    ~Owner()
    {
        PostMessage(m_hwnd, WM_BENCH_STOP, 0, 0);
        m_thread.join();
    }
    HWND hwnd() const { return m_hwnd; }

private:
    std::thread m_thread;
    HWND m_hwnd = nullptr;
};

// Time from PostMessage on this thread to the start of the handler on the owner thread.
void BM_PostDeliveryLatency(benchmark::State& state)
{
    std::atomic<Clock::rep> handledAt{0};
    Event handled(false);
    Owner owner([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
        handledAt.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        handled.set();
        return 0;
    });
    for (auto _ : state) {
        const auto postedAt = Clock::now();
        PostMessage(owner.hwnd(), WM_BENCH, 0, 0);
        handled.wait(INFINITE);
        const auto took = Clock::duration(handledAt.load(std::memory_order_relaxed)) -
                          postedAt.time_since_epoch();
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
}
BENCHMARK(BM_PostDeliveryLatency)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Bursts of posted notifications (as a capture or a busy line produces them) until all are handled.
void BM_PostThroughput(benchmark::State& state)
{
    const auto burst = static_cast<int>(state.range(0));
    std::atomic<int> count{0};
    Event burstDone(false);
    Owner owner([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
        if (count.fetch_add(1, std::memory_order_relaxed) + 1 == burst)
            burstDone.set();
        return 0;
    });
    for (auto _ : state) {
        count = 0;
        for (int i = 0; i < burst; ++i)
            PostMessage(owner.hwnd(), WM_BENCH, static_cast<WPARAM>(i), 0);
        burstDone.wait(INFINITE);
    }
    state.SetItemsProcessed(state.iterations() * burst);
}
BENCHMARK(BM_PostThroughput)->Arg(1)->Arg(100)->Arg(5000)->Unit(benchmark::kMicrosecond);

// One synchronous cross-thread SendMessage, answer included.
void BM_SendRoundTrip(benchmark::State& state)
{
    Owner owner([](HWND, UINT, WPARAM w, LPARAM) -> LRESULT { return static_cast<LRESULT>(w) + 1; });
    WPARAM i = 0;
    for (auto _ : state) {
        const LRESULT r = SendMessage(owner.hwnd(), WM_BENCH, i, 0);
        benchmark::DoNotOptimize(r);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendRoundTrip)->Unit(benchmark::kMicrosecond);

// The same send with a cancel event, as the communication library's receive thread sends text.
void BM_SendCancellableRoundTrip(benchmark::State& state)
{
    Owner owner([](HWND, UINT, WPARAM w, LPARAM) -> LRESULT { return static_cast<LRESULT>(w) + 1; });
    Event stop(true);
    WPARAM i = 0;
    for (auto _ : state) {
        LRESULT r = 0;
        benchmark::DoNotOptimize(SendMessageCancellable(owner.hwnd(), WM_BENCH, i++, 0, stop, &r));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendCancellableRoundTrip)->Unit(benchmark::kMicrosecond);

// A send answered by an owner that is not in a message loop but joining the sender (shutdown).
void BM_SendToJoiningOwner(benchmark::State& state)
{
    const auto sends = static_cast<int>(state.range(0));
    HWND hwnd = CreateMessageWindow([](HWND, UINT, WPARAM w, LPARAM) -> LRESULT {
        return static_cast<LRESULT>(w);
    });
    for (auto _ : state) {
        Thread worker;
        worker.start([&] {
            for (int i = 0; i < sends; ++i)
                SendMessage(hwnd, WM_BENCH, static_cast<WPARAM>(i), 0);
        });
        worker.join(INFINITE);
    }
    DestroyWindow(hwnd);
    state.SetItemsProcessed(state.iterations() * sends);
}
BENCHMARK(BM_SendToJoiningOwner)->Arg(100)->Unit(benchmark::kMicrosecond);

// For scale: a same-thread send is a direct call.
void BM_SendSameThread(benchmark::State& state)
{
    HWND hwnd = CreateMessageWindow([](HWND, UINT, WPARAM w, LPARAM) -> LRESULT {
        return static_cast<LRESULT>(w);
    });
    WPARAM i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessage(hwnd, WM_BENCH, i++, 0));
    DestroyWindow(hwnd);
}
BENCHMARK(BM_SendSameThread);

} // namespace

BENCHMARK_MAIN();
