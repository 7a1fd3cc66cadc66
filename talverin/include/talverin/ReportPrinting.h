// Report printing, the starter's side: the current screen's template filled into a report file
// in the program folder, the report viewer (zrreport) started on it to preview or print it, and
// the viewer this process started closed again, with its report file deleted, before the next
// print and when the frame goes. At most one viewer runs per process: it holds the lock
// "VEKZR_PRINT_<pid>" for its life.
//
// There are no windows across processes here: the viewer's "window" is its process, found once
// it holds its lock; asking it to exit is SIGTERM, destroying it SIGKILL.
#pragma once

#include <platform/types.h>

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class QProcess;

namespace model {
class CDataFile;
}

namespace talverin {

// The screens that print: parameter, I/O and channel program.
inline constexpr int kReportViewParameter = 131;
inline constexpr int kReportViewIO = 132;
inline constexpr int kReportViewChannel = 174;

class ReportPrinting {
    Q_DECLARE_TR_FUNCTIONS(talverin::ReportPrinting)

public:
    enum class Fill { Written, TemplateUnreadable, OutputUnwritable };

    // How long the start waits for the viewer to take its lock.
    static constexpr int kStartWaitMs = 10000;
    // How long the close waits after asking the viewer to exit, and again after killing it.
    static constexpr int kCloseWaitMs = 1100;

    explicit ReportPrinting(model::CDataFile& store);
    ~ReportPrinting(); // CloseReportViewer
    ReportPrinting(const ReportPrinting&) = delete;
    ReportPrinting& operator=(const ReportPrinting&) = delete;

    static bool HasReport(int viewId);

    // Print (true) or preview the view's report: closes the previous viewer, fills the view's
    // template into <program folder>/report<view id>.html and starts <program folder>/zrreport on
    // it. A template that cannot be read, a report file that cannot be written or a viewer that
    // cannot start gets a warning box naming the file (owner: its owner) and starts no viewer;
    // false then, and for a view without a report.
    bool PrintReport(int viewId, bool print, int channel, const std::string& programFolder, plat::HWND owner);

    // Ends the viewer this process started, if it still runs (SIGTERM, then SIGKILL, each waited
    // for at most kCloseWaitMs), and deletes the last report file.
    void CloseReportViewer();

    // 0 written, -1 template not readable or output not writable. The channel program screen's
    // report shows `channel`.
    int FillReportTemplate(const std::string& templatePath, const std::string& outputPath, int viewId, int channel);
    Fill FillReport(const std::string& templatePath, const std::string& outputPath, int viewId, int channel);
    // The fill on a template's text; what FillReport writes. The parameter and I/O reports are
    // filled in one pass over the template.
    std::string FillReportText(std::string templateText, int viewId, int channel);

    // Starts the program (no shell, its output forwarded) and waits until it holds its lock or has
    // ended, at most kStartWaitMs. The process, or null when it could not start; the result is its
    // "window": its process id once it holds the lock, else 0.
    static qint64 StartProgramAndFindWindow(const QString& program, const QStringList& arguments,
                                            std::unique_ptr<QProcess>& process);

    // The lock a viewer of this process holds.
    static std::string ViewerLockName();
    // [PrintFile] Parameter, IO or Channel of the store for the view; empty for other views.
    std::string TemplateForView(int viewId) const;

    QProcess* viewerProcess() const { return m_viewerProcess.get(); }
    qint64 viewerWindow() const { return m_viewerWindow; }
    const std::string& lastReportFile() const { return m_lastReportFile; }

private:
    model::CDataFile& m_store;
    std::unique_ptr<QProcess> m_viewerProcess;
    qint64 m_viewerWindow = 0;
    std::string m_lastReportFile;
};

} // namespace talverin
