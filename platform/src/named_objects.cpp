// The process-wide table of named objects. The table holds weak references only: an object lives
// as long as a handle does, and its name is free again once the last handle is gone.
#include "platform/named_objects.h"

#include "platform/errors.h"

#include "held_locks.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <unistd.h>

namespace plat {

namespace detail {

struct NamedMutexState {
    std::string name;
    std::mutex mutex;
    std::condition_variable freed;
    std::thread::id owner;
    int depth = 0;
    bool abandoned = false; // its owner ended holding it; the next waiter is told so
};

struct NamedSemaphoreState {
    std::string name;
    std::mutex mutex;
    std::condition_variable released;
    LONG count = 0;
    LONG maximum = 1;
};

struct NamedMemoryState {
    std::string name;
    std::size_t size = 0;
    std::unique_ptr<std::max_align_t[]> block;
};

} // namespace detail

namespace {

enum class Kind { Mutex, Semaphore, Memory };

struct Slot {
    Kind kind;
    std::weak_ptr<void> object;
};

std::mutex g_tableMutex;
std::map<std::string, Slot, std::less<>>& table()
{
    static auto* t = new std::map<std::string, Slot, std::less<>>(); // outlives static destructors
    return *t;
}

const std::string& emptyName()
{
    static const std::string empty;
    return empty;
}

// Finds or makes the object of that name. make() builds a new one; on a kind clash the result is
// null with ERROR_INVALID_HANDLE.
template <typename State, typename Make>
std::shared_ptr<State> createOrOpen(Kind kind, std::string_view name, bool create,
                                    bool* alreadyExisted, Make make)
{
    if (alreadyExisted)
        *alreadyExisted = false;
    if (name.empty()) {
        if (!create) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto fresh = make();
        if (fresh)
            SetLastError(ERROR_SUCCESS);
        return fresh;
    }
    std::shared_ptr<void> existing;
    {
        std::lock_guard lock(g_tableMutex);
        auto& t = table();
        auto it = t.find(name);
        if (it != t.end()) {
            existing = it->second.object.lock();
            if (existing && it->second.kind != kind) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
        }
        if (!existing) {
            if (!create) {
                SetLastError(ERROR_FILE_NOT_FOUND);
                return nullptr;
            }
            auto fresh = make();
            if (!fresh)
                return nullptr;
            fresh->name = std::string(name);
            t[std::string(name)] = Slot{kind, fresh};
            // Drop the entries of objects that are gone, so the table does not grow for ever.
            for (auto e = t.begin(); e != t.end();) {
                if (e->second.object.expired())
                    e = t.erase(e);
                else
                    ++e;
            }
            SetLastError(ERROR_SUCCESS);
            return fresh;
        }
    }
    if (alreadyExisted)
        *alreadyExisted = true;
    SetLastError(create ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return std::static_pointer_cast<State>(existing);
}

// The named mutexes the calling thread holds. When the thread ends holding some, they are given
// up as abandoned: a waiter must not block for ever on a mutex whose owner is gone.
struct HeldMutexes {
    std::vector<std::weak_ptr<detail::NamedMutexState>> list;

    void add(const std::shared_ptr<detail::NamedMutexState>& s) { list.push_back(s); }
    void remove(const detail::NamedMutexState* s)
    {
        std::erase_if(list, [s](const auto& w) {
            const auto held = w.lock();
            return !held || held.get() == s;
        });
    }
    ~HeldMutexes()
    {
        for (const auto& w : list) {
            const auto s = w.lock();
            if (!s)
                continue;
            {
                std::lock_guard lock(s->mutex);
                if (s->depth == 0 || s->owner != std::this_thread::get_id())
                    continue;
                s->depth = 0;
                s->owner = std::thread::id();
                s->abandoned = true;
            }
            std::fprintf(stderr, "plat: named mutex \"%s\" abandoned by a thread that ended holding it\n",
                         s->name.c_str());
            s->freed.notify_one();
        }
    }
};

thread_local HeldMutexes t_held;

template <typename Lock, typename Pred>
bool waitFor(std::condition_variable& cv, Lock& lock, DWORD timeoutMs, Pred pred)
{
    if (timeoutMs == INFINITE) {
        cv.wait(lock, pred);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), pred);
}

} // namespace

namespace detail {

int NamedMutexesHeld()
{
    int n = 0;
    for (const auto& w : t_held.list) {
        if (const auto s = w.lock()) {
            std::lock_guard lock(s->mutex);
            n += s->depth > 0 && s->owner == std::this_thread::get_id() ? 1 : 0;
        }
    }
    return n;
}

namespace {
std::atomic<int> g_sendsWhileHolding{0};
}

void NoteSendWhileHoldingNamedMutex(UINT message)
{
#ifndef NDEBUG
    ++g_sendsWhileHolding;
    std::fprintf(stderr,
                 "plat: message 0x%x sent to another thread while holding a named mutex; the "
                 "receiver may wait for that mutex and never answer\n",
                 message);
#else
    (void)message;
#endif
}

int SendsWhileHoldingNamedMutex() { return g_sendsWhileHolding.load(); }

} // namespace detail

// ---- Names -----------------------------------------------------------------------------------

DWORD ModuleToken() { return static_cast<DWORD>(::getpid()); }

std::string ExpandModuleToken(std::string_view pattern)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(ModuleToken()));
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'x') {
            out += hex;
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

// ---- Mutex -----------------------------------------------------------------------------------

NamedMutex NamedMutex::create(std::string_view name, bool initialOwner, bool* alreadyExisted)
{
    auto state = createOrOpen<detail::NamedMutexState>(Kind::Mutex, name, true, alreadyExisted,
        [] { return std::make_shared<detail::NamedMutexState>(); });
    NamedMutex m(state);
    if (state && initialOwner) {
        const DWORD err = GetLastError();
        m.wait(INFINITE);
        SetLastError(err);
    }
    return m;
}

NamedMutex NamedMutex::open(std::string_view name)
{
    return NamedMutex(createOrOpen<detail::NamedMutexState>(Kind::Mutex, name, false, nullptr,
        [] { return std::shared_ptr<detail::NamedMutexState>(); }));
}

const std::string& NamedMutex::name() const { return m_state ? m_state->name : emptyName(); }

DWORD NamedMutex::wait(DWORD timeoutMs)
{
    if (!m_state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    auto& s = *m_state;
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(s.mutex);
    if (s.depth > 0 && s.owner == self) {
        ++s.depth;
        return WAIT_OBJECT_0;
    }
    if (!waitFor(s.freed, lock, timeoutMs, [&] { return s.depth == 0; }))
        return WAIT_TIMEOUT;
    s.owner = self;
    s.depth = 1;
    t_held.add(m_state);
    if (s.abandoned) {
        s.abandoned = false;
        return WAIT_ABANDONED;
    }
    return WAIT_OBJECT_0;
}

bool NamedMutex::release()
{
    if (!m_state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    auto& s = *m_state;
    {
        std::lock_guard lock(s.mutex);
        if (s.depth == 0 || s.owner != std::this_thread::get_id()) {
            SetLastError(ERROR_NOT_OWNER);
            return false;
        }
        if (--s.depth > 0)
            return true;
        s.owner = std::thread::id();
    }
    t_held.remove(&s);
    s.freed.notify_one();
    return true;
}

int NamedMutex::depth() const
{
    if (!m_state)
        return 0;
    std::lock_guard lock(m_state->mutex);
    return m_state->owner == std::this_thread::get_id() ? m_state->depth : 0;
}

// ---- Semaphore -------------------------------------------------------------------------------

NamedSemaphore NamedSemaphore::create(std::string_view name, LONG initialCount, LONG maximumCount,
                                      bool* alreadyExisted)
{
    if (alreadyExisted)
        *alreadyExisted = false;
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    return NamedSemaphore(createOrOpen<detail::NamedSemaphoreState>(Kind::Semaphore, name, true,
        alreadyExisted, [&] {
            auto s = std::make_shared<detail::NamedSemaphoreState>();
            s->count = initialCount;
            s->maximum = maximumCount;
            return s;
        }));
}

NamedSemaphore NamedSemaphore::open(std::string_view name)
{
    return NamedSemaphore(createOrOpen<detail::NamedSemaphoreState>(Kind::Semaphore, name, false,
        nullptr, [] { return std::shared_ptr<detail::NamedSemaphoreState>(); }));
}

const std::string& NamedSemaphore::name() const { return m_state ? m_state->name : emptyName(); }

DWORD NamedSemaphore::wait(DWORD timeoutMs)
{
    if (!m_state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    auto& s = *m_state;
    std::unique_lock lock(s.mutex);
    if (!waitFor(s.released, lock, timeoutMs, [&] { return s.count > 0; }))
        return WAIT_TIMEOUT;
    --s.count;
    return WAIT_OBJECT_0;
}

bool NamedSemaphore::release(LONG count, LONG* previousCount)
{
    if (!m_state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    auto& s = *m_state;
    {
        std::lock_guard lock(s.mutex);
        if (count > s.maximum - s.count) {
            SetLastError(ERROR_TOO_MANY_POSTS);
            return false;
        }
        if (previousCount)
            *previousCount = s.count;
        s.count += count;
    }
    if (count == 1)
        s.released.notify_one();
    else
        s.released.notify_all();
    return true;
}

LONG NamedSemaphore::count() const
{
    if (!m_state)
        return 0;
    std::lock_guard lock(m_state->mutex);
    return m_state->count;
}

// ---- Memory ----------------------------------------------------------------------------------

NamedMemory NamedMemory::create(std::string_view name, std::size_t size, bool* alreadyExisted)
{
    if (alreadyExisted)
        *alreadyExisted = false;
    if (size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    return NamedMemory(createOrOpen<detail::NamedMemoryState>(Kind::Memory, name, true,
        alreadyExisted, [&]() -> std::shared_ptr<detail::NamedMemoryState> {
            const std::size_t units = (size + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
            auto s = std::make_shared<detail::NamedMemoryState>();
            s->block.reset(new (std::nothrow) std::max_align_t[units]);
            if (!s->block) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
            // Every byte, padding included: value-initialising the array would leave padding.
            std::memset(static_cast<void*>(s->block.get()), 0, units * sizeof(std::max_align_t));
            s->size = size;
            return s;
        }));
}

NamedMemory NamedMemory::open(std::string_view name)
{
    return NamedMemory(createOrOpen<detail::NamedMemoryState>(Kind::Memory, name, false, nullptr,
        [] { return std::shared_ptr<detail::NamedMemoryState>(); }));
}

const std::string& NamedMemory::name() const { return m_state ? m_state->name : emptyName(); }
void* NamedMemory::data() const { return m_state ? m_state->block.get() : nullptr; }
std::size_t NamedMemory::size() const { return m_state ? m_state->size : 0; }

} // namespace plat
