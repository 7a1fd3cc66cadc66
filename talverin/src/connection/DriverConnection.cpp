// The driver connection: Connect, the driver's answer, finishing a connection, the disconnection
// and its teardown, the password lock commands and the connection steps of a screen switch.
#include "connection/DriverConnection.h"

#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/DocumentAccess.h"
#include "common/MessageMap.h"
#include "common/ProgramState.h"
#include "connection/ConnectionHost.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverQueue.h"
#include "connection/PortRecord.h"
#include "screens/CViewBase.h"

#include <model/CommandSupport.h>
#include <model/DocumentFile.h>
#include <platform/clock.h>
#include <platform/messages.h>
#include <platform/profile.h>
#include <platform/qt/command_table.h>
#include <platform/qt/window_bridge.h>
#include <platform/sync.h>

#include <QWidget>

#include <cstdlib>
#include <vector>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;

namespace {

constexpr plat::UINT kWarning = plat::MB_OK | plat::MB_ICONWARNING;

bool lineGone(std::uint32_t code)
{
    return code == COMM_MONITOR_CONNECTION_LOST || code == COMM_MONITOR_NOT_CONNECTED;
}

} // namespace

DriverConnection::DriverConnection(ConnectionHost& host, QWidget& window, ProgramState& app)
    : m_host(host), m_window(window), m_app(app)
{
}

DriverConnection::~DriverConnection() = default;

int DriverConnection::currentView() const
{
    return m_host.GetCurrentViewId();
}

bool DriverConnection::IsConnected() const
{
    return CurrentDriverQueue().isConnected();
}

bool DriverConnection::IsTransferDialogOpen() const
{
    return m_host.TransferDialog() != nullptr;
}

void DriverConnection::AddHandlers(MessageMap& m, plat::qt::CommandTable& t)
{
    m.Set(WM_COMM_STATE_CHANGED, [this](WPARAM w, LPARAM l) { return OnCommStateChanged(w, l); });
    m.Set(WM_CONNECTION_STATE, [this](WPARAM w, LPARAM l) { return OnConnectionState(w, l); });
    m.Set(WM_COMM_ERROR, [this](WPARAM w, LPARAM l) { return OnCommError(w, l); });
    m.Set(WM_WAIT_CANCEL, [this](WPARAM w, LPARAM l) { return OnWaitCancel(w, l); });
    m.Set(WM_WAIT_DIALOG, [this](WPARAM w, LPARAM l) { return OnWaitDialog(w, l); });
    m.Set(WM_DATA_RECEIVED, [this](WPARAM w, LPARAM) { return LRESULT{OnDataReceived(static_cast<CommandId>(w))}; });
    m.Set(WM_CHANGE_BAUD_RATE, [this](WPARAM w, LPARAM l) { return OnChangeBaudRate(w, l); });
    m.Set(WM_BAUD_CHANGE_STATE, [this](WPARAM w, LPARAM l) { return OnBaudChangeState(w, l); });
    m.Set(WM_COMM_ACTIVITY, [this](WPARAM w, LPARAM l) { return OnCommActivity(w, l); });
    m.Set(WM_GET_CONNECTION_PHASE, [this](WPARAM, LPARAM) { return static_cast<LRESULT>(m_connectionPhase); });
    m.Set(WM_COMM_TEXT, [](WPARAM, LPARAM) { return LRESULT{0}; });
    m.Set(WM_COMM_COMMAND, [this](WPARAM w, LPARAM l) { return OnCommCommand(w, l); });

    t.add(ID_CONNECT, [this] { OnConnect(); },
          [this](plat::qt::CommandUpdate& u) { u.Enable(m_connectionPhase == Phase::Idle); });
    t.add(ID_DISCONNECT, [this] { OnDisconnect(); }, [this](plat::qt::CommandUpdate& u) {
        u.Enable(m_connectionPhase != Phase::Idle && m_connectionPhase != Phase::Disconnecting);
    });
    auto lockRule = [this](plat::qt::CommandUpdate& u) {
        u.Enable(currentView() != VIEW_TERMINAL && m_connectionPhase == Phase::Connected && m_busy == 0);
        u.SetRadio(m_lockMenuState == (u.id() == ID_LOCK_ENABLE ? 0 : 1));
    };
    t.add(ID_LOCK_ENABLE, [this] { OnPasswordLockEnable(); }, lockRule);
    t.add(ID_LOCK_DISABLE, [this] { OnPasswordLockDisable(); }, lockRule);
}

