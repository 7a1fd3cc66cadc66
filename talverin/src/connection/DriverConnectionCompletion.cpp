// The connection's own driver commands: their completions by tag with the shared retry counter, the
// read-all and alarm-history reads and the load of a read-all reply, Cancel of the please-wait
// dialog, and Save, Save As, Print and Print Preview while connected.
#include "connection/DriverConnection.h"

#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/ClipboardHelpers.h"
#include "common/CommandIds.h"
#include "common/ProgramState.h"
#include "common/WidgetHelpers.h"
#include "connection/ConnectionHost.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverQueue.h"
#include "screens/CViewBase.h"

#include <model/CommandSupport.h>
#include <model/DocumentFile.h>
#include <platform/clock.h>
#include <platform/messages.h>
#include <platform/paths.h>
#include <platform/text.h>

#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace talverin {

using plat::LPARAM;
using plat::LRESULT;
using plat::WPARAM;

namespace {

// Writes the reply as a text file, every CR as LF; the path, empty when it cannot be written
// (the last error says why: a full temporary folder is no fault of the driver's).
std::string writeReplyFile(const std::string& reply)
{
    const std::string path = plat::GetTempFileName({}, "ZR");
    if (path.empty())
        return {};
    std::string text = reply;
    std::replace(text.begin(), text.end(), '\r', '\n');
    if (!plat::WriteFileAtomic(path, text)) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return {};
    }
    return path;
}

} // namespace

// ---- Completions --------------------------------------------------------------------------------

LRESULT DriverConnection::OnCommCommand(WPARAM event, LPARAM commandId)
{
    DriverQueue& queue = CurrentDriverQueue();
    const Completion done = queue.completion(event, static_cast<CommandId>(commandId));
    const CommandId id = done.id;
    const std::intptr_t tag = done.tag;
    const bool barTag = IsCommandBarTag(tag);
    if (const plat::HWND bar = barTag ? m_host.CommandBarHandle() : nullptr) {
        // The button shows every event first, whatever follows.
        plat::PostMessage(bar, WM_COMMAND_TOOL_REPLY, static_cast<WPARAM>(tag), static_cast<LPARAM>(event));
    }
    // A notice for a command removed since (a teardown emptied the queue) is about nothing.
    if (done.recordGone())
        return 0;

    const std::uint32_t state = done.state;
    if (done.aborted()) {
        CurrentDriverQueue().removeCommand(id);
        if (m_connectionPhase == Phase::Disconnecting) {
            CurrentDriverQueue().removeCommand(0);
            m_connectionPhase = Phase::Identifying;
            SendToViews({VIEW_OSCILLO}, WM_COMM_STATE_CHANGED, 1, CommState::Restored);
        }
        return 0;
    }
    if (done.transportFailed()) {
        giveUpOnFailure(event, id, static_cast<int>(tag), barTag);
        return 0;
    }
    if (state == CMD_ABORTING)
        return 0;
    if (state == CMD_ABORTED) {
        CurrentDriverQueue().removeCommand(id);
        return 0;
    }
    if (const std::uint32_t failure = done.failure()) {
        if (barTag) {
            // A refused command of the command bar is the user's business, not the line's.
            reportCommandBarFailure(id, tag);
            return 0;
        }
        onCommandFailure(event, failure, static_cast<int>(tag));
        return 0;
    }
    if (event != COMM_EVENT_COMPLETED)
        return 0;
    if (barTag)
        ClearStatusError(&m_window);

    if (IsReadAllTag(static_cast<int>(tag))) {
        onReadAllDone(static_cast<int>(tag), id);
        return 0;
    }
    switch (tag) {
    case ConnectionTag::LockQuery:
        onLockQueryReply(id);
        break;
    case ConnectionTag::LockEnable:
    case ConnectionTag::LockDisable:
        CurrentDriverQueue().removeCommand(id);
        onLockReply(static_cast<int>(tag));
        break;
    case ConnectionTag::AlarmHistory:
        storeAlarmHistory(id);
        CurrentDriverQueue().removeCommand(id);
        m_busy = 0;
        if (m_connectionPhase == Phase::Disconnecting) {
            plat::Sleep(10);
            tearDown();
        }
        break;
    case ConnectionTag::SaveAlarmHistory:
        storeAlarmHistory(id);
        m_busy = 0;
        CurrentDriverQueue().removeCommand(id);
        m_operationTag = ConnectionTag::SaveReady;
        plat::PostMessage(m_host.GetSafeHwnd(), plat::WM_COMMAND, m_repostCommand, 0);
        break;
    default:
        CurrentDriverQueue().removeCommand(id);
        break;
    }
    return 0;
}

