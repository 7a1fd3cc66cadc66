// The main frame: the window with the menu bar, the screens in a stacked widget and a window
// handle that the rest of the program sends and posts to. It dispatches messages by id (the
// message map; an id nobody registered is ignored), routes WM_COMMAND through the command table
// (result 1 when a command ran, as the original framework answered), owns the screens and the help
// window, and runs the New command and the close and destroy path.
//
// Extending it (one explicit call each):
//   Messages().Set(WM_SHOW_START_DIALOG, [this](WPARAM, LPARAM) { ...; return LRESULT{0}; });
//   Commands().add(ID_..., handler, rule);  AddCommand(menu, ID_..., tr("..."), shortcut);
//   InsertMenu(tr("&Edit"), HelpMenu());  // a new menu before Help
//   RegisterView({VIEW_OSCILLO, tr("Oscilloscope"), [](QWidget* p) { return new CViewOscillo(p); }});
//   connect(this, &CMainFrame::destroying, window, ...);  // tool windows, bars: before teardown
//
// Bars, ports and the start screen (CMainFrameBars.cpp): the connection bar is the communication
// library's monitor window (ConnectionBar()->GetSafeHwnd()); its display state, the fields
// m_connectionPhase and m_baudChangeBusy, and the handlers of WM_COMM_STATE_CHANGED,
// WM_COMM_ACTIVITY and WM_BAUD_CHANGE_STATE (which the bar posts or sends) belong to the
// connection code, which also calls CommandBar()->ClearStates() when a disconnection is accepted
// and UpdateBars() after it changed a state the bar buttons depend on.
#pragma once

#include "talverin/HelpWindow.h"
#include "talverin/MessageMap.h"

#include <platform/qt/command_table.h>
#include <platform/types.h>

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QStackedWidget;
class QWidget;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CCommandBar;
class CConnectionBar;
class CStartDlg;
class CTalverinApp;
class CViewBase;
class PortMenu;

