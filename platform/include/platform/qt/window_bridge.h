// Gives a QObject (usually a QWidget) a window handle. Messages posted or sent to the handle are
// delivered in the object's thread by its Qt event loop, nested QDialog::exec, QMessageBox::exec
// and QEventLoop runs included, and by the platform's own waits (PeekMessage, SendMessage,
// Thread::join ...) that the thread runs. A WM_QUIT (PostQuitMessage) on such a thread ends its Qt
// event loop with that exit code.
#pragma once

#include "platform/messages.h"

#include <QEvent>
#include <QPointer>

#include <thread>

class QObject;
class QWidget;

namespace plat::qt {

// Delivered with QCoreApplication::sendEvent to a bridge's object when the bridge has no handler.
// Set result to answer a sent message.
class MessageEvent : public QEvent {
public:
    MessageEvent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static QEvent::Type eventType();

    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

class WindowBridge {
public:
    // Create in the object's thread; the handle belongs to that thread. With a handler, messages
    // go to it; without one, they arrive as MessageEvent in target->event().
    explicit WindowBridge(QObject* target, MessageHandler handler = {});
    // Destroys the handle (and its timers). Meant for the maker's thread; destroyed on another
    // thread, it logs and hands the detaching of the maker's delivery over to that thread.
    ~WindowBridge();
    WindowBridge(const WindowBridge&) = delete;
    WindowBridge& operator=(const WindowBridge&) = delete;

    HWND hwnd() const { return m_hwnd; }
    QObject* target() const { return m_target; }

private:
    QPointer<QObject> m_target;
    HWND m_hwnd = nullptr;
    std::thread::id m_maker;
    QPointer<QObject> m_dispatcher;
};

// The widget whose bridge owns hwnd (a parent for dialogs); null when there is none.
QWidget* WidgetFromHandle(HWND hwnd);
// The handle of the first bridge made for object; null when there is none.
HWND HandleFromObject(const QObject* object);

} // namespace plat::qt
