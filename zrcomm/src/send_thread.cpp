// The send thread of an open port: on each wake it takes what is due on the line (control bytes
// ahead of everything, else the head record's next line, else the probe that looks for a driver),
// writes it with the port's lock given up and moves the record on. It waits for work on the wake
// event and ends on the stop event.
#include "comm_port.h"

#include "comm_log.h"
#include "comm_strings.h"
#include "write_limits.h"

#include <algorithm>

namespace zrcomm {

using namespace plat;

namespace {

// "WWC", CR, then backspace and CR so that a driver in the middle of something gives a fresh prompt.
constexpr std::uint8_t kProbe[] = {'W', 'W', 'C', 0x0D, 0x08, 0x0D};
constexpr std::uint8_t kCr = 0x0D;

} // namespace

struct CCommPort::Outgoing {
    CByteBuffer bytes;
    CCommCommand* record = nullptr; // the head record whose line this is
    bool directBytes = false;
    bool probe = false;
};

bool CCommPort::ChooseOutgoing(Outgoing& out)
{
    if (m_connectionState != CONN_NONE && m_directBytes.IsEmpty()) {
        CCommCommand* head = Head();
        if (!head)
            return false;
        if (head->state == CMD_QUESTION) {
            head->state = CMD_SENDING_ANSWER;
        } else if (head->state == CMD_WAITING) {
            bool pick;
            if (head->IsStep())
                pick = true;
            else if (m_directExchange)
                pick = head->IsText();
            else
                pick = m_commandMode != 1 || head->IsText();
            if (!pick)
                return false;
            head->state = CMD_SENDING;
            head->sendOffset = 0;
            head->completedPass = 0;
        } else {
            return false;
        }

        if (head->IsStep() && head->state == CMD_SENDING)
            OnInternalCommand(head, false);
        if (head->IsText() && !m_directExchange) {
            if (!m_directTextWnd)
                m_directText.Clear();
            m_directTextWnd = head->window;
        }
        const std::uint32_t len = head->text.GetLength();
        const std::uint32_t from = std::min(head->sendOffset, len);
        std::uint32_t to = len;
        if (!head->IsText()) {
            const std::int32_t cr = head->text.Find(from, &kCr, 1);
            if (cr >= 0)
                to = static_cast<std::uint32_t>(cr) + 1;
        }
        if (from >= len)
            out.bytes.Assign(kCr); // no line left: a lone carriage return answers
        else
            out.bytes.Assign(head->text.GetData() + from, to - from);
        head->sendOffset = std::max(to, from);
        if (head->IsCommand() && head->state == CMD_SENDING)
            Notify(false, head->window, COMM_EVENT_SENDING, static_cast<LPARAM>(head->id));
        head->sentTick = head->lastReceiveTick = Now();
        m_directExchange = head->IsText();
        out.record = head;
        return true;
    }
    if (m_connectionState != CONN_NONE) {
        out.bytes = m_directBytes;
        m_directBytes.Clear();
        out.directBytes = true;
        LogTrace(IDS_SEND_DIRECT);
        return true;
    }
    if (m_probing && m_lineState != CMD_SENDING && ProbeDue()) {
        out.bytes.Assign(kProbe, sizeof kProbe);
        out.probe = true;
        LogTrace(IDS_CHECKING);
        return true;
    }
    return false;
}

void CCommPort::WriteOutgoing(Outgoing& out)
{
    const std::uint32_t n = out.bytes.GetLength();
    m_lastWritten = out.bytes;
    m_receive.SetEchoFrom(0); // a new echo to look for, in all the bytes
    m_lineState = CMD_SENDING;

    // One deadline for the whole write: the time the bytes need at the configured rate per byte, plus
    // the configured margin once a driver answers (a probe gets no margin).
    const std::uint32_t perByte = m_configuredTimeouts.WriteTotalTimeoutMultiplier;
    const std::uint32_t margin = m_connectionState == CONN_NONE ? 0 : m_configuredTimeouts.WriteTotalTimeoutConstant;
    m_timeouts = m_configuredTimeouts;
    m_timeouts.WriteTotalTimeoutMultiplier = perByte;
    m_timeouts.WriteTotalTimeoutConstant = margin;
    if (m_directExchange) {
        m_timeouts.ReadIntervalTimeout = MAXDWORD;
        m_timeouts.ReadTotalTimeoutMultiplier = 0;
        m_timeouts.ReadTotalTimeoutConstant = 0;
    }
    const std::uint64_t deadline = WriteDeadlineMs(perByte, n, margin);
    const bool ctsCheck = m_ctsCheck;
    const bool topLevel = out.record && out.record->topLevel;

    // The line may hold a write up to its deadline (a driver that stops reading: hours for a long
    // text), so the lock is given up meanwhile: no call waits behind the write, and a close ends it
    // at once through the stop event. The receive thread reads on but leaves framing and time-outs
    // until the write has ended; the record may be removed meanwhile and is looked up again after.
    bool ctsOn = true;
    SerialWriteResult w;
    m_writing = true;
    {
        ScopedReleaseAll unlocked(m_mutex);
        if (ctsCheck) {
            const std::uint32_t pause = CtsPollMs(perByte, n, m_t.ctsMinSleepMs);
            for (std::uint32_t i = 0; i < m_t.ctsTries && !(m_device.modemStatus() & MS_CTS_ON); ++i) {
                if (m_stopEvent.isSet())
                    break;
                Sleep(pause);
            }
            ctsOn = (m_device.modemStatus() & MS_CTS_ON) != 0;
        }
        if (ctsOn && !m_stopEvent.isSet()) {
            if (topLevel)
                Sleep(m_t.topLevelWriteDelayMs);
            w = m_device.write(out.bytes.GetData(), n,
                               static_cast<DWORD>(std::min<std::uint64_t>(deadline, 0xFFFFFFF0u)), m_stopEvent.fd());
        }
    }
    m_writing = false;
    // The port is being closed: nothing more to do with this write.
    if (m_stopEvent.isSet())
        return;
    const bool recordGone = out.record && Find(out.record) == m_queue.end();
    if (recordGone)
        out.record = nullptr;
    // Bytes that came during the write are framed now, not at the next byte from the line.
    if (!m_receive.IsEmpty())
        m_device.injectEvents(EV_RXCHAR);
    if (!ctsOn) {
        WriteFailed(out);
        return;
    }
    const std::uint32_t now = Now();
    if (!m_writeNoticed || now - m_writeNoticeTick >= m_t.activityNoticeMs) {
        m_writeNoticed = true;
        m_writeNoticeTick = now;
        NotifyMonitor(COMM_MONITOR_WRITE_ACTIVITY, 0);
    }
    if (w.status == SerialWriteResult::Cancelled || w.sysError == EBADF)
        return;
    if (w.status != SerialWriteResult::Ok || w.written != n) {
        if (w.written > 0)
            LogSend(out.bytes.GetData(), static_cast<std::uint32_t>(w.written));
        WriteFailed(out);
        if (w.status == SerialWriteResult::Failed && IsDeviceGoneError(w.sysError))
            LoseDevice();
        return;
    }

    LogSend(out.bytes.GetData(), n);
    // A line whose record was removed meanwhile has nobody waiting for its echo.
    m_lineState = out.directBytes || recordGone || (m_connectionState == CONN_CONNECTED && m_directExchange)
                      ? CMD_COMPLETED
                      : CMD_WAIT_ECHO;
    m_lineSentTick = Now();
    m_writeFailures = 0;
    CCommCommand* rec = out.record;
    if (!rec) {
        // After control bytes more work may wait. After a probe nothing does until the driver answers
        // or the next probe is due: waking here would only repeat the probe at once.
        if (out.directBytes)
            WakeSender();
        return;
    }
    if (rec->state == CMD_SENDING_ANSWER) {
        rec->state = CMD_ANSWER_SENT;
        return;
    }
    if (rec->state != CMD_SENDING)
        return;
    if (!rec->IsText()) {
        rec->state = m_lineState;
        if (rec->IsCommand())
            Notify(false, rec->window, COMM_EVENT_WRITTEN, static_cast<LPARAM>(rec->id));
        return; // the receive thread takes it on from its echo
    }
    // Direct text is done once written. It leaves the queue before its window hears of it, so a
    // handler that changes the queue cannot delete it under our feet.
    rec->state = CMD_COMPLETED;
    Record owned = Detach(rec);
    Notify(true, rec->window, COMM_EVENT_WRITTEN, 0);
    owned.reset();
    CCommCommand* next = Head();
    if (next && next->IsText() && next->state == CMD_WAITING)
        WakeSender();
}

void CCommPort::WriteFailed(Outgoing& out)
{
    m_device.purge(PURGE_ALL);
    const DWORD errors = m_device.clearErrors();
    if (errors & (CE_TXFULL | CE_IOE))
        ++m_writeFailures;
    m_lineState = CMD_SEND_FAILED;
    if (CCommCommand* rec = out.record) {
        if (rec->state == CMD_SENDING || rec->state == CMD_SENDING_ANSWER) {
            rec->state = rec->state == CMD_SENDING ? CMD_SEND_FAILED : CMD_ANSWER_FAILED;
            CompleteCommand(rec); // may delete it
        }
    }
    out.record = nullptr;
    if (m_connectionState == CONN_NONE)
        return;
    if (m_writeFailures < m_writeFailureLimit) {
        WakeSender();
        return;
    }
    m_connectionState = CONN_NONE;
    LogInfo(IDS_FAIL_SEND_TIMEOUT);
    NotifyMonitor(COMM_MONITOR_CONNECTION_LOST, 0);
    LoseLine();
}

void CCommPort::SendThreadMain()
{
    if (m_stopEvent.isSet())
        return;
    for (;;) {
        PassPause();
        if (WaitForMultiple({&m_stopEvent, &m_wakeEvent}, INFINITE) != WAIT_OBJECT_0 + 1)
            break;
        PortLock lock(*this);
        if (m_stopEvent.isSet())
            break;
        Outgoing out;
        const bool any = ChooseOutgoing(out);
        m_wakeEvent.reset();
        m_wakeTaken.set();
        if (any && !out.bytes.IsEmpty())
            WriteOutgoing(out);
    }
}

} // namespace zrcomm
