// What a control hands its host with a CtrlHelp event (F1 pressed in it): a HELPINFO record. The parameter screen and the pin rows read the same record.
//
// A control fires CtrlHelp(UNKNOWN help info, PTR BOOL handled): args[0].toUnknown() is a
// ctl::HelpInfo*, valid during the event; the host stores a nonzero BOOL through args[1] when it
// showed help.
#pragma once

#include <cstdint>

namespace ctl {

inline constexpr int HELPINFO_WINDOW = 1;

struct HelpInfo {
    std::uint32_t cbSize = sizeof(HelpInfo);
    int iContextType = HELPINFO_WINDOW;
    // The id of the window that had the focus: for the parameter editor 1000 the tree, 1001 the
    // list, 1002 the value editor or the help pane, 101 the help pane's close button; 0 the
    // control's own window.
    int iCtrlId = 0;
    std::intptr_t hItemHandle = 0; // that window's platform handle, 0 when it has none
    std::uintptr_t dwContextId = 0;
    int mouseX = 0; // cursor position, screen coordinates
    int mouseY = 0;
};

} // namespace ctl
