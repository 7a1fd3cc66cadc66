#include "platform/qt/keyboard_hook.h"

#include "platform/clock.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QtDebug>

#include <array>
#include <exception>
#include <vector>

namespace plat::qt {

namespace {

struct HookEntry {
    std::uint64_t id;
    std::shared_ptr<KeyboardHook> hook;
    QMetaObject::Connection ownerGone;
};

} // namespace

// The application event filter: turns key events into KeyInput and runs the chain. A press goes
// through the chain once: at its shortcut override when Qt sends one (so a swallowed key cannot
// trigger a shortcut), else at the press itself.
class KeyFilter : public QObject {
public:
    explicit KeyFilter(KeyboardHookChain& chain) : m_chain(chain) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Pending {
        bool valid = false;
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        bool autoRepeat = false;
        quint64 timestamp = 0;
        bool swallowed = false;
    };
    bool matches(const QKeyEvent& k) const
    {
        return m_pending.valid && m_pending.key == k.key() && m_pending.modifiers == k.modifiers() &&
               m_pending.autoRepeat == k.isAutoRepeat() && m_pending.timestamp == k.timestamp();
    }

    KeyboardHookChain& m_chain;
    Pending m_pending;
};

struct KeyboardHookChain::Private {
    std::vector<HookEntry> hooks; // in install order
    std::uint64_t nextId = 1;
    QPointer<KeyFilter> filter;
    std::array<bool, 256> down{};
    std::array<bool, 256> toggled{};
    Qt::KeyboardModifiers modifiers;

