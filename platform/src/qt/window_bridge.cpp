#include "platform/qt/window_bridge.h"

#include "platform/timers.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QtDebug>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace plat::qt {
namespace {

// One per Qt thread that has bridges: turns the platform's wake-ups into a posted Qt event and,
// when Qt delivers it (in whatever loop, nested or not, the thread is running), services sent
// messages and dispatches the queued posted ones.
class Dispatcher : public QObject {
public:
    Dispatcher()
    {
        // Window timers come due without anyone posting: a Qt timer wakes the thread for them.
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { wake(); });
    }

    static QEvent::Type wakeType()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    // Any thread; called with the queue's lock held, so it only posts.
    void wake()
    {
        if (m_wakePending.exchange(true))
            return;
        auto* e = new QEvent(wakeType());
        // Qt's own queue locks are invisible to ThreadSanitizer; this release, paired with the
        // acquire in event(), publishes the event that another thread built.
        m_wakeEvent.store(e, std::memory_order_release);
        QCoreApplication::postEvent(this, e);
    }

    bool busy() const { return m_depth > 0; }

protected:
    bool event(QEvent* e) override
    {
        // Only one wake-up is outstanding at a time, so its address identifies it.
        if (e != m_wakeEvent.load(std::memory_order_acquire))
            return QObject::event(e);
        m_wakeEvent.store(nullptr, std::memory_order_relaxed);
        // Clear first: anything arriving from now on posts a fresh wake-up.
        m_wakePending = false;
        ++m_depth;
        PumpSentMessages();
        // A bounded batch, so that handlers that post again cannot starve painting and input.
        constexpr int batch = 64;
        int count = 0;
        MSG msg;
        while (count < batch && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitLoop(static_cast<int>(msg.wParam));
                break;
            }
            DispatchMessage(&msg);
            ++count;
        }
        if (count == batch)
            wake();
        armTimer();
        --m_depth;
        return true;
    }

    void armTimer()
    {
        const DWORD wait = TimeUntilNextTimer();
        if (wait == INFINITE)
            m_timer.stop();
        else
            m_timer.start(static_cast<int>(std::min<DWORD>(wait, 24u * 3600u * 1000u)));
    }

private:
    static void quitLoop(int code)
    {
        QThread* thread = QThread::currentThread();
        if (QCoreApplication::instance() && thread == QCoreApplication::instance()->thread())
            QCoreApplication::exit(code);
        else
            thread->exit(code);
    }

    std::atomic<bool> m_wakePending{false};
    std::atomic<QEvent*> m_wakeEvent{nullptr};
    int m_depth = 0;
    QTimer m_timer;
};

struct ThreadDispatch {
    Dispatcher* dispatcher = nullptr;
    int bridges = 0;
};
thread_local ThreadDispatch t_dispatch;

Dispatcher* attachDispatcher()
{
    if (t_dispatch.bridges++ > 0)
        return t_dispatch.dispatcher;
    auto* d = new Dispatcher;
    t_dispatch.dispatcher = d;
    SetMessageWaker([d] { d->wake(); });
    d->wake(); // messages may have been queued while no dispatcher was installed
    return d;
}

// On the thread that attached.
void detachDispatcher()
{
    if (t_dispatch.bridges <= 0 || --t_dispatch.bridges > 0)
        return;
    Dispatcher* d = t_dispatch.dispatcher;
    t_dispatch.dispatcher = nullptr;
    SetMessageWaker({}); // after this the old dispatcher is never woken again
    if (d->busy())
        d->deleteLater(); // we are inside its delivery (a handler dropped the last bridge)
    else
        delete d;
}

struct BridgeTable {
    std::mutex mutex;
    std::unordered_map<HWND, QPointer<QObject>> objects;
};

BridgeTable& bridges()
{
    static BridgeTable* table = new BridgeTable;
    return *table;
}

} // namespace

MessageEvent::MessageEvent(HWND h, UINT m, WPARAM w, LPARAM l)
    : QEvent(eventType()), hwnd(h), message(m), wParam(w), lParam(l)
{
}

QEvent::Type MessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

WindowBridge::WindowBridge(QObject* target, MessageHandler handler) : m_target(target)
{
    if (target && target->thread() != QThread::currentThread())
        qWarning("plat::qt::WindowBridge made outside its object's thread");
    m_maker = std::this_thread::get_id();
    m_dispatcher = attachDispatcher();
    // The handler holds nothing of the bridge: a handler may destroy the bridge while it runs.
    QPointer<QObject> object(target);
    m_hwnd = CreateMessageWindow(
        [object, handler = std::move(handler)](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (handler)
                return handler(h, m, w, l);
            if (!object)
                return 0;
            MessageEvent event(h, m, w, l);
            QCoreApplication::sendEvent(object.data(), &event);
            return event.result;
        });
    std::lock_guard lock(bridges().mutex);
    bridges().objects.emplace(m_hwnd, m_target);
}

WindowBridge::~WindowBridge()
{
    {
        std::lock_guard lock(bridges().mutex);
        bridges().objects.erase(m_hwnd);
    }
    DestroyWindow(m_hwnd);
    if (std::this_thread::get_id() == m_maker) {
        detachDispatcher();
        return;
    }
    // The dispatcher and the waker belong to the maker's thread: detach there. When that thread
    // has no event loop any more the posted call never runs, and its end clears the waker.
    qWarning("plat::qt::WindowBridge destroyed outside the thread that made it; detaching there");
    if (m_dispatcher)
        QMetaObject::invokeMethod(m_dispatcher.data(), [] { detachDispatcher(); }, Qt::QueuedConnection);
}

QWidget* WidgetFromHandle(HWND hwnd)
{
    std::lock_guard lock(bridges().mutex);
    const auto it = bridges().objects.find(hwnd);
    return it == bridges().objects.end() ? nullptr : qobject_cast<QWidget*>(it->second.data());
}

HWND HandleFromObject(const QObject* object)
{
    if (!object)
        return nullptr;
    std::lock_guard lock(bridges().mutex);
    HWND found = nullptr;
    // Handle values grow, so the smallest one is the first bridge made for the object.
    for (const auto& [hwnd, obj] : bridges().objects) {
        if (obj.data() == object &&
            (!found || reinterpret_cast<std::uintptr_t>(hwnd) < reinterpret_cast<std::uintptr_t>(found)))
            found = hwnd;
    }
    return found;
}

} // namespace plat::qt
