// talverin: the main program. The application object is made right after the QApplication, so
// that everything it owns is gone before Qt is; the controls' modules are shut down last.
#include "app/CTalverinApp.h"

#include <component/loader.h>
#include <platform/qt/dialog_services.h>

#include <QApplication>

#include <clocale>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Numbers in files and driver commands never follow the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("talverin"));
    plat::qt::InstallDialogServices();

    int exitCode = 1;
    {
        std::vector<std::string> arguments;
        for (int i = 1; i < argc; ++i)
            arguments.emplace_back(argv[i]);
        talverin::CTalverinApp app(std::move(arguments));
        const bool started = app.InitInstance();
        exitCode = app.ExitInstance(started ? app.Run() : 1);
    }
    comp::Loader::instance().shutdown();
    return exitCode;
}
