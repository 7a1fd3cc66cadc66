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
inline constexpr UINT ID_FILE_MRU_FILE1 = 57616; // .. ID_FILE_MRU_FILE1 + kRecentFileCount - 1
inline constexpr UINT ID_APP_EXIT = 57665;

// Help menu.
inline constexpr UINT ID_APP_ABOUT = 57664;
inline constexpr UINT ID_HELP_INDEX = 57666;  // "Topic"
inline constexpr UINT ID_HELP_FINDER = 57667; // "Search"

// View menu.
inline constexpr UINT ID_DEBUG_WINDOW = 32885;

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
