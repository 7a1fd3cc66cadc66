// The keyboard hook chain of the user-interface thread, the key-state table, and synthetic keys.
//
// One application event filter (installed with the first hook, on the QApplication) turns every
// key press and release of the GUI thread into a virtual-key code and Win32 key data, and offers
// it to the installed hooks, the last installed first. A hook returns true to swallow the key (no
// later hook and no widget sees it; a swallowed press does not trigger a shortcut either) or false
// to pass it on. One chain serves the main frame and every control:
//
//     // in the editor's open step; removed by reset(), and with `this` at the latest
//     m_hook = plat::qt::KeyboardHookChain::instance().install(this,
//         [this](const plat::qt::KeyInput& key) { return onEditorKey(key); });
//
// Hooks may install or remove hooks (also themselves) while they run; a hook removed during a key
// is not called for it. A hook that throws is logged and counts as passing the key on.
#pragma once

#include "platform/qt/virtual_keys.h"
#include "platform/types.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

class QObject;

namespace plat::qt {

// Win32 key data (a keyboard hook's lParam / WM_KEYDOWN's lParam): bits 0-15 repeat count,
// 16-23 scan code (0 here), 24 extended key, 29 Alt held, 30 previous key state (1 = was down),
// 31 transition (1 = being released).
inline constexpr LPARAM KEYDATA_EXTENDED = LPARAM(1) << 24;
inline constexpr LPARAM KEYDATA_ALT = LPARAM(1) << 29;
inline constexpr LPARAM KEYDATA_PREVIOUS_DOWN = LPARAM(1) << 30;
inline constexpr LPARAM KEYDATA_RELEASED = LPARAM(1) << 31;

struct KeyInput {
    UINT vk = 0;          // virtual-key code (virtual_keys.h); 0 for keys without one
    LPARAM keyData = 0;   // the bits above
    bool down = true;     // press (true) or release
    bool autoRepeat = false;
    int repeatCount = 1;
    Qt::KeyboardModifiers modifiers;
    QObject* target = nullptr; // the object Qt delivers the key to (the focus widget)

    bool released() const { return !down; }
    bool previousDown() const { return keyData & KEYDATA_PREVIOUS_DOWN; }
};

// True: swallow the key.
using KeyboardHook = std::function<bool(const KeyInput&)>;

class KeyboardHookChain;

// Owns one installed hook; destroying or reset() removes it. Movable, not copyable.
class KeyboardHookHandle {
public:
    KeyboardHookHandle() = default;
    ~KeyboardHookHandle() { reset(); }
    KeyboardHookHandle(KeyboardHookHandle&& other) noexcept : m_id(other.m_id) { other.m_id = 0; }
    KeyboardHookHandle& operator=(KeyboardHookHandle&& other) noexcept;
    KeyboardHookHandle(const KeyboardHookHandle&) = delete;
    KeyboardHookHandle& operator=(const KeyboardHookHandle&) = delete;

    void reset(); // UnhookWindowsHookEx
    bool installed() const;
    explicit operator bool() const { return installed(); }

private:
    friend class KeyboardHookChain;
    explicit KeyboardHookHandle(std::uint64_t id) : m_id(id) {}
    std::uint64_t m_id = 0;
};

class KeyboardHookChain {
public:
    // The GUI thread's chain (made on first use; use it on the GUI thread only).
    static KeyboardHookChain& instance();

    // SetWindowsHookEx(WH_KEYBOARD) for the GUI thread. With an owner, the hook is also removed
    // when the owner is destroyed, so a window that goes leaves nothing installed.
    [[nodiscard]] KeyboardHookHandle install(QObject* owner, KeyboardHook hook);
    [[nodiscard]] KeyboardHookHandle install(KeyboardHook hook) { return install(nullptr, std::move(hook)); }
    int hookCount() const;

    // Runs the chain for a key, as the filter does (for synthetic input); true when swallowed.
    bool offer(const KeyInput& key);

    // GetKeyState / GetAsyncKeyState below.
    SHORT keyState(UINT vk) const;
    SHORT asyncKeyState(UINT vk) const;

    // Forgets which keys are down (the filter does this when the application loses the focus,
    // so that a release it never saw leaves no key stuck down).
    void clearKeyState();

    KeyboardHookChain(const KeyboardHookChain&) = delete;
    KeyboardHookChain& operator=(const KeyboardHookChain&) = delete;

private:
    friend class KeyboardHookHandle;
    friend class KeyFilter;
    KeyboardHookChain();
    ~KeyboardHookChain();
    void remove(std::uint64_t id);
    bool contains(std::uint64_t id) const;

    struct Private;
    std::unique_ptr<Private> d;
};

// GetKeyState: bit 15 (the value is negative) while the key is down as of the key event being
// handled, bit 0 toggled on each press (Caps Lock style). VK_SHIFT, VK_CONTROL and VK_MENU
// follow the modifiers of the last key or mouse event the filter saw.
SHORT GetKeyState(UINT vk);
// GetAsyncKeyState: down right now; modifiers are asked from Qt, other keys from the table.
SHORT GetAsyncKeyState(UINT vk);

// Removes the key presses and releases already posted to target (null: to any object) that Qt
// has not delivered yet, as a PeekMessage(PM_REMOVE) over WM_KEYDOWN-WM_KEYUP would. Key input
// that the window system has not handed to Qt yet is not touched.
void FlushPendingKeyInput(QObject* target = nullptr);

// Synthetic keys: a QKeyEvent for vk (with modifiers) posted to, or sent to, target. A sent key
// goes through the filter and the hooks like a typed one; a posted one does so when delivered.
void PostKeyEvent(QObject* target, UINT vk, bool down, Qt::KeyboardModifiers modifiers = {});
bool SendKeyEvent(QObject* target, UINT vk, bool down, Qt::KeyboardModifiers modifiers = {});

// Enter as Tab, for a hook that decided the key's target takes it so: Enter's press becomes a Tab
// press and release sent to the target (the focus moves on as with Tab), and both Enter's press and
// release are taken (true). Any other key: false.
bool EnterAsTab(const KeyInput& key);

// Waits until Enter is up (at most limitMs), then drops the key input not delivered yet: the Enter
// that closed a box or chose a menu item must not reach the widget below as a key of its own.
void WaitUntilEnterReleased(int limitMs);

} // namespace plat::qt
