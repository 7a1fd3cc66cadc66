#include "platform/qt/popup_menu.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QStringList>

namespace plat::qt {

namespace {
// Popup menus run in the GUI thread only, so the runner needs no lock.
ScopedPopupMenuRunner* g_runner = nullptr;

QString plainText(const QAction& a)
{
    QString t = a.text();
    const int tab = t.indexOf(QLatin1Char('\t'));
    if (tab >= 0)
        t.truncate(tab);
    return t.remove(QLatin1Char('&'));
}

bool inMenu(const QMenu& menu, const QAction* action)
{
    for (const QAction* a : menu.actions()) {
        if (a == action || (a->menu() && inMenu(*a->menu(), action)))
            return true;
    }
    return false;
}

} // namespace

ScopedPopupMenuRunner::ScopedPopupMenuRunner(PopupMenuRunner runner)
    : m_runner(std::move(runner)), m_previous(g_runner)
{
    g_runner = this;
}

ScopedPopupMenuRunner::~ScopedPopupMenuRunner() { g_runner = m_previous; }

QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos)
{
    ScopedPopupMenuRunner* runner = g_runner;
    if (!runner || !runner->m_runner)
        return menu.exec(globalPos);
    QString name = menu.objectName();
    if (name.isEmpty()) {
        QStringList texts;
        for (const QAction* a : menu.actions())
            texts << plainText(*a);
        name = texts.join(QLatin1Char('|'));
    }
    runner->m_menus.push_back(name);
    // Give the menu the chance to update itself, as it would before showing.
    emit menu.aboutToShow();
    QPointer<QAction> chosen = runner->m_runner(menu, globalPos);
    emit menu.aboutToHide();
    if (!chosen || !chosen->isEnabled() || !chosen->isVisible() || chosen->isSeparator() ||
        chosen->menu() || !inMenu(menu, chosen))
        return nullptr;
    // QMenu::exec triggers the chosen item before it returns it.
    chosen->activate(QAction::Trigger);
    return chosen;
}

PopupMenuRunner PickMenuItem(const QString& text)
{
    return [text](QMenu& menu, const QPoint&) -> QAction* {
        const std::function<QAction*(QMenu&)> find = [&](QMenu& m) -> QAction* {
            for (QAction* a : m.actions()) {
                if (a->isEnabled() && plainText(*a) == text)
                    return a;
                if (a->menu())
                    if (QAction* sub = find(*a->menu()))
                        return sub;
            }
            return nullptr;
        };
        return find(menu);
    };
}

} // namespace plat::qt
