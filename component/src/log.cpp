#include "component/log.h"

#include <cstdio>
#include <mutex>

namespace comp {

namespace {

std::mutex& logMutex()
{
    static std::mutex m;
    return m;
}

LogHandler& currentHandler()
{
    static LogHandler handler;
    return handler;
}

} // namespace

LogHandler setLogHandler(LogHandler handler)
{
    std::lock_guard lock(logMutex());
    LogHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

void logLine(std::string_view line)
{
    LogHandler handler;
    {
        std::lock_guard lock(logMutex());
        handler = currentHandler();
    }
    if (handler) {
        handler(line);
        return;
    }
    std::fprintf(stderr, "component: %.*s\n", static_cast<int>(line.size()), line.data());
}

} // namespace comp
