// Window timers for widgets: SetTimer/KillTimer (platform/timers.h) by the widget whose
// WindowBridge owns the handle. WM_TIMER (wParam = timer id) reaches the bridge's handler (or its
// MessageEvent) on the widget's thread, in the platform queue's order, so PeekMessage, the range
// pumps and PumpAllPending deliver it too. Destroying the bridge kills its timers.
//
//     m_bridge = std::make_unique<plat::qt::WindowBridge>(this, [this](HWND, UINT m, WPARAM w, LPARAM) {
//         if (m == WM_TIMER && w == 1000) { KillTimer(this, 1000); showPopup(); }
//         return LRESULT{0}; });
//     SetTimer(this, 1000, 200);
#pragma once

#include "platform/timers.h"

class QObject;

namespace plat::qt {

using plat::KillTimer;
using plat::SetTimer;

// By the first bridge made for window (HandleFromObject): 0 / FALSE when it has none.
UINT_PTR SetTimer(const QObject* window, UINT_PTR id, UINT elapseMs);
BOOL KillTimer(const QObject* window, UINT_PTR id);

} // namespace plat::qt
