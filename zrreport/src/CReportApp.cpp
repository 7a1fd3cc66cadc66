#include "CReportApp.h"

#include "CMainFrame.h"
#include "CZRREPORTView.h"
#include "ReportCommands.h"
#include "ReportLanguage.h"
#include "TerminationSignal.h"

#include <platform/errors.h>
#include <platform/language.h>
#include <platform/paths.h>
#include <platform/qt/dialog_services.h>

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace zrreport {

namespace {

void Complain(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "zrreport: %s: %s\n", what, detail.c_str());
}

} // namespace

CReportApp::CReportApp() = default;

CReportApp::~CReportApp()
{
    plat::qt::SetOwnerResolver({});
    m_frame.reset();
}

bool CReportApp::InitInstance(const std::vector<std::string>& arguments)
{
    // First, so that a starter's request to end is never lost: it is served once the loop runs.
    m_termination = std::make_unique<TerminationSignal>([] { QCoreApplication::exit(0); });
    m_language = ReadReportLanguage(plat::GetProgramFolder());
    plat::SetLanguage(m_language == plat::LANG_JAPANESE ? plat::LANG_JAPANESE : plat::LANG_ENGLISH_US);
    loadTranslations();

    m_commandLine.Parse(arguments);

    const std::string lockName = m_commandLine.LockName();
    switch (m_lock.tryAcquire(lockName)) {
    case plat::ProcessLock::Result::Acquired: break;
    case plat::ProcessLock::Result::AlreadyHeld: Complain("a viewer already runs for", lockName); return false;
    case plat::ProcessLock::Result::Failed:
        Complain("cannot take the lock", lockName + " (" + plat::ErrorText(plat::GetLastError()) + ")");
        return false;
    }

    const std::string& file = m_commandLine.m_strFileName;
    if (file.empty() || !plat::FileExists(file)) {
        Complain("no report file", file.empty() ? std::string("(none given)") : file);
        return false;
    }
    m_document.SetPathName(QString::fromStdString(file));

    m_frame = std::make_unique<CMainFrame>(m_language, m_printer);
    plat::qt::SetOwnerResolver([this](plat::HWND) -> QWidget* {
        if (QWidget* modal = QApplication::activeModalWidget()) return modal;
        return m_frame.get();
    });
    m_frame->view()->onPrintEnded = [this](ReportPrinter::Outcome outcome) { onPrintEnded(outcome); };

    m_frame->OpenDocument(m_document);
    if (m_commandLine.m_nShellCommand == CReportCommandLineInfo::FileOpen) {
        m_frame->show();
        m_frame->SendCommand(ID_FILE_PRINT_PREVIEW);
    } else {
        // Printing from the command line: the window stays hidden.
        m_frame->SendCommand(ID_FILE_PRINT_DIRECT);
    }
    return true;
}

int CReportApp::Run()
{
    const int code = QApplication::exec();
    return code != 0 ? code : m_exitCode;
}

void CReportApp::onPrintEnded(ReportPrinter::Outcome outcome)
{
    if (m_commandLine.m_nShellCommand != CReportCommandLineInfo::FilePrint) return;
    // A hidden viewer has nothing left to do once its job is sent or cancelled; lingering would
    // keep its lock after its owner is gone.
    m_exitCode = outcome == ReportPrinter::Outcome::Failed ? kFailureExit : 0;
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
}

void CReportApp::loadTranslations()
{
    if (m_language == plat::LANG_JAPANESE && !m_texts)
        m_texts = std::make_unique<plat::qt::JapaneseTexts>(QStringLiteral("zrreport"),
                                                            QStringList{QString::fromStdString(plat::GetProgramFolder())});
}

} // namespace zrreport
