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
#include "screens/TerminalWindowBase.h"
#include "connection/DriverConnection.h"

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
    const QSize minimum(TerminalWindowBase::kMinimumTrackSize, TerminalWindowBase::kMinimumTrackSize);
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
    if (m_connection->m_connectionPhase != Phase::Idle && !m_connection->CloseConnection())
        return false;
    SavePlacements();
    // The document's own question (it does not ask again after a Yes above).
    if (doc && !doc->SaveModified()) {
        m_app.m_askBeforeSave = 1;
        return false;
    }
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
    emit m_notices.destroying(); // the command window's placement is written here (ParamWindows)
    CloseReportViewer();
    unmergeMenus();
    m_connection->Shutdown();
    plat::Sleep(10);
    m_hook.reset();
    DestroyStartDialog();
    m_app.m_settingsReport.Note(m_app.m_dataFile.SaveSettings() != 0, m_app.m_dataFile.m_settingsPath);
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
