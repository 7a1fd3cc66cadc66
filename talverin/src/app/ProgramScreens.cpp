#include "talverin/ProgramScreens.h"

#include "talverin/CMainFrame.h"
#include "talverin/CTalverinApp.h"
#include "talverin/CTerminalDlg.h"
#include "talverin/CViewBase.h"
#include "talverin/CViewChannel.h"
#include "talverin/CViewIO.h"
#include "talverin/CViewTerminal.h"
#include "talverin/CommandIds.h"
#include "talverin/ParamWindows.h"

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

} // namespace talverin
