#include "frame/MenuMerge.h"

#include "screens/CViewBase.h"

#include <platform/qt/command_table.h>

#include <QMenu>
#include <QMenuBar>

namespace talverin {

namespace {

// The frame's own items of the Edit menu; the screen's follow.
constexpr int kFrameEditItems = 5;

} // namespace

void MenuMerge::Merge(const Menus& menus, CViewBase& view, const QString& title)
{
    auto insertAt = [&menus](QMenu* menu, int position) {
        const QList<QAction*> top = menus.bar->actions();
        menus.bar->insertMenu(position < top.size() ? top.at(position) : nullptr, menu);
    };
    if (QMenu* function = view.FunctionMenu()) {
        insertAt(function, 2);
        m_function = function;
    }
    if (QMenu* execute = view.ExecuteMenu()) {
        insertAt(execute, 3);
        m_execute = execute;
    }
    QMenu* popup = view.ExportMenu() ? view.ExportMenu() : view.PopupMenu();
    if (popup && menus.print) {
        m_popupTitle = popup->title();
        if (!title.isEmpty())
            popup->setTitle(title);
        menus.file->insertMenu(menus.print, popup);
        m_popupSeparator = menus.file->insertSeparator(menus.print);
        m_popup = popup;
    }
    for (QAction* item : view.MenuActions()) {
        if (item)
            menus.edit->addAction(item);
    }
    view.Commands().refresh();
}

void MenuMerge::Undo(const Menus& menus)
{
    const QList<QAction*> edit = menus.edit ? menus.edit->actions() : QList<QAction*>();
    for (int i = kFrameEditItems; i < edit.size(); ++i)
        menus.edit->removeAction(edit.at(i));
    if (m_popup) {
        menus.file->removeAction(m_popup->menuAction());
        m_popup->setTitle(m_popupTitle);
    }
    delete m_popupSeparator.data();
    if (m_execute)
        menus.bar->removeAction(m_execute->menuAction());
    if (m_function)
        menus.bar->removeAction(m_function->menuAction());
    *this = MenuMerge();
}

} // namespace talverin
