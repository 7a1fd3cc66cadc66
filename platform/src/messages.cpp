// Handle registry, per-thread message queues, posting, cross-thread sending and retrieval.
//
// Lock order: registry lock, then a queue's lock. Handlers, wakers' callers and Qt never run with
// the registry lock held exclusively, and handlers never run with any of our locks held.
#include "platform/messages.h"

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/timers.h"

#include "held_locks.h"
#include "poll_wait.h"
#include "timer_wake.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <shared_mutex>
#include <unordered_map>
#include <vector>

#include <poll.h>

namespace plat {
namespace {

// A cross-thread send waiting in (or taken from) the owner's queue. state and result are guarded
// by the owner queue's mutex.
struct SentItem {
    enum class State { Pending, Running, Done, Failed, Withdrawn };
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    State state = State::Pending;
    LRESULT result = 0;
    std::shared_ptr<Event> reply; // the sender's reply event; set after the state changed
};

// A window timer; due is a tick of the current clock.
struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    std::uint64_t due;
    std::uint64_t order; // ties of due go to the timer set first
};

struct ThreadQueue {
    std::thread::id thread = std::this_thread::get_id();
    std::mutex mutex;
    std::deque<MSG> posted;
    std::vector<Timer> timers;
    std::uint64_t nextTimerOrder = 0;
    std::deque<std::shared_ptr<SentItem>> sent;
    bool quit = false;
    int quitCode = 0;
    bool alive = true;
    std::function<void()> waker;
    // Set on every post; the owner resets it before it looks at the queue and then sleeps on it.
    Event postedSignal{true, false};
    // Set exactly while sent messages are pending.
    Event sentSignal{true, false};

    void wake()
    {
        if (waker)
            waker();
    }
};

struct Window {
    HWND hwnd;
    std::shared_ptr<ThreadQueue> queue;
    MessageHandler handler;
    std::atomic<bool> alive{true};
};

struct Registry {
    std::shared_mutex mutex;
    std::unordered_map<HWND, std::shared_ptr<Window>> windows;
    std::uintptr_t nextHandle = 0x10000;
};

// Never destroyed: threads may still post while static objects are torn down at exit.
Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

std::shared_ptr<Window> findWindow(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    Registry& reg = registry();
    std::shared_lock lock(reg.mutex);
    const auto it = reg.windows.find(hwnd);
    return it == reg.windows.end() ? nullptr : it->second;
}

// Fails every sent message still waiting in q. Caller holds q.mutex.
void failPendingSends(ThreadQueue& q, HWND onlyFor)
{
    for (auto it = q.sent.begin(); it != q.sent.end();) {
        if (onlyFor && (*it)->hwnd != onlyFor) {
            ++it;
            continue;
        }
        (*it)->state = SentItem::State::Failed;
        (*it)->reply->set();
        it = q.sent.erase(it);
    }
    if (q.sent.empty())
        q.sentSignal.reset();
}

thread_local bool t_stateGone = false;

// Marks the thread's message state as gone when ThreadState's destructor leaves.
struct ThreadStateEnd {
    ~ThreadStateEnd() { t_stateGone = true; }
};

// The calling thread's queue, made on first use. When the thread ends, its handles are destroyed
// and whoever still waits for them is released, as when a Win32 thread exits.
struct ThreadState {
    std::shared_ptr<ThreadQueue> queue;
    std::shared_ptr<Event> reply;
    DWORD lastMessageTime = 0;

