#include "talverin/WidgetHelpers.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QPainter>
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

void DrawFlatCell(const QString& text, const DrawItemInfo& item, int inset, const QColor& fill,
                  const QColor& topLeft, const QColor& bottomRight, bool grey)
{
    QPainter* painter = item.painter;
    if (!painter || !item.rect.isValid())
        return;
    const QRect& r = item.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->fillRect(r, fill);

    const bool greyed = grey && (item.state & (ODS_DISABLED | ODS_GRAYED));
    const QColor textColour = greyed ? QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText)
                                     : painter->pen().color();
    painter->setPen(textColour);
    // Text that does not fit is cut at the cell, never drawn over its neighbours.
    const QRect textRect = r.translated(inset, inset);
    painter->setClipRect(textRect & r, Qt::IntersectClip);
    painter->drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter->setClipping(false);

    painter->setPen(QPen(topLeft, 0));
    painter->drawLine(r.left(), r.bottom(), r.left(), r.top());
    painter->drawLine(r.left(), r.top(), r.right(), r.top());
    painter->setPen(QPen(bottomRight, 0));
    painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter->drawLine(r.right(), r.bottom(), r.left(), r.bottom());
    painter->restore();
}

} // namespace talverin
