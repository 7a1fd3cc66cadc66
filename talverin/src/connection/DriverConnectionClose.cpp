// The connection's part of closing the program while the port is open, and its end on the
// frame's destroy path.
#include "connection/DriverConnection.h"

#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "common/DocumentAccess.h"
#include "common/ProgramState.h"
#include "connection/CBusyDlg.h"
#include "connection/ConnectionHost.h"
#include "connection/ConnectionRules.h"
#include "connection/DriverQueue.h"
#include "screens/CViewBase.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/message_box.h>
#include <platform/messages.h>
#include <platform/qt/pump.h>
#include <zrcomm/zrcomm_api.h>

namespace talverin {

bool DriverConnection::CloseConnection()
{
    DocumentAccess* doc = m_app.GetDocument();
    // Re-entered from the read-all before closing: the questions were answered already.
    const bool resumed = m_operationTag == ConnectionTag::CloseReadAll || m_operationTag == ConnectionTag::CloseReady;
    bool postDisconnect = true;
    if (!resumed) {
        m_closeEvent.reset();
        m_closingWait = WaitDialogInfo();
        const std::uint32_t monitor = model::GetCommEventState();
        CViewBase* scope = m_host.GetView(VIEW_OSCILLO);
        if (scope && monitor != COMM_MONITOR_CONNECTION_LOST && monitor != COMM_MONITOR_NOT_CONNECTED) {
            const CapturePhase capture = scope->CaptureState();
            if (capture == CapturePhase::SyncWaiting) {
                CurrentDriverQueue().removeCommand(0);
            } else if (IsCaptureRunning(capture)) {
                AppMessageBox(m_host.GetSafeHwnd(), tr("Close when capture is complete."), tr("Capture in process"),
                              plat::MB_OK | plat::MB_ICONWARNING);
                return false;
            }
        }
        if (m_connectionPhase == Phase::Disconnecting) {
            if (m_busyDlg && m_busyDlg->isVisible())
                return false;
            postDisconnect = false;
        } else if (AppMessageBox(m_host.GetSafeHwnd(),
                                 tr("Currrently connected to the driver.\nYou must terminate connection before "
                                    "exiting application."),
                                 tr("Must terminate connection"), plat::MB_OKCANCEL | plat::MB_ICONWARNING) != plat::IDOK) {
            return false;
        }
        m_app.m_askBeforeSave = 1;
        m_connectionPhase = Phase::Closing;
        m_closeEvent = std::make_unique<plat::Event>(true);
        const QByteArray text = tr("Closing.\n\nPlease wait.").toUtf8();
        m_closingWait.text = text.constData();
        m_closingWait.notify = nullptr;
        m_closingWait.cancelTag = -1;
        showWaitDialog(m_closingWait);
        m_closingWait.text = nullptr;
        // The channel editor writes its channel back before the save question, so that the
        // question can name what did not reach the driver.
        if (CViewBase* channel = m_host.GetView(VIEW_CHANNEL)) {
            if (plat::SendMessage(channel->GetSafeHwnd(), WM_COMM_STATE_CHANGED, 0, CommState::CloseRequest) == 0)
                m_closeEvent->set();
        }
        if (!m_closeEvent->isSet() && doc && doc->IsModified()) {
            const int answer = AppMessageBox(boxOwner(), doc->CloseSaveQuestion(), tr("Verify Save"),
                                             plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION);
            if (answer == plat::IDCANCEL)
                m_closeEvent->set(); // the connection goes on, as after a screen's refusal
            else if (answer == plat::IDYES)
                m_app.m_askBeforeSave = 0; // the save at the end does not ask again
            else
                doc->SetModifiedFlag(false);
        }
        if (!m_closeEvent->isSet() && doc && doc->IsModified()) {
            m_repostCommand = ID_APP_EXIT;
            // Ends here; the reply posts Exit again, which comes back with the tag.
            if (ReadAllData(ConnectionTag::CloseReadAll, false))
                return false;
        }
    }
    if (!m_closeEvent)
        m_closeEvent = std::make_unique<plat::Event>(true);
    if (!m_closeEvent->isSet()) {
        if (postDisconnect)
            plat::PostMessage(m_host.GetSafeHwnd(), plat::WM_COMMAND, ID_DISCONNECT, 0);
        // Until the port is closed (or the disconnection was refused).
        for (;;) {
            const std::uint32_t monitor = model::GetCommEventState();
            if (monitor == COMM_MONITOR_CONNECTION_LOST || monitor == COMM_MONITOR_PORT_CLOSED ||
                m_closeEvent->isSet() || m_host.IsDestroyed() || CurrentDriverQueue().recordCount(QueueRecords::All) < 0)
                break;
            if (plat::qt::PumpAllPending() == 0)
                plat::Sleep(10);
        }
        if (m_closeEvent->isSet())
            CurrentDriverQueue().abortCommand(m_runningCommand);
    }
    if (m_closeEvent->isSet()) {
        m_closeEvent.reset();
        m_operationTag = 0;
        if (IsConnected()) {
            SetTerminalWritable(true);
            SendToViews({VIEW_TERMINAL, VIEW_OSCILLO, VIEW_IO, VIEW_CHANNEL}, WM_COMM_STATE_CHANGED, 1, CommState::Restored);
            m_connectionPhase = Phase::Connected;
            hideWait();
            m_app.m_askBeforeSave = 1;
            return false;
        }
    }
    hideWait();
    m_closeEvent.reset();
    SetTerminalWritable(false);
    return true;
}

void DriverConnection::EndWithoutQuestions()
{
    if (m_connectionPhase == Phase::Idle)
        return;
    // Nothing the screens or a capture queued is waited for: only the alarm read goes out.
    const std::uint32_t monitor = model::GetCommEventState();
    const bool answering = IsConnected() && !IsTransferDialogOpen() && m_connectionPhase != Phase::Connecting &&
                           m_connectionPhase != Phase::PortOpen && monitor != COMM_MONITOR_CONNECTION_LOST &&
                           monitor != COMM_MONITOR_NOT_CONNECTED;
    CurrentDriverQueue().removeCommand(-1);
    m_connectionPhase = Phase::Disconnecting;
    m_host.ClearCommandBar();
    if (answering) {
        const std::uint64_t start = plat::GetTickCount64();
        const bool lineMode = currentView() != VIEW_TERMINAL || CurrentDriverQueue().setModeWhenDrained(m_host.GetSafeHwnd(), 0);
        if (lineMode && sendFrameCommand("TA/HI\r", ConnectionTag::AlarmHistory, tr("Monitor alarm history"))) {
            // Its reply closes the port (phase 0).
            while (m_connectionPhase == Phase::Disconnecting && plat::GetTickCount64() - start < kEndReplyLimitMs) {
                if (plat::qt::PumpAllPending() == 0)
                    plat::Sleep(10);
            }
        }
    }
    if (m_connectionPhase != Phase::Idle)
        tearDown();
}

void DriverConnection::Shutdown()
{
    delete m_busyDlg.data();
    CurrentDriverQueue().removeCommand(-1);
    ZRComm_Term();
    m_sleepInhibitor.Release();
    m_portRecord = nullptr; // the records go with the frame's write-back of the ports
}

} // namespace talverin
