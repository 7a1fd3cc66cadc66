// The run of the upload/download dialog: a state machine moved on by the command events of its
// own commands and by the frame's connection notices. One command is in flight at a time.
#include "transfer/CTransferDlg.h"

#include "common/ProgramState.h"
#include "common/DocumentAccess.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/ClipboardHelpers.h"
#include "common/CommandIds.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverConnection.h"
#include "connection/DriverQueue.h"
#include "connection/PortList.h"
#include "transfer/TransferRules.h"

#include <model/CommandSupport.h>
#include <model/DataFile.h>
#include <model/DocumentFile.h>
#include <model/ZRParamData.h>
#include <platform/messages.h>
#include <platform/text.h>
#include <zrcomm/zrcomm_api.h>

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace talverin {

namespace {

constexpr std::size_t kErrorTextLimit = 20480;

bool IsConnected()
{
    return CurrentDriverQueue().isConnected();
}

// "\r\n" and "\n" both become "\r".
std::string CrLineEnds(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i] == '\n' ? '\r' : text[i]);
    }
    return out;
}

} // namespace

bool CTransferDlg::isCurrentData() const
{
    return m_current->isChecked();
}

QString CTransferDlg::commandTitle() const
{
    return m_direction == kUpload ? tr("Send upload data") : tr("Send downloaded data");
}

void CTransferDlg::postToFrame(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam)
{
    // The frame's Connect and Disconnect do nothing while the flag is set.
    m_app.m_transferRunning = 0;
    plat::PostMessage(m_host.frame, message, wParam, lParam);
}

// ---- Run ----------------------------------------------------------------------------------------

void CTransferDlg::OnOK()
{
    if (m_runState == kIdle) {
        // A fresh run: nothing of the last one counts.
        m_errors.clear();
        m_list->clearContents();
        m_list->setRowCount(0);
        m_finishedResult = 0;
        m_finalResult = 0;
        m_resendStep = kNoResend;
        if (!checkInputs())
            return;
        m_specialFlag = !m_special->isHidden() && m_special->isChecked();
        setStartControlsEnabled(false);
        ZRComm_SetMonitorWnd(m_connectionBar);
    } else if (m_runState != kConnecting) {
        return;
    }
    if (IsConnected()) {
        startConnected();
        return;
    }
    if (m_runState == kConnecting)
        return; // the line went again before the notice came: its own notice follows
    if (m_direction == kDownload && !isCurrentData() && !checkDocumentFile(false, nullptr))
        return;
    m_runState = kConnecting;
    if (!m_host.ports->Find(m_portName)) {
        box(tr("Set port and re-try to connect."), tr("Connection"));
        m_runState = kIdle;
        showStartLook(false);
        return;
    }
    m_uploadPhase = m_direction == kUpload && isCurrentData() ? 0 : 2;
    m_app.m_transferRunning = 0;
    plat::SendMessage(m_host.frame, plat::WM_COMMAND, ID_CONNECT, 0);
    if (m_runState == kConnecting && static_cast<Phase>(plat::SendMessage(m_host.frame, WM_GET_CONNECTION_PHASE, 0, 0)) == Phase::Idle) {
        // The attempt ended at once (its box said why).
        m_app.m_transferRunning = 1;
        m_runState = kIdle;
        setStartControlsEnabled(true);
    }
}

