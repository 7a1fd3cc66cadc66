#include "app/ProgramScreens.h"

#include "common/CommandIds.h"
#include "screens/CViewBase.h"
#include "screens/ScreenHost.h"
#include "screens/ScreenRegistry.h"
#include "screens/channel/CViewChannel.h"
#include "screens/io/CViewIO.h"
#include "screens/oscillo/CViewOscillo.h"
#include "screens/param/ParamWindows.h"
#include "screens/terminal/CTerminalDlg.h"

namespace talverin {

void RegisterProgramScreens(ScreenHost& host)
{
    // The blank screen: no controls, no command.
    host.Screens().Register(
        {VIEW_BLANK, QString(), 0, 0, [](QWidget* parent) { return new CViewBase(VIEW_BLANK, parent); }});

    RegisterIoScreen(host);
    // The parameter screen with the command window beside it.
    RegisterParamScreen(host);
    RegisterChannelScreen(host);
    // The terminal screen and the terminal window.
    RegisterTerminalScreen(host);
}

void RegisterOpeningScreen(ScreenHost& host)
{
    RegisterOscilloScreen(host);
}

} // namespace talverin
