// The viewer program: its language, its instance lock (held for the life of the process), the
// printer settings and the main window. InitInstance runs the start in order: settings file,
// language, arguments, lock, file; then the preview, or with /p the print, which ends the program
// once the print dialog is answered.
#pragma once

#include "CReportCommandLineInfo.h"
#include "CZRREPORTDoc.h"
#include "ReportPrinter.h"

#include <platform/process_lock.h>
#include <platform/qt/translations.h>
#include <platform/types.h>

#include <QPrinter>

#include <memory>
#include <string>
#include <vector>

namespace zrreport {

class CMainFrame;
class TerminationSignal;

class CReportApp {
public:
    // The exit status of every start that fails (bad arguments, lock held, no file).
    static constexpr int kFailureExit = 1;

    CReportApp();
    ~CReportApp();
    CReportApp(const CReportApp&) = delete;
    CReportApp& operator=(const CReportApp&) = delete;

    // The arguments without the program name; false: the program ends without a window.
    bool InitInstance(const std::vector<std::string>& arguments);
    // The event loop; the program's exit status.
    int Run();

    plat::LANGID m_language = 0;
    plat::ProcessLock m_lock;
    CReportCommandLineInfo m_commandLine;

    CMainFrame* frame() const { return m_frame.get(); }
    QPrinter& printer() { return m_printer; }

private:
    void loadTranslations();
    void onPrintEnded(ReportPrinter::Outcome outcome);

    QPrinter m_printer{QPrinter::HighResolution};
    CZRREPORTDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<TerminationSignal> m_termination;
    std::unique_ptr<plat::qt::JapaneseTexts> m_texts;
    int m_exitCode = 0;
};

} // namespace zrreport