void CTransferDlg::startConnected()
{
    model::CDataFile& store = m_app.m_dataFile;
    store.m_driverModelInfo = CurrentDriverQueue().driverIdentification();
    // The frame leaves the line's settings to the dialog while it is open.
    ZRComm_InitExternalData(&m_host.connection->CommData());
    m_runState = kTransferring;

    if (m_direction == kUpload) {
        if (m_uploadPhase == 0) {
            showRunningLook();
            if (!queue("TA/HI\r", 0, tr("Monitor alarm history"))) {
                disconnectRun(-1);
                return;
            }
            m_uploadPhase = 1;
            return;
        }
        queueReadAll();
        return;
    }

    m_sendList.clear();
    if (isCurrentData()) {
        if (plat::SendMessage(m_host.frame, WM_COLLECT_VIEW_DATA, 0, 0) == 0) {
            disconnectRun(2);
            return;
        }
        m_sendList = BuildDataSendList(store, m_specialFlag);
    } else {
        std::string bytes;
        if (!checkDocumentFile(true, &bytes))
            return;
        const bool document = QFileInfo(filePath()).suffix().compare(QStringLiteral("zrd"), Qt::CaseInsensitive) == 0;
        m_sendList = BuildFileSendList(bytes, document);
        if (!m_specialFlag) {
            RemoveSpecialRecords(m_sendList, store.m_specialParameters, StoreParameterNameOf(store));
        }
    }
    showRunningLook();
    sendFrom(0);
}

bool CTransferDlg::checkDocumentFile(bool connected, std::string* bytes)
{
    model::CDataFile& store = m_app.m_dataFile;
    const std::string path = filePath().toStdString();
    const auto fail = [&](const QString& text) {
        AppMessageBox(GetSafeHwnd(), text, tr("Cannot open file"), plat::MB_OK | plat::MB_ICONWARNING);
        if (connected)
            disconnectRun(-1);
        else
            endRun(-1);
        return false;
    };
    std::string content;
    if (!plat::ReadFileBytes(path, content))
        return fail(WithLastReason(tr("Failed to open file.\nCheck the file.")));
    const bool document = QFileInfo(filePath()).suffix().compare(QStringLiteral("zrd"), Qt::CaseInsensitive) == 0;
    if (document) {
        // The check stores the file's comment and alarm history: the current document keeps its own.
        const std::string comment = store.m_commentText;
        const std::string alarm = store.m_alarmText;
        int code = 0;
        const int valid = store.CheckDocument(path, code);
        store.m_commentText = comment;
        store.m_alarmText = alarm;
        std::string unit;
        std::string modelInfo;
        bool ok = valid == 1 && store.ReadDocumentUnit(path, unit, modelInfo) == 0;
        if (ok && connected) {
            // "*" is any driver, as at connection; an empty one is no driver at all.
            const std::string mi = plat::Trim(modelInfo);
            ok = mi == "*" || (!mi.empty() && model::CompareModelInfo(store.m_driverModelInfo, mi) == 0);
        }
        if (!ok)
            return fail(tr("File is incorrect\nFile is damaged, or file is from another unit.\nCheck the file."));
    }
    if (bytes)
        *bytes = std::move(content);
    return true;
}

bool CTransferDlg::queue(const std::string& text, std::intptr_t tag, const QString& title)
{
    m_currentText = text;
    std::uint32_t error = 0;
    m_currentCommand = CurrentDriverQueue().queueCommand(GetSafeHwnd(), text, tag, title.toStdString().c_str(), &error);
    return m_currentCommand != 0;
}

void CTransferDlg::queueReadAll()
{
    showRunningLook();
    if (!queue(ReadAllCommandText(m_app.m_dataFile.m_specialParameters, ConnectionTag::ReadAll), 0, commandTitle()))
        disconnectRun(-1);
}

void CTransferDlg::sendFrom(std::size_t position)
{
    m_progress->setValue(static_cast<int>(std::min(position, m_sendList.size())));
    if (position >= m_sendList.size()) {
        m_currentCommand = 0;
        disconnectRun(1);
        return;
    }
    const SendBlock block = NextSendBlock(m_sendList, position);
    m_blockStart = position;
    m_blockFlag = block.block;
    m_nextRecord = block.next;
    if (!queue(block.text, static_cast<std::intptr_t>(block.next), commandTitle())) {
        disconnectRun(-1);
        return;
    }
    m_app.m_transferRunning = 1;
}

// ---- Command events -------------------------------------------------------------------------------

