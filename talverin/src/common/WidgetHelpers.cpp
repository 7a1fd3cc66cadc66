#include "common/WidgetHelpers.h"

#include "common/AppMessages.h"

#include <model/CommandSupport.h>
#include <platform/messages.h>

#include <QAction>
#include <QByteArray>
#include <QWidget>

namespace talverin {

void SetStatusText(QWidget* window, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    StatusTextRecord record;
    record.value = reinterpret_cast<std::intptr_t>(window);
    record.text = utf8.constData();
    if (plat::HWND frame = model::GetMainWindow())
        plat::SendMessage(frame, WM_SET_STATUS_TEXT, 0, reinterpret_cast<plat::LPARAM>(&record));
}

void SetStatusText(QWidget* window, const char* text)
{
    StatusTextRecord record;
    record.value = reinterpret_cast<std::intptr_t>(window);
    record.text = text;
    if (plat::HWND frame = model::GetMainWindow())
        plat::SendMessage(frame, WM_SET_STATUS_TEXT, 0, reinterpret_cast<plat::LPARAM>(&record));
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