    void ensureFilter(KeyboardHookChain& chain)
    {
        if (filter || !QCoreApplication::instance())
            return;
        filter = new KeyFilter(chain);
        // Deleted with the application, so a later application gets a fresh filter.
        filter->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
    }
};

namespace {

KeyInput keyInputOf(const QKeyEvent& k, QObject* target, bool down, bool wasDown)
{
    KeyInput in;
    in.vk = VirtualKeyFromQt(k.key(), k.modifiers());
    in.down = down;
    in.autoRepeat = k.isAutoRepeat();
    in.repeatCount = k.count() > 0 ? k.count() : 1;
    in.modifiers = k.modifiers();
    in.target = target;
    LPARAM data = static_cast<LPARAM>(in.repeatCount & 0xFFFF);
    if (IsExtendedKey(k.key(), k.modifiers()))
        data |= KEYDATA_EXTENDED;
    if (k.modifiers() & Qt::AltModifier)
        data |= KEYDATA_ALT;
    if (!down || wasDown || in.autoRepeat)
        data |= KEYDATA_PREVIOUS_DOWN;
    if (!down)
        data |= KEYDATA_RELEASED;
    in.keyData = data;
    return in;
}

} // namespace

bool KeyFilter::eventFilter(QObject* watched, QEvent* e)
{
    auto& d = *m_chain.d;
    switch (e->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        break;
    case QEvent::ApplicationDeactivate:
        m_chain.clearKeyState();
        return false;
    default:
        return false;
    }
    auto* k = static_cast<QKeyEvent*>(e);
    const bool press = e->type() != QEvent::KeyRelease;
    if (e->type() == QEvent::KeyPress && matches(*k)) {
        m_pending.valid = false; // already offered at its shortcut override
        return m_pending.swallowed;
    }
    const UINT vk = VirtualKeyFromQt(k->key(), k->modifiers());
    const bool wasDown = vk ? d.down[vk & 0xFF] : false;
    const KeyInput in = keyInputOf(*k, watched, press, wasDown);
    d.modifiers = k->modifiers();
    const bool swallowed = m_chain.offer(in);
    if (e->type() == QEvent::ShortcutOverride) {
        m_pending = Pending{true, k->key(), k->modifiers(), k->isAutoRepeat(), k->timestamp(), swallowed};
        if (swallowed)
            e->accept(); // the focus object "takes" the key: no shortcut; the press follows
        return swallowed;
    }
    m_pending.valid = false;
    return swallowed;
}

KeyboardHookChain& KeyboardHookChain::instance()
{
    // Never destroyed: handles may be reset from static destructors after the application is gone.
    static auto* chain = new KeyboardHookChain;
    return *chain;
}

KeyboardHookChain::KeyboardHookChain() : d(std::make_unique<Private>()) {}
KeyboardHookChain::~KeyboardHookChain() = default;

KeyboardHookHandle KeyboardHookChain::install(QObject* owner, KeyboardHook hook)
{
    if (!hook)
        return {};
    d->ensureFilter(*this);
    HookEntry entry{d->nextId++, std::make_shared<KeyboardHook>(std::move(hook)), {}};
    if (owner) {
        const std::uint64_t id = entry.id;
        entry.ownerGone = QObject::connect(owner, &QObject::destroyed, [this, id] { remove(id); });
    }
    d->hooks.push_back(std::move(entry));
    return KeyboardHookHandle(d->hooks.back().id);
}

int KeyboardHookChain::hookCount() const { return static_cast<int>(d->hooks.size()); }

void KeyboardHookChain::remove(std::uint64_t id)
{
    for (auto it = d->hooks.begin(); it != d->hooks.end(); ++it) {
        if (it->id == id) {
            QObject::disconnect(it->ownerGone);
            d->hooks.erase(it);
            return;
        }
    }
}

bool KeyboardHookChain::contains(std::uint64_t id) const
{
    for (const HookEntry& h : d->hooks) {
        if (h.id == id)
            return true;
    }
    return false;
}

bool KeyboardHookChain::offer(const KeyInput& key)
{
    // The hooks as they are now, last installed first; each is asked only if still installed.
    std::vector<std::pair<std::uint64_t, std::shared_ptr<KeyboardHook>>> order;
    order.reserve(d->hooks.size());
    for (auto it = d->hooks.rbegin(); it != d->hooks.rend(); ++it)
        order.emplace_back(it->id, it->hook);
    bool swallowed = false;
    for (const auto& [id, hook] : order) {
        if (!contains(id))
            continue;
        try {
            if ((*hook)(key)) {
                swallowed = true;
                break;
            }
        } catch (const std::exception& ex) {
            qWarning("plat::qt: a keyboard hook threw (%s); the key is passed on", ex.what());
        } catch (...) {
            qWarning("plat::qt: a keyboard hook threw; the key is passed on");
        }
    }
    // The key's own state changes after the hooks, which see the state from before it.
    if (key.vk) {
        const std::size_t i = key.vk & 0xFF;
        if (key.down && !d->down[i])
            d->toggled[i] = !d->toggled[i];
        d->down[i] = key.down;
    }
    return swallowed;
}

void KeyboardHookChain::clearKeyState()
{
    d->down.fill(false);
    d->modifiers = {};
}

KeyboardHookHandle& KeyboardHookHandle::operator=(KeyboardHookHandle&& other) noexcept
{
    if (this != &other) {
        reset();
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

void KeyboardHookHandle::reset()
{
    if (m_id)
        KeyboardHookChain::instance().remove(m_id);
    m_id = 0;
}

bool KeyboardHookHandle::installed() const
{
    return m_id && KeyboardHookChain::instance().contains(m_id);
}

namespace {

bool modifierDown(UINT vk, Qt::KeyboardModifiers mods, bool* known)
{
    *known = true;
    switch (vk) {
    case VK_SHIFT: return mods & Qt::ShiftModifier;
    case VK_CONTROL: return mods & Qt::ControlModifier;
    case VK_MENU: return mods & Qt::AltModifier;
    default: *known = false; return false;
    }
}

SHORT stateValue(bool down, bool toggled)
{
    return static_cast<SHORT>((down ? 0x8000 : 0) | (toggled ? 1 : 0));
}

} // namespace

SHORT GetKeyState(UINT vk) { return KeyboardHookChain::instance().keyState(vk); }
SHORT GetAsyncKeyState(UINT vk) { return KeyboardHookChain::instance().asyncKeyState(vk); }

SHORT KeyboardHookChain::keyState(UINT vk) const
{
    const Private& d = *this->d;
    const std::size_t i = vk & 0xFF;
    bool known = false;
    const bool mod = modifierDown(vk, d.modifiers, &known);
    return stateValue(known ? mod : d.down[i], d.toggled[i]);
}

SHORT KeyboardHookChain::asyncKeyState(UINT vk) const
{
    const Private& d = *this->d;
    bool known = false;
    const Qt::KeyboardModifiers now =
        qobject_cast<QGuiApplication*>(QCoreApplication::instance())
            ? QGuiApplication::queryKeyboardModifiers()
            : d.modifiers;
    const bool mod = modifierDown(vk, now, &known);
    return stateValue(known ? mod : d.down[vk & 0xFF], false);
}

void FlushPendingKeyInput(QObject* target)
{
    QCoreApplication::removePostedEvents(target, QEvent::KeyPress);
    QCoreApplication::removePostedEvents(target, QEvent::KeyRelease);
}

namespace {

QKeyEvent* makeKeyEvent(UINT vk, bool down, Qt::KeyboardModifiers modifiers)
{
    bool keypad = false;
    const int key = QtKeyFromVirtualKey(vk, &keypad);
    if (keypad)
        modifiers |= Qt::KeypadModifier;
    QString text;
    if (key >= Qt::Key_A && key <= Qt::Key_Z && !(modifiers & Qt::ControlModifier))
        text = QChar((modifiers & Qt::ShiftModifier) ? key : key - 'A' + 'a');
    else if ((key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        text = QChar(key);
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        text = QStringLiteral("\r");
    return new QKeyEvent(down ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers, text);
}

} // namespace

void PostKeyEvent(QObject* target, UINT vk, bool down, Qt::KeyboardModifiers modifiers)
{
    if (target)
        QCoreApplication::postEvent(target, makeKeyEvent(vk, down, modifiers));
}

bool SendKeyEvent(QObject* target, UINT vk, bool down, Qt::KeyboardModifiers modifiers)
{
    if (!target)
        return false;
    std::unique_ptr<QKeyEvent> e(makeKeyEvent(vk, down, modifiers));
    return QCoreApplication::sendEvent(target, e.get());
}

bool EnterAsTab(const KeyInput& key)
{
    if (key.vk != VK_RETURN)
        return false;
    if (key.down) {
        SendKeyEvent(key.target, VK_TAB, true);
        SendKeyEvent(key.target, VK_TAB, false);
    }
    return true;
}

void WaitUntilEnterReleased(int limitMs)
{
    constexpr int kStepMs = 10;
    for (int waited = 0; waited < limitMs && GetAsyncKeyState(VK_RETURN) < 0; waited += kStepMs)
        Sleep(kStepMs);
    FlushPendingKeyInput(nullptr);
}

} // namespace plat::qt
