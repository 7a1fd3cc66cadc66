// The main frame's print commands: the current screen's report handed to the report viewer.
#include "frame/CMainFrame.h"

#include "connection/DriverConnection.h"
#include "frame/FrameProgram.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/ConnectionRules.h"
#include "report/ReportPrinting.h"
#include "screens/CViewBase.h"

namespace talverin {

void CMainFrame::addPrintCommands()
{
    const auto rule = [this](plat::qt::CommandUpdate& u) { u.Enable(CanPrint()); };
    // While connected the driver's data is read into the document first.
    m_commands.add(ID_FILE_PRINT, [this] { if (!m_connection->HoldCommandWhileConnected(ID_FILE_PRINT)) OnFilePrint(); }, rule);
    m_commands.add(ID_FILE_PRINT_PREVIEW,
                   [this] { if (!m_connection->HoldCommandWhileConnected(ID_FILE_PRINT_PREVIEW)) OnFilePrintPreview(); }, rule);
}

bool CMainFrame::CanPrint() const
{
    // Not while the terminal screen is entered or left, or a switch reads all data.
    return ReportPrinting::HasReport(m_currentView)
           && !(m_connection->m_connectionPhase >= Phase::EnteringTerminal && m_connection->m_connectionPhase <= Phase::SwitchReadAll);
}

void CMainFrame::OnFilePrintPreview()
{
    printReport(false);
}

void CMainFrame::OnFilePrint()
{
    printReport(true);
}

void CMainFrame::printReport(bool print)
{
    // The command table drops a disabled command; a direct call is held to the same rule.
    if (m_destroyed || !CanPrint())
        return;
    // The channel program and I/O screens store their pending edits first; a refusal does not
    // stop the report, which then shows the stored state.
    onCollectViewData();
    // The channel report shows the channel the editor shows.
    int channel = m_app.m_dataFile.m_editChannel;
    if (const CViewBase* editor = GetView(VIEW_CHANNEL); editor && editor->CurrentChannel() >= 0)
        channel = editor->CurrentChannel();
    m_reports->PrintReport(m_currentView, print, channel, m_app.m_programFolder, GetSafeHwnd());
}

void CMainFrame::CloseReportViewer()
{
    m_reports->CloseReportViewer();
}

} // namespace talverin
