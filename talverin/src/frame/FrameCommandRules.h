// The update rules of the main frame's commands as one function of a snapshot of the frame's
// state: enabled, and the check or radio mark where the command has one. (Print and Print Preview,
// Upload and DownLoad, and the Command Window item keep the rules their own code gives them.) The frame's command
// table asks it before a menu shows, after each command and on an idle timer; a posted command
// that it disables is dropped.
#pragma once

#include "connection/ConnectionRules.h"
#include "screens/CapturePhase.h"

#include <platform/types.h>

#include <vector>

namespace talverin {

// Extra ids of the frame's menus (the others are in CommandIds.h).
inline constexpr plat::UINT ID_EDIT_UNDO = 57643;
inline constexpr plat::UINT ID_EDIT_CUT = 57635;
inline constexpr plat::UINT ID_EDIT_COPY = 57634;
inline constexpr plat::UINT ID_EDIT_PASTE = 57637;
inline constexpr plat::UINT ID_START_OLD_VERSION = 32848;
inline constexpr plat::UINT ID_VIEW_CONNECTION_BAR = 32854;
inline constexpr plat::UINT ID_VIEW_COMMAND_BAR = 32901;
inline constexpr plat::UINT ID_TERMINAL_WINDOW = 32847;

struct FrameSnapshot {
    bool startScreenOpen = false;
    Phase phase = Phase::Idle;
    int currentView = 0;
    bool transferOpen = false;    // the upload/download dialog runs
    bool transferVisible = false; // ... and is visible
    bool switching = false;   // a switch runs or the switch guard is held
    bool oscilloExists = false;
    CapturePhase captureState = CapturePhase::Initial; // the oscilloscope's, when it exists
    bool debugFlag = false;   // [Debug] Debug=1
    bool oldVersionFound = false;
    bool terminalWindowExists = false;
    bool terminalWindowVisible = false;
    bool connectionBarVisible = false;
    bool commandBarVisible = false;
    std::vector<plat::UINT> screenCommands; // the commands of the registered screens
    plat::UINT currentScreenCommand = 0;    // the current screen's command (0: none)
};

struct FrameCommandState {
    bool enabled = true;
    int check = -1;     // -1: no mark, 0 / 1: unchecked / checked
    bool radio = false; // the mark is a radio bullet
};

// True for the ids FrameCommandRule answers.
bool HasFrameCommandRule(plat::UINT id);
FrameCommandState FrameCommandRule(plat::UINT id, const FrameSnapshot& state);

} // namespace talverin
