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
// The driver connection (CMainFrameConnect.cpp: connect, finish, disconnect, lock, the connection
// steps of a screen switch; CMainFrameCompletion.cpp: the frame's commands by tag, the read-all
// load, Cancel, Save and Print while connected; CMainFrameWait.cpp: the please-wait dialog,
// error boxes, the line-speed change). Screens are told with the messages of AppMessages.h, in the
// order oscilloscope, parameter, I/O, channel program, terminal. Windows made elsewhere lend what
// the connection needs: SetTerminalWindow, SetCommandWindow, Hooks().
#pragma once

#include "talverin/FrameCommandRules.h"
#include "talverin/HelpWindow.h"
#include "talverin/MessageMap.h"
#include "talverin/ScreenRegistry.h"
#include "talverin/WaitDialogInfo.h"

#include <platform/qt/keyboard_hook.h>

#include <platform/qt/command_table.h>
#include <platform/types.h>
#include <zrcomm/zrcomm_api.h>

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolBar;
class QWidget;

namespace plat {
class Event;
}
namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CBusyDlg;
class CCommandBar;
class CCommandWnd;
class CConnectionBar;
class CDebugDlg;
class CTerminalDlg;
class PortRecord;
class CStartDlg;
class CTalverinApp;
class CViewBase;
class ParamWindows;
class PortMenu;
class ReportPrinting;

