// The driver connection the main frame owns: Connect, the driver's answer and the identification
// check, finishing a connection with its read-all, the password lock, the alarm history, the
// line-speed change, the disconnection and its teardown, the completions of the frame's own
// commands, the please-wait dialog and the communication error boxes, and the connection steps of
// a screen switch and of closing the program. It runs in the frame's window (ConnectionHost): the
// queue's notices for its commands go to the frame's handle, and the frame passes its messages
// and commands on (AddHandlers). Screens are told with the messages of AppMessages.h, in the
// order oscilloscope, parameter, I/O, channel program, terminal.
//
// DriverConnection.cpp: connect, finish, disconnect, lock, switch steps;
// DriverConnectionCompletion.cpp: the frame's commands by tag, the read-all load, Cancel, Save and
// Print while connected; DriverConnectionWait.cpp: the please-wait dialog, error boxes, the
// line-speed change; DriverConnectionClose.cpp: the connection's part of closing the program.
#pragma once

#include "connection/ConnectionRules.h"
#include "connection/WaitDialogInfo.h"
#include "connection/SleepInhibitor.h"

#include <platform/sync.h>
#include <platform/types.h>
#include <zrcomm/zrcomm_api.h>

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

class QWidget;

namespace plat::qt {
class CommandTable;
}

namespace talverin {

class CBusyDlg;
class ConnectionHost;
class MessageMap;
class PortRecord;
class ProgramState;
class TerminalWindowBase;

// What screens made elsewhere lend the connection logic (unset: not there). The oscilloscope's
// capture state is its CViewBase::CaptureState.
struct ConnectionHooks {
    // After the read-all of a switch away from the terminal (all = true) or the oscilloscope
    // screen: its four monitor records are cleared; with all also their names and its control's
    // samples.
    std::function<void(bool all)> resetScopeMonitors;
};

class DriverConnection : public QObject {
    Q_OBJECT

public:
    // window: the frame's window, the owner of the boxes and the window the please-wait dialog
    // disables.
    DriverConnection(ConnectionHost& host, QWidget& window, ProgramState& app);
    ~DriverConnection() override;

    // The frame's messages and commands the connection answers (Connect, Disconnect, the lock).
    void AddHandlers(MessageMap& messages, plat::qt::CommandTable& commands);

    Phase m_connectionPhase = Phase::Idle;
    // 1 while the line speed changes.
    int m_baudChangeBusy = 0;

    // The communication library reports a driver on the open port.
    bool IsConnected() const;

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
    // WM_COMM_ERROR (event or code, comm_error flags): the box's answer, else 1.
    plat::LRESULT OnCommError(plat::WPARAM code, plat::LPARAM flags);
    // WM_WAIT_CANCEL (2, cancel tag): undoes the step the please-wait dialog stood for; 1.
    plat::LRESULT OnWaitCancel(plat::WPARAM, plat::LPARAM tag);
    // WM_WAIT_DIALOG: 5 show (WaitDialogInfo*), 0 hide, 255 the dialog's handle while visible.
    plat::LRESULT OnWaitDialog(plat::WPARAM action, plat::LPARAM info);
    // Loads a read-all reply into the data store (also WM_DATA_RECEIVED from the transfer dialog).
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
    // The screens are asked to let the connection go; false when one refused.
    bool QueryViewsDisconnect(plat::LPARAM reason);
    // Save, Save As, Print and Print Preview call it first: true when the command must not run
    // now (the driver's data is read first and the command posted again, or it is dropped).
    bool HoldCommandWhileConnected(plat::UINT id);

    // ---- Screen switches ------------------------------------------------------------------------

    enum class SwitchStep { Go, Held, Ended };
    // While connected, a switch to or from the terminal or away from the oscilloscope screen runs
    // its driver step first; the switch goes on from that step's reply (Held), goes on now (Go),
    // or ends (Ended).
    SwitchStep SwitchConnectionSteps(int target);
    // The screen to show when the running connection step ends (0: none).
    int GetPendingViewId() const { return m_pendingView; }
    void ClearPendingView() { m_pendingView = 0; }
    // A switch to the screen already shown: the step held for it is over, and the phase follows
    // the line again (unless a connection is still being made).
    void EndHeldSwitch();