plat::LRESULT CTransferDlg::onCommCommand(plat::WPARAM event, CommandId id)
{
    DriverQueue& driver = CurrentDriverQueue();
    const Completion done = driver.completion(event, id);
    if (m_runState == kIdle || m_runState == kFinishing || m_runState == kFinished || m_runState == kFailed) {
        if (done.completed() || done.aborted() || done.transportFailed())
            driver.removeCommand(id);
        return 0;
    }
    if (m_runState == kCancelling) {
        if (id == m_lockCommand && m_lockCommand != 0) {
            if (done.completed() || done.transportFailed()) {
                m_lockCommand = 0;
                disconnectRun(2);
            }
        } else if (id == m_currentCommand && event == COMM_EVENT_ABORTED) {
            // The driver's lock goes back to what it was before the run unlocked it.
            CurrentDriverQueue().removeCommand(id);
            m_currentCommand = 0;
            if (!queue(m_app.m_lockState == 1 ? "KP1\r" : "KP0\r", 0, commandTitle())) {
                disconnectRun(2);
                return 0;
            }
            m_lockCommand = m_currentCommand;
        }
        return 0;
    }
    if (id != m_currentCommand)
        return 0;

    if (done.transportFailed()) {
        if (driver.retryingStopped())
            return 0;
        if (m_resendStep == kClearing) {
            // Without its clear the program cannot go again.
            giveUp(id, event);
            return 0;
        }
        if (driver.retry(id)) {
            m_runState = kRetrying;
            m_app.m_transferRunning = 1;
            if (m_direction == kDownload && !ChannelClearCommand(m_currentText).empty() && !withdrawChannelProgram(id))
                giveUp(id, event);
            return 0;
        }
        giveUp(id, event);
        return 0;
    }
    if (event == COMM_EVENT_ABORTED && m_resendStep == kWithdrawing) {
        const std::string clear = ChannelClearCommand(m_currentText);
        CurrentDriverQueue().removeCommand(id);
        m_currentCommand = 0;
        m_resendStep = kClearing;
        if (!queue(clear, static_cast<std::intptr_t>(m_blockStart), commandTitle())) {
            disconnectRun(-1);
            return 0;
        }
        m_app.m_transferRunning = 1;
        return 0;
    }
    if (event != COMM_EVENT_COMPLETED) {
        m_app.m_transferRunning = 1;
        return 0;
    }
    if (m_resendStep == kClearing) {
        // The program's own completion resets the retry count, not its clear's: a program that
        // fails every time still gives up after three tries.
        finishChannelClear(done);
        return 0;
    }

    driver.resetRetries();
    if (m_runState == kRetrying)
        m_runState = kTransferring;
    std::uint32_t code = done.failure();
    std::string reply;
    if (code == 0) {
        reply = driver.reply(id);
        if (m_direction == kUpload && m_uploadPhase == 1) {
            m_app.m_dataFile.SetAlarmText(reply);
            m_uploadPhase = 2;
            CurrentDriverQueue().removeCommand(id);
            m_currentCommand = 0;
            queueReadAll();
            if (m_runState == kTransferring)
                m_app.m_transferRunning = 1;
            return 0;
        }
        if (const std::uint32_t refused = ClassifyReply(reply, m_blockFlag)) {
            code = refused;
            if (m_direction == kUpload) {
                box(tr("Check the status of your unit and try again.\n\nContents of error:%1")
                        .arg(QString::fromStdString(model::GetCommErrorText(code, m_app.m_language))),
                    tr("%1 Error").arg(tr("Upload")));
                disconnectRun(-1);
                return 0;
            }
        }
    } else if (m_direction == kUpload) {
        CurrentDriverQueue().removeCommand(id);
        m_currentCommand = 0;
        m_runState = kFinishing;
        m_finalResult = -1;
        postToFrame(WM_COMM_ERROR, code, comm_error::kDisconnect);
        return 0;
    }

    if (m_direction == kUpload) {
        finishUpload(id, reply);
        return 0;
    }
    if (code != 0)
        addError(code);
    CurrentDriverQueue().removeCommand(id);
    m_currentCommand = 0;
    sendFrom(m_nextRecord);
    return 0;
}

