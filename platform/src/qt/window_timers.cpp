#include "platform/qt/window_timers.h"

#include "platform/qt/window_bridge.h"

namespace plat::qt {

UINT_PTR SetTimer(const QObject* window, UINT_PTR id, UINT elapseMs)
{
    const HWND hwnd = HandleFromObject(window);
    return hwnd ? plat::SetTimer(hwnd, id, elapseMs) : 0;
}

BOOL KillTimer(const QObject* window, UINT_PTR id)
{
    const HWND hwnd = HandleFromObject(window);
    return hwnd ? plat::KillTimer(hwnd, id) : FALSE;
}

} // namespace plat::qt