LRESULT DriverConnection::SendToViews(std::initializer_list<int> ids, plat::UINT message, WPARAM wParam, LPARAM lParam,
                                bool stopAtZero)
{
    for (const int id : ids) {
        CViewBase* view = m_host.GetView(id);
        if (view && plat::SendMessage(view->GetSafeHwnd(), message, wParam, lParam) == 0 && stopAtZero)
            return 0;
    }
    return 1;
}

void DriverConnection::setBarState(int state)
{
    m_host.SetBarState(state);
    m_host.RepaintBar();
}

void DriverConnection::restoreCommandMode()
{
    CurrentDriverQueue().setCommandMode(m_host.GetCommandModeForView(currentView()));
}

// ---- Connect ----------------------------------------------------------------------------------

void DriverConnection::OnConnect()
{
    if (m_app.m_transferRunning)
        return;
    const Phase remembered = m_connectionPhase;
    m_connectionPhase = Phase::Connecting;
    if (!IsConnected()) {
        m_busy = 0;
        m_operationTag = 0;
    }
    const plat::UINT checked = m_host.CheckedPortId();
    PortRecord* record = checked ? m_host.CheckedPortRecord() : nullptr;
    if (!record) {
        AppMessageBox(m_host.GetSafeHwnd(), tr("Set port and re-try to connect."), tr("Connection"), kWarning);
        // The port's settings dialog opens; with no port checked there is none to open.
        if (checked)
            plat::PostMessage(m_host.GetSafeHwnd(), plat::WM_COMMAND, checked, 0);
        m_connectionPhase = remembered;
        return;
    }
    m_portRecord = record;

    DocumentAccess* doc = m_app.GetDocument();
    if (!IsTransferDialogOpen() && doc) {
        m_app.m_connectSaveWording = 1;
        const bool goOn = doc->SaveModified();
        m_app.m_connectSaveWording = 0;
        if (!goOn && (m_app.m_saveOutcome == kSaveCancelled || m_app.m_saveOutcome == kSaveFailed)) {
            m_connectionPhase = remembered;
            return;
        }
    }
    model::CDataFile& store = m_app.m_dataFile;
    store.m_driverModelInfo.clear();
    if (!IsTransferDialogOpen())
        store.SetAlarmText({});
    ZRComm_SetMonitorWnd(m_host.MonitorWindow());

    m_commData = CommExternalData{};
    m_commData.size = sizeof(CommExternalData);
    m_commData.replyTimeoutMs =
        static_cast<std::uint32_t>(plat::profile::getInt(m_app.m_settingsPath, "Port", "CommandTimeout", 30000));
    m_commData.ctsCheck =
        CtsCheckFromSetting(plat::profile::getString(m_app.m_settingsPath, "Port", "SoftCTSWait", "AUTO"), record->Dcb());
    m_commData.languageId = m_app.m_language;
    m_markedDifferent = false;
    m_afterReadAll = false;

    const CommResult opened = ZRComm_InitFromDCB(m_host.GetSafeHwnd(), record->m_name.c_str(), &record->Dcb());
    if (opened != COMM_OK) {
        m_connectionPhase = Phase::Idle;
        QString text;
        if (opened == COMM_ERR_OPEN_FAILED) {
            text = tr("Cannot open the specified port.\nPort is invalid, or is being used by another "
                      "application.\nCheck the current condition.");
            // Why the system refused it: missing device, permission, in use.
            char reason[512] = {};
            if (ZRComm_GetOpenErrorText(reason, sizeof reason) > 0)
                text += QStringLiteral("\n\n") + QString::fromUtf8(reason);
        } else if (opened == COMM_ERR_SETUP_FAILED) {
            text = tr("Failed to set communication.\nSpecified setting may not be supported by hardware.\n"
                      "Check the current condition.");
        } else {
            text = tr("Comminication error.\nPlease check current condition.");
        }
        AppMessageBox(m_host.GetSafeHwnd(), text, tr("Connection error"), kWarning);
        return;
    }
    // The reply time-out and language hold from the identification on: a driver whose
    // identification cannot be read is given up after the same time as any command.
    ZRComm_InitExternalData(&m_commData);
    m_lineGoneReported = false;
    showWait(tr("Connecting.\n\nPlease wait."), 0);
    m_connectionPhase = Phase::PortOpen;
    setBarState(BarState::Connecting);
    CurrentDriverQueue().resetRetries();
}