    ~ThreadState()
    {
        const ThreadStateEnd end; // whatever path this takes, the state is gone afterwards
        if (!queue)
            return;
        std::vector<std::shared_ptr<Window>> mine;
        {
            Registry& reg = registry();
            std::unique_lock lock(reg.mutex);
            for (auto it = reg.windows.begin(); it != reg.windows.end();) {
                if (it->second->queue == queue) {
                    mine.push_back(it->second);
                    it = reg.windows.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (auto& w : mine)
            w->alive = false;
        std::lock_guard lock(queue->mutex);
        queue->alive = false;
        queue->posted.clear();
        queue->timers.clear();
        queue->waker = nullptr;
        failPendingSends(*queue, nullptr);
    }
};

thread_local ThreadState t_state;

ThreadQueue& currentQueue()
{
    if (!t_state.queue)
        t_state.queue = std::make_shared<ThreadQueue>();
    return *t_state.queue;
}

Event& replyEvent()
{
    if (!t_state.reply)
        t_state.reply = std::make_shared<Event>(true, false);
    return *t_state.reply;
}

bool idInRange(UINT id, UINT first, UINT last)
{
    if (first == 0 && last == 0)
        return true;
    return id >= first && id <= last;
}

// Queues a cross-thread send; false when the handle or its thread is gone.
bool queueSend(HWND hwnd, const std::shared_ptr<SentItem>& item, std::shared_ptr<ThreadQueue>& owner)
{
    Registry& reg = registry();
    std::shared_lock regLock(reg.mutex);
    const auto it = reg.windows.find(hwnd);
    if (it == reg.windows.end())
        return false;
    owner = it->second->queue;
    std::lock_guard lock(owner->mutex);
    if (!owner->alive)
        return false;
    owner->sent.push_back(item);
    owner->sentSignal.set();
    owner->wake();
    return true;
}

bool sendImpl(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Event* cancel, LRESULT* out)
{
    const auto window = findWindow(hwnd);
    if (!window)
        return false;
    if (window->queue->thread == std::this_thread::get_id()) {
        if (!window->alive)
            return false;
        const LRESULT r = window->handler ? window->handler(hwnd, message, wParam, lParam) : 0;
        if (out)
            *out = r;
        return true;
    }

    // With its message state destroyed this thread cannot wait for a reply.
    if (t_stateGone)
        return false;
    if (detail::NamedMutexesHeld() > 0)
        detail::NoteSendWhileHoldingNamedMutex(message);
    ThreadQueue& mine = currentQueue();
    Event& reply = replyEvent();
    auto item = std::make_shared<SentItem>();
    item->hwnd = hwnd;
    item->message = message;
    item->wParam = wParam;
    item->lParam = lParam;
    item->reply = t_state.reply;
    std::shared_ptr<ThreadQueue> owner;
    if (!queueSend(hwnd, item, owner))
        return false;

    bool watchCancel = cancel != nullptr;
    pollfd fds[3] = {{reply.fd(), POLLIN, 0},
                     {mine.sentSignal.fd(), POLLIN, 0},
                     {cancel ? cancel->fd() : -1, POLLIN, 0}};
    const detail::Deadline forever(INFINITE);
    for (;;) {
        // Nested sends from this thread share the reply event: reset it, then look at our own
        // item, so a reply meant for an outer send is never lost.
        reply.reset();
        {
            std::lock_guard lock(owner->mutex);
            switch (item->state) {
            case SentItem::State::Done:
                if (out)
                    *out = item->result;
                return true;
            case SentItem::State::Failed:
            case SentItem::State::Withdrawn:
                return false;
            case SentItem::State::Pending:
                if (watchCancel && cancel->isSet()) {
                    const auto pos = std::find(owner->sent.begin(), owner->sent.end(), item);
                    if (pos != owner->sent.end())
                        owner->sent.erase(pos);
                    if (owner->sent.empty())
                        owner->sentSignal.reset();
                    item->state = SentItem::State::Withdrawn;
                    return false;
                }
                break;
            case SentItem::State::Running:
                // The handler may be using what the parameters point to: wait for it.
                watchCancel = false;
                break;
            }
        }
        detail::pollFor(fds, watchCancel ? 3 : 2, forever);
        if (fds[1].revents)
            PumpSentMessages();
    }
}

} // namespace

HWND CreateMessageWindow(MessageHandler handler)
{
    currentQueue();
    auto window = std::make_shared<Window>();
    window->queue = t_state.queue;
    window->handler = std::move(handler);
    Registry& reg = registry();
    std::unique_lock lock(reg.mutex);
    window->hwnd = reinterpret_cast<HWND>(reg.nextHandle);
    reg.nextHandle += 4;
    reg.windows.emplace(window->hwnd, window);
    return window->hwnd;
}

BOOL DestroyWindow(HWND hwnd)
{
    std::shared_ptr<Window> window;
    {
        Registry& reg = registry();
        std::unique_lock lock(reg.mutex);
        const auto it = reg.windows.find(hwnd);
        if (it == reg.windows.end())
            return FALSE;
        window = it->second;
        reg.windows.erase(it);
    }
    window->alive = false;
    ThreadQueue& q = *window->queue;
    std::lock_guard lock(q.mutex);
    std::erase_if(q.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    std::erase_if(q.timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    failPendingSends(q, hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return findWindow(hwnd) ? TRUE : FALSE;
}

bool IsWindowOfCurrentThread(HWND hwnd)
{
    const auto window = findWindow(hwnd);
    return window && window->queue->thread == std::this_thread::get_id();
}

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd)
        return FALSE;
    Registry& reg = registry();
    std::shared_lock regLock(reg.mutex);
    const auto it = reg.windows.find(hwnd);
    if (it == reg.windows.end())
        return FALSE;
    ThreadQueue& q = *it->second->queue;
    std::lock_guard lock(q.mutex);
    if (!q.alive || q.posted.size() >= MAX_POSTED_MESSAGES)
        return FALSE;
    q.posted.push_back(MSG{hwnd, msg, wParam, lParam, detail::tickNow()});
    q.postedSignal.set();
    q.wake();
    return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    return sendImpl(hwnd, msg, wParam, lParam, nullptr, &result) ? result : 0;
}

bool SendMessageCancellable(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, Event& cancel,
                            LRESULT* out)
{
    return sendImpl(hwnd, msg, wParam, lParam, &cancel, out);
}

int PumpSentMessages()
{
    if (t_stateGone || !t_state.queue)
        return 0; // no queue (yet or any more): nothing can have been sent to this thread
    const std::shared_ptr<ThreadQueue> q = t_state.queue;
    int count = 0;
    for (;;) {
        std::shared_ptr<SentItem> item;
        {
            std::lock_guard lock(q->mutex);
            if (q->sent.empty()) {
                q->sentSignal.reset();
                break;
            }
            item = q->sent.front();
            q->sent.pop_front();
            if (q->sent.empty())
                q->sentSignal.reset();
            item->state = SentItem::State::Running;
        }
        const auto window = findWindow(item->hwnd);
        bool ran = false;
        LRESULT result = 0;
        if (window && window->alive) {
            result = window->handler
                         ? window->handler(item->hwnd, item->message, item->wParam, item->lParam)
                         : 0;
            ran = true;
        }
        {
            std::lock_guard lock(q->mutex);
            item->result = result;
            item->state = ran ? SentItem::State::Done : SentItem::State::Failed;
        }
        item->reply->set();
        ++count;
    }
    return count;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    PumpSentMessages();
    ThreadQueue& q = currentQueue();
    std::lock_guard lock(q.mutex);
    const auto it = std::find_if(q.posted.begin(), q.posted.end(), [&](const MSG& m) {
        return (!hwnd || m.hwnd == hwnd) && idInRange(m.message, filterMin, filterMax);
    });
    if (it != q.posted.end()) {
        if (msg)
            *msg = *it;
        t_state.lastMessageTime = it->time;
        if (removeFlags & PM_REMOVE)
            q.posted.erase(it);
        return TRUE;
    }
    if (q.quit && !hwnd && idInRange(WM_QUIT, filterMin, filterMax)) {
        const DWORD now = detail::tickNow();
        if (msg)
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, now};
        t_state.lastMessageTime = now;
        if (removeFlags & PM_REMOVE)
            q.quit = false;
        return TRUE;
    }
    if (!q.timers.empty() && idInRange(WM_TIMER, filterMin, filterMax)) {
        const std::uint64_t now = CurrentClock().tickCount64();
        Timer* due = nullptr;
        for (Timer& t : q.timers) {
            if (t.due <= now && (!hwnd || t.hwnd == hwnd) &&
                (!due || t.due < due->due || (t.due == due->due && t.order < due->order)))
                due = &t;
        }
        if (due) {
            if (msg)
                *msg = MSG{due->hwnd, WM_TIMER, due->id, 0, static_cast<DWORD>(now)};
            t_state.lastMessageTime = static_cast<DWORD>(now);
            if (removeFlags & PM_REMOVE)
                due->due = now + due->elapse;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg || (hwnd && !IsWindowOfCurrentThread(hwnd)))
        return -1;
    ThreadQueue& q = currentQueue();
    pollfd fds[2] = {{q.postedSignal.fd(), POLLIN, 0}, {q.sentSignal.fd(), POLLIN, 0}};
    for (;;) {
        q.postedSignal.reset();
        if (PeekMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE))
            return msg->message == WM_QUIT ? 0 : 1;
        // A timer comes due without anyone posting: wait no longer than that.
        detail::pollFor(fds, 2, detail::Deadline(TimeUntilNextTimer()));
    }
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg)
        return 0;
    const auto window = findWindow(msg->hwnd);
    if (!window || !window->alive || window->queue->thread != std::this_thread::get_id())
        return 0;
    return window->handler ? window->handler(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

void PostQuitMessage(int exitCode)
{
    ThreadQueue& q = currentQueue();
    std::lock_guard lock(q.mutex);
    q.quit = true;
    q.quitCode = exitCode;
    q.postedSignal.set();
    q.wake();
}

DWORD GetMessageTime()
{
    return t_state.lastMessageTime;
}

int PumpMessageRange(HWND hwnd, UINT first, UINT last, int maxMessages)
{
    int count = 0;
    MSG msg;
    while (count < maxMessages && PeekMessage(&msg, hwnd, first, last, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: leave it for the thread's main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        DispatchMessage(&msg);
        ++count;
    }
    return count;
}

bool WaitServicingSends(Event& event, DWORD timeoutMs)
{
    if (event.fd() < 0)
        return false;
    // A thread without a queue owns no handles, so nothing can be sent to it; one whose message
    // state has been destroyed (a static destructor run by exit()) must not touch that state.
    if (t_stateGone || !t_state.queue)
        return event.wait(timeoutMs);
    ThreadQueue& q = currentQueue();
    pollfd fds[2] = {{event.fd(), POLLIN, 0}, {q.sentSignal.fd(), POLLIN, 0}};
    const detail::Deadline deadline(timeoutMs);
    for (;;) {
        PumpSentMessages();
        if (event.wait(0))
            return true;
        if (deadline.expired() || !detail::pollFor(fds, 2, deadline))
            return event.wait(0);
    }
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs)
{
    const auto window = findWindow(hwnd);
    if (!window || window->queue->thread != std::this_thread::get_id() || !window->alive) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const UINT elapse = std::max(elapseMs, USER_TIMER_MINIMUM);
    const std::uint64_t due = CurrentClock().tickCount64() + elapse;
    ThreadQueue& q = *window->queue;
    {
        std::lock_guard lock(q.mutex);
        const auto it = std::find_if(q.timers.begin(), q.timers.end(),
                                     [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
        const Timer timer{hwnd, id, elapse, due, q.nextTimerOrder++};
        if (it != q.timers.end())
            *it = timer;
        else
            q.timers.push_back(timer);
        // An event-loop integration must learn of the new deadline.
        q.wake();
    }
    SetLastError(ERROR_SUCCESS);
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    const auto window = findWindow(hwnd);
    if (!window || window->queue->thread != std::this_thread::get_id())
        return FALSE;
    ThreadQueue& q = *window->queue;
    std::lock_guard lock(q.mutex);
    const auto removed =
        std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    return removed ? TRUE : FALSE;
}

DWORD TimeUntilNextTimer()
{
    if (t_stateGone || !t_state.queue)
        return INFINITE;
    Clock& clock = CurrentClock();
    if (!clock.movesByItself())
        return INFINITE;
    ThreadQueue& q = *t_state.queue;
    std::lock_guard lock(q.mutex);
    if (q.timers.empty())
        return INFINITE;
    std::uint64_t first = UINT64_MAX;
    for (const Timer& t : q.timers)
        first = std::min(first, t.due);
    const std::uint64_t now = clock.tickCount64();
    if (first <= now)
        return 0;
    return static_cast<DWORD>(std::min<std::uint64_t>(first - now, INFINITE - 1));
}

namespace detail {

void WakeTimerThreads()
{
    Registry& reg = registry();
    std::shared_lock regLock(reg.mutex);
    std::vector<ThreadQueue*> woken;
    for (const auto& [hwnd, window] : reg.windows) {
        ThreadQueue* q = window->queue.get();
        if (std::find(woken.begin(), woken.end(), q) != woken.end())
            continue;
        woken.push_back(q);
        std::lock_guard lock(q->mutex);
        if (q->timers.empty() || !q->alive)
            continue;
        q->postedSignal.set();
        q->wake();
    }
}

} // namespace detail

void SetMessageWaker(std::function<void()> wake)
{
    ThreadQueue& q = currentQueue();
    std::function<void()> old;
    {
        std::lock_guard lock(q.mutex);
        old.swap(q.waker);
        q.waker = std::move(wake);
    }
}

} // namespace plat
