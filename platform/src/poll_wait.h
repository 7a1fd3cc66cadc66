// poll() with a deadline given as a Win32 time-out, shared by the event and message waits.
#pragma once

#include "platform/types.h"

#include <chrono>
#include <cstddef>

#include <poll.h>

namespace plat::detail {

class Deadline {
public:
    explicit Deadline(DWORD timeoutMs)
        : m_infinite(timeoutMs == INFINITE),
          m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs))
    {
    }
    bool infinite() const { return m_infinite; }
    bool expired() const { return !m_infinite && std::chrono::steady_clock::now() >= m_end; }
    // Milliseconds left for poll(), rounded up so that a wait never ends early; -1 for no limit.
    int pollTimeout() const;

private:
    bool m_infinite;
    std::chrono::steady_clock::time_point m_end;
};

// Waits until one of fds is ready or the deadline passes; false on time-out. Interruptions by
// signals are retried.
bool pollFor(pollfd* fds, std::size_t count, const Deadline& deadline);

// Milliseconds of a monotonic clock, wrapping like the Win32 tick count.
DWORD tickNow();

} // namespace plat::detail
