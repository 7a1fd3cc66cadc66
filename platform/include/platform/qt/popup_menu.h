// Every popup menu runs through RunPopupMenu, so that tests can answer it: offscreen nobody would
// click an item, and QMenu::exec would never return. Like RunModal (modal_dialog.h).
//
//     plat::qt::ScopedPopupMenuRunner pick([](QMenu& m, const QPoint&) { return m.actions().at(2); });
//     widget.openContextMenu();   // RunPopupMenu inside answers with the third item
#pragma once

#include <QPoint>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace plat::qt {

// menu.exec(globalPos), or the installed runner's answer: the chosen action, null for none. A
// runner that returns a disabled or invisible action, or one not in the menu, counts as none.
QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos);

using PopupMenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;

// Installs a runner for a scope and records each menu it was asked (object name, or the texts of
// its items joined by '|' when unnamed); nests.
class ScopedPopupMenuRunner {
public:
    explicit ScopedPopupMenuRunner(PopupMenuRunner runner);
    ~ScopedPopupMenuRunner();
    ScopedPopupMenuRunner(const ScopedPopupMenuRunner&) = delete;
    ScopedPopupMenuRunner& operator=(const ScopedPopupMenuRunner&) = delete;

    const std::vector<QString>& menus() const { return m_menus; }

private:
    friend QAction* RunPopupMenu(QMenu&, const QPoint&);
    PopupMenuRunner m_runner;
    ScopedPopupMenuRunner* m_previous;
    std::vector<QString> m_menus;
};

// A runner that picks the first enabled item whose text (without '&' and without the tab and
// shortcut part) equals text; none when there is no such item.
PopupMenuRunner PickMenuItem(const QString& text);

} // namespace plat::qt
