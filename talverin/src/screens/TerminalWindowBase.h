// The terminal window beside the screens (dialog 204) as the frame and the driver connection use
// it: a modeless window with a window handle, whose terminal box is writable only while a driver
// is connected. The terminal screen's CTerminalDlg is the one; the frame makes it through
// ScreenRegistry::SetTerminalWindow.
#pragma once

#include <platform/types.h>

#include <QDialog>

namespace talverin {

class TerminalWindowBase : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinimumTrackSize = 160;

    using QDialog::QDialog;

    virtual plat::HWND GetSafeHwnd() const = 0;
    virtual void FocusTerminal() = 0;
    virtual void SetTerminalReadOnly(bool readOnly) = 0;
};

} // namespace talverin
