// The main frame: the window with the menu bar, the screens in a stacked widget and a window
// handle the rest of the program sends and posts to. It dispatches messages by id (an id nobody
// registered is ignored), routes WM_COMMAND through the command table (result 1 when a command
// ran), owns the screens and the help window, and runs New and the close and destroy path.
// Screens see it only as their ScreenHost; the driver connection (connection/) sees it as its
// ConnectionHost and the frame passes the connection's messages and commands on.
//
// Extending it (one explicit call each):
//   Messages().Set(WM_SHOW_START_DIALOG, [this](WPARAM, LPARAM) { ...; return LRESULT{0}; });
//   Commands().add(ID_..., handler, rule);  AddCommand(menu, ID_..., tr("..."), shortcut);
//   InsertMenu(tr("&Edit"), HelpMenu());  // a new menu before Help
//   Screens().Register({VIEW_OSCILLO, tr("Oscilloscope"), ID_VIEW_OSCILLO, 2, factory});  // app/ProgramScreens.cpp
//   connect(&Notices(), &FrameNotices::destroying, window, ...);  // tool windows: before teardown
//
// Files: screens, switching, menu merging, the keyboard hook (CMainFrameViews.cpp); menus and
// command rules (CMainFrameMenus.cpp, FrameCommandRules.h); bars, ports, the start screen
// (CMainFrameBars.cpp); closing and placements (CMainFrameClose.cpp); reports (CMainFramePrint.cpp).
#pragma once

#include "common/MessageMap.h"
#include "connection/ConnectionHost.h"
#include "frame/FrameCommandRules.h"
#include "frame/HelpWindow.h"
#include "frame/MenuMerge.h"
#include "screens/FrameNotices.h"
#include "screens/ScreenHost.h"
#include "screens/ScreenRegistry.h"

#include <platform/qt/command_table.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/types.h>

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolBar;
class QWidget;

namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CCommandBar;
class CConnectionBar;
class CDebugDlg;
class CStartDlg;
class CViewBase;
class DriverConnection;
class FrameProgram;
class PortMenu;
class ReportPrinting;
class TerminalWindowBase;

class CMainFrame : public QMainWindow, public ScreenHost, private ConnectionHost {
    Q_OBJECT

public:
    static constexpr int kInitialWidth = 710;
    static constexpr int kInitialHeight = 526;
    // The update pass of the commands' states runs at most this often.
    static constexpr int kUpdateIntervalMs = 200;

    // registerScreens fills Screens() while the frame is made, before its menus.
    CMainFrame(FrameProgram& app, const std::function<void(CMainFrame&)>& registerScreens, QWidget* parent = nullptr);
    ~CMainFrame() override;

    plat::HWND GetSafeHwnd() const override;
    plat::qt::CommandTable& Commands() override { return m_commands; }
    MessageMap& Messages() override { return m_messages; }
    FrameNotices& Notices() override { return m_notices; }
    QWidget& FrameWindow() override { return *this; }

    // ---- Menus ------------------------------------------------------------------------------

    QMenu* FileMenu() const { return m_fileMenu; }
    QMenu* EditMenu() const { return m_editMenu; }
    QMenu* ViewMenu() const { return m_viewMenu; }
    QMenu* HelpMenu() const { return m_helpMenu; }
    QAction* PrintItem() const { return m_printItem; } // File > Print; merged popups go before it
    QToolBar* ToolBar() const { return m_toolBar; }
    QLabel* MessagePane() const { return m_messagePane; } // the status bar's message pane
    FrameSnapshot Snapshot() const; // what the commands' update rules read
    // The rule of a frame command whose handler comes later: Commands().add(id, handler, CommandRule()).
    plat::qt::CommandTable::UpdateRule CommandRule();
    // A menu of the menu bar, attached to the command table, and an item for a command (in the
    // table already or added later); both at the end or before `before`.
    QMenu* InsertMenu(const QString& title, QMenu* before);
    QAction* AddCommand(QMenu* menu, plat::UINT id, const QString& text, const QKeySequence& shortcut = {},
                        QAction* before = nullptr);

    // ---- Screens ----------------------------------------------------------------------------

