// The receive thread of an open port: waits for line events or the stop event, runs the time-out
// checks and the probe timer, reads exactly what is queued into the receive buffer, frames it, and
// hands driver output that belongs to no command to the direct-text window.
#include "comm_port.h"

#include "comm_log.h"

#include <algorithm>
#include <vector>

namespace zrcomm {

using namespace plat;

void CCommPort::ReadQueued(DWORD mask, std::size_t queued)
{
    if (mask & ~EV_RXCHAR) {
        m_modemStatus = m_device.modemStatus();
        NotifyMonitor(COMM_MONITOR_LINE_EVENT, static_cast<LPARAM>(mask));
    }
    if (!(mask & EV_RXCHAR) || queued == 0)
        return;
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
        if (IsDeviceGoneError(error))
            LoseDevice();
        return;
    }
    if (n == 0)
        return;
    const auto count = static_cast<std::uint32_t>(n);
    m_lastArrivalTick = now;
    LogReceive(chunk.data(), count);
    if (!IsValidData(chunk.data(), count))
        m_invalidData = true;
    m_receive.Append(chunk.data(), count);
    if (CCommCommand* head = Head())
        head->lastReceiveTick = now;
}

std::uint32_t CCommPort::ReceiveWaitMs()
{
    if (!m_decisionPending)
        return m_t.receiveWaitMs;
    const auto left = static_cast<std::int32_t>(m_decideAt - Now());
    return static_cast<std::uint32_t>(std::clamp<std::int32_t>(left, 0, static_cast<std::int32_t>(m_t.receiveWaitMs)));
}

void CCommPort::ReachDecisionTime()
{
    std::uint32_t left;
    {
        PortLock lock(*this);
        left = static_cast<std::uint32_t>(std::max<std::int32_t>(static_cast<std::int32_t>(m_decideAt - Now()), 0));
    }
    // The wait ran on real time; at most a tick of rounding is left on a real clock, the whole
    // silence on a clock that moves only when slept on.
    if (left <= m_t.decisionSilenceMs)
        Sleep(left);
}

void CCommPort::ReceiveThreadMain()
{
    if (m_stopEvent.isSet())
        return;
    {
        PortLock lock(*this);
        m_lastConsumed = 0;
    }
    m_wakeEvent.set(); // the first probe goes out at once
    for (;;) {
        PassPause();
        std::uint32_t waitMs;
        bool deciding;
        {
            PortLock lock(*this);
            ++m_receivePass;
            if (m_receivePass == 0)
                m_receivePass = 1; // 0 marks "never reported"
            // With RTS handshake the line itself drives RTS. Fails quietly without modem lines.
            if (m_dcb.rtsControl() != RTS_CONTROL_HANDSHAKE)
                m_device.escape(SETRTS);
            deciding = m_decisionPending;
            waitMs = ReceiveWaitMs();
        }
        const SerialWaitResult wait = m_device.waitEvent(m_stopEvent.fd(), waitMs);
        if (wait.status == SerialWaitResult::Cancelled || m_stopEvent.isSet())
            break;
        if (wait.status == SerialWaitResult::HungUp)
            LoseDevice(); // once; later waits just pass
        const bool timedOut = wait.status != SerialWaitResult::Events;
        // Nothing came in the silence a final '?' or ';' waited for: frame it again now.
        const bool decide = deciding && wait.status == SerialWaitResult::TimedOut;
        if (decide)
            ReachDecisionTime();
        {
            PortLock lock(*this);
            if (m_connectionState == CONN_NONE) {
                if (timedOut)
                    GiveUpIdentifying();
                if (timedOut && m_probing) {
                    const std::uint32_t now = Now();
                    if (now - m_probeTick >= m_probeNoticeInterval) {
                        m_probeTick = now;
                        NotifyMonitor(COMM_MONITOR_NOT_CONNECTED, 0);
                    }
                    if (m_lineState != CMD_SENDING)
                        m_wakeEvent.set(); // the next probe
                }
            } else if (!m_directExchange && !m_writing) {
                CheckTimeouts();
            }
            if (decide && !m_writing) {
                Frame();
                DeliverDirectText();
            }
        }
        if (timedOut)
            continue;

        // Every byte is framed as it comes: what a lone byte means is decided by the framing,
        // which waits for silence only where the meaning depends on it.
        DWORD mask = wait.mask;
        const std::size_t queued = m_device.inputQueueCount();
        if (queued == 0)
            mask &= ~EV_RXCHAR;
        {
            PortLock lock(*this);
            if (m_stopEvent.isSet())
                break;
            if (mask)
                ReadQueued(mask, queued);
            // While a write is under way its line is not complete: the bytes read wait for its end,
            // when the send thread has this pass run again.
            if (!m_writing) {
                Frame();
                DeliverDirectText();
            }
        }

        // Let the send thread take the work this pass gave it before more is read.
        while (m_wakeEvent.isSet() && !m_stopEvent.isSet())
            WaitForMultiple({&m_stopEvent, &m_wakeTaken}, m_t.receiveWaitMs);
    }
}

} // namespace zrcomm
