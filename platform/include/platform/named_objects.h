// Named kernel objects of one process: a recursive mutex, a counting semaphore and a block of
// memory, found by name (case-sensitive, one namespace for all three kinds) so that the program
// and the plug-ins it loads share them. They live as long as a handle to them does (reference
// counted); the last handle's destruction removes the name. An empty name makes an unnamed object.
//
// Creating an object whose name is already taken opens the existing one and reports "already
// existed" both through the out flag and as GetLastError() == ERROR_ALREADY_EXISTS (0 otherwise),
// as CreateMutex/CreateSemaphore/CreateFileMapping do. A name taken by another kind of object
// gives an empty handle and ERROR_INVALID_HANDLE. For the one object that must be seen by other
// processes, see process_lock.h.
//
// Waits on these objects do not service messages sent to the waiting thread (see sync.h): take
// the data and oscilloscope mutexes on the user-interface thread only, and never SendMessage to
// another thread while holding one (a debug build logs such a send). A thread that ends holding a
// mutex abandons it: the next waiter gets WAIT_ABANDONED with ownership (and a log line).
#pragma once

#include "platform/sync.h" // WAIT_OBJECT_0, WAIT_TIMEOUT, WAIT_FAILED
#include "platform/types.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace plat {

namespace detail {
struct NamedMutexState;
struct NamedSemaphoreState;
struct NamedMemoryState;
} // namespace detail

// A value that identifies this process in object names and that the program and every plug-in
// loaded into it agree on: the process id. Stands in for the program's module handle.
DWORD ModuleToken();
// Replaces each "%x" of pattern with ModuleToken() in lower-case hexadecimal:
// "VEKZR_MEM_MUTEX_%x" -> "VEKZR_MEM_MUTEX_1a2b".
std::string ExpandModuleToken(std::string_view pattern);

// A recursive mutex: the owning thread may take it again and must release it as often.
// Copies are further handles to the same mutex.
class NamedMutex {
public:
    NamedMutex() = default; // empty handle
    // CreateMutex: initialOwner makes the calling thread take it (also when it already existed).
    static NamedMutex create(std::string_view name, bool initialOwner = false,
                             bool* alreadyExisted = nullptr);
    // OpenMutex: an empty handle and ERROR_FILE_NOT_FOUND when there is none of that name.
    static NamedMutex open(std::string_view name);

    bool valid() const { return m_state != nullptr; }
    explicit operator bool() const { return valid(); }
    const std::string& name() const;

    // WaitForSingleObject: WAIT_OBJECT_0 once held (again), WAIT_ABANDONED once held when the
    // previous owner thread ended holding it (the data it guards may be half changed),
    // WAIT_TIMEOUT, or WAIT_FAILED for an empty handle. INFINITE waits for ever.
    DWORD wait(DWORD timeoutMs = INFINITE);
    // ReleaseMutex: false with ERROR_NOT_OWNER when the calling thread does not hold it.
    bool release();
    // The calling thread's depth (0 when it does not hold it).
    int depth() const;

    // For std::lock_guard / std::unique_lock.
    void lock() { wait(INFINITE); }
    void unlock() { release(); }
    bool try_lock()
    {
        const DWORD r = wait(0);
        return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }

    void close() { m_state.reset(); } // CloseHandle
    bool sameObject(const NamedMutex& other) const { return m_state == other.m_state; }

private:
    explicit NamedMutex(std::shared_ptr<detail::NamedMutexState> s) : m_state(std::move(s)) {}
    std::shared_ptr<detail::NamedMutexState> m_state;
};

// A counting semaphore: wait() takes one unit, release() gives units back up to the maximum.
class NamedSemaphore {
public:
    NamedSemaphore() = default;
    // CreateSemaphore: 0 <= initialCount <= maximumCount and maximumCount > 0, else an empty
    // handle with ERROR_INVALID_PARAMETER. An existing semaphore keeps its own counts.
    static NamedSemaphore create(std::string_view name, LONG initialCount, LONG maximumCount,
                                 bool* alreadyExisted = nullptr);
    static NamedSemaphore open(std::string_view name);

    bool valid() const { return m_state != nullptr; }
    explicit operator bool() const { return valid(); }
    const std::string& name() const;

    DWORD wait(DWORD timeoutMs = INFINITE);
    // ReleaseSemaphore: false with ERROR_TOO_MANY_POSTS when the count would pass the maximum
    // (nothing is released then), ERROR_INVALID_PARAMETER for count <= 0.
    bool release(LONG count = 1, LONG* previousCount = nullptr);
    LONG count() const;

    void close() { m_state.reset(); }
    bool sameObject(const NamedSemaphore& other) const { return m_state == other.m_state; }

private:
    explicit NamedSemaphore(std::shared_ptr<detail::NamedSemaphoreState> s) : m_state(std::move(s)) {}
    std::shared_ptr<detail::NamedSemaphoreState> m_state;
};

// A block of zeroed memory, suitably aligned for any type, shared by name within the process
// (CreateFileMapping on the page file + MapViewOfFile). Opening an existing block gives that block
// at its own size, whatever size was asked.
class NamedMemory {
public:
    NamedMemory() = default;
    // size 0 gives an empty handle with ERROR_INVALID_PARAMETER.
    static NamedMemory create(std::string_view name, std::size_t size,
                              bool* alreadyExisted = nullptr);
    static NamedMemory open(std::string_view name);

    bool valid() const { return m_state != nullptr; }
    explicit operator bool() const { return valid(); }
    const std::string& name() const;

    void* data() const;
    std::size_t size() const;

    void close() { m_state.reset(); } // UnmapViewOfFile + CloseHandle
    bool sameObject(const NamedMemory& other) const { return m_state == other.m_state; }

private:
    explicit NamedMemory(std::shared_ptr<detail::NamedMemoryState> s) : m_state(std::move(s)) {}
    std::shared_ptr<detail::NamedMemoryState> m_state;
};

} // namespace plat
