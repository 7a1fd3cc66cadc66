#include "platform/qt/command_table.h"

#include "platform/qt/popup_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <map>
#include <vector>

namespace plat::qt {

namespace {

const char* const kCommandId = "commandId";

// Owns every connection and the radio groups, so that destroying the table cuts them all; also
// watches attached tool bars for their show events.
class TableContext : public QObject {
public:
    std::function<void(QWidget*)> onShown;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Show && onShown)
            onShown(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

struct CommandTable::Private {
    // A rule owner: one command, or one range of them.
    struct Entry {
        UINT first = 0;
        UINT last = 0;
        RangeHandler handler;
        UpdateRule update;
        QPointer<QActionGroup> radioGroup;
    };

    TableContext context;
    std::map<UINT, std::shared_ptr<Entry>> singles;
    std::vector<std::shared_ptr<Entry>> ranges;
    std::vector<QPointer<QAction>> bound;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    std::shared_ptr<Entry> find(UINT id) const
    {
        if (const auto it = singles.find(id); it != singles.end())
            return it->second;
        // The range added last wins where ranges overlap.
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
            if (id >= (*it)->first && id <= (*it)->last)
                return *it;
        }
        return nullptr;
    }

    void apply(QAction* action)
    {
        const UINT id = commandOf(action);
        const std::shared_ptr<Entry> entry = find(id);
        CommandUpdate u(id);
        if (!entry)
            u.Enable(false);
        else if (entry->update)
            entry->update(u);
        action->setEnabled(u.enabled());
        if (u.checkSet()) {
            action->setCheckable(true);
            if (u.radio() && entry && !action->actionGroup()) {
                if (!entry->radioGroup) {
                    entry->radioGroup = new QActionGroup(&context);
                    entry->radioGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
                }
                entry->radioGroup->addAction(action);
            }
            action->setChecked(u.checked());
        }
        if (u.text())
            action->setText(*u.text());
    }

    void refreshActions(const QList<QAction*>& actions)
    {
        for (QAction* a : actions) {
            if (!a)
                continue;
            if (commandOf(a))
                apply(a);
            if (QMenu* sub = a->menu())
                refreshActions(sub->actions());
        }
    }
};

CommandTable::CommandTable() : d(std::make_unique<Private>())
{
    d->context.onShown = [this](QWidget* w) { d->refreshActions(w->actions()); };
}

CommandTable::~CommandTable()
{
    *d->alive = false;
    for (const auto& a : d->bound) {
        if (a)
            a->setProperty(kCommandId, QVariant());
    }
}

void CommandTable::add(UINT id, Handler handler, UpdateRule update)
{
    auto e = std::make_shared<Private::Entry>();
    e->first = e->last = id;
    if (handler)
        e->handler = [h = std::move(handler)](UINT) { h(); };
    e->update = std::move(update);
    d->singles[id] = std::move(e);
}

void CommandTable::addRange(UINT first, UINT last, RangeHandler handler, UpdateRule update)
{
    if (last < first)
        return;
    auto e = std::make_shared<Private::Entry>();
    e->first = first;
    e->last = last;
    e->handler = std::move(handler);
    e->update = std::move(update);
    d->ranges.push_back(std::move(e));
}

void CommandTable::remove(UINT id)
{
    d->singles.erase(id);
    std::erase_if(d->ranges, [id](const auto& r) { return r->first == id && r->last == id; });
}

bool CommandTable::contains(UINT id) const { return d->find(id) != nullptr; }

CommandUpdate CommandTable::state(UINT id) const
{
    CommandUpdate u(id);
    const auto entry = d->find(id);
    if (!entry)
        u.Enable(false);
    else if (entry->update)
        entry->update(u);
    return u;
}

bool CommandTable::execute(UINT id)
{
    if (!state(id).enabled())
        return false;
    return run(id);
}

bool CommandTable::handleCommandMessage(WPARAM wParam, LPARAM)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    // Menus (0) and accelerators (1) obey the rule; a control's notification always runs.
    return code == 0 || code == 1 ? execute(id) : run(id);
}

bool CommandTable::run(UINT id)
{
    const std::shared_ptr<Private::Entry> entry = d->find(id);
    if (!entry)
        return false;
    // Copies: the handler may replace or remove its own command, or destroy the table.
    const RangeHandler handler = entry->handler;
    const std::shared_ptr<bool> alive = d->alive;
    if (handler)
        handler(id);
    if (*alive)
        refresh();
    return true;
}

void CommandTable::bind(UINT id, QAction* action)
{
    if (!action)
        return;
    action->setProperty(kCommandId, QVariant::fromValue(id));
    std::erase_if(d->bound, [](const QPointer<QAction>& a) { return a.isNull(); });
    if (std::find(d->bound.begin(), d->bound.end(), action) == d->bound.end()) {
        d->bound.emplace_back(action);
        QObject::connect(action, &QAction::triggered, &d->context, [this, action] {
            if (const UINT cmd = commandOf(action))
                execute(cmd);
        });
    }
    d->apply(action);
}

void CommandTable::attach(QMenu* menu)
{
    if (!menu)
        return;
    QPointer<QMenu> guard(menu);
    QObject::connect(menu, &QMenu::aboutToShow, &d->context, [this, guard] {
        if (guard)
            refresh(guard);
    });
}

void CommandTable::attach(QWidget* toolBar)
{
    if (toolBar)
        toolBar->installEventFilter(&d->context);
}

UINT CommandTable::commandOf(const QAction* action)
{
    return action ? action->property(kCommandId).toUInt() : 0;
}

void CommandTable::refresh()
{
    std::erase_if(d->bound, [](const QPointer<QAction>& a) { return a.isNull(); });
    const auto actions = d->bound; // apply() may run rules that bind more
    for (const auto& a : actions) {
        if (a && commandOf(a))
            d->apply(a);
    }
}

void CommandTable::refresh(QMenu* menu)
{
    if (menu)
        d->refreshActions(menu->actions());
}

UINT CommandTable::trackPopupMenu(QMenu& menu, const QPoint& globalPos)
{
    refresh(&menu);
    // The ids are read first: the chosen command may delete the menu and its actions.
    std::map<const QAction*, UINT> ids;
    const std::function<void(const QMenu&)> collect = [&](const QMenu& m) {
        for (const QAction* a : m.actions()) {
            ids[a] = commandOf(a);
            if (a->menu())
                collect(*a->menu());
        }
    };
    collect(menu);
    const QAction* chosen = RunPopupMenu(menu, globalPos);
    const auto it = ids.find(chosen);
    return it == ids.end() ? 0 : it->second;
}

} // namespace plat::qt
