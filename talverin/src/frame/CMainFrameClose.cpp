// Closing the frame (the questions, the port's orderly end, the screens' refusal), the destroy
// path, and the window placements and bar layout kept in the settings file.
#include "frame/CMainFrame.h"

#include "frame/FrameProgram.h"
#include "common/DocumentAccess.h"
#include "common/AppMessageBox.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/CBusyDlg.h"
#include "connection/ConnectionRules.h"
#include "frame/CCommandBar.h"
#include "frame/CConnectionBar.h"
#include "frame/FramePlacement.h"
#include "frame/PortMenu.h"
#include "screens/CViewBase.h"
#include "screens/param/CCommandWnd.h"
#include "screens/terminal/CTerminalDlg.h"

#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/message_box.h>
#include <platform/messages.h>
#include <platform/profile.h>
#include <platform/qt/pump.h>
#include <platform/sync.h>
#include <zrcomm/zrcomm_api.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace talverin {

namespace {

constexpr const char* kFrameKey = "WinPos";
constexpr const char* kTerminalWindowKey = "TerminalWindow";

std::vector<QRect> workAreas()
{
    std::vector<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas.push_back(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas.push_back(screen->availableGeometry());
    }
    return areas;
}

std::optional<WindowPlacement> readPlacement(const std::string& settings, const char* key)
{
    const std::optional<std::string> text = plat::profile::find(settings, kPlacementSection, key);
    return text ? ParseWindowPlacement(*text) : std::nullopt;
}

WindowPlacement placementOf(const QWidget& window)
{
    WindowPlacement placement;
    placement.minPosition = placement.maxPosition = QPoint(-1, -1);
    placement.showCmd = window.isMinimized() ? 2 : window.isMaximized() ? 3 : 1;
    placement.normalRect = window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
    if (!placement.normalRect.isValid())
        placement.normalRect = window.geometry();
    return placement;
}

} // namespace

// ---- Placements ---------------------------------------------------------------------------------

void CMainFrame::restorePlacement()
{
    const QSize minimum(kInitialWidth, kInitialHeight);
    const std::vector<QRect> areas = workAreas();
    if (const std::optional<WindowPlacement> saved = readPlacement(m_app.m_settingsPath, kFrameKey)) {
        m_app.m_placement = *saved;
        setGeometry(BringOntoScreen(saved->normalRect, areas, minimum));
        return;
    }
    m_app.m_placement = WindowPlacement();
    if (!areas.empty())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, minimum, areas.front()));
    else
        resize(minimum);
}

void CMainFrame::placeTerminalWindow()
{
    if (!m_terminalWindow)
        return;
    const QSize minimum(CTerminalDlg::kMinimumTrackSize, CTerminalDlg::kMinimumTrackSize);
    if (const std::optional<WindowPlacement> saved = readPlacement(m_app.m_settingsPath, kTerminalWindowKey)) {
        m_terminalWindow->setGeometry(BringOntoScreen(saved->normalRect, workAreas(), minimum));
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int virtualRight = screen ? screen->virtualGeometry().left() + screen->virtualGeometry().width()
                                    : geometry().left() + geometry().width() + 360;
    m_terminalWindow->setGeometry(DefaultTerminalWindowRect(geometry(), virtualRight));
}

void CMainFrame::restoreBarState()
{
    const std::optional<std::string> text = plat::profile::find(m_app.m_settingsPath, kBarStateSection, kBarStateKey);
    if (const std::optional<QByteArray> state = text ? DecodeBarState(*text) : std::nullopt)
        restoreState(*state, kBarStateVersion); // a layout that does not fit is ignored
}

void CMainFrame::SavePlacements()
{
    plat::profile::Edit edit(m_app.m_settingsPath);
    edit.setString(kBarStateSection, kBarStateKey, EncodeBarState(saveState(kBarStateVersion)));
    edit.setString(kPlacementSection, kFrameKey, FormatWindowPlacement(placementOf(*this)));
    if (m_terminalWindow)
        edit.setString(kPlacementSection, kTerminalWindowKey, FormatWindowPlacement(placementOf(*m_terminalWindow)));
    m_app.m_settingsReport.Note(edit.commit(), edit.file());
}

// ---- Closing ------------------------------------------------------------------------------------

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_destroyed || OnClose())
        event->accept();
    else
        event->ignore();
}

