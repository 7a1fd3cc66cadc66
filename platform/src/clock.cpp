#include "platform/clock.h"

#include "timer_wake.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <time.h>

namespace plat {

namespace {

SystemClock& systemClock()
{
    static SystemClock clock;
    return clock;
}

std::atomic<Clock*> g_clock{nullptr};

std::tm localTmOf(std::int64_t epochMs)
{
    std::time_t secs = static_cast<std::time_t>(epochMs / 1000);
    if (epochMs < 0 && epochMs % 1000 != 0)
        --secs;
    std::tm tm{};
    ::localtime_r(&secs, &tm);
    return tm;
}

} // namespace

// ---- SystemClock -----------------------------------------------------------------------------

std::uint64_t SystemClock::tickCount64()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::int64_t SystemClock::epochMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void SystemClock::sleep(DWORD ms)
{
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---- ManualClock -----------------------------------------------------------------------------

ManualClock::ManualClock(std::uint64_t startTick, std::int64_t startEpochMs)
    : m_tick(startTick), m_epochMs(startEpochMs)
{
}

std::uint64_t ManualClock::tickCount64()
{
    std::lock_guard lock(m_mutex);
    return m_tick;
}

std::int64_t ManualClock::epochMs()
{
    std::lock_guard lock(m_mutex);
    return m_epochMs;
}

void ManualClock::sleep(DWORD ms)
{
    std::function<void(std::uint64_t)> hook;
    std::uint64_t reached;
    {
        std::lock_guard lock(m_mutex);
        // INFINITE would stop a real thread for ever; here it only moves time a long way.
        m_tick += ms;
        m_epochMs += ms;
        m_slept += ms;
        ++m_sleeps;
        reached = m_tick;
        hook = m_onSleep;
    }
    // Let other threads run, as a real sleep would.
    std::this_thread::yield();
    detail::WakeTimerThreads();
    if (hook)
        hook(reached);
}

void ManualClock::advance(std::uint64_t ms)
{
    {
        std::lock_guard lock(m_mutex);
        m_tick += ms;
        m_epochMs += static_cast<std::int64_t>(ms);
    }
    detail::WakeTimerThreads();
}

void ManualClock::setTick(std::uint64_t tick)
{
    {
        std::lock_guard lock(m_mutex);
        m_tick = tick;
    }
    detail::WakeTimerThreads();
}

void ManualClock::setEpochMs(std::int64_t ms)
{
    std::lock_guard lock(m_mutex);
    m_epochMs = ms;
}

void ManualClock::setLocalTime(const SYSTEMTIME& local)
{
    std::tm tm{};
    tm.tm_year = local.wYear - 1900;
    tm.tm_mon = local.wMonth - 1;
    tm.tm_mday = local.wDay;
    tm.tm_hour = local.wHour;
    tm.tm_min = local.wMinute;
    tm.tm_sec = local.wSecond;
    tm.tm_isdst = -1;
    const std::time_t secs = ::mktime(&tm);
    setEpochMs(static_cast<std::int64_t>(secs) * 1000 + local.wMilliseconds);
}

void ManualClock::setOnSleep(std::function<void(std::uint64_t)> hook)
{
    std::lock_guard lock(m_mutex);
    m_onSleep = std::move(hook);
}

std::uint64_t ManualClock::totalSlept() const
{
    std::lock_guard lock(m_mutex);
    return m_slept;
}

std::uint64_t ManualClock::sleepCount() const
{
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}

// ---- Current clock ---------------------------------------------------------------------------

Clock& CurrentClock()
{
    Clock* c = g_clock.load(std::memory_order_acquire);
    return c ? *c : systemClock();
}

ScopedClock::ScopedClock(Clock& clock) : m_previous(g_clock.exchange(&clock))
{
    detail::WakeTimerThreads();
}

ScopedClock::~ScopedClock()
{
    g_clock.store(m_previous);
    detail::WakeTimerThreads();
}

DWORD GetTickCount() { return static_cast<DWORD>(CurrentClock().tickCount64()); }
std::uint64_t GetTickCount64() { return CurrentClock().tickCount64(); }
void Sleep(DWORD ms) { CurrentClock().sleep(ms); }

std::time_t CurrentTime()
{
    const std::int64_t ms = CurrentClock().epochMs();
    return static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
}

std::tm CurrentLocalTm() { return localTmOf(CurrentClock().epochMs()); }

void GetLocalTime(SYSTEMTIME* time)
{
    if (!time)
        return;
    const std::int64_t ms = CurrentClock().epochMs();
    const std::tm tm = localTmOf(ms);
    time->wYear = static_cast<WORD>(tm.tm_year + 1900);
    time->wMonth = static_cast<WORD>(tm.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    time->wDay = static_cast<WORD>(tm.tm_mday);
    time->wHour = static_cast<WORD>(tm.tm_hour);
    time->wMinute = static_cast<WORD>(tm.tm_min);
    time->wSecond = static_cast<WORD>(tm.tm_sec);
    time->wMilliseconds = static_cast<WORD>(((ms % 1000) + 1000) % 1000);
}

} // namespace plat
