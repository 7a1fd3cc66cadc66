// What the current screen lends the frame's menus: its Function and Execute menus on the menu bar
// (third and fourth), its export or popup menu in File before Print under the screen's title, its
// items at the end of Edit (after the frame's five). Undo takes all of it out again.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace talverin {

class CViewBase;

class MenuMerge {
public:
    struct Menus {
        QMenuBar* bar = nullptr;
        QMenu* file = nullptr;
        QAction* print = nullptr;
        QMenu* edit = nullptr;
    };

    void Merge(const Menus& menus, CViewBase& view, const QString& title);
    void Undo(const Menus& menus);

private:
    QPointer<QMenu> m_function, m_execute, m_popup;
    QPointer<QAction> m_popupSeparator;
    QString m_popupTitle; // the popup's own title, given back when it is taken out
};

} // namespace talverin
