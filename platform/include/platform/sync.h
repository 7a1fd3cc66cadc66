// Synchronisation primitives with Win32 meanings: events (manual or auto reset), waiting for one of
// several events, a recursive mutex whose whole depth can be given up and taken back, and a thread
// whose join keeps servicing messages sent to the joining thread.
//
// Contract: waits on events, mutexes and semaphores (here and in
// named_objects.h) do NOT service messages sent to the waiting thread; only the message-aware
// waits of messages.h (WaitServicingSends, SendMessage, GetMessage, Thread::join) do. So a thread
// must never SendMessage to another thread while holding a lock that thread may wait for: the
// data and oscilloscope mutexes are taken on the user-interface thread only, and no thread sends a
// message while holding one (a debug build logs such a send).
#pragma once

#include "platform/types.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <condition_variable>
#include <span>
#include <thread>

namespace plat {

inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
inline constexpr DWORD WAIT_ABANDONED = 0x00000080u; // a named mutex whose owner thread ended
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102u;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// An event backed by an eventfd: the descriptor is readable exactly while the event is signalled,
// so a thread can poll() on it together with a device descriptor. Polling never consumes an
// auto-reset event; only wait() and WaitForMultiple() do.
class Event {
public:
    explicit Event(bool manualReset = true, bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    // True when signalled within the time-out (an auto-reset event is then reset again).
    bool wait(DWORD timeoutMs = INFINITE);
    // Signalled right now? Does not consume an auto-reset event.
    bool isSet() const;
    bool manualReset() const { return m_manual; }
    int fd() const { return m_fd; }

private:
    friend DWORD WaitForMultiple(std::span<Event* const>, DWORD);
    // Takes the signal when there is one: resets an auto-reset event, leaves a manual one set.
    bool tryTake();

    mutable std::mutex m_mutex;
    int m_fd = -1;
    bool m_manual;
    bool m_set = false;
};

// Waits until one of the events is signalled: WAIT_OBJECT_0 + index of the first signalled one
// (lowest index wins, and only that one is consumed), WAIT_TIMEOUT, or WAIT_FAILED for an empty
// list. Does not service sent messages; see WaitServicingSends() in messages.h for that.
DWORD WaitForMultiple(std::span<Event* const> events, DWORD timeoutMs);
DWORD WaitForMultiple(std::initializer_list<Event*> events, DWORD timeoutMs);

// Recursive mutex that knows its owner and depth. releaseAll() gives the lock up completely and
// returns the depth it had, reacquire(depth) takes it back to that depth: a notification can be
// sent with the lock fully released so that the receiver may call back in.
// lock()/unlock()/try_lock() make it usable with std::lock_guard and std::unique_lock.
class RecursiveMutex {
public:
    RecursiveMutex() = default;
    RecursiveMutex(const RecursiveMutex&) = delete;
    RecursiveMutex& operator=(const RecursiveMutex&) = delete;

    // Each returns the calling thread's depth afterwards.
    int lock();
    int unlock(); // unlocking a mutex the caller does not hold does nothing and returns 0
    bool try_lock();

    int depth() const; // the calling thread's depth, 0 when it does not hold the lock
    bool heldByCurrentThread() const { return depth() > 0; }
    std::thread::id owner() const; // default id when free

    int releaseAll();          // -> depth given up (0 when not held)
    void reacquire(int depth); // depth <= 0 does nothing

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_free;
    std::thread::id m_owner;
    int m_depth = 0;
};

// Holds a RecursiveMutex for a scope.
class ScopedLock {
public:
    explicit ScopedLock(RecursiveMutex& m) : m_mutex(m) { m_mutex.lock(); }
    ~ScopedLock() { m_mutex.unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    RecursiveMutex& m_mutex;
};

// Gives a RecursiveMutex up completely for a scope and takes it back to the same depth.
class ScopedReleaseAll {
public:
    explicit ScopedReleaseAll(RecursiveMutex& m) : m_mutex(m), m_depth(m.releaseAll()) {}
    ~ScopedReleaseAll() { m_mutex.reacquire(m_depth); }
    ScopedReleaseAll(const ScopedReleaseAll&) = delete;
    ScopedReleaseAll& operator=(const ScopedReleaseAll&) = delete;
    int depth() const { return m_depth; }

private:
    RecursiveMutex& m_mutex;
    int m_depth;
};

// A worker thread whose end can be waited for with a time-out. join() services messages sent to
// the joining thread while it waits, so a user-interface thread joining a worker that is blocked in
// a SendMessage to it cannot deadlock. The destructor joins without a time limit. The body may
// destroy its own Thread object: the thread then runs out detached, touching nothing of it.
class Thread {
public:
    Thread() = default;
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts body on a new thread; false when a thread was started and not joined yet.
    bool start(std::function<void()> body);
    // True when the thread has ended (or none was started); false on time-out, or when called
    // from the thread itself.
    bool join(DWORD timeoutMs = INFINITE);
    bool joinable() const { return m_thread.joinable(); }
    // Signalled once the body has returned.
    Event& finished();

private:
    // What the running thread touches lives here, not in the Thread: the body may delete it.
    struct Shared {
        std::atomic<std::thread::id> id{};
        Event finished{true, false};
        Event started{true, false}; // set once start() no longer touches the Thread
    };
    std::thread m_thread;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

} // namespace plat