bool CTransferDlg::withdrawChannelProgram(CommandId id)
{
    // Resumed for the backspace the line sends first, which ends a block dialog the driver may still
    // be in, and withdrawn before it runs again (if it has started, the abort stops it before a line
    // is answered); its abort event then queues the clear.
    if (CurrentDriverQueue().abortCommand(id) != COMM_OK)
        return false;
    m_resendStep = kWithdrawing;
    return true;
}

void CTransferDlg::finishChannelClear(const Completion& done)
{
    const CommandId id = done.id;
    std::uint32_t code = done.failure();
    if (code == 0)
        code = ClassifyReply(CurrentDriverQueue().reply(id), false);
    if (code != 0) {
        giveUp(id, code);
        return;
    }
    CurrentDriverQueue().removeCommand(id);
    m_currentCommand = 0;
    m_resendStep = kNoResend;
    sendFrom(m_blockStart);
}

void CTransferDlg::giveUp(CommandId id, plat::WPARAM reason)
{
    CurrentDriverQueue().removeCommand(id);
    m_currentCommand = 0;
    m_resendStep = kNoResend;
    CurrentDriverQueue().stopRetrying();
    m_runState = kFailed;
    m_finalResult = -1;
    if (m_direction == kUpload && m_uploadPhase == 2)
        m_host.connection->ReadAllGaveUp(reason);
    // The frame's box and teardown; its notice then ends the run.
    postToFrame(WM_COMM_ERROR, reason, comm_error::kDisconnect);
}

void CTransferDlg::addError(std::uint32_t code)
{
    std::string text = m_currentText;
    if (text.size() > kErrorTextLimit) {
        text.resize(kErrorTextLimit);
        const std::size_t cr = text.rfind('\r');
        if (cr != std::string::npos)
            text.resize(cr + 1);
    }
    m_errors.push_back({std::move(text), code});
}

void CTransferDlg::finishUpload(CommandId id, const std::string& reply)
{
    bool ok = true;
    if (isCurrentData()) {
        ok = plat::SendMessage(m_host.frame, WM_DATA_RECEIVED, static_cast<plat::WPARAM>(id), 0) != 0;
        if (ok) {
            // Loaded: the document holds the driver's data now, whatever closes the dialog.
            m_app.m_dataFile.m_newDocument = 0;
            if (DocumentAccess* doc = m_app.GetDocument())
                doc->SetModifiedFlag(true);
        }
    } else {
        ok = writeUploadFile(reply);
    }
    CurrentDriverQueue().removeCommand(id);
    m_currentCommand = 0;
    disconnectRun(ok ? 1 : -1);
}

bool CTransferDlg::writeUploadFile(const std::string& reply)
{
    model::CDataFile& store = m_app.m_dataFile;
    // The reply comes without its last CR.
    std::string text = reply.empty() ? std::string() : CrLineEnds(reply) + '\r';
    if (text.empty()) {
        box(tr("Error during data reading\nRe-try upload."), tr("Data error"));
        return false;
    }
    std::vector<model::SpecialParameterLine> specials;
    std::size_t headerLength = 0;
    if (!store.m_specialParameters.empty()) {
        unsigned length = static_cast<unsigned>(text.size());
        std::string prefix(text.size() + 1, '\0');
        text.push_back('\0');
        if (SplitAtTerminator(store.m_definitionHeader, text.data(), length, prefix.data()) > 0)
            store.ExtractSpecialParameters(prefix.c_str(), specials);
        text.resize(length);
        headerLength = static_cast<std::size_t>(
            std::count_if(store.m_definitionHeader.begin(), store.m_definitionHeader.end(), [](char c) { return c != ' '; }));
    }
    const std::string data = BuildUploadText(
        text, headerLength, specials,
        [&store](std::string_view name) {
            const model::CZRParamData* record = store.FindParameter(name);
            return record && record->m_attributes.find('T') != std::string::npos;
        },
        StoreParameterNameOf(store));
    std::string bytes;
    bytes.reserve(data.size() + data.size() / 8);
    for (const char c : data) {
        if (c == '\r')
            bytes += "\r\n";
        else
            bytes.push_back(c);
    }
    if (!plat::WriteFileAtomic(filePath().toStdString(), bytes)) {
        box(WithLastReason(tr("Failed to create file\nCheck that the file is not read-only")), tr("File save error"));
        return false;
    }
    return true;
}