void DriverConnection::OnDisconnect()
{
    if (!m_app.m_transferRunning)
        disconnect(DisconnectReason::Plain);
}

// ---- The driver answers, or not ---------------------------------------------------------------

std::uint32_t DriverConnection::lostLineState() const
{
    // The first command the line failed under, else the last one; a closed port has none.
    DriverQueue& queue = CurrentDriverQueue();
    std::uint32_t state = 0;
    for (const CommandId id : queue.commandIds()) {
        state = queue.commandState(id);
        if (state >= CMD_SEND_FAILED && state <= CMD_WAIT_REPLY)
            return state;
    }
    return state;
}

LRESULT DriverConnection::OnCommStateChanged(WPARAM connected, LPARAM code)
{
    DocumentAccess* doc = m_app.GetDocument();
    const plat::HWND transfer = IsTransferDialogOpen() ? plat::qt::HandleFromObject(m_host.TransferDialog()) : nullptr;
    if (connected == 1) {
        m_savedModified = doc && doc->IsModified();
        if (IsTransferDialogOpen()) {
            hideWait();
            plat::PostMessage(transfer, WM_COMM_STATE_CHANGED, 1, 0);
            return 0;
        }
        if (doc)
            doc->SetModifiedFlag(true);
        m_app.m_dataFile.m_newDocument = 0;
        restoreCommandMode();
        if (currentView() == VIEW_TERMINAL) {
            finishConnection();
            return 0;
        }
        if (!sendFrameCommand("?KP\r", ConnectionTag::LockQuery, tr("Send password status check command"))) {
            if (doc)
                doc->SetModifiedFlag(m_savedModified);
        }
        return 0;
    }

    // The bar names the line's code; a later activity notice may have replaced the last one.
    const auto monitor = code >= static_cast<LPARAM>(COMM_MONITOR_CONNECTION_LOST) &&
                                 code <= static_cast<LPARAM>(COMM_MONITOR_PORT_CLOSED)
                           ? static_cast<std::uint32_t>(code)
                           : model::GetCommEventState();
    if (reportLineGone() || (monitor == COMM_MONITOR_NOT_CONNECTED && reportIdentifyFailed())) {
        if (transfer)
            plat::PostMessage(transfer, WM_COMM_STATE_CHANGED, 0, static_cast<LPARAM>(monitor));
        return 0;
    }
    if (monitor == COMM_MONITOR_NOT_CONNECTED) {
        disconnect(DisconnectReason::Plain);
        hideWait();
        AppMessageBox(m_host.GetSafeHwnd(), tr("Connection time out.\nCheck the unit and re-try."), tr("Connection error"),
                      kWarning);
        if (transfer)
            plat::PostMessage(transfer, WM_COMM_STATE_CHANGED, 0, COMM_MONITOR_NOT_CONNECTED);
        return 0;
    }
    const std::uint32_t state = lostLineState();
    if (m_connectionPhase != Phase::Idle && !IsTransferDialogOpen())
        disconnect(DisconnectReason::Plain);
    if (IsLineFailureState(state)) {
        hideWait();
        AppMessageBox(m_host.GetSafeHwnd(), tr("Disconnected due to communication error.\nCheck the unit and re-try"),
                      tr("Communication error"), kWarning);
    }
    if (transfer)
        plat::PostMessage(transfer, WM_COMM_STATE_CHANGED, 0, static_cast<LPARAM>(state));
    return 0;
}

bool DriverConnection::reportLineGone()
{
    // Only this connection's device: the library keeps its reason after the port closed.
    const bool gone = m_lineGoneReported ||
                      (m_connectionPhase != Phase::Idle && ZRComm_GetLineError(nullptr, 0) == COMM_ERR_LINE_GONE);
    if (gone && !m_lineGoneReported) {
        m_lineGoneReported = true;
        hideWait();
        // The box names what the library says of it: the device and how it went.
        char text[512] = {};
        ZRComm_GetLineError(text, sizeof text);
        m_failureContents.emplace(COMM_ERR_LINE_GONE, QString::fromUtf8(text));
        plat::PostMessage(m_host.GetSafeHwnd(), WM_COMM_ERROR, COMM_ERR_LINE_GONE, comm_error::kDisconnect);
    }
    return gone;
}