    ScreenRegistry& Screens() override { return m_screens; }
    const ScreenRegistry& Screens() const { return m_screens; }
    bool IsViewRegistered(int viewId) const { return m_screens.Contains(viewId); }
    CViewBase* GetView(int viewId) const override;
    std::vector<CViewBase*> GetViews() const; // those made so far, in the order registered
    // Puts a screen made elsewhere into the frame's screens under its view id (replacing none).
    void AddView(CViewBase* view);
    int GetCurrentViewId() const override { return m_currentView; }
    int GetCommandModeForView(int viewId) const override { return m_screens.CommandMode(viewId); }
    // Shows the screen (made on the first switch), after the connection's driver step of the
    // switch if it has one (true: held). False when the screen is unknown or cannot be made, a
    // switch runs, the screen left vetoes or the driver step ended the switch.
    bool SwitchView(int viewId) override;
    bool IsSwitching() const { return m_switching; }
    void OnScreenCommand(plat::UINT id); // 32775-32779, dropped while the switch guard is held
    // The keyboard hook, in the hook chain while the frame lives; true swallows.
    bool KeyboardHookProc(const plat::qt::KeyInput& key);
    bool IsApplicationActive() const { return m_appActive; }

    // ---- Tool windows -----------------------------------------------------------------------

    TerminalWindowBase* TerminalWindow() const;
    void ShowTerminalWindow(bool show); // WM_SHOW_TERMINAL_WINDOW
    CDebugDlg* DebugWindow() const;

    // ---- Help -------------------------------------------------------------------------------

    // A page of the help folder (or an absolute path) at the anchor; a missing page says so.
    void ShowHelp(const QString& page, const QString& anchor = {}) override;
    void ShowHelpSearch(); // the help window with its find field
    static QString HelpTopicPage(); // the contents page (its Japanese twin for 1041)
    HelpWindow* GetHelpWindow() const { return m_help; }

    // ---- Document commands -------------------------------------------------------------------

    // Called before a document is loaded into the store: Notices().dataLoading.
    void PrepareDataLoad() { emit m_notices.dataLoading(); }
    // File > New: the save question, the unit, the screens told before and after.
    void OnFileNew();
    // Upload (1) / DownLoad (0): the upload/download dialog, modal (not while connected).
    void OnTransfer(int direction);

    // ---- Report printing (CMainFramePrint.cpp) -------------------------------------------------

    // File > Print Preview and Print: the current screen's report (parameter, I/O, channel
    // programs) in the report viewer, not while a connection step of a switch runs.
    void OnFilePrintPreview();
    void OnFilePrint();
    bool CanPrint() const;
    // Ends the viewer this process started and deletes its report file; the destroy path runs it.
    void CloseReportViewer();
    ReportPrinting& Reports() { return *m_reports; }

    // ---- Bars, ports, start screen and the driver connection ------------------------------------

    QMenu* SettingMenu() const { return m_settingMenu; }
    CConnectionBar* ConnectionBar() const { return m_connectionBar; }
    CCommandBar* CommandBar() const { return m_commandBar; } // null without [ExtBar]
    PortMenu& Ports() { return *m_ports; }
    CStartDlg* StartDialog() const { return m_startDlg.get(); }
    DriverConnection& Connection() override { return *m_connection; }
    void SetTransferDialog(QWidget* dialog) { m_transferDialog = dialog; } // while it runs
    bool IsTransferDialogOpen() const override { return !m_transferDialog.isNull(); }
    bool IsTransferDialogVisible() const;
    void UpdateBars() override;

    void ShowStartDialog(); // WM_SHOW_START_DIALOG: the start screen, shown and activated
    // The start screen goes without a choice; the main window is enabled again.
    void DestroyStartDialog();
    void OnCommandBarCommand(plat::UINT id); // 1075-1079: sends the command bar entry's text
    // WM_COMMAND_TOOL_REPLY (0, counts before and after) when the library removed records.
    plat::LRESULT OnCommandToolReply(plat::WPARAM tag, plat::LPARAM value);

    // ---- Closing ----------------------------------------------------------------------------

