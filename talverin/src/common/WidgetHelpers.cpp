#include "common/WidgetHelpers.h"

#include "common/AppMessages.h"

#include <model/CommandSupport.h>
#include <platform/messages.h>

#include <QAction>
#include <QWidget>

namespace talverin {

namespace {

// What the message pane shows, as far as it came through here (every status text does).
struct PaneText {
    QString text;
    const QWidget* errorOf = nullptr;
};
PaneText g_pane;

void sendStatusText(QWidget* window, const char* utf8, const QWidget* errorOf)
{
    g_pane.text = utf8 ? QString::fromUtf8(utf8) : QString();
    g_pane.errorOf = errorOf;
    StatusTextRecord record;
    record.value = reinterpret_cast<std::intptr_t>(window);
    record.text = utf8;
    if (plat::HWND frame = model::GetMainWindow())
        plat::SendMessage(frame, WM_SET_STATUS_TEXT, 0, reinterpret_cast<plat::LPARAM>(&record));
}

} // namespace

void SetStatusText(QWidget* window, const QString& text)
{
    sendStatusText(window, text.toUtf8().constData(), nullptr);
}

void SetStatusText(QWidget* window, const char* text)
{
    sendStatusText(window, text, nullptr);
}

void SetStatusError(QWidget* window, const QString& text)
{
    sendStatusText(window, text.toUtf8().constData(), window);
}

void ClearStatusError(QWidget* window)
{
    if (window && g_pane.errorOf == window)
        sendStatusText(window, nullptr, nullptr);
}

void ClearStatusText(QWidget* window, const QString& text)
{
    if (!g_pane.text.isEmpty() && g_pane.text == text)
        sendStatusText(window, nullptr, nullptr);
}

int FindMenuItemByText(const QWidget* menu, const QString& text)
{
    if (!menu)
        return -1;
    const auto actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
        if (actions[i]->text() == text)
            return i;
    }
    return -1;
}

} // namespace talverin