// ---- Connection notices ---------------------------------------------------------------------------

plat::LRESULT CTransferDlg::onCommStateChanged(plat::WPARAM connected, plat::LPARAM reason)
{
    if (connected == 1) {
        if (m_runState == kConnecting)
            OnOK();
        return 0;
    }
    switch (m_runState) {
    case kIdle:
        break;
    case kConnecting:
        endRun(m_finalResult ? m_finalResult : 2);
        break;
    case kFinishing:
    case kFailed:
        endRun(m_finalResult ? m_finalResult : -1);
        break;
    case kFinished:
        m_runState = kIdle;
        break;
    default: {
        // Nothing but a lost line ends a transfer under way; the queue may have been empty just
        // then (between two commands), which the frame reports as 0.
        const std::uint32_t monitor = model::GetCommEventState();
        const bool lost = m_runState != kCancelling || monitor == COMM_MONITOR_CONNECTION_LOST ||
                          monitor == COMM_MONITOR_NOT_CONNECTED;
        if (reason != 0 || lost) {
            m_app.m_transferRunning = 0;
            CurrentDriverQueue().removeCommand(0);
            plat::SendMessage(m_host.frame, plat::WM_COMMAND, ID_DISCONNECT, 0);
            endRun(-1);
        } else {
            endRun(2);
        }
        break;
    }
    }
    return 0;
}

// ---- Cancel and the end ---------------------------------------------------------------------------

void CTransferDlg::cancelRun()
{
    switch (m_runState) {
    case kConnecting:
        // As the please-wait dialog's Cancel: the frame gives the attempt up.
        plat::PostMessage(m_host.frame, WM_CONNECTION_STATE, 0, DisconnectReason::Declined);
        return;
    case kTransferring:
    case kRetrying:
        break;
    default:
        return;
    }
    m_list->setVisible(false);
    m_list->clearContents();
    m_list->setRowCount(0);
    m_running->setEnabled(false);
    m_runState = kCancelling;
    if (!IsConnected())
        return; // the line's notice ends it
    if (m_currentCommand == 0 || CurrentDriverQueue().abortCommand(m_currentCommand) != COMM_OK)
        disconnectRun(2);
}

void CTransferDlg::disconnectRun(int result, int state)
{
    if (m_currentCommand)
        CurrentDriverQueue().removeCommand(m_currentCommand);
    CurrentDriverQueue().removeCommand(0);
    m_currentCommand = 0;
    m_lockCommand = 0;
    m_resendStep = kNoResend;
    m_runState = state;
    if (m_finalResult == 0 || result == -1)
        m_finalResult = result;
    if (!IsConnected() && CurrentDriverQueue().recordCount(QueueRecords::All) == -1) {
        // No port open: no notice will come.
        endRun(m_finalResult);
        return;
    }
    postToFrame(plat::WM_COMMAND, ID_DISCONNECT, 0);
}

void CTransferDlg::endRun(int result)
{
    m_finishedResult = result;
    m_finalResult = result;
    m_runState = kFinished;
    if (result == 2)
        CurrentDriverQueue().removeCommand(-1);
    m_app.m_transferRunning = 1;
    showEndLook(result);
}

} // namespace talverin
