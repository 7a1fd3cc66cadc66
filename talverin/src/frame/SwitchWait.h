// The wait of a screen switch for the driver's queued commands: the window keeps repainting, and
// once the wait has lasted kDialogAfterMs the please-wait dialog says why, with a Cancel that
// gives the switch up. Lives for one switch; hides its dialog when it goes.
#pragma once

#include <platform/sync.h>
#include <platform/types.h>

namespace talverin {

class SwitchWait {
public:
    static constexpr plat::DWORD kDialogAfterMs = 500;

    // frame: the main window, whose WM_WAIT_DIALOG shows and hides the dialog.
    explicit SwitchWait(plat::HWND frame);
    ~SwitchWait();
    SwitchWait(const SwitchWait&) = delete;
    SwitchWait& operator=(const SwitchWait&) = delete;

    // One step of the wait: false once the user cancelled.
    bool keepWaiting();
    bool cancelled() const { return m_cancel.isSet(); }

private:
    plat::HWND m_frame;
    plat::DWORD m_start;
    bool m_shown = false;
    plat::Event m_cancel{true, false};
};

} // namespace talverin