bool DriverConnection::giveUpOnFailure(WPARAM event, CommandId id, int tag, bool barTag)
{
    // A device that is gone fails every command: one report for all of them, no retries.
    if (reportLineGone())
        return true;
    DriverQueue& queue = CurrentDriverQueue();
    // A time-out while the port closes would only be waited for again.
    if (!(m_connectionPhase == Phase::Disconnecting && event == COMM_EVENT_TIMEOUT) && queue.retry(id))
        return false;
    // Whatever else fails on this line meanwhile is given up at once too.
    queue.exhaustRetries();
    if (barTag) {
        reportCommandBarFailure(id, tag);
        return true;
    }
    CurrentDriverQueue().removeCommand(-1);
    if (m_connectionPhase == Phase::ReadingAll)
        m_readAgain = 1;
    if (IsReadAllTag(tag))
        ReadAllGaveUp(event);
    if (m_connectionPhase == Phase::Disconnecting) {
        // The port closes first; the report then finds nothing left to disconnect.
        tearDown();
        plat::SendMessage(m_host.GetSafeHwnd(), WM_COMM_ERROR, event, comm_error::kDisconnect);
    } else {
        hideWait();
        plat::PostMessage(m_host.GetSafeHwnd(), WM_COMM_ERROR, event, comm_error::kDisconnect);
    }
    return true;
}

void DriverConnection::reportCommandBarFailure(CommandId id, std::intptr_t tag)
{
    // The command's own state names what went wrong (refused, no echo, no reply); the line
    // stays connected.
    const std::string reason = model::GetCommErrorText(CurrentDriverQueue().commandState(id), m_app.m_language);
    CurrentDriverQueue().removeCommand(id);
    const ExtBarEntry& entry = m_app.m_extBar[static_cast<std::size_t>(tag - ConnectionTag::CommandBar)];
    SetStatusError(&m_window, tr("Command tool \"%1\" failed: %2")
                                  .arg(QString::fromStdString(entry.caption),
                                       reason.empty() ? tr("No response") : QString::fromStdString(reason)));
}

void DriverConnection::onCommandFailure(WPARAM event, std::uint32_t failure, int tag)
{
    if (tag == ConnectionTag::AlarmHistory && m_connectionPhase == Phase::Disconnecting) {
        // A driver that refuses the alarm read is let go all the same.
        tearDown();
        return;
    }
    CurrentDriverQueue().removeCommand(0);
    hideWait();
    if (m_connectionPhase == Phase::Idle && (failure == COMM_ERR_NOT_CONNECTED || failure == COMM_ERR_NOT_OPEN)) {
        m_busy = 0;
        return;
    }
    AppMessageBox(m_host.GetSafeHwnd(), tr("Error during connection.\nMake sure device is connected properly."),
                  tr("Connection error"), plat::MB_OK | plat::MB_ICONWARNING);
    plat::PostMessage(m_host.GetSafeHwnd(), WM_COMM_ERROR, event, comm_error::kDisconnectNoBox);
    plat::PostMessage(m_host.GetSafeHwnd(), WM_CONNECTION_STATE, 0, DisconnectReason::Plain);
    m_busy = 0;
}

void DriverConnection::onLockQueryReply(CommandId id)
{
    const std::string reply = CurrentDriverQueue().reply(id);
    CurrentDriverQueue().removeCommand(id);
    const std::optional<int> lock = LockStateFromReply(reply);
    if (lock) {
        m_app.m_lockState = *lock;
        m_lockMenuState = *lock;
        if (plat::SendMessage(m_host.GetSafeHwnd(), WM_CONNECTION_STATE, 1, 0) != 0)
            m_busy = 0;
        else
            ReadAllData(ConnectionTag::ReadAll, true);
        return;
    }
    // "Connecting." stays up while tries are left: Cancel or a line event ends the attempt.
    if (CurrentDriverQueue().spendRetry())
        return;
    AppMessageBox(m_host.GetSafeHwnd(),
                  tr("Error during connection.\nPlease check hardware.\n\nContents of error: Command cannot be "
                     "recognized"),
                  tr("Connection error"), plat::MB_OK | plat::MB_ICONWARNING);
    m_busy = 0;
    hideWait();
    plat::PostMessage(m_host.GetSafeHwnd(), WM_COMM_ERROR, COMM_EVENT_COMPLETED, comm_error::kDisconnectNoBox);
    // Left alone, the port would stay open waiting for nothing.
    plat::PostMessage(m_host.GetSafeHwnd(), WM_CONNECTION_STATE, 0, DisconnectReason::Plain);
}

