#include "talverin/WidgetHelpers.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QPalette>
#include <QStatusBar>

namespace talverin {

namespace {

QMainWindow* mainWindow()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* frame = qobject_cast<QMainWindow*>(widget))
            return frame;
    }
    return nullptr;
}

} // namespace

void SetStatusText(QWidget* window, const QString& text)
{
    Q_UNUSED(window);
    QMainWindow* frame = mainWindow();
    if (!frame)
        return;
    // Only a frame that has its status bar already: asking QMainWindow::statusBar() would add one.
    auto* bar = frame->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (bar)
        bar->showMessage(text);
}

void SetStatusText(QWidget* window, const char* text)
{
    SetStatusText(window, text ? QString::fromUtf8(text)
                               : QCoreApplication::translate("SetStatusText", "For Help, press F1"));
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
