// Command ids -> handlers and update rules, for the main frame's menus and tool bars and for a
// control's own menus (a command's handler and its update rule, WM_COMMAND / ON_UPDATE_COMMAND_UI).
//
// Each command has a handler and, optionally, an update rule that tells its state: enabled,
// checked, radio (a bullet instead of a check) and a text. The table brings the state of the
// QActions bound to a command up to date before a bound menu shows, when a bound tool bar is
// shown, after every command it ran, and whenever refresh() is called (after a state change that
// the frame knows of). A command runs only while its rule enables it: a triggered action, a
// posted or sent WM_COMMAND (through handleCommandMessage) or execute() of a disabled command is
// dropped, as the frame's own posts of disabled commands must be.
//
//     CommandTable& t = m_commands;
//     t.add(ID_CONNECT, [this] { onConnect(); }, [this](CommandUpdate& u) { u.Enable(!m_connected); });
//     t.addRange(32775, 32779, [this](UINT id) { onScreen(id); },
//                [this](CommandUpdate& u) { u.SetRadio(u.id() == m_currentScreenCommand); });
//     t.bind(ID_CONNECT, connectAction);  t.attach(fileMenu);  t.attach(toolBar);
//     // window handler: if (msg == WM_COMMAND) return t.handleCommandMessage(wParam, lParam) ? 0 : 1;
//
// Handlers may disable or remove their own command, add commands, or destroy bound actions; the
// table holds no pointer that such a change can leave dangling. GUI thread only.
#pragma once

#include "platform/types.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace plat::qt {

// What an update rule fills in (MFC's CCmdUI). Starts enabled, unchecked, no radio, text kept.
class CommandUpdate {
public:
    explicit CommandUpdate(UINT id) : m_id(id) {}
    UINT id() const { return m_id; }

    void Enable(bool on = true) { m_enabled = on; }
    void SetCheck(int check = 1) { m_checked = check != 0; m_radio = false; m_checkSet = true; }
    void SetRadio(bool on = true) { m_checked = on; m_radio = true; m_checkSet = true; }
    void SetText(const QString& text) { m_text = text; }

    bool enabled() const { return m_enabled; }
    bool checked() const { return m_checked; }
    bool radio() const { return m_radio; }
    // Whether the rule called SetCheck or SetRadio at all (otherwise the action is not checkable).
    bool checkSet() const { return m_checkSet; }
    const std::optional<QString>& text() const { return m_text; }

private:
    friend class CommandTable;
    UINT m_id;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_radio = false;
    bool m_checkSet = false;
    std::optional<QString> m_text;
};

class CommandTable {
public:
    using Handler = std::function<void()>;
    using RangeHandler = std::function<void(UINT id)>;
    using UpdateRule = std::function<void(CommandUpdate&)>;

    CommandTable();
    ~CommandTable();
    CommandTable(const CommandTable&) = delete;
    CommandTable& operator=(const CommandTable&) = delete;

    // Adds or replaces a command. Without an update rule the command is always enabled.
    void add(UINT id, Handler handler, UpdateRule update = {});
    // first..last share one handler and rule (given the id); radio items of one range form one
    // group. A single add() of an id inside a range takes precedence over the range.
    void addRange(UINT first, UINT last, RangeHandler handler, UpdateRule update = {});
    void remove(UINT id);
    bool contains(UINT id) const;

    // The state the rule gives now (a disabled state for an unknown id).
    CommandUpdate state(UINT id) const;
    bool isEnabled(UINT id) const { return contains(id) && state(id).enabled(); }

    // Runs the command when it is known and enabled, then refreshes; false when dropped.
    bool execute(UINT id);
    // For a window's WM_COMMAND: LOWORD(wParam) is the id; notification codes 0 (menu) and 1
    // (accelerator) are checked against the rule, other codes (a control's notification) run
    // unchecked. False when the command is unknown or was dropped as disabled.
    bool handleCommandMessage(WPARAM wParam, LPARAM lParam = 0);

    // The action shows the command's state and runs it when triggered. The action keeps its id
    // as its "commandId" property (commandOf). Unbound when the action is destroyed.
    void bind(UINT id, QAction* action);
    // Menus: bound actions in the menu and its submenus are refreshed before it shows. Tool bars
    // (any widget): refreshed when shown. Detached when destroyed.
    void attach(QMenu* menu);
    void attach(QWidget* toolBar);
    // The id an action was bound with; 0 for none.
    static UINT commandOf(const QAction* action);

    // Brings every bound action up to date (only the menu's, for refresh(menu)).
    void refresh();
    void refresh(QMenu* menu);

    // RunPopupMenu (popup_menu.h) with the menu's bound actions refreshed first. The chosen
    // action is triggered (so a bound command runs, if its rule still enables it); returns the
    // chosen action's command id, 0 when nothing or an unbound action was chosen.
    UINT trackPopupMenu(QMenu& menu, const QPoint& globalPos);

private:
    bool run(UINT id); // runs a known command without asking its rule
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace plat::qt
