// Command ids (WM_COMMAND, the frame's command table) and view ids of the main program. Later
// menus add their ids here, next to the ones they sit with.
#pragma once

#include <platform/types.h>

namespace talverin {

using plat::UINT;

// File menu.
inline constexpr UINT ID_FILE_NEW = 57600;
inline constexpr UINT ID_FILE_OPEN = 57601;
inline constexpr UINT ID_FILE_SAVE = 57603;
inline constexpr UINT ID_FILE_SAVE_AS = 57604;
inline constexpr UINT ID_FILE_PRINT = 57607;
inline constexpr UINT ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr UINT ID_UPLOAD = 32829;   // "Upload (Driver -> PC)"
inline constexpr UINT ID_DOWNLOAD = 32828; // "DownLoad (PC -> Driver)"
inline constexpr UINT ID_FILE_MRU_FILE1 = 57616; // .. ID_FILE_MRU_FILE1 + kRecentFileCount - 1
inline constexpr UINT ID_APP_EXIT = 57665;

// Help menu.
inline constexpr UINT ID_APP_ABOUT = 57664;
inline constexpr UINT ID_HELP_INDEX = 57666;  // "Topic"
inline constexpr UINT ID_HELP_FINDER = 57667; // "Search"

// View menu.
inline constexpr UINT ID_COMMAND_WINDOW = 32773;
inline constexpr UINT ID_DEBUG_WINDOW = 32885;

// Screen commands (Ctrl+1 .. Ctrl+5).
inline constexpr UINT ID_VIEW_OSCILLO = 32775;
inline constexpr UINT ID_VIEW_IO = 32776;
inline constexpr UINT ID_VIEW_PARAM = 32777;
inline constexpr UINT ID_VIEW_CHANNEL = 32778;
inline constexpr UINT ID_VIEW_TERMINAL = 32779;

// Setting menu; the port items 15000-15255 are in PortList.h.
inline constexpr UINT ID_CONNECT = 32845;
inline constexpr UINT ID_DISCONNECT = 32826;
inline constexpr UINT ID_LOCK_ENABLE = 32850;
inline constexpr UINT ID_LOCK_DISABLE = 32851;

// Bar buttons: the connection bar's Connect and Disconnect, the command bar's five buttons.
inline constexpr UINT IDC_BAR_CONNECT = 1031;
inline constexpr UINT IDC_BAR_DISCONNECT = 1032;
inline constexpr UINT IDC_COMMAND_FIRST = 1075;
inline constexpr UINT IDC_COMMAND_LAST = 1079;

// The recent-file list keeps this many documents.
inline constexpr int kRecentFileCount = 4;

// Screens (also the values of WM_GET_CURRENT_VIEW and of the view-id message parameters).
inline constexpr int VIEW_OSCILLO = 130;
inline constexpr int VIEW_PARAM = 131;
inline constexpr int VIEW_IO = 132;
inline constexpr int VIEW_CHANNEL = 174;
inline constexpr int VIEW_TERMINAL = 183;
inline constexpr int VIEW_BLANK = 203;

} // namespace talverin
