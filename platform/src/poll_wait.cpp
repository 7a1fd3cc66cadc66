#include "poll_wait.h"

#include <cerrno>
#include <climits>

namespace plat::detail {

int Deadline::pollTimeout() const
{
    if (m_infinite)
        return -1;
    using namespace std::chrono;
    const auto left = m_end - steady_clock::now();
    if (left <= steady_clock::duration::zero())
        return 0;
    const auto ms = duration_cast<milliseconds>(left + milliseconds(1) - nanoseconds(1)).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

bool pollFor(pollfd* fds, std::size_t count, const Deadline& deadline)
{
    for (;;) {
        for (std::size_t i = 0; i < count; ++i)
            fds[i].revents = 0;
        const int n = ::poll(fds, static_cast<nfds_t>(count), deadline.pollTimeout());
        if (n > 0)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (deadline.expired())
            return false;
        // poll() may return a little early on coarse clocks; wait out the rest.
    }
}

DWORD tickNow()
{
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace plat::detail
