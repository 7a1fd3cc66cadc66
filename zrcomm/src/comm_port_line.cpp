// When the line itself fails: a device that hangs up or goes away ends the connection at once and
// every record with it; a driver whose identification cannot be read is asked again once per probe
// interval and given up after the reply time-out. Both leave a reason the caller can ask for.
#include "comm_port.h"

#include "comm_log.h"
#include "comm_strings.h"

#include <algorithm>
#include <cstdio>

namespace zrcomm {

using namespace plat;

namespace {

// The failure a record takes when the line under it goes: where it stood decides which.
CommandState StateForLostLine(CommandState s)
{
    switch (s) {
    case CMD_WAITING:
    case CMD_SENDING: return CMD_SEND_FAILED;
    case CMD_WAIT_ECHO:
    case CMD_ANSWER_SENT: return CMD_NO_ECHO;
    case CMD_WAIT_REPLY:
    case CMD_RECEIVING:
    case CMD_QUESTION: return CMD_REPLY_TIMEOUT;
    case CMD_SENDING_ANSWER: return CMD_ANSWER_FAILED;
    case CMD_ABORTING: return CMD_ABORTED;
    default: return s; // ended already
    }
}

// Received bytes for a message: printable ones as they are, the others as \xNN, at most 64.
std::string ShowReceived(const CByteBuffer& bytes)
{
    constexpr std::uint32_t kShown = 64;
    std::string out;
    const std::uint32_t n = std::min(bytes.GetLength(), kShown);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint8_t b = bytes.ByteAt(i);
        if (b >= 0x20 && b <= 0x7E) {
            out += static_cast<char>(b);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            out += hex;
        }
    }
    if (bytes.GetLength() > kShown)
        out += "...";
    return out;
}

} // namespace

void CCommPort::LoseDevice()
{
    PortLock lock(*this);
    if (m_deviceGone)
        return;
    m_deviceGone = true;
    m_probing = false;
    m_connectionState = CONN_NONE;
    m_directExchange = false;
    m_lineState = CMD_COMPLETED; // nothing outstanding on a line that is gone
    m_lineError = COMM_ERR_LINE_GONE;
    m_lineErrorText =
        std::string(CommString(IDS_FAIL_LINE_GONE, CCommLog::Get().Language())) + ": " + m_device.devicePath();
    LogInfo(IDS_FAIL_LINE_GONE);
    NotifyMonitor(COMM_MONITOR_CONNECTION_LOST, static_cast<LPARAM>(COMM_ERR_LINE_GONE));
    LoseLine();
    // Every record not ended yet ends now, so that no window waits for a line that will not come
    // back. Ending one may run a text handler with the lock given up: the queue is looked at again.
    std::vector<CCommCommand*> open;
    for (auto& r : m_queue)
        if (StateForLostLine(r->state) != r->state)
            open.push_back(r.get());
    for (CCommCommand* r : open) {
        if (Find(r) == m_queue.end() || StateForLostLine(r->state) == r->state)
            continue;
        r->state = StateForLostLine(r->state);
        CompleteCommand(r);
    }
    m_promptEvent.set(); // a wait for the prompt ends too
}

bool CCommPort::DeviceGone()
{
    PortLock lock(*this);
    return m_deviceGone;
}

CommResult CCommPort::LineError(std::string* text)
{
    PortLock lock(*this);
    if (text)
        *text = m_lineErrorText;
    return m_lineError;
}

void CCommPort::IdentifyUnreadable()
{
    const std::uint32_t now = Now();
    if (!m_identifyUnreadable) {
        m_identifyUnreadable = true;
        m_identifyUnreadableTick = now;
    }
    // Asked again at once, a driver that garbles its answer would be asked a thousand times a
    // second: the next probe waits its turn.
    m_probeHeld = true;
    m_probeHeldTick = now;
    GiveUpIdentifying();
}

void CCommPort::GiveUpIdentifying()
{
    if (!m_identifyUnreadable || !m_probing || Now() - m_identifyUnreadableTick < m_replyTimeout)
        return;
    m_probing = false;
    m_lineError = COMM_ERR_IDENTIFY_FAILED;
    m_lineErrorText = ShowReceived(m_identifyReceived);
    LogInfo(IDS_IDENTIFY_UNREADABLE);
    NotifyMonitor(COMM_MONITOR_NOT_CONNECTED, static_cast<LPARAM>(COMM_ERR_IDENTIFY_FAILED));
}

bool CCommPort::ProbeDue()
{
    return !m_probeHeld || Now() - m_probeHeldTick >= m_t.receiveWaitMs;
}

} // namespace zrcomm
