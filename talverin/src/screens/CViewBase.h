// The base of every screen the main frame shows: a widget with a window handle (for the driver
// queue's replies and the frame's messages) and its view id. The frame talks to a screen with the
// messages of AppMessages.h; the base turns the frame's own ones into the hooks below, and the
// screen registers any other message it answers in Messages().
//
// What the frame asks of a screen beyond its messages is the virtual members below; a screen
// overrides those it has (the same names as its own members, so that a screen that had them before
// this base declared them overrides them as it stands). The blank screen (VIEW_BLANK) is a
// CViewBase itself.
#pragma once

#include "common/MessageMap.h"

#include <platform/types.h>

#include <QList>
#include <QSize>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;
class QUrl;

namespace plat::qt {
class CommandTable;
struct KeyInput;
class WindowBridge;
}

namespace talverin {

class CViewBase : public QWidget {
    Q_OBJECT

public:
    explicit CViewBase(int viewId, QWidget* parent = nullptr);
    ~CViewBase() override;

    int ViewId() const { return m_viewId; }
    plat::HWND GetSafeHwnd() const;
    MessageMap& Messages() { return m_messages; }

    // WM_VIEW_SWITCH: the screen is left for (entered = false) or was entered from a switch to
    // target. Leaving, false vetoes the switch.
    virtual bool OnViewSwitch(bool entered, int target);
    // WM_COLLECT_VIEW_DATA: store pending edits into the data store before a save; false
    // refuses the save.
    virtual bool OnCollectViewData();
    // WM_DATA_RELOADED: re-read the data store (keepSamples: wParam 1).
    virtual void OnDataReloaded(bool keepSamples);
    // New document: before the unit changes (drop selections into the old lists), and after the
    // new document was made (reset and reload).
    virtual void OnNewDocumentStarting();
    virtual void OnNewDocumentDone();
    // Before Save, Save As, Print and Print Preview while connected: the screen writes its
    // pending changes to the driver first. -1 drops the command, 0 nothing to write or written,
    // 1 written after the user dropped what the driver refused. `question` 0: no question may be
    // asked (the answer would be -1).
    virtual int WriteBack(int question);
    // The frame closed the port: every command still queued is gone without a completion.
    virtual void OnPortClosed();
    // The client size the frame must leave the screen; an empty size for none.
    virtual QSize MinimumClientSize() const;

    // ---- Asked by the main frame while the screen is current ----------------------------------

    // The frame's keyboard hook offers each key of the program while the application is active;
    // true swallows it (Enter as Tab in value boxes lives here).
    virtual bool HandleHookKey(const plat::qt::KeyInput& key);
    // The screen's own commands: a WM_COMMAND the screen's table knows runs there first, and the
    // table's items merged into the frame's menus are brought up to date with the frame's.
    virtual plat::qt::CommandTable& Commands();
    // Menus merged while the screen is current (null / empty: none): a "Function" popup at bar
    // position 2 and an "Execute" popup at 3; a popup inserted before Print in the File menu
    // (ExportMenu, else PopupMenu), captioned with the screen's title; items appended to the Edit
    // menu. The screen keeps owning them.
    virtual QMenu* FunctionMenu() const;
    virtual QMenu* ExecuteMenu() const;
    virtual QMenu* ExportMenu() const;
    virtual QMenu* PopupMenu() const;
    virtual const QList<QAction*>& MenuActions() const;
    // Files dropped on the frame while the screen is current.
    virtual void OnDropFiles(const QList<QUrl>& urls);
    // The system colours changed (the frame's palette change).
    virtual void OnSysColorChange();
    // The oscilloscope's capture state (0 idle, 1 not connected, 3 syncing, 4-6 capturing,
    // 9 failed); other screens: 0.
    virtual int CaptureState() const;
    // The channel program editor's channel (its report shows it); other screens: -1.
    virtual int CurrentChannel() const;

protected:
    // Every message to the handle; the base answers the frame's messages above and then the
    // message map. Unknown messages give 0.
    virtual plat::LRESULT WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

private:
    int m_viewId;
    MessageMap m_messages;
    std::unique_ptr<plat::qt::CommandTable> m_noCommands;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
};

} // namespace talverin
