// The receive thread of an open port: waits for line events or the stop event, runs the time-out
// checks and the probe timer, reads exactly what is queued into the receive buffer, frames it, and
// hands driver output that belongs to no command to the direct-text window.
#include "comm_port.h"

#include "comm_log.h"

#include <algorithm>
#include <vector>

namespace zrcomm {

using namespace plat;

void CCommPort::ReadQueued(DWORD mask, std::size_t queued) {
    if (mask & ~EV_RXCHAR) {
        m_modemStatus = m_device.modemStatus();
        NotifyMonitor(COMM_MONITOR_LINE_EVENT, static_cast<LPARAM>(mask));
    }
    if (!(mask & EV_RXCHAR) || queued == 0) return;
    std::vector<std::uint8_t> chunk(queued);
    int error = 0;
    const long n = m_device.read(chunk.data(), chunk.size(), &error);
    const std::uint32_t now = Now();
    if (!m_readNoticed || now - m_readNoticeTick >= m_t.activityNoticeMs) {
        m_readNoticed = true;
        m_readNoticeTick = now;
        NotifyMonitor(COMM_MONITOR_READ_ACTIVITY, 0);
    }
    if (n < 0) {
        m_device.clearErrors();
        if (IsDeviceGoneError(error)) LoseDevice();
        return;
    }
    if (n == 0) return;
    const auto count = static_cast<std::uint32_t>(n);
    LogReceive(chunk.data(), count);
    if (!IsValidData(chunk.data(), count)) m_invalidData = true;
    m_receive.Append(chunk.data(), count);
    if (CCommCommand* head = Head()) head->lastReceiveTick = now;
}

void CCommPort::ReceiveThreadMain() {
    if (m_stopEvent.isSet()) return;
    {
        PortLock lock(*this);
        m_lastConsumed = 0;
    }
    m_wakeEvent.set(); // the first probe goes out at once
    for (;;) {
        {
            PortLock lock(*this);
            ++m_receivePass;
            if (m_receivePass == 0) m_receivePass = 1; // 0 marks "never reported"
            // With RTS handshake the line itself drives RTS. Fails quietly without modem lines.
            if (m_dcb.rtsControl() != RTS_CONTROL_HANDSHAKE) m_device.escape(SETRTS);
        }
        const SerialWaitResult wait = m_device.waitEvent(m_stopEvent.fd(), m_t.receiveWaitMs);
        if (wait.status == SerialWaitResult::Cancelled || m_stopEvent.isSet()) break;
        if (wait.status == SerialWaitResult::HungUp) LoseDevice(); // once; later waits just pass
        const bool timedOut = wait.status != SerialWaitResult::Events;
        {
            PortLock lock(*this);
            if (m_connectionState == CONN_NONE) {
                if (timedOut) GiveUpIdentifying();
                if (timedOut && m_probing) {
                    const std::uint32_t now = Now();
                    if (now - m_probeTick >= m_probeNoticeInterval) {
                        m_probeTick = now;
                        NotifyMonitor(COMM_MONITOR_NOT_CONNECTED, 0);
                    }
                    if (m_lineState != CMD_SENDING) m_wakeEvent.set(); // the next probe
                }
            } else if (!m_directExchange && !m_writing) {
                CheckTimeouts();
            }
        }
        if (timedOut) {
            // A wait that failed at once (the device went away) must not turn into a spin.
            if (wait.status == SerialWaitResult::Failed) Sleep(m_t.passSleepMs);
            continue;
        }

        DWORD mask = wait.mask;
        std::size_t queued = m_device.inputQueueCount();
        if (queued == 0) mask &= ~EV_RXCHAR;
        if (queued == 1) {
            // A lone byte is often the first of a burst: give the rest a moment to come.
            Sleep(m_t.singleByteWaitMs);
            queued = m_device.inputQueueCount();
        }
        {
            PortLock lock(*this);
            if (m_stopEvent.isSet()) break;
            if (mask) ReadQueued(mask, queued);
            // While a write is under way its line is not complete: the bytes read wait for its end,
            // when the send thread has this pass run again.
            if (!m_writing) {
                Frame();
                DeliverDirectText();
            }
        }
        if (mask == 0) Sleep(m_t.passSleepMs); // readable without bytes: never spin on it

        // Let the send thread take the work this pass gave it before more is read.
        while (m_wakeEvent.isSet() && !m_stopEvent.isSet())
            WaitForMultiple({&m_stopEvent, &m_wakeTaken}, m_t.receiveWaitMs);
    }
}

} // namespace zrcomm
