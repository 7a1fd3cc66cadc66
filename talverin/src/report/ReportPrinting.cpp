#include "report/ReportPrinting.h"

#include "common/AppMessageBox.h"

#include <model/DataFile.h>
#include <model/ReportFill.h>
#include <model/SharedData.h>

#include <platform/clock.h>
#include <platform/paths.h>
#include <platform/process.h>
#include <platform/process_lock.h>
#include <platform/text.h>

#include <QProcess>

#include <cstdio>

namespace talverin {

namespace {

constexpr char kViewerProgram[] = "zrreport";

void Warn(plat::HWND owner, const QString& text)
{
    AppMessageBox(owner, text, ReportPrinting::tr("Print error"), plat::MB_OK | plat::MB_ICONWARNING);
}

bool Running(const QProcess* process) { return process && process->state() != QProcess::NotRunning; }

} // namespace

ReportPrinting::ReportPrinting(model::CDataFile& store) : m_store(store) {}

ReportPrinting::~ReportPrinting() { CloseReportViewer(); }

bool ReportPrinting::HasReport(int viewId)
{
    return viewId == kReportViewParameter || viewId == kReportViewIO || viewId == kReportViewChannel;
}

std::string ReportPrinting::ViewerLockName()
{
    std::string name;
    model::FormatPrintMutexName(name);
    return name + "_" + std::to_string(plat::GetCurrentProcessId());
}

std::string ReportPrinting::TemplateForView(int viewId) const
{
    switch (viewId) {
    case kReportViewIO: return m_store.m_reportIO;
    case kReportViewParameter: return m_store.m_reportParameter;
    case kReportViewChannel: return m_store.m_reportChannel;
    default: return {};
    }
}

bool ReportPrinting::PrintReport(int viewId, bool print, int channel, const std::string& programFolder,
                                 plat::HWND owner)
{
    if (!HasReport(viewId)) return false;
    CloseReportViewer();

    const std::string templatePath = TemplateForView(viewId);
    const std::string reportPath = plat::JoinPath(programFolder, "report" + std::to_string(viewId) + ".html");
    switch (FillReport(templatePath, reportPath, viewId, channel)) {
    case Fill::Written: break;
    case Fill::TemplateUnreadable:
        Warn(owner,
             WithLastReason(tr("The report template %1 cannot be read.").arg(QString::fromStdString(templatePath))));
        return false;
    case Fill::OutputUnwritable:
        Warn(owner,
             WithLastReason(tr("The report file %1 cannot be written.").arg(QString::fromStdString(reportPath))));
        return false;
    }

    // The path is one argument: blanks need no quotes and no short form.
    QStringList arguments;
    if (print) arguments << QStringLiteral("/p");
    arguments << QString::fromStdString(reportPath)
              << QStringLiteral("/MOD%1").arg(plat::GetCurrentProcessId());
    m_lastReportFile = reportPath;

    // Built, the viewer is in the program folder; installed, the programs are in a folder of their
    // own, beside this one.
    std::string viewerPath = plat::JoinPath(programFolder, kViewerProgram);
    if (!plat::FileExists(viewerPath) && programFolder == plat::GetProgramFolder())
        viewerPath = plat::JoinPath(plat::FolderOf(plat::GetModuleFileName()), kViewerProgram);
    const QString viewer = QString::fromStdString(viewerPath);
    m_viewerWindow = StartProgramAndFindWindow(viewer, arguments, m_viewerProcess);
    if (!m_viewerProcess) {
        Warn(owner, tr("The report viewer %1 cannot be started.").arg(viewer));
        return false;
    }
    return true;
}

void ReportPrinting::CloseReportViewer()
{
    // A viewer of this process runs while its lock is held; one this object started may also
    // still be starting (not holding it yet) or hang: it is ended all the same.
    if (plat::ProcessLock::isHeld(ViewerLockName()) || Running(m_viewerProcess.get())) {
        if (Running(m_viewerProcess.get())) {
            m_viewerProcess->terminate();
            if (!m_viewerProcess->waitForFinished(kCloseWaitMs)) {
                m_viewerProcess->kill();
                m_viewerProcess->waitForFinished(kCloseWaitMs);
            }
        }
    }
    m_viewerProcess.reset();
    m_viewerWindow = 0;
    if (!m_lastReportFile.empty()) {
        std::remove(m_lastReportFile.c_str());
        m_lastReportFile.clear();
    }
}

int ReportPrinting::FillReportTemplate(const std::string& templatePath, const std::string& outputPath, int viewId,
                                       int channel)
{
    return FillReport(templatePath, outputPath, viewId, channel) == Fill::Written ? 0 : -1;
}

ReportPrinting::Fill ReportPrinting::FillReport(const std::string& templatePath, const std::string& outputPath,
                                                int viewId, int channel)
{
    std::string text;
    // No template configured reads as a missing file: the box then says so.
    if (!plat::ReadFileBytes(templatePath, text)) return Fill::TemplateUnreadable;
    text = FillReportText(std::move(text), viewId, channel);
    return plat::WriteFileAtomic(outputPath, text) ? Fill::Written : Fill::OutputUnwritable;
}

std::string ReportPrinting::FillReportText(std::string templateText, int viewId, int channel)
{
    if (viewId != kReportViewChannel)
        return m_store.FillParameterReport(templateText);
    // The text grows as the fill needs: nothing is cut, and no fill runs twice.
    model::ReportText report{std::move(templateText), model::ReportText::kUnlimited};
    model::FillReportDate(report);
    m_store.WriteChannelReport(report, channel);
    return std::move(report.text);
}

qint64 ReportPrinting::StartProgramAndFindWindow(const QString& program, const QStringList& arguments,
                                                 std::unique_ptr<QProcess>& process)
{
    process = std::make_unique<QProcess>();
    // The viewer's output goes where ours goes: a pipe nobody reads could block it.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(program, arguments);
    if (!process->waitForStarted(kStartWaitMs)) {
        process.reset();
        return 0;
    }
    // The viewer is "idle" once it holds its lock; one that ends before has no window.
    const std::string lock = ViewerLockName();
    const std::uint64_t start = plat::GetTickCount64();
    while (plat::GetTickCount64() - start < static_cast<std::uint64_t>(kStartWaitMs)) {
        if (plat::ProcessLock::isHeld(lock)) return process->processId();
        if (process->waitForFinished(10)) return 0;
    }
    return 0;
}

} // namespace talverin
