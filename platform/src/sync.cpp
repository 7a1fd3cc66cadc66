#include "platform/sync.h"

#include "platform/messages.h"
#include "poll_wait.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace plat {

// ---- Event -------------------------------------------------------------------------------------
// Invariant kept under m_mutex: the eventfd counter is 1 exactly while m_set is true.

Event::Event(bool manualReset, bool initiallySet) : m_manual(manualReset)
{
    // Out of descriptors: the event stays usable for set/reset/isSet, and every wait on it
    // fails at once instead of blocking for ever (no exception leaves the library).
    m_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_fd < 0)
        std::fprintf(stderr, "plat::Event: eventfd failed (errno %d)\n", errno);
    if (initiallySet)
        set();
}

Event::~Event()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

static void writeOne(int fd)
{
    if (fd < 0)
        return;
    const std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

static void drain(int fd)
{
    if (fd < 0)
        return;
    std::uint64_t value = 0;
    while (::read(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

void Event::set()
{
    std::lock_guard lock(m_mutex);
    if (!m_set) {
        writeOne(m_fd);
        m_set = true;
    }
}

void Event::reset()
{
    std::lock_guard lock(m_mutex);
    if (m_set) {
        drain(m_fd);
        m_set = false;
    }
}

bool Event::isSet() const
{
    std::lock_guard lock(m_mutex);
    return m_set;
}

bool Event::tryTake()
{
    std::lock_guard lock(m_mutex);
    if (!m_set)
        return false;
    if (!m_manual) {
        drain(m_fd);
        m_set = false;
    }
    return true;
}

bool Event::wait(DWORD timeoutMs)
{
    if (timeoutMs == 0)
        return tryTake();
    Event* self = this;
    return WaitForMultiple(std::span<Event* const>(&self, 1), timeoutMs) == WAIT_OBJECT_0;
}

DWORD WaitForMultiple(std::span<Event* const> events, DWORD timeoutMs)
{
    if (events.empty())
        return WAIT_FAILED;
    std::vector<pollfd> fds(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!events[i] || events[i]->fd() < 0)
            return WAIT_FAILED;
        fds[i] = pollfd{events[i]->fd(), POLLIN, 0};
    }
    detail::Deadline deadline(timeoutMs);
    for (;;) {
        // Another waiter may take an auto-reset event between poll() and tryTake(): look again.
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (events[i]->tryTake())
                return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
        if (deadline.expired())
            return WAIT_TIMEOUT;
        if (!detail::pollFor(fds.data(), fds.size(), deadline))
            return WAIT_TIMEOUT;
    }
}

DWORD WaitForMultiple(std::initializer_list<Event*> events, DWORD timeoutMs)
{
    return WaitForMultiple(std::span<Event* const>(events.begin(), events.size()), timeoutMs);
}

// ---- RecursiveMutex ----------------------------------------------------------------------------

int RecursiveMutex::lock()
{
    const auto me = std::this_thread::get_id();
    std::unique_lock guard(m_mutex);
    if (m_depth > 0 && m_owner == me)
        return ++m_depth;
    m_free.wait(guard, [this] { return m_depth == 0; });
    m_owner = me;
    m_depth = 1;
    return 1;
}

bool RecursiveMutex::try_lock()
{
    const auto me = std::this_thread::get_id();
    std::lock_guard guard(m_mutex);
    if (m_depth > 0 && m_owner != me)
        return false;
    m_owner = me;
    ++m_depth;
    return true;
}

int RecursiveMutex::unlock()
{
    std::unique_lock guard(m_mutex);
    if (m_depth == 0 || m_owner != std::this_thread::get_id())
        return 0;
    if (--m_depth > 0)
        return m_depth;
    m_owner = std::thread::id();
    guard.unlock();
    m_free.notify_one();
    return 0;
}

int RecursiveMutex::depth() const
{
    std::lock_guard guard(m_mutex);
    return m_owner == std::this_thread::get_id() ? m_depth : 0;
}

std::thread::id RecursiveMutex::owner() const
{
    std::lock_guard guard(m_mutex);
    return m_owner;
}

int RecursiveMutex::releaseAll()
{
    std::unique_lock guard(m_mutex);
    if (m_depth == 0 || m_owner != std::this_thread::get_id())
        return 0;
    const int depth = m_depth;
    m_depth = 0;
    m_owner = std::thread::id();
    guard.unlock();
    m_free.notify_one();
    return depth;
}

void RecursiveMutex::reacquire(int depth)
{
    if (depth <= 0)
        return;
    const auto me = std::this_thread::get_id();
    std::unique_lock guard(m_mutex);
    if (m_depth > 0 && m_owner == me) {
        m_depth += depth;
        return;
    }
    m_free.wait(guard, [this] { return m_depth == 0; });
    m_owner = me;
    m_depth = depth;
}

// ---- Thread ------------------------------------------------------------------------------------

Thread::~Thread()
{
    // A thread that destroys its own Thread object cannot join itself; let it run out.
    if (!join(INFINITE) && m_thread.joinable())
        m_thread.detach();
}

bool Thread::start(std::function<void()> body)
{
    if (m_thread.joinable())
        return false;
    // A fresh state per run: a thread of an earlier run that was detached may still hold the old one.
    m_shared = std::make_shared<Shared>();
    const std::shared_ptr<Shared> shared = m_shared;
    try {
        m_thread = std::thread([shared, body = std::move(body)] {
            shared->id = std::this_thread::get_id(); // before the body can call join()
            // The body may delete this Thread: not while start() is still assigning m_thread.
            shared->started.wait();
            body();
            shared->finished.set();
        });
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "plat::Thread: cannot start a thread: %s\n", e.what());
        return false;
    }
    shared->started.set(); // from here on nothing of *this is touched
    return true;
}

Event& Thread::finished() { return m_shared->finished; }

bool Thread::join(DWORD timeoutMs)
{
    // The thread itself must not touch m_thread: its owner may still be assigning it.
    if (m_shared->id.load() == std::this_thread::get_id())
        return false;
    if (!m_thread.joinable())
        return true;
    if (!WaitServicingSends(m_shared->finished, timeoutMs))
        return false;
    m_thread.join();
    return true;
}

} // namespace plat