// What screens made by other code lend the connection logic (unset: not there). The
// oscilloscope's capture state is its CViewBase::CaptureState.
struct ConnectionHooks {
    // After the read-all of a switch away from the terminal (all = true) or the oscilloscope
    // screen: its four monitor records are cleared; with all also their names and its control's
    // samples.
    std::function<void(bool all)> resetScopeMonitors;
};

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kInitialWidth = 710;
    static constexpr int kInitialHeight = 526;
    // The update pass of the commands' states runs at most this often.
    static constexpr int kUpdateIntervalMs = 200;

    explicit CMainFrame(CTalverinApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    plat::HWND GetSafeHwnd() const;
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
    CViewBase* GetView(int viewId) const;
    // The screens made so far, in the order they were registered.
    std::vector<CViewBase*> GetViews() const;
    // Puts a screen made elsewhere into the frame's screens under its view id (replacing none).
    void AddView(CViewBase* view);
    int GetCurrentViewId() const { return m_currentView; }
    // The screen to show when the running connection step ends (0: none).
    int GetPendingViewId() const { return m_pendingView; }
    // Shows the screen (made on the first switch to it). While connected, a switch to or from the
    // terminal or away from the oscilloscope screen first runs its driver step and goes on from
    // that step's reply (true: held). False when the screen is unknown or cannot be made (a box
    // names it), when a switch is running, when the screen left vetoes, or when the driver step
    // ended the switch.
    bool SwitchView(int viewId);
    bool IsSwitching() const { return m_switching; }
    // 32775-32779: the switch under the application's switch guard (dropped while it is held).
    void OnScreenCommand(plat::UINT id);
    // The keyboard hook (installed in the hook chain while the frame lives); true swallows.
    bool KeyboardHookProc(const plat::qt::KeyInput& key);
    bool IsApplicationActive() const { return m_appActive; }

    // ---- Tool windows -----------------------------------------------------------------------

    CTerminalDlg* TerminalWindow() const;
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
    // The parameter screen's and the command window's wiring.
    ParamWindows& GetParamWindows() { return *m_paramWindows; }
    CStartDlg* StartDialog() const { return m_startDlg.get(); }

    // The communication library reports a driver on the open port.
    bool IsConnected() const;

    // ---- Driver connection -----------------------------------------------------------------

    // 32845 Connect, 32826 Disconnect (both do nothing while an operation runs).
    void OnConnect();
    void OnDisconnect();
    // 32850 / 32851: "KP0" (tag 30) / "KP1" (tag 35); the id, 0 when nothing was queued.
    CommandId OnPasswordLockEnable();
    CommandId OnPasswordLockDisable();
    // 0: 32850 checked, 1: 32851 checked, 9: neither.
    int GetLockMenuState() const { return m_lockMenuState; }
    // WM_COMM_STATE_CHANGED (1: the driver answered; 0: no answer or the line went).
    plat::LRESULT OnCommStateChanged(plat::WPARAM connected, plat::LPARAM reason);
    // WM_CONNECTION_STATE: 1 finishes a connection (0: all data must be read now, 1: done); 0
    // disconnects for the reason (0 the user, -2 after a Cancel, else an error code).
    plat::LRESULT OnConnectionState(plat::WPARAM finish, plat::LPARAM reason);
    // WM_COMM_COMMAND (event, CommandId) of the frame's own commands.
    plat::LRESULT OnCommCommand(plat::WPARAM event, plat::LPARAM commandId);
    // WM_COMM_ERROR (event or code, 0x8000 disconnect / bit 0 no box): the box's answer, else 1.
    plat::LRESULT OnCommError(plat::WPARAM code, plat::LPARAM flags);
    // WM_WAIT_CANCEL (2, cancel tag): undoes the step the please-wait dialog stood for; 1.
    plat::LRESULT OnWaitCancel(plat::WPARAM, plat::LPARAM tag);
    // WM_WAIT_DIALOG: 5 show (WaitDialogInfo*), 0 hide, 255 the dialog's handle while visible.
    plat::LRESULT OnWaitDialog(plat::WPARAM action, plat::LPARAM info);
    // Loads a read-all reply into the data store (also WM_DATA_RELOADED from the transfer dialog).
    bool OnDataReceived(CommandId commandId);
    // A read-all given up after its retries: a time-out or a missing echo (event 6 or 4) is named
    // in the status bar and as the contents of the next WM_COMM_ERROR box for that event.
    void ReadAllGaveUp(plat::WPARAM event);
    // WM_CHANGE_BAUD_RATE (1 to the oscilloscope's rate, 0 back; lParam int* changed).
    plat::LRESULT OnChangeBaudRate(plat::WPARAM toCapture, plat::LPARAM changed);
    // WM_BAUD_CHANGE_STATE (18 started, 19 done, 20 failed), passed on to the screens.
    plat::LRESULT OnBaudChangeState(plat::WPARAM code, plat::LPARAM value);
    // WM_COMM_ACTIVITY: lets the please-wait dialog take one pending message while data flows.
    plat::LRESULT OnCommActivity(plat::WPARAM code, plat::LPARAM value);
    // Queues the read-all (tag 23: "TX0" only), with the please-wait dialog when asked.
    CommandId ReadAllData(int tag, bool showDialog);
    // Queues "TA/HI"; the dialog says alarm data (alarmText) or all data.
    CommandId ReadAlarmHistory(int tag, bool alarmText);
    // The line mode of a screen, as registered (2 oscilloscope, 1 terminal, 0 the others).
    int GetCommandModeForView(int viewId) const { return m_screens.CommandMode(viewId); }
    // The screens are asked to let the connection go; false when one refused.
    bool QueryViewsDisconnect(plat::LPARAM reason);
    // Save, Save As, Print and Print Preview call it first: true when the command must not run
    // now (the driver's data is read first and the command posted again, or it is dropped).
    bool HoldCommandWhileConnected(plat::UINT id);

    // Sends to the screens of the ids that exist, in that order; with stopAtZero the first 0 ends
    // it (the result is then 0).
    plat::LRESULT SendToViews(std::initializer_list<int> ids, plat::UINT message, plat::WPARAM wParam,
                              plat::LPARAM lParam, bool stopAtZero = false);

    // State the connection keeps.
    int OperationTag() const { return m_operationTag; }
    void SetOperationTag(int tag) { m_operationTag = tag; }
    // The frame's own command under way (the last one queued), 0 for none.
    CommandId RunningCommand() const { return m_runningCommand; }
    bool IsBusy() const { return m_busy != 0; }
    bool ConnectedOnce() const { return m_connectedOnce != 0; }
    bool ReadAgainPending() const { return m_readAgain != 0; }
    const CommExternalData& CommData() const { return m_commData; }
    PortRecord* CurrentPortRecord() const { return m_portRecord; }
    CBusyDlg* BusyDialog() const;
    ConnectionHooks& Hooks() { return m_hooks; }
    // The terminal window (its edit is writable only while connected) and the command window.
    void SetTerminalWindow(CTerminalDlg* window);
    void SetCommandWindow(QWidget* window);
    // The close event, while the program closes (null otherwise), and its please-wait record.
    std::unique_ptr<plat::Event> m_closeEvent;
    WaitDialogInfo m_closingWait;
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
    bool IsDestroyed() const { return m_destroyed; }
    // The bar layout and the three window placements written to the settings file.
    void SavePlacements();
    // The close, step by step (the frame's WM_CLOSE); false when the program keeps running.
    bool OnClose();

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
    // ---- Driver connection ----
    enum class SwitchStep { Go, Held, Ended };
    void addConnectionHandlers();
    void addTransferCommands();
    SwitchStep switchConnectionSteps(int target);
    SwitchStep readAllForSwitch(int tag, int target);
    bool finishConnection();
    plat::LRESULT disconnect(plat::LPARAM reason);
    // Closes the port; every screen learns that what was queued never completes.
    void tearDown();
    // The question before closing while connected; it names the channel programs that are only
    // in the document.
    QString closeSaveQuestion(const std::string& title);
    // Queues one of the frame's commands silently (op tag and busy set; busy cleared again when
    // nothing was queued).
    CommandId sendFrameCommand(const char* text, int tag, const QString& title);
    CommandId sendLockCommand(int tag);
    void onLockReply(int tag);
    void onLockQueryReply(CommandId id);
    void storeAlarmHistory(CommandId id);
    void onReadAllDone(int tag, CommandId id);
    bool giveUpOnFailure(plat::WPARAM event, CommandId id, int tag, bool barTag);
    void onCommandFailure(plat::WPARAM event, std::uint32_t failure, int tag);
    std::uint32_t lostLineState() const;
    // The device of this connection hung up or went away: reported once, through the connection's
    // error box with the library's text, which also disconnects. True while that applies.
    bool reportLineGone();
    // The garbled identification the library gave up on: the connection's box with what it got.
    bool reportIdentifyFailed();
    bool setCommandModeBounded(int mode);
    void restoreCommandMode();
    void showWait(const QString& text, plat::LPARAM cancelTag);
    void hideWait();
    void setToolWindowsEnabled(bool enabled);
    void setTerminalWritable(bool writable);
    void setBarState(int state);
    plat::HWND boxOwner() const;
    plat::HWND commandWindowHandle() const;

    HelpWindow& helpWindow();

    CTalverinApp& m_app;
    plat::qt::CommandTable m_commands;
    MessageMap m_messages;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;

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

    // Driver connection.
    int m_pendingView = 0;
    CommExternalData m_commData{};
    int m_operationTag = 0;
    CommandId m_runningCommand = 0;
    int m_busy = 0;
    plat::UINT m_repostCommand = 0;
    PortRecord* m_portRecord = nullptr;
    int m_lockMenuState = 1;       // 32851 checked at start
    bool m_savedModified = false;  // the document's modified flag when the port answered
    int m_readAgain = 0;           // a read-all was cancelled or failed while connecting
    std::optional<std::pair<plat::WPARAM, QString>> m_failureContents; // a WM_COMM_ERROR event's reason
    bool m_markedDifferent = false; // the driver's identification differs from the document's
    bool m_afterReadAll = false;   // the next finishing pass follows this connection's read-all
    bool m_lineGoneReported = false; // this connection's device went and the user was told
    int m_connectedOnce = 0;
    ConnectionHooks m_hooks;
    QPointer<CBusyDlg> m_busyDlg;
    QPointer<CTerminalDlg> m_terminalWindow;
    QPointer<QWidget> m_commandWindow;
};

} // namespace talverin
