// Every time and count the library waits by, in one place. The defaults are the product's values;
// tests replace them (ScopedTimings) instead of waiting the real times. A port copies them when it is
// made, the log when its writer starts.
#pragma once

#include <cstdint>

namespace zrcomm::detail {

struct Timings {
    // Port object.
    std::uint32_t promptWaitMs = 3000; // spread over promptTries waits; extra time for aborts
    std::uint32_t promptTries = 3;
    std::uint32_t probeNoticeIntervalMs = 30000;
    std::uint32_t writeFailureLimit = 10;
    std::uint32_t echoWatchdogMs = 30000;
    std::uint32_t replyWatchdogMs = 30000;
    std::uint32_t replyTimeoutMs = 30000; // until the program hands over its own
    std::uint32_t verifyTryLimit = 3;
    std::uint32_t baudSetTimeoutMs = 1000;    // own time-out of the baud set step
    std::uint32_t baudVerifyTimeoutMs = 3334; // own time-out of the baud verify step
    // Line time-outs as configured.
    std::uint32_t readIntervalMs = 50;
    std::uint32_t writeTotalMultiplierMs = 50;
    std::uint32_t writeTotalConstantMs = 3000;
    // Threads.
    std::uint32_t passSleepMs = 10;     // each pass of either thread begins with it
    std::uint32_t receiveWaitMs = 1000; // the receive thread's wait for line events
    std::uint32_t receiveStopWaitMs = 1000;
    std::uint32_t decisionSilenceMs = 50; // silence after a final '?' or ';' that makes it a
                                          // question or a page's end
    std::uint32_t activityNoticeMs = 250; // at most one activity notice per this time
    std::uint32_t ctsTries = 10;
    std::uint32_t ctsMinSleepMs = 50;
    std::uint32_t stepChainSleepMs = 10;
    std::uint32_t topLevelWriteDelayMs = 10;
    std::uint32_t stopSettleMs = 10; // between stopping the threads and closing the line
    // Log.
    std::uint32_t logIdleCloseMs = 1000; // the writer closes the file after this idle time
};

// The timings new ports and log writers take. Change only while no port is open.
Timings& timings();

// The timings a port takes when it is made: timings(), with the probe notice interval, the echo
// and reply watchdogs and the reply time-out cut to ZRCOMM_TEST_WATCHDOG_MS when that environment
// variable holds a positive number. Test-only: the program's own tests, which reach the library
// only through its exports, use it so that a silent driver or a stalled line is noticed in a second
// instead of 30 s. Unset (or not a positive number), nothing changes.
Timings PortTimings();
inline constexpr const char* kTestWatchdogVariable = "ZRCOMM_TEST_WATCHDOG_MS";

// Failures that tests provoke on purpose.
struct TestHooks {
    int failThreadStart = 0; // 1: the send thread cannot be made, 2: the receive thread
};
TestHooks& testHooks();

// Switches test hooks on for a scope: a test that fails half-way leaves none on for the next one.
class ScopedTestHooks {
public:
    explicit ScopedTestHooks(const TestHooks& h) : m_saved(testHooks()) { testHooks() = h; }
    ~ScopedTestHooks() { testHooks() = m_saved; }
    ScopedTestHooks(const ScopedTestHooks&) = delete;
    ScopedTestHooks& operator=(const ScopedTestHooks&) = delete;

private:
    TestHooks m_saved;
};

// Replaces the timings for a scope (tests).
class ScopedTimings {
public:
    explicit ScopedTimings(const Timings& t) : m_saved(timings()) { timings() = t; }
    ~ScopedTimings() { timings() = m_saved; }
    ScopedTimings(const ScopedTimings&) = delete;
    ScopedTimings& operator=(const ScopedTimings&) = delete;

private:
    Timings m_saved;
};

} // namespace zrcomm::detail