bool DriverConnection::reportIdentifyFailed()
{
    char received[512] = {};
    if (m_connectionPhase == Phase::Idle || ZRComm_GetLineError(received, sizeof received) != COMM_ERR_IDENTIFY_FAILED)
        return false;
    disconnect(DisconnectReason::Plain);
    hideWait();
    AppMessageBox(m_host.GetSafeHwnd(),
                  tr("Error during connection.\nMake sure device is connected properly.") + QStringLiteral("\n") +
                      tr("The identification reply could not be read. Received: %1").arg(QString::fromLatin1(received)),
                  tr("Connection error"), kWarning);
    return true;
}

// ---- Finishing and disconnecting ----------------------------------------------------------------

LRESULT DriverConnection::OnConnectionState(WPARAM finish, LPARAM reason)
{
    if (finish != 1)
        return disconnect(reason);
    return finishConnection() ? 1 : 0;
}

bool DriverConnection::finishConnection()
{
    model::CDataFile& store = m_app.m_dataFile;
    DocumentAccess* doc = m_app.GetDocument();
    bool firstPass = false;
    if (m_connectionPhase >= Phase::Idle && m_connectionPhase <= Phase::PortOpen) {
        m_connectionPhase = Phase::Identifying;
        firstPass = true;
    }
    ZRComm_InitExternalData(&m_commData);
    const std::string identification = CurrentDriverQueue().driverIdentification();
    bool connectNow = false;
    if (!ConnectReadsAllData(currentView())) {
        store.m_driverModelInfo = identification;
        connectNow = true;
    }
    if (!connectNow && firstPass && m_connectionPhase != Phase::ReadingAll) {
        const std::string& documentInfo = store.m_documentModelInfo;
        if (!documentInfo.empty() && documentInfo != "*" && model::CompareModelInfo(identification, documentInfo) != 0) {
            if (store.m_newDocument != 1) {
                const int answer = AppMessageBox(
                    boxOwner(),
                    tr("The driver you connected has different data from the current data file The driver may "
                       "behave unstable.\nDo you wish to continue?"),
                    tr("Check driver unit"), plat::MB_YESNO | plat::MB_ICONWARNING);
                if (answer != plat::IDYES) {
                    CurrentDriverQueue().removeCommand(-1);
                    disconnect(DisconnectReason::Declined);
                    if (doc)
                        doc->SetModifiedFlag(m_savedModified);
                    return true;
                }
            }
            m_markedDifferent = true;
        }
        if (!m_markedDifferent) {
            m_connectionPhase = Phase::ReadingAll;
            m_pendingView = currentView();
            m_readAgain = 0;
            return false;
        }
    }
    if (!connectNow) {
        store.m_driverModelInfo = identification;
        if (m_connectionPhase == Phase::Connected)
            store.m_documentModelInfo = identification;
        // The pass after this connection's own read-all connects: the data is the driver's now,
        // whatever the path, the model information or the mark said.
        const bool afterReadAll = m_afterReadAll;
        m_afterReadAll = false;
        if (!afterReadAll) {
            bool readCondition = m_markedDifferent || store.m_documentPath.empty();
            if (!readCondition && store.m_documentModelInfo.empty()) {
                store.m_documentModelInfo = "*";
                readCondition = true;
            }
            if (!readCondition && store.m_documentModelInfo != "*")
                readCondition = model::CompareModelInfo(store.m_documentModelInfo, identification) != 0;
            if (!readCondition) {
                // The same data on both sides: only what was changed here goes to the driver.
                CViewBase* parameters = m_host.GetView(VIEW_PARAM);
                const plat::HWND owner = m_commandWindow && m_commandWindow->isVisible()
                                           ? commandWindowHandle()
                                           : parameters ? parameters->GetSafeHwnd() : nullptr;
                if (owner) {
                    const int before = CurrentDriverQueue().commandCount();
                    store.SendParameterData(owner, nullptr, 1);
                    if (CurrentDriverQueue().commandCount() > before) {
                        return false;
                    }
                }
            }
            const bool readAgain = m_readAgain == 1 && m_connectionPhase != Phase::ReadingAll;
            if (readAgain)
                m_readAgain = 0;
            if (readAgain || readCondition) {
                m_connectionPhase = Phase::ReadingAll;
                m_pendingView = currentView();
                return false;
            }
        }
    }

    // Connected.
    m_readAgain = 0;
    m_markedDifferent = false;
    store.m_documentModelInfo = store.m_driverModelInfo;
    SendToViews({VIEW_OSCILLO, VIEW_PARAM, VIEW_IO, VIEW_CHANNEL, VIEW_TERMINAL}, WM_COMM_STATE_CHANGED, 1, 0);
    SetTerminalWritable(true);
    store.m_lineClean = 1;
    restoreCommandMode();
    m_host.SetBarState(BarState::Connected);
    m_connectedOnce = 1;
    m_baudChangeBusy = 0;
    m_connectionPhase = Phase::Connected;
    std::string suspend;
    m_app.GetProfileText("Setting", "QUERYSUSPEND", "", suspend);
    if (DeniesSleepWhileConnected(suspend))
        m_sleepInhibitor.Hold();
    hideWait();
    m_host.RepaintBar();
    return true;
}

