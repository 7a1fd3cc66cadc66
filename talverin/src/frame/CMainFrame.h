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
//   Screens().Register({VIEW_OSCILLO, tr("Oscilloscope"), ID_VIEW_OSCILLO, 2, factory});  // ProgramScreens.cpp
//   connect(this, &CMainFrame::destroying, window, ...);  // tool windows, bars: before teardown
//
// Screens (CMainFrameViews.cpp): the frame shows only the screens of Screens(), switches with
// SwitchView, merges the current screen's menus, runs the keyboard hook and passes drops, colour
// changes and the minimum size on. Menus, tool bar, status bar and the update rules of every
// command: CMainFrameMenus.cpp (the rules themselves: FrameCommandRules.h). Closing, placements
// and the bar layout: CMainFrameClose.cpp.
//
// Bars, ports and the start screen (CMainFrameBars.cpp): the connection bar is the communication
// library's monitor window (ConnectionBar()->GetSafeHwnd()) and relays its notices to the frame.
//
// The driver connection is the frame's DriverConnection (connection/): the frame passes the
// connection's messages and commands on, answers what it asks of its window (ConnectionHost:
// the screens, the bars, the port Connect opens) and asks it for the connection steps of a screen
// switch and of closing the program. Windows made elsewhere lend it what it needs
// (Connection().SetCommandWindow, Connection().Hooks()).
#pragma once

#include "common/MessageMap.h"
#include "connection/ConnectionHost.h"
#include "frame/FrameCommandRules.h"
#include "frame/HelpWindow.h"
#include "screens/ScreenRegistry.h"

#include <platform/qt/keyboard_hook.h>

#include <platform/qt/command_table.h>
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
class CCommandWnd;
class CConnectionBar;
class CDebugDlg;
class CStartDlg;
class CViewBase;
class DriverConnection;
class FrameProgram;
class ParamWindows;
class PortMenu;
class ReportPrinting;
class TerminalWindowBase;

class CMainFrame : public QMainWindow, private ConnectionHost {
    Q_OBJECT

public:
    static constexpr int kInitialWidth = 710;
    static constexpr int kInitialHeight = 526;
    // The update pass of the commands' states runs at most this often.
    static constexpr int kUpdateIntervalMs = 200;

    // registerScreens fills Screens() while the frame is made, before its menus: the program's
    // screens (ProgramScreens.cpp), or a test's.
    CMainFrame(FrameProgram& app, const std::function<void(CMainFrame&)>& registerScreens, QWidget* parent = nullptr);
    ~CMainFrame() override;

    plat::HWND GetSafeHwnd() const override;
    plat::qt::CommandTable& Commands() { return m_commands; }
    MessageMap& Messages() { return m_messages; }

    // ---- Menus ------------------------------------------------------------------------------

    QMenu* FileMenu() const { return m_fileMenu; }
    QMenu* EditMenu() const { return m_editMenu; }
    QMenu* ViewMenu() const { return m_viewMenu; }
    QMenu* HelpMenu() const { return m_helpMenu; }
    // The File menu's Print item (merged popups go before it).
    QAction* PrintItem() const { return m_printItem; }
    QToolBar* ToolBar() const { return m_toolBar; }
    // The status bar's message pane.
    QLabel* MessagePane() const { return m_messagePane; }
    // The state the commands' update rules read (FrameCommandRules.h).
    FrameSnapshot Snapshot() const;
    // The rule of a command of the frame's table, for a handler that comes later:
    //   Commands().add(ID_FILE_PRINT, handler, CommandRule());
    plat::qt::CommandTable::UpdateRule CommandRule();
    // A new menu of the menu bar before `before` (null: at the end); it is attached to the
    // command table.
    QMenu* InsertMenu(const QString& title, QMenu* before);
    // An item for a command (already in the command table, or added later) at the end of the
    // menu or before `before`.
    QAction* AddCommand(QMenu* menu, plat::UINT id, const QString& text, const QKeySequence& shortcut = {},
                        QAction* before = nullptr);

    // ---- Screens ----------------------------------------------------------------------------

    // The screens the frame can show, with their titles, commands, line modes and factories.
    ScreenRegistry& Screens() { return m_screens; }
    const ScreenRegistry& Screens() const { return m_screens; }
    bool IsViewRegistered(int viewId) const { return m_screens.Contains(viewId); }
    // The screen when it was made already, else null.
    CViewBase* GetView(int viewId) const override;
    // The screens made so far, in the order they were registered.
    std::vector<CViewBase*> GetViews() const;
    // Puts a screen made elsewhere into the frame's screens under its view id (replacing none).
    void AddView(CViewBase* view);
    int GetCurrentViewId() const override { return m_currentView; }
    // The line mode of a screen, as registered (2 oscilloscope, 1 terminal, 0 the others).
    int GetCommandModeForView(int viewId) const override { return m_screens.CommandMode(viewId); }
    // Shows the screen (made on the first switch to it). While connected, a switch to or from the
    // terminal or away from the oscilloscope screen first runs its driver step and goes on from
    // that step's reply (true: held). False when the screen is unknown or cannot be made (a box
    // names it), when a switch is running, when the screen left vetoes, or when the driver step
    // ended the switch.
    bool SwitchView(int viewId) override;
    bool IsSwitching() const { return m_switching; }
    // 32775-32779: the switch under the application's switch guard (dropped while it is held).
    void OnScreenCommand(plat::UINT id);
    // The keyboard hook (installed in the hook chain while the frame lives); true swallows.
    bool KeyboardHookProc(const plat::qt::KeyInput& key);
    bool IsApplicationActive() const { return m_appActive; }

