// The framework's command ids the viewer's menus, tool bar and starter use.
#pragma once

#include <platform/types.h>

namespace zrreport {

inline constexpr plat::UINT ID_FILE_OPEN = 57601;
inline constexpr plat::UINT ID_FILE_PRINT_SETUP = 57606;
inline constexpr plat::UINT ID_FILE_PRINT = 57607;
inline constexpr plat::UINT ID_FILE_PRINT_DIRECT = 57608;
inline constexpr plat::UINT ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr plat::UINT ID_APP_ABOUT = 57664;
inline constexpr plat::UINT ID_APP_EXIT = 57665;
inline constexpr plat::UINT ID_VIEW_TOOLBAR = 59392;
inline constexpr plat::UINT ID_VIEW_STATUS_BAR = 59393;

} // namespace zrreport
