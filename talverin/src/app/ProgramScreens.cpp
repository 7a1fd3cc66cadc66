#include "app/ProgramScreens.h"

#include "app/CTalverinApp.h"
#include "common/CommandIds.h"
#include "frame/CMainFrame.h"
#include "screens/CViewBase.h"
#include "screens/channel/CViewChannel.h"
#include "screens/io/CViewIO.h"
#include "screens/oscillo/CViewOscillo.h"
#include "screens/param/ParamWindows.h"
#include "screens/terminal/CTerminalDlg.h"
#include "screens/terminal/CViewTerminal.h"

#include <QCoreApplication>

namespace talverin {

void RegisterProgramScreens(CMainFrame& frame, CTalverinApp& app)
{
    model::CDataFile& store = app.m_dataFile;
    auto showHelp = [&frame](const QString& page, const QString& anchor) { frame.ShowHelp(page, anchor); };
    auto terminalHost = [&frame, &store, showHelp] {
        TerminalHost host;
        host.showHelp = showHelp;
        host.setLineClean = [&store](bool clean) { store.m_lineClean = clean ? 1 : 0; };
        host.windowHidden = [&frame] { frame.UpdateBars(); };
        return host;
    };
    ScreenRegistry& screens = frame.Screens();

    // The blank screen: no controls, no command.
    screens.Register({VIEW_BLANK, QString(), 0, 0, [](QWidget* parent) { return new CViewBase(VIEW_BLANK, parent); }});

    RegisterIoScreen(frame);
    // The parameter screen with the command window beside it.
    frame.SetParamWindows(std::make_unique<ParamWindows>(frame, app));

    RegisterChannelScreen(frame, app);

    screens.Register({VIEW_TERMINAL, QCoreApplication::translate("talverin::CMainFrame", "Terminal"), ID_VIEW_TERMINAL, 1,
                      [terminalHost](QWidget* parent) { return new CViewTerminal(terminalHost(), parent); }});

    // The terminal window, made with the frame.
    screens.SetTerminalWindow([terminalHost](QWidget* parent) { return new CTerminalDlg(terminalHost(), parent); });
}

void RegisterOpeningScreen(CMainFrame& frame)
{
    RegisterOscilloScreen(frame);
}

} // namespace talverin
