// zrreport: shows one report file and previews it, or with /p prints it.
//     zrreport [/p] <report file> /MOD<owner process id>
// Exit status 1 when it cannot start (a viewer for the same owner already runs, or the file is
// missing); 0 otherwise.
#include "CReportApp.h"

#include <platform/qt/dialog_services.h>

#include <QApplication>

#include <clocale>

int main(int argc, char** argv)
{
    // Taken before Qt removes the options it knows, so that no report path is mistaken for one.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Talverin Report"));
    plat::qt::InstallDialogServices();

    zrreport::CReportApp report;
    if (!report.InitInstance(arguments)) return zrreport::CReportApp::kFailureExit;
    return report.Run();
}
