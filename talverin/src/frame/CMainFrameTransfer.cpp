// The frame's Upload and DownLoad commands: the upload/download dialog runs modally over the
// frame, with the screen and the tool bars disabled and the operation-running flag set meanwhile.
#include "frame/CMainFrame.h"

#include "connection/DriverConnection.h"
#include "frame/FrameProgram.h"
#include "common/CommandIds.h"
#include "frame/CCommandBar.h"
#include "frame/CConnectionBar.h"
#include "frame/PortMenu.h"
#include "screens/CViewBase.h"
#include "transfer/CTransferDlg.h"

#include <platform/qt/command_table.h>
#include <platform/qt/modal_dialog.h>

#include <QPointer>
#include <QToolBar>

namespace talverin {

void CMainFrame::addTransferCommands()
{
    auto rule = [this](plat::qt::CommandUpdate& u) { u.Enable(!m_connection->IsConnected() && m_currentView != VIEW_TERMINAL); };
    m_commands.add(ID_UPLOAD, [this] { OnTransfer(CTransferDlg::kUpload); }, rule);
    m_commands.add(ID_DOWNLOAD, [this] { OnTransfer(CTransferDlg::kDownload); }, rule);
}

void CMainFrame::OnTransfer(int direction)
{
    if (IsTransferDialogOpen())
        return;
    TransferHost host;
    host.frame = GetSafeHwnd();
    host.connection = m_connection.get();
    host.monitorWindow = m_connectionBar ? m_connectionBar->GetSafeHwnd() : nullptr;
    host.ports = &m_ports->List();
    host.configurePort = [this](PortRecord& record, plat::HWND parent) { return m_ports->ConfigurePort(record, parent); };
    host.checkPort = [this](const std::string& name) { m_ports->CheckPort(name); };
    CTransferDlg dialog(std::move(host), m_app, direction, this);
    QPointer<QWidget> view = GetView(m_currentView);
    if (view)
        view->setEnabled(false);
    // The bars of the connection and the commands keep their own rules while the dialog runs.
    std::vector<QPointer<QToolBar>> bars;
    for (QToolBar* bar : findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (bar == m_connectionBar || bar == m_commandBar || !bar->isEnabled())
            continue;
        bar->setEnabled(false);
        bars.emplace_back(bar);
    }
    m_app.m_transferRunning = 1;
    SetTransferDialog(&dialog);
    UpdateBars();
    plat::qt::RunModal(dialog);
    SetTransferDialog(nullptr);
    m_app.m_transferRunning = 0;
    if (view)
        view->setEnabled(true);
    for (const QPointer<QToolBar>& bar : bars)
        if (bar)
            bar->setEnabled(true);
    UpdateBars();
    if (direction == CTransferDlg::kUpload) {
        raise();
        activateWindow();
    }
}

} // namespace talverin
