// The receive thread of an open port: waits for line events or the stop event, reports line and
// modem events to the monitor window and reads what arrived into the receive buffer. Framing the
// driver's echo, replies and prompts, and the time-out checks, are the line protocol's part and plug
// in after the read.
#include "comm_port.h"

#include "comm_log.h"

#include <algorithm>

namespace zrcomm {

using namespace plat;

void CCommPort::ReceiveThreadMain() {
    if (m_stopEvent.isSet()) return;
    m_wakeEvent.set(); // the first probe goes out at once
    for (;;) {
        Sleep(m_t.passSleepMs);
        {
            PortLock lock(*this);
            m_device.escape(SETRTS);
        }
        const SerialWaitResult wait = m_device.waitEvent(m_stopEvent.fd(), m_t.receiveWaitMs);
        if (wait.status == SerialWaitResult::Cancelled || m_stopEvent.isSet()) break;
        if (wait.status != SerialWaitResult::Events) {
            Sleep(m_t.passSleepMs);
            continue;
        }
        PortLock lock(*this);
        if (wait.mask & ~EV_RXCHAR) {
            m_modemStatus = m_device.modemStatus();
            NotifyMonitor(COMM_MONITOR_LINE_EVENT, static_cast<LPARAM>(wait.mask));
        }
        if (wait.mask & EV_RXCHAR) {
            std::size_t queued = 0;
            m_device.clearErrors(&queued);
            if (queued > 0) {
                std::uint8_t chunk[4096];
                const long n = m_device.read(chunk, std::min(queued, sizeof chunk));
                if (n > 0) {
                    LogReceive(chunk, static_cast<std::uint32_t>(n));
                    if (!IsValidData(chunk, static_cast<std::uint32_t>(n))) m_invalidData = true;
                    m_receive.Append(chunk, static_cast<std::uint32_t>(n));
                    if (CCommCommand* head = Head()) head->lastReceiveTick = Now();
                }
            }
        }
    }
}

} // namespace zrcomm
