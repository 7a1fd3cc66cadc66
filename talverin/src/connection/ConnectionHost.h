// What the driver connection asks of the window it runs in (the main frame, which implements it):
// its handle (where the queue's notices and the connection's posted commands go, and the owner of
// its boxes), the screens, the connection bar and the command bar, the port Connect opens, and the
// upload/download dialog while it runs.
#pragma once

#include <platform/types.h>

class QWidget;

namespace talverin {

class CViewBase;
class PortRecord;

// The connection bar's display states.
namespace BarState {
inline constexpr int Disconnected = -1;
inline constexpr int Connecting = 0;
inline constexpr int Connected = 1;
} // namespace BarState

class ConnectionHost {
public:
    virtual plat::HWND GetSafeHwnd() const = 0;
    // The frame ran its destroy path.
    virtual bool IsDestroyed() const = 0;

    // ---- Screens ----------------------------------------------------------------------------
    virtual int GetCurrentViewId() const = 0;
    // The screen when it was made already, else null.
    virtual CViewBase* GetView(int viewId) const = 0;
    virtual bool SwitchView(int viewId) = 0;
    // The line mode of a screen, as registered (2 oscilloscope, 1 terminal, 0 the others).
    virtual int GetCommandModeForView(int viewId) const = 0;

    // ---- Bars and ports -----------------------------------------------------------------------
    // The port item checked in the port menu (0: none) and the record of its port (null: none).
    virtual plat::UINT CheckedPortId() const = 0;
    virtual PortRecord* CheckedPortRecord() = 0;
    // The connection bar: the line's monitor window, its display state (BarState) and a repaint.
    virtual plat::HWND MonitorWindow() const = 0;
    virtual void SetBarState(int state) = 0;
    virtual void RepaintBar() = 0;
    // The command bar's handle (null when there is none), and its buttons back to idle.
    virtual plat::HWND CommandBarHandle() const = 0;
    virtual void ClearCommandBar() = 0;
    // The upload/download dialog while it runs, else null.
    virtual QWidget* TransferDialog() const = 0;

protected:
    ~ConnectionHost() = default;
};

} // namespace talverin
