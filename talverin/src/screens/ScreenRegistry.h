// The screens the main frame can show and the two tool windows beside them. The program fills it
// with one explicit call per screen (ProgramScreens.cpp), before the frame first switches; tests
// register their own stand-ins the same way, or swap only a factory.
//
//     frame.Screens().Register({VIEW_PARAM, tr("Edit parameter"), ID_VIEW_PARAM, 0,
//                               [&](QWidget* parent) { return new CViewParam(store, host, parent); }});
//     frame.Screens().SetTerminalWindow([&](QWidget* parent) { return new CTerminalDlg(host, parent); });
//
// The frame switches only among registered screens; the command of a screen that is not
// registered is disabled. A factory that returns null (or throws) leaves the current screen.
#pragma once

#include <platform/types.h>

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace talverin {

class TerminalWindowBase;
class CViewBase;

struct ScreenEntry {
    using Factory = std::function<CViewBase*(QWidget* parent)>;

    int viewId = 0;
    QString title;           // the caption's view title while the screen is current (may be empty)
    plat::UINT command = 0;  // the menu and tool bar command that shows it (0: none)
    int commandMode = 0;     // the line's command mode while it is current (ZRComm_SetCommandMode)
    Factory create;
};

class ScreenRegistry {
public:
    using TerminalWindowFactory = std::function<TerminalWindowBase*(QWidget* parent)>;

    // Adds a screen, or replaces the one registered under its view id.
    void Register(ScreenEntry entry);
    // Replaces only the factory of a registered screen (false when none is registered).
    bool SetFactory(int viewId, ScreenEntry::Factory factory);

    const ScreenEntry* Find(int viewId) const;
    const ScreenEntry* FindByCommand(plat::UINT command) const;
    bool Contains(int viewId) const { return Find(viewId) != nullptr; }
    // In the order registered.
    const std::vector<ScreenEntry>& Entries() const { return m_entries; }
    // The command mode of a screen; 0 for one that is not registered.
    int CommandMode(int viewId) const;

    // The terminal window (dialog 204, made with the frame). Unset: the frame has none. (The
    // command window is the parameter screen's ParamWindows'.)
    void SetTerminalWindow(TerminalWindowFactory factory) { m_terminalWindow = std::move(factory); }
    const TerminalWindowFactory& TerminalWindow() const { return m_terminalWindow; }

private:
    std::vector<ScreenEntry> m_entries;
    TerminalWindowFactory m_terminalWindow;
};

} // namespace talverin
