#include "frame/FrameCommandRules.h"

#include "common/CommandIds.h"

#include <algorithm>

namespace talverin {

namespace {

bool isScreenCommand(plat::UINT id)
{
    return id >= ID_VIEW_OSCILLO && id <= ID_VIEW_TERMINAL;
}

} // namespace

bool HasFrameCommandRule(plat::UINT id)
{
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_START_OLD_VERSION:
    case ID_VIEW_CONNECTION_BAR:
    case ID_VIEW_COMMAND_BAR:
    case ID_TERMINAL_WINDOW:
        return true;
    default:
        return isScreenCommand(id);
    }
}

FrameCommandState FrameCommandRule(plat::UINT id, const FrameSnapshot& s)
{
    FrameCommandState out;
    const bool connected = s.phase != Phase::Idle;
    switch (id) {
    case ID_FILE_NEW:
        out.enabled = !s.startScreenOpen && !connected;
        break;
    case ID_FILE_OPEN:
        out.enabled = !s.startScreenOpen && s.currentView != VIEW_TERMINAL && !connected;
        break;
    case ID_FILE_SAVE:
        out.enabled = !s.startScreenOpen && !IsHoldingStep(s.phase);
        break;
    case ID_FILE_SAVE_AS:
        break;
    case ID_START_OLD_VERSION:
        out.enabled = s.oldVersionFound;
        break;
    case ID_VIEW_CONNECTION_BAR:
        out.check = s.connectionBarVisible ? 1 : 0;
        break;
    case ID_VIEW_COMMAND_BAR:
        out.check = s.commandBarVisible ? 1 : 0;
        break;
    case ID_TERMINAL_WINDOW:
        out.enabled = s.terminalWindowExists && (s.currentView == VIEW_OSCILLO || s.debugFlag);
        out.check = s.terminalWindowVisible ? 1 : 0;
        break;
    default:
        if (!isScreenCommand(id))
            return out;
        // The bullet follows the screen shown, not the command: a vetoed or held switch leaves
        // the old one marked.
        out.radio = true;
        out.check = id == s.currentScreenCommand ? 1 : 0;
        out.enabled = std::find(s.screenCommands.begin(), s.screenCommands.end(), id) != s.screenCommands.end() &&
                      !s.transferVisible && !s.switching && !IsHoldingStep(s.phase) &&
                      (!s.oscilloExists || IsCaptureQuiet(s.captureState));
        break;
    }
    return out;
}

} // namespace talverin