void DriverConnection::onLockReply(int tag)
{
    const int lock = tag == ConnectionTag::LockEnable ? 0 : 1;
    if (m_connectionPhase != Phase::EnteringTerminal)
        m_lockMenuState = lock;
    m_busy = 0;
    int resumed = 0;
    if ((m_connectionPhase == Phase::EnteringTerminal || m_connectionPhase == Phase::LeavingTerminal) &&
        m_pendingView != 0) {
        m_connectionPhase = Phase::Connected;
        m_host.SwitchView(m_pendingView);
        resumed = 1;
    }
    m_app.m_lockState = lock;
    SendToViews({VIEW_OSCILLO, VIEW_PARAM, VIEW_IO, VIEW_CHANNEL, VIEW_TERMINAL}, WM_LOCK_STATE_CHANGED,
                static_cast<WPARAM>(lock), resumed);
    if (const plat::HWND window = commandWindowHandle())
        plat::SendMessage(window, WM_LOCK_STATE_CHANGED, static_cast<WPARAM>(lock), resumed);
}

void DriverConnection::storeAlarmHistory(CommandId id)
{
    m_app.m_dataFile.SetAlarmText(CurrentDriverQueue().reply(id));
}

void DriverConnection::onReadAllDone(int tag, CommandId id)
{
    ClearStatusError(&m_window);
    OnDataReceived(id);
    m_busy = 0;
    CurrentDriverQueue().removeCommand(id);
    switch (tag) {
    case ConnectionTag::ReadAll:
        // The next finishing pass connects, even after a failed load.
        m_afterReadAll = true;
        m_markedDifferent = false;
        m_host.SwitchView(m_pendingView);
        plat::SendMessage(m_host.GetSafeHwnd(), WM_CONNECTION_STATE, 1, 0);
        break;
    case ConnectionTag::ReadAllTerminal:
    case ConnectionTag::ReadAllOscillo:
        if (m_hooks.resetScopeMonitors)
            m_hooks.resetScopeMonitors(tag == ConnectionTag::ReadAllTerminal);
        if (tag == ConnectionTag::ReadAllTerminal)
            m_app.m_dataFile.m_oscillo.ClearSamples();
        m_host.SwitchView(m_pendingView);
        break;
    case ConnectionTag::SaveReadAll:
        m_operationTag = ConnectionTag::SaveAlarms;
        restoreCommandMode();
        plat::PostMessage(m_host.GetSafeHwnd(), plat::WM_COMMAND, m_repostCommand, 0);
        break;
    case ConnectionTag::CloseReadAll:
        m_operationTag = ConnectionTag::CloseReady;
        restoreCommandMode();
        plat::PostMessage(m_host.GetSafeHwnd(), plat::WM_COMMAND, ID_APP_EXIT, 0);
        break;
    default:
        break;
    }
}

// ---- Reading all data ---------------------------------------------------------------------------

CommandId DriverConnection::ReadAllData(int tag, bool showDialog)
{
    if (showDialog)
        showWait(tr("Reading all data.\n\nPlease wait."), tag);
    m_operationTag = tag;
    m_busy = 1;
    CurrentDriverQueue().setCommandMode(0);
    const std::string text = ReadAllCommandText(m_app.m_dataFile.m_specialParameters, tag);
    m_app.m_dataFile.m_dataReceivedFlag = 0;
    m_runningCommand = CurrentDriverQueue().sendCommandText(m_host.GetSafeHwnd(), text, tag);
    if (!m_runningCommand) {
        m_busy = 0;
        restoreCommandMode();
    }
    return m_runningCommand;
}

CommandId DriverConnection::ReadAlarmHistory(int tag, bool alarmText)
{
    showWait(alarmText ? tr("Reading alarm data.\n\nPlease wait.") : tr("Reading all data.\n\nPlease wait."), tag);
    m_operationTag = tag;
    m_busy = 1;
    CurrentDriverQueue().setCommandMode(0);
    m_runningCommand = CurrentDriverQueue().sendCommandText(m_host.GetSafeHwnd(), "TA/HI\r", tag);
    if (!m_runningCommand) {
        m_busy = 0;
        restoreCommandMode();
    }
    return m_runningCommand;
}

void DriverConnection::ReadAllGaveUp(WPARAM event)
{
    if (event != COMM_EVENT_TIMEOUT && event != COMM_EVENT_NO_ECHO)
        return;
    // Else the user waits through every retry and is told only that something went wrong.
    const QString reason = tr("Reading all data: the driver unit's reply did not end (time-out).");
    m_failureContents.emplace(event, reason);
    SetStatusError(&m_window, reason);
}

