#include "screens/oscillo/CaptureTimers.h"

#include <platform/timers.h>

namespace talverin {

void WindowCaptureTimers::set(unsigned id, unsigned ms)
{
    plat::SetTimer(m_window, id, ms);
}

void WindowCaptureTimers::kill(unsigned id)
{
    plat::KillTimer(m_window, id);
}

} // namespace talverin
