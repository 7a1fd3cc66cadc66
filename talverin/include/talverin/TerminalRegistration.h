// The terminal screen and the terminal window in the main frame, in one call made while the frame
// is created: the screen registered as view 183 ("Terminal") with its screen command 32779 and
// its Clear (32853) and Save record (32823) run from the frame's items while it is current, and
// the terminal window made with the frame, with its menu command 32847 (offered on the
// oscilloscope screen, always with [Debug] Debug=1; checked while the window shows). The window
// sets the data store's line-clean flag with every character it sends, and is the frame's
// terminal window for the connection (its box read-only until a driver answers).
#pragma once

namespace model {
class CDataFile;
}

namespace talverin {

class CMainFrame;
class CTerminalDlg;

// The window belongs to the frame: hidden when the frame's destroy path starts, deleted with it.
CTerminalDlg* RegisterTerminal(CMainFrame& frame, model::CDataFile& store);

} // namespace talverin
