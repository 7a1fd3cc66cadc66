// Time as the system's code sees it: a millisecond tick count, the local date and time, and
// Sleep. All of it goes through one replaceable clock so that tests can run a 40 s give-up loop
// in no real time: ManualClock's Sleep advances its time instantly.
#pragma once

#include "platform/types.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>

namespace plat {

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;     // 1-12
    WORD wDayOfWeek = 0; // 0 = Sunday
    WORD wDay = 0;       // 1-31
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, never going back.
    virtual std::uint64_t tickCount64() = 0;
    // Wall-clock time in milliseconds since 1970-01-01 UTC.
    virtual std::int64_t epochMs() = 0;
    virtual void sleep(DWORD ms) = 0;
    // False for a clock that moves only when told to: waits for a window timer then cannot be
    // measured in real time and wake up when the clock is moved instead.
    virtual bool movesByItself() const { return true; }
};

// The real clock: a monotonic tick, the system time, a real sleep.
class SystemClock : public Clock {
public:
    std::uint64_t tickCount64() override;
    std::int64_t epochMs() override;
    void sleep(DWORD ms) override;
};

// A clock that moves only when told to, or when someone sleeps on it (sleep(ms) advances it by
// ms at once). Thread-safe. The wall clock moves together with the tick.
class ManualClock : public Clock {
public:
    explicit ManualClock(std::uint64_t startTick = 1000000,
                         std::int64_t startEpochMs = 1767225600000); // 2026-01-01 00:00 UTC
    std::uint64_t tickCount64() override;
    std::int64_t epochMs() override;
    void sleep(DWORD ms) override;
    bool movesByItself() const override { return false; }

    // Moving the clock (advance, setTick, sleep) wakes every thread that has a window timer, so
    // that its due WM_TIMERs are delivered (timers.h).
    void advance(std::uint64_t ms);
    void setTick(std::uint64_t tick);
    void setEpochMs(std::int64_t ms);
    // Sets the wall clock so that GetLocalTime gives this local time.
    void setLocalTime(const SYSTEMTIME& local);
    // Called after every sleep with the tick reached (outside the clock's lock), so a test can
    // make things happen "meanwhile".
    void setOnSleep(std::function<void(std::uint64_t tick)> hook);
    std::uint64_t totalSlept() const;
    std::uint64_t sleepCount() const;

private:
    mutable std::mutex m_mutex;
    std::uint64_t m_tick;
    std::int64_t m_epochMs;
    std::uint64_t m_slept = 0;
    std::uint64_t m_sleeps = 0;
    std::function<void(std::uint64_t)> m_onSleep;
};

// The clock in use (the system clock unless a test installed another).
Clock& CurrentClock();

// Installs a clock for a scope; nests. Install from the test's main thread before starting the
// threads that use it.
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* m_previous;
};

// Win32 names over CurrentClock().
DWORD GetTickCount();          // wraps after 49.7 days, as on Win32
std::uint64_t GetTickCount64();
void GetLocalTime(SYSTEMTIME* time);
void Sleep(DWORD ms);
// Wall-clock seconds since 1970 (time()) and the local broken-down time of the current clock.
std::time_t CurrentTime();
std::tm CurrentLocalTm();
// Milliseconds passed from an earlier GetTickCount() value, correct across the wrap.
inline DWORD TicksSince(DWORD earlier) { return GetTickCount() - earlier; }

} // namespace plat