    // ---- Tool windows -----------------------------------------------------------------------

    TerminalWindowBase* TerminalWindow() const;
    // The command window (made on its first show by ParamWindows), else null.
    CCommandWnd* CommandWindow() const;
    // The parameter screen's and the command window's wiring (32773, WM_SHOW_COMMAND_WINDOW, the
    // window's placement); ProgramScreens.cpp makes it.
    void SetParamWindows(std::unique_ptr<ParamWindows> windows);
    // WM_SHOW_TERMINAL_WINDOW.
    void ShowTerminalWindow(bool show);
    CDebugDlg* DebugWindow() const;

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

    // Called before a document is loaded into the store: emits dataLoading.
    void PrepareDataLoad() { emit dataLoading(); }

    // File > New: the save question, the unit, the screens told before and after.
    void OnFileNew();
    // 32829 Upload / 32828 DownLoad: the upload/download dialog in that direction (1 upload, 0
    // download), modal; enabled while no driver is connected and the terminal screen is not shown.
    void OnTransfer(int direction);

    // ---- Report printing (CMainFramePrint.cpp) -------------------------------------------------

    // File > Print Preview and Print: the current screen's report in the report viewer, previewed
    // or printed. Only the parameter, I/O and channel program screens have one, and not while the
    // terminal screen is entered or left or a switch reads all data (phases 4097-4099).
    void OnFilePrintPreview();
    void OnFilePrint();
    bool CanPrint() const;
    // Ends the viewer this process started and deletes its report file; the destroy path runs it.
    void CloseReportViewer();
    ReportPrinting& Reports() { return *m_reports; }

    // ---- Bars, ports, start screen and the driver connection ------------------------------------

    QMenu* SettingMenu() const { return m_settingMenu; }
    CConnectionBar* ConnectionBar() const { return m_connectionBar; }
    // Null when the settings file has no [ExtBar] section.
    CCommandBar* CommandBar() const { return m_commandBar; }
    PortMenu& Ports() { return *m_ports; }
    // The parameter screen's and the command window's wiring.
    ParamWindows& GetParamWindows() { return *m_paramWindows; }
    CStartDlg* StartDialog() const { return m_startDlg.get(); }
    DriverConnection& Connection() { return *m_connection; }
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
    // WM_COMMAND_TOOL_REPLY (0, counts before and after) when the library removed records.
    plat::LRESULT OnCommandToolReply(plat::WPARAM tag, plat::LPARAM value);

    // ---- Closing ----------------------------------------------------------------------------

    // The destroy path without questions (a posted WM_DESTROY): queued driver commands removed,
    // the port closed, the settings written, the store closed; the window goes and the event
    // loop ends. Runs once.
    void DestroyFrame();
    bool IsDestroyed() const override { return m_destroyed; }
    // The bar layout and the three window placements written to the settings file.
    void SavePlacements();
    // The close, step by step (the frame's WM_CLOSE); false when the program keeps running.
    bool OnClose();
    // The close when the program is ended from outside (a signal, the session's end): no
    // question; a modified document is not saved (the log says so); the connection ends
    // (DriverConnection::EndWithoutQuestions), then the placements and the destroy path.
    void CloseWithoutQuestions();

signals:
    void newDocumentStarting();
    void newDocumentDone();
    void dataReloaded(bool keepSamples);
    // A document is about to be loaded into the store (its lists are replaced, dataReloaded
    // follows): windows that show the store's nodes drop them.
    void dataLoading();
    // At the start of the destroy path, while everything still exists.
    void destroying();

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
    // Menu merging of a screen (entering) and its undoing (leaving).
    void mergeMenus(CViewBase* view);
    void unmergeMenus();
    void prepareCommandWindow(int target);
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
    // Every screen's menus and the frame's items removed (the destroy path).
    void destroyToolWindows();
    void addTransferCommands();
    void setBarState(int state);

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
    // What the current screen merged, to be taken out again when it is left.
    struct MergedMenus {
        QPointer<QMenu> function;
        QPointer<QMenu> execute;
        QPointer<QMenu> popup;
        QPointer<QAction> popupSeparator;
        QList<QPointer<QAction>> editItems;
        QString popupTitle; // the popup's own title, given back when it is taken out
    } m_merged;
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
    std::unique_ptr<ParamWindows> m_paramWindows;
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