    // ---- Closing --------------------------------------------------------------------------------

    // The connection's part of closing the program while the port is open: the capture and
    // connection questions, the channel editor's write-back, the save question, the read-all
    // before closing (which ends the close for now: its reply posts Exit again) and the wait until
    // the port is closed. False when the program keeps running.
    bool CloseConnection();
    // The destroy path: the please-wait dialog goes, queued commands are removed, the port closes.
    void Shutdown();
    // The program ends without questions (a termination signal, the session's end): nothing
    // queued is waited for, the alarm history is read when the driver answers within
    // kEndReplyLimitMs (else it is skipped), then the port closes.
    void EndWithoutQuestions();
    static constexpr plat::DWORD kEndReplyLimitMs = 5000;
    // Held while connected when [Setting] QUERYSUSPEND=DENY asks for it.
    const SleepInhibitor& SleepBlock() const { return m_sleepInhibitor; }

    // ---- State ----------------------------------------------------------------------------------

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
    void SetTerminalWindow(TerminalWindowBase* window);
    void SetCommandWindow(QWidget* window);
    QWidget* CommandWindow() const { return m_commandWindow.data(); }
    void SetTerminalWritable(bool writable);

private:
    int currentView() const;
    bool IsTransferDialogOpen() const;
    // Sends to the screens of the ids that exist, in that order; with stopAtZero the first 0 ends
    // it (the result is then 0).
    plat::LRESULT SendToViews(std::initializer_list<int> ids, plat::UINT message, plat::WPARAM wParam,
                              plat::LPARAM lParam, bool stopAtZero = false);
    SwitchStep readAllForSwitch(int tag, int target);
    bool finishConnection();
    plat::LRESULT disconnect(plat::LPARAM reason);
    // Closes the port; every screen learns that what was queued never completes.
    void tearDown();
    // Queues one of the frame's commands silently (op tag and busy set; busy cleared again when
    // nothing was queued).
    CommandId sendFrameCommand(const char* text, int tag, const QString& title);
    CommandId sendLockCommand(int tag);
    void onLockReply(int tag);
    void onLockQueryReply(CommandId id);
    void storeAlarmHistory(CommandId id);
    void onReadAllDone(int tag, CommandId id);
    bool giveUpOnFailure(plat::WPARAM event, CommandId id, int tag, bool barTag);
    void reportCommandBarFailure(CommandId id, std::intptr_t tag);
    void onCommandFailure(plat::WPARAM event, std::uint32_t failure, int tag);
    std::uint32_t lostLineState() const;
    // The device of this connection hung up or went away: reported once, through the connection's
    // error box with the library's text, which also disconnects. True while that applies.
    bool reportLineGone();
    // The garbled identification the library gave up on: the connection's box with what it got.
    bool reportIdentifyFailed();
    void restoreCommandMode();
    void showWait(const QString& text, plat::LPARAM cancelTag);
    void showWaitDialog(const WaitDialogInfo& info);
    void hideWait();
    void setToolWindowsEnabled(bool enabled);
    void setBarState(int state);
    plat::HWND boxOwner() const;
    plat::HWND commandWindowHandle() const;

    ConnectionHost& m_host;
    QWidget& m_window;
    ProgramState& m_app;

    int m_pendingView = 0;
    // The close event, while the program closes (null otherwise), and its please-wait record.
    std::unique_ptr<plat::Event> m_closeEvent;
    WaitDialogInfo m_closingWait;
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
    QPointer<TerminalWindowBase> m_terminalWindow;
    QPointer<QWidget> m_commandWindow;
    SleepInhibitor m_sleepInhibitor;
};

} // namespace talverin