bool CMainFrame::OnClose()
{
    // A close asked for while one waits for the port is the same close.
    if (m_inClose)
        return false;
    m_inClose = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{m_inClose};
    if (IsTransferDialogOpen()) {
        if (m_transferDialog) {
            m_transferDialog->raise();
            m_transferDialog->activateWindow();
        }
        return false;
    }
    DocumentAccess* doc = m_app.GetDocument();
    // Without a port there is no connection to end: straight to the last step.
    const bool portOpen = m_connectionPhase != Phase::Idle;
    // Re-entered from the read-all before closing: the questions were answered already.
    const bool resumed = m_operationTag == ConnectionTag::CloseReadAll || m_operationTag == ConnectionTag::CloseReady;
    bool postDisconnect = true;
    auto refused = [this] {
        m_app.m_askBeforeSave = 1;
        return false;
    };
    if (portOpen && !resumed) {
        m_closeEvent.reset();
        m_closingWait = WaitDialogInfo();
        const std::uint32_t monitor = model::GetCommEventState();
        CViewBase* scope = GetView(VIEW_OSCILLO);
        if (scope && monitor != COMM_MONITOR_CONNECTION_LOST && monitor != COMM_MONITOR_NOT_CONNECTED) {
            const int capture = scope->CaptureState();
            if (capture == 3) {
                ZRComm_RemoveCommand(0);
            } else if (capture >= 4 && capture <= 6) {
                AppMessageBox(GetSafeHwnd(), tr("Close when capture is complete."), tr("Capture in process"),
                              plat::MB_OK | plat::MB_ICONWARNING);
                return false;
            }
        }
        if (m_connectionPhase == Phase::Disconnecting) {
            if (m_busyDlg && m_busyDlg->isVisible())
                return false;
            postDisconnect = false;
        } else if (AppMessageBox(GetSafeHwnd(),
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
        OnWaitDialog(5, reinterpret_cast<plat::LPARAM>(&m_closingWait));
        m_closingWait.text = nullptr;
        // The channel editor writes its channel back before the save question, so that the
        // question can name what did not reach the driver.
        if (CViewBase* channel = GetView(VIEW_CHANNEL)) {
            if (plat::SendMessage(channel->GetSafeHwnd(), WM_COMM_STATE_CHANGED, 0, -3) == 0)
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
    if (portOpen) {
        if (!m_closeEvent)
            m_closeEvent = std::make_unique<plat::Event>(true);
        if (!m_closeEvent->isSet()) {
            if (postDisconnect)
                plat::PostMessage(GetSafeHwnd(), plat::WM_COMMAND, ID_DISCONNECT, 0);
            // Until the port is closed (or the disconnection was refused).
            for (;;) {
                const std::uint32_t monitor = model::GetCommEventState();
                if (monitor == COMM_MONITOR_CONNECTION_LOST || monitor == COMM_MONITOR_PORT_CLOSED ||
                    m_closeEvent->isSet() || m_destroyed || ZRComm_GetCommandCount(-1) < 0)
                    break;
                if (plat::qt::PumpAllPending() == 0)
                    plat::Sleep(10);
            }
            if (m_closeEvent->isSet())
                ZRComm_AbortCommand(m_runningCommand);
        }
        if (m_closeEvent->isSet()) {
            m_closeEvent.reset();
            m_operationTag = 0;
            if (IsConnected()) {
                setTerminalWritable(true);
                SendToViews({VIEW_TERMINAL, VIEW_OSCILLO, VIEW_IO, VIEW_CHANNEL}, WM_COMM_STATE_CHANGED, 1, -2);
                m_connectionPhase = Phase::Connected;
                hideWait();
                return refused();
            }
        }
        hideWait();
        m_closeEvent.reset();
        setTerminalWritable(false);
    }
    SavePlacements();
    // The document's own question (it does not ask again after a Yes above).
    if (doc && !doc->SaveModified())
        return refused();
    DestroyFrame();
    return true;
}

void CMainFrame::DestroyFrame()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    if (m_updateTimer)
        m_updateTimer->stop();
    emit destroying(); // the command window's placement is written here (ParamWindows)
    CloseReportViewer();
    unmergeMenus();
    delete m_busyDlg.data();
    ZRComm_RemoveCommand(-1);
    ZRComm_Term();
    plat::Sleep(10);
    m_hook.reset();
    DestroyStartDialog();
    m_app.m_settingsReport.Note(m_app.m_dataFile.SaveSettings() != 0, m_app.m_dataFile.m_settingsPath);
    m_portRecord = nullptr; // the records go with the write-back
    m_app.m_settingsReport.Note(m_ports->WriteBack(), m_app.m_settingsPath);
    destroyToolWindows();
    destroyBars();
    m_app.m_dataFile.Close();
    if (m_help)
        m_help->close();
    hide();
    m_app.OnMainFrameDestroyed();
}

} // namespace talverin