bool DriverConnection::OnDataReceived(CommandId commandId)
{
    model::CDataFile& store = m_app.m_dataFile;
    store.m_dataReceivedFlag = 0;
    std::string reply = CurrentDriverQueue().reply(commandId);

    // The answers to the special parameters come before the dump's header.
    std::string specials;
    if (!store.m_specialParameters.empty() && !reply.empty()) {
        unsigned length = static_cast<unsigned>(reply.size());
        std::string prefix(reply.size() + 1, '\0');
        reply.push_back('\0');
        if (SplitAtTerminator(store.m_definitionHeader, reply.data(), length, prefix.data()) > 0) {
            specials.assign(prefix.c_str());
            reply.resize(length);
        } else {
            reply.pop_back();
        }
    }

    const std::string documentPath = store.m_documentPath;
    const std::string file = writeReplyFile(reply);
    const std::string writeFailure = file.empty() ? plat::LastErrorReason() : std::string();
    int code = 0;
    bool loaded = false;
    if (!file.empty() && model::CheckDocumentSections(file, code)) {
        // A channel program the driver may not hold is not read over: within a connection also
        // one changed here or being written; at its start only one that did not reach the driver,
        // while offline changes go as the connect question said.
        const bool connectionMade = m_connectionPhase >= Phase::Connected;
        store.LoadReadAllReply(file, code,
                               connectionMade ? model::CDataFile::KeptChannels::NotInStep
                                              : model::CDataFile::KeptChannels::Unwritten);
        store.ParseReceivedParameters(specials);
        loaded = true;
    }
    // The document stays the user's: its path, and no reply file left behind.
    store.m_documentPath = documentPath;
    if (!file.empty()) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
    }
    if (!loaded) {
        AppMessageBox(boxOwner(),
                      WithReason(tr("Incorrect data received.\nCheck the device and re-try.\n"), writeFailure),
                      tr("Data receive error"), plat::MB_OK | plat::MB_ICONWARNING);
        if (m_connectionPhase != Phase::Closing)
            hideWait();
        return false;
    }
    store.m_dataReceivedFlag = 1;
    if (m_connectionPhase != Phase::Closing)
        hideWait();
    plat::SendMessage(m_host.GetSafeHwnd(), WM_DATA_RELOADED, 1, 0);
    return true;
}

// ---- Cancel -------------------------------------------------------------------------------------

LRESULT DriverConnection::OnWaitCancel(WPARAM, LPARAM tag)
{
    setToolWindowsEnabled(true);
    switch (tag) {
    case ConnectionTag::ReadAll:
        CurrentDriverQueue().abortCommand(m_runningCommand);
        CurrentDriverQueue().removeCommand(-1);
        m_busy = 0;
        m_readAgain = 1;
        [[fallthrough]];
    case 0:
        plat::PostMessage(m_host.GetSafeHwnd(), WM_CONNECTION_STATE, 0, DisconnectReason::Declined);
        break;
    case ConnectionTag::ReadAllTerminal:
        CurrentDriverQueue().abortCommand(m_runningCommand);
        m_busy = 0;
        CurrentDriverQueue().removeCommand(-1);
        CurrentDriverQueue().setCommandMode(1);
        m_connectionPhase = Phase::Connected;
        m_host.SwitchView(VIEW_TERMINAL);
        hideWait(); // else the frame would stay disabled
        break;
    case ConnectionTag::ReadAllOscillo:
        CurrentDriverQueue().abortCommand(m_runningCommand);
        m_busy = 0;
        m_operationTag = 0;
        m_connectionPhase = Phase::Connected;
        m_host.SwitchView(VIEW_OSCILLO);
        hideWait();
        break;
    case ConnectionTag::AlarmHistory:
    case ConnectionTag::SaveReadAll:
    case ConnectionTag::SaveAlarmHistory:
    case ConnectionTag::CloseReadAll:
        CurrentDriverQueue().abortCommand(m_runningCommand);
        m_busy = 0;
        m_operationTag = 0;
        restoreCommandMode();
        m_window.setEnabled(true);
        break;
    default:
        break;
    }
    return 1;
}

// ---- Save and Print while connected -------------------------------------------------------------

bool DriverConnection::HoldCommandWhileConnected(plat::UINT id)
{
    if (!IsConnected())
        return false;
    if (m_busy)
        return true;
    switch (m_operationTag) {
    case ConnectionTag::SaveReadAll:
    case ConnectionTag::SaveAlarmHistory:
        return false;
    case ConnectionTag::SaveAlarms:
        m_repostCommand = id;
        ReadAlarmHistory(ConnectionTag::SaveAlarmHistory, false);
        return true;
    case ConnectionTag::SaveReady:
        m_operationTag = 0;
        hideWait();
        return false;
    default:
        if (currentView() == VIEW_CHANNEL) {
            CViewBase* channel = m_host.GetView(VIEW_CHANNEL);
            if (channel && channel->WriteBack(1) < 0)
                return true;
        }
        m_repostCommand = id;
        ReadAllData(ConnectionTag::SaveReadAll, true);
        return true;
    }
}

} // namespace talverin