LRESULT DriverConnection::disconnect(LPARAM reason)
{
    if (m_connectionPhase == Phase::Connecting || m_connectionPhase == Phase::PortOpen) {
        CurrentDriverQueue().removeCommand(0);
        tearDown();
        return 1;
    }
    if (m_closeEvent && m_closeEvent->isSet())
        return 1;
    if (reason == DisconnectReason::Plain && m_host.GetView(VIEW_OSCILLO) && IsConnected() && !lineGone(model::GetCommEventState())) {
        const CapturePhase capture = m_host.GetView(VIEW_OSCILLO)->CaptureState();
        if (capture == CapturePhase::SyncWaiting) {
            CurrentDriverQueue().removeCommand(0);
        } else if (IsCaptureRunning(capture)) {
            AppMessageBox(m_host.GetSafeHwnd(), tr("Close when capture is complete."), tr("Capture in process"), kWarning);
            m_host.RepaintBar();
            return 1;
        }
    }
    const Phase remembered = m_connectionPhase;
    m_connectionPhase = Phase::Disconnecting;
    if (IsTransferDialogOpen()) {
        tearDown();
        return 1;
    }
    if (!QueryViewsDisconnect(reason)) {
        SendToViews({VIEW_OSCILLO, VIEW_IO, VIEW_CHANNEL, VIEW_TERMINAL}, WM_COMM_STATE_CHANGED, 1, CommState::Restored);
        m_connectionPhase = remembered;
        if (m_closeEvent)
            m_closeEvent->set();
        return 1;
    }
    if (reason == DisconnectReason::Plain && IsConnected()) {
        model::WaitCommandQueue(m_host.GetSafeHwnd());
        if (m_closeEvent && m_closeEvent->isSet())
            return 1;
    }
    if (reason == DisconnectReason::Plain && IsConnected() && !lineGone(model::GetCommEventState())) {
        CurrentDriverQueue().removeCommand(-1);
        plat::Sleep(10);
        if (currentView() == VIEW_TERMINAL)
            CurrentDriverQueue().setModeWhenDrained(m_host.GetSafeHwnd(), 0);
        plat::Sleep(10);
        // Without the alarm read nothing would end the disconnection.
        if (!sendFrameCommand("TA/HI\r", ConnectionTag::AlarmHistory, tr("Monitor alarm history")))
            tearDown();
        return 1;
    }
    tearDown();
    return 1;
}

bool DriverConnection::QueryViewsDisconnect(LPARAM reason)
{
    if (!SendToViews({VIEW_OSCILLO, VIEW_PARAM, VIEW_IO, VIEW_CHANNEL, VIEW_TERMINAL}, WM_COMM_STATE_CHANGED, 0,
                     reason, true))
        return false;
    m_host.ClearCommandBar();
    return true;
}

void DriverConnection::tearDown()
{
    CurrentDriverQueue().removeCommand(-1);
    ZRComm_Term();
    m_sleepInhibitor.Release();
    SetTerminalWritable(false);
    m_host.SetBarState(BarState::Disconnected);
    m_connectionPhase = Phase::Idle;
    m_busy = 0;
    m_operationTag = 0;
    hideWait();
    m_host.RepaintBar();
    for (const int id : {VIEW_OSCILLO, VIEW_PARAM, VIEW_IO, VIEW_CHANNEL, VIEW_TERMINAL}) {
        if (CViewBase* view = m_host.GetView(id))
            view->OnPortClosed();
    }
}

// ---- Password lock ----------------------------------------------------------------------------

CommandId DriverConnection::sendFrameCommand(const char* text, int tag, const QString& title)
{
    m_operationTag = tag;
    m_busy = 1;
    std::uint32_t error = 0;
    m_runningCommand = CurrentDriverQueue().queueCommand(m_host.GetSafeHwnd(), text, tag, title.toStdString().c_str(), &error);
    if (!m_runningCommand)
        m_busy = 0;
    return m_runningCommand;
}

