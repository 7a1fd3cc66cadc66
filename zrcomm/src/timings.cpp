#include "timings.h"

#include <algorithm>
#include <cstdlib>

namespace zrcomm::detail {

Timings& timings()
{
    static Timings t;
    return t;
}

Timings PortTimings()
{
    Timings t = timings();
    const char* text = std::getenv(kTestWatchdogVariable);
    if (!text || !*text)
        return t;
    char* end = nullptr;
    const unsigned long ms = std::strtoul(text, &end, 10);
    if (*end != '\0' || ms == 0 || ms > 30000)
        return t;
    const auto cap = static_cast<std::uint32_t>(ms);
    t.probeNoticeIntervalMs = std::min(t.probeNoticeIntervalMs, cap);
    t.echoWatchdogMs = std::min(t.echoWatchdogMs, cap);
    t.replyWatchdogMs = std::min(t.replyWatchdogMs, cap);
    t.replyTimeoutMs = std::min(t.replyTimeoutMs, cap); // until the program hands over its own
    return t;
}

TestHooks& testHooks()
{
    static TestHooks h;
    return h;
}

} // namespace zrcomm::detail