    // The destroy path without questions (a posted WM_DESTROY), once: queued commands removed, the
    // port closed, settings written, the store closed; the window goes and the event loop ends.
    void DestroyFrame();
    bool IsDestroyed() const override { return m_destroyed; }
    void SavePlacements(); // the bar layout and the three window placements, to the settings file
    // The close, step by step (the frame's WM_CLOSE); false when the program keeps running.
    bool OnClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    virtual plat::LRESULT WindowProc(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);

private:
    void buildMenus();
    void buildEditMenu();
    void buildViewMenu();
    void buildToolBar();
    void buildStatusBar();
    void addViewCommands();
    void finishMenus();
    void refreshScreenCommands();
    plat::LRESULT onSetStatusText(plat::WPARAM pane, plat::LPARAM record);
    void createToolWindows();
    void installHook();
    bool openRefused();
    void mergeMenus(CViewBase* view); // entering a screen; unmergeMenus leaving it
    void unmergeMenus();
    void applyMinimumSize();
    void restorePlacement();
    void restoreBarState();
    void placeTerminalWindow();
    void buildSettingMenu();
    void createBars();
    void addBarCommands();
    void destroyBars();
    bool commandBarButtonEnabled(int index) const;
    plat::LRESULT onStartChoice(plat::LPARAM choice);
    void addCommands();
    void addPrintCommands();
    void printReport(bool print);
    void rebuildRecentFiles();
    plat::LRESULT onCollectViewData();
    plat::LRESULT onDataReloaded(plat::WPARAM wParam);
    CViewBase* makeView(int viewId);
    void destroyToolWindows(); // the destroy path: every screen's menus and the frame's items
    void addTransferCommands();

    // ---- ScreenHost: what the frame answers for the program ----
    model::CDataFile& Store() override;
    void KeepScreenPart(std::unique_ptr<QObject> part) override;
    bool IsDocumentModified() const override;
    void SetDocumentModified(bool modified) override;
    int LockState() const override;
    std::string ProfileText(std::string_view section, std::string_view key) const override;
    void WriteProfileText(std::string_view section, std::string_view key, std::string_view text) override;

    // ---- ConnectionHost ----
    plat::UINT CheckedPortId() const override;
    PortRecord* CheckedPortRecord() override;
    plat::HWND MonitorWindow() const override;
    void SetBarState(int state) override;
    void RepaintBar() override;
    plat::HWND CommandBarHandle() const override;
    void ClearCommandBar() override;
    QWidget* TransferDialog() const override;

    HelpWindow& helpWindow();

    FrameProgram& m_app;
    plat::qt::CommandTable m_commands;
    MessageMap m_messages;
    FrameNotices m_notices;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    std::unique_ptr<DriverConnection> m_connection;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_printItem = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_messagePane = nullptr;
    QTimer* m_updateTimer = nullptr;
    MenuMerge m_merged; // what the current screen lent the menus
    QMenu* m_settingMenu = nullptr;
    QAction* m_connectItem = nullptr;
    QAction* m_recentSeparator = nullptr;
    std::vector<QAction*> m_recentActions;

    QStackedWidget* m_stack = nullptr;
    ScreenRegistry m_screens;
    std::vector<std::pair<int, CViewBase*>> m_views;
    int m_currentView = 0;
    bool m_switching = false;

    QPointer<HelpWindow> m_help;
    CConnectionBar* m_connectionBar = nullptr;
    CCommandBar* m_commandBar = nullptr;
    std::unique_ptr<PortMenu> m_ports;
    // What goes with a screen beyond the screen (the parameter screen's command window wiring).
    std::vector<std::unique_ptr<QObject>> m_screenParts;
    std::unique_ptr<CStartDlg> m_startDlg;
    QPointer<QWidget> m_transferDialog;
    std::unique_ptr<ReportPrinting> m_reports;
    bool m_destroyed = false;
    bool m_appActive = true;
    bool m_inClose = false;
    bool m_activatedOnce = false;
    plat::qt::KeyboardHookHandle m_hook;
    QPointer<CDebugDlg> m_debugDlg;

    QPointer<TerminalWindowBase> m_terminalWindow;
};

} // namespace talverin