CommandId DriverConnection::sendLockCommand(int tag)
{
    return tag == ConnectionTag::LockEnable
             ? sendFrameCommand("KP0\r", tag, tr("Send password lock enable command"))
             : sendFrameCommand("KP1\r", tag, tr("Send password lock disable command"));
}

CommandId DriverConnection::OnPasswordLockEnable()
{
    return sendLockCommand(ConnectionTag::LockEnable);
}

CommandId DriverConnection::OnPasswordLockDisable()
{
    return sendLockCommand(ConnectionTag::LockDisable);
}

// ---- Screen switches while connected ------------------------------------------------------------

DriverConnection::SwitchStep DriverConnection::SwitchConnectionSteps(int target)
{
    const bool connected = IsConnected();
    if (target == VIEW_TERMINAL) {
        if (m_pendingView != 0 || !connected)
            return SwitchStep::Go;
        // The lock goes on before the terminal gives the user the line; the switch goes on
        // from its reply.
        model::WaitCommandQueue(m_host.GetSafeHwnd());
        m_pendingView = VIEW_TERMINAL;
        m_connectionPhase = Phase::EnteringTerminal;
        if (OnPasswordLockEnable())
            return SwitchStep::Held;
        m_pendingView = 0;
        m_connectionPhase = Phase::Connected;
        return SwitchStep::Ended;
    }
    if (currentView() == VIEW_TERMINAL) {
        if (m_pendingView != 0) {
            m_pendingView = 0;
        } else if (connected) {
            model::CDataFile& store = m_app.m_dataFile;
            const std::string identification = CurrentDriverQueue().driverIdentification();
            if (!store.m_documentModelInfo.empty() && model::CompareModelInfo(identification, store.m_documentModelInfo) != 0) {
                if (store.m_newDocument != 1) {
                    const int answer = AppMessageBox(
                        m_host.GetSafeHwnd(),
                        tr("The driver you connected has different data from the current data file The driver may "
                           "behave unstable.\nDo you wish to continue?"),
                        tr("Check driver unit"), plat::MB_YESNO | plat::MB_ICONWARNING);
                    if (answer != plat::IDYES)
                        return SwitchStep::Ended;
                }
                store.m_documentModelInfo = identification;
            }
            m_pendingView = target;
            if (!CurrentDriverQueue().setModeWhenDrained(m_host.GetSafeHwnd(), m_host.GetCommandModeForView(target))) {
                m_pendingView = 0;
                m_connectionPhase = Phase::Connected;
                return SwitchStep::Ended;
            }
            m_connectionPhase = Phase::LeavingTerminal;
            if (sendLockCommand(GetLockMenuState() == 1 ? ConnectionTag::LockDisable : ConnectionTag::LockEnable))
                return SwitchStep::Held;
            m_pendingView = 0;
            m_connectionPhase = Phase::Connected;
            restoreCommandMode();
            return SwitchStep::Ended;
        }
        // The terminal may have changed anything: all of the driver's data is read again.
        if (m_pendingView == 0 && IsConnected() && m_connectionPhase != Phase::SwitchReadAll)
            return readAllForSwitch(ConnectionTag::ReadAllTerminal, target);
        return SwitchStep::Go;
    }
    if (currentView() == VIEW_OSCILLO && m_pendingView == 0 && connected && m_connectionPhase != Phase::SwitchReadAll)
        return readAllForSwitch(ConnectionTag::ReadAllOscillo, target);
    return SwitchStep::Go;
}

void DriverConnection::EndHeldSwitch()
{
    m_pendingView = 0;
    // The steps of a connection still under way keep their phase.
    const Phase phase = m_connectionPhase;
    if (phase < Phase::Connecting || phase > Phase::ReadingAll) {
        if (IsConnected()) {
            m_connectionPhase = Phase::Connected;
            SetTerminalWritable(true);
        } else if (CurrentDriverQueue().recordCount(QueueRecords::All) < 0) {
            m_connectionPhase = Phase::Idle;
        }
    }
}

DriverConnection::SwitchStep DriverConnection::readAllForSwitch(int tag, int target)
{
    m_connectionPhase = Phase::SwitchReadAll;
    m_pendingView = target;
    if (ReadAllData(tag, true))
        return SwitchStep::Held;
    m_pendingView = 0;
    m_connectionPhase = Phase::Connected;
    hideWait();
    return SwitchStep::Ended;
}

} // namespace talverin