struct ViewRegistration {
    int viewId = 0;
    QString title; // the caption's view title while the screen is current (may be empty)
    std::function<CViewBase*(QWidget* parent)> create;
};

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kInitialWidth = 710;
    static constexpr int kInitialHeight = 526;

    explicit CMainFrame(CTalverinApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    plat::HWND GetSafeHwnd() const;
    plat::qt::CommandTable& Commands() { return m_commands; }
    MessageMap& Messages() { return m_messages; }

    // ---- Menus ------------------------------------------------------------------------------

    QMenu* FileMenu() const { return m_fileMenu; }
    QMenu* HelpMenu() const { return m_helpMenu; }
    // A new menu of the menu bar before `before` (null: at the end); it is attached to the
    // command table.
    QMenu* InsertMenu(const QString& title, QMenu* before);
    // An item for a command (already in the command table, or added later) at the end of the
    // menu or before `before`.
    QAction* AddCommand(QMenu* menu, plat::UINT id, const QString& text, const QKeySequence& shortcut = {},
                        QAction* before = nullptr);

    // ---- Screens ----------------------------------------------------------------------------

    void RegisterView(ViewRegistration registration);
    bool IsViewRegistered(int viewId) const;
    // The screen when it was made already, else null.
    CViewBase* GetView(int viewId) const;
    // The screens made so far, in the order they were registered.
    std::vector<CViewBase*> GetViews() const;
    int GetCurrentViewId() const { return m_currentView; }
    // Shows the screen (made on the first switch to it). False when the screen is unknown or
    // cannot be made, when a switch is running, or when the screen left vetoes.
    bool SwitchView(int viewId);

    // ---- Help -------------------------------------------------------------------------------

    // Shows a page of the help folder (or an absolute path) at the anchor; a missing page says so
    // in the help window. The start screen and the screens call it for their help buttons.
    void ShowHelp(const QString& page, const QString& anchor = {});
    // The help window with its find field.
    void ShowHelpSearch();
    // The contents page: "_RESOURCE/1_1_1_introduction.htm" (its Japanese twin for 1041).
    static QString HelpTopicPage();
    HelpWindow* GetHelpWindow() const { return m_help; }

    // ---- Document commands -------------------------------------------------------------------

    // File > New: the save question, the unit, the screens told before and after.
    void OnFileNew();

    // ---- Bars, ports, start screen and driver connection state ---------------------------------

    // Connection phase: 0 idle (no port), 1 connecting, 2 port open and waiting for the driver,
    // 3 first identification, 4 reading all data, 4096 connected, 4097 entering and 4098 leaving
    // the terminal screen, 4099 reading all for a switch, 4100 closing the program,
    // -1 disconnecting.
    int m_connectionPhase = 0;
    // 1 while the line speed changes.
    int m_baudChangeBusy = 0;

    QMenu* SettingMenu() const { return m_settingMenu; }
    CConnectionBar* ConnectionBar() const { return m_connectionBar; }
    // Null when the settings file has no [ExtBar] section.
    CCommandBar* CommandBar() const { return m_commandBar; }
    PortMenu& Ports() { return *m_ports; }
    CStartDlg* StartDialog() const { return m_startDlg.get(); }

    // The communication library reports a driver on the open port.
    bool IsConnected() const;
    // The upload/download dialog, while it runs (it registers itself).
    void SetTransferDialog(QWidget* dialog) { m_transferDialog = dialog; }
    bool IsTransferDialogOpen() const { return !m_transferDialog.isNull(); }
    bool IsTransferDialogVisible() const;
    // Brings the enabled states of every command item and bar button up to date.
    void UpdateBars();

    // WM_SHOW_START_DIALOG: the start screen, shown and activated.
    void ShowStartDialog();
    // The start screen goes without a choice; the main window is enabled again.
    void DestroyStartDialog();
    // 1075-1079: sends the command bar entry's text.
    void OnCommandBarCommand(plat::UINT id);
    // WM_COMM_COMMAND (event, CommandId) of the frame's own commands.
    plat::LRESULT OnCommCommand(plat::WPARAM event, plat::LPARAM commandId);
    // WM_COMMAND_TOOL_REPLY (0, counts before and after) when the library removed records.
    plat::LRESULT OnCommandToolReply(plat::WPARAM tag, plat::LPARAM value);

    // ---- Closing ----------------------------------------------------------------------------

    // The destroy path without questions (a posted WM_DESTROY): queued driver commands removed,
    // the port closed, the settings written, the store closed; the window goes and the event
    // loop ends. Runs once.
    void DestroyFrame();
    bool IsDestroyed() const { return m_destroyed; }

signals:
    void newDocumentStarting();
    void newDocumentDone();
    void dataReloaded(bool keepSamples);
    // At the start of the destroy path, while everything still exists.
    void destroying();

protected:
    void closeEvent(QCloseEvent* event) override;
    virtual plat::LRESULT WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

private:
    void buildMenus();
    void buildSettingMenu();
    void createBars();
    void addBarCommands();
    void destroyBars();
    bool commandBarButtonEnabled(int index) const;
    plat::LRESULT onStartChoice(plat::LPARAM choice);
    void addCommands();
    void rebuildRecentFiles();
    plat::LRESULT onCollectViewData();
    plat::LRESULT onDataReloaded(plat::WPARAM wParam);
    CViewBase* makeView(int viewId);
    const ViewRegistration* registration(int viewId) const;
    HelpWindow& helpWindow();

    CTalverinApp& m_app;
    plat::qt::CommandTable m_commands;
    MessageMap m_messages;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_settingMenu = nullptr;
    QAction* m_connectItem = nullptr;
    QAction* m_recentSeparator = nullptr;
    std::vector<QAction*> m_recentActions;

    QStackedWidget* m_stack = nullptr;
    std::vector<ViewRegistration> m_registrations;
    std::vector<std::pair<int, CViewBase*>> m_views;
    int m_currentView = 0;
    bool m_switching = false;

    QPointer<HelpWindow> m_help;
    CConnectionBar* m_connectionBar = nullptr;
    CCommandBar* m_commandBar = nullptr;
    std::unique_ptr<PortMenu> m_ports;
    std::unique_ptr<CStartDlg> m_startDlg;
    QPointer<QWidget> m_transferDialog;
    bool m_destroyed = false;
};

} // namespace talverin
