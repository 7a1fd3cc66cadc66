// Framing of what the driver sent, byte by byte over the receive buffer, under the port's lock: the
// answer to the probe, the echo of the last line (with its optional "@x" marker), the reply lines,
// paging, questions and the prompt; then the delivery of direct text to its window.
#include "comm_port.h"

#include "comm_log.h"
#include "comm_strings.h"
#include "reply_scanner.h"

#include <algorithm>

namespace zrcomm {

using namespace plat;

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kBackspace = 0x08;
constexpr std::uint8_t kBlank = 0x20;

} // namespace

void CCommPort::Frame()
{
    m_decisionPending = false; // the reply scan sets it again while a decision waits
    if (m_connectionState == CONN_NONE) {
        if ((m_lineState != CMD_WAIT_ECHO && m_lineState != CMD_COMPLETED) || m_receive.IsEmpty())
            return;
        // A prompt is a driver's answer, unless its identification was just unreadable (the next
        // try waits for the probe interval) or was given up.
        if (IsPrompt(m_receive, m_receive.GetLength() - 1) && !m_invalidData && ProbeDue() && m_lineError == COMM_OK) {
            // A driver answered: identify it before anything else runs.
            LogInfo(IDS_CHECKING_ANSWERED);
            m_directExchange = false;
            m_writeFailures = 0;
            m_connectionState = CONN_CHECKING;
            m_identification.clear();
            QueueCommand(MakeStep(STEP_IDENTIFY, 0, 0));
            m_wakeEvent.set();
        }
        m_lineState = CMD_COMPLETED;
        m_receive.Clear();
        m_invalidData = false;
        return;
    }
    CCommCommand* head = Head();
    if (m_connectionState == CONN_CHECKING || (!m_directExchange && IsEngaged(head))) {
        FrameRecord();
        return;
    }
    if (m_receive.IsEmpty())
        return;
    m_directText.Append(m_receive);
    m_receive.Clear();
    m_invalidData = false;
    if (!m_directText.IsEmpty() && IsPrompt(m_directText, m_directText.GetLength() - 1)) {
        m_directExchange = false;
        m_promptEvent.set();
        WakeSender();
    }
}

bool CCommPort::SearchEcho(CCommCommand* head, std::uint32_t& consumed)
{
    const std::uint32_t len = m_receive.GetLength();
    const std::uint8_t* data = m_receive.GetData();
    const std::uint32_t written = m_lastWritten.GetLength();
    // The echo is the line without its final carriage return. A lone carriage return (the answer to
    // a question with no line left) echoes as the empty text: its own CR is the echo's end.
    std::uint32_t echoLen = written > 1 ? written - 1 : written;
    if (written == 1 && m_lastWritten.ByteAt(0) == kCr)
        echoLen = 0;
    const std::uint8_t* echo = m_lastWritten.GetData();

    std::int32_t found = -1;
    std::uint32_t matchEnd = 0;
    for (std::uint32_t from = std::min(m_receive.EchoFrom(), len); data && from < len;) {
        std::int32_t at;
        if (echoLen == 0) {
            at = m_receive.Find(from, &kCr, 1);
        } else {
            at = m_receive.Find(from, echo, echoLen);
        }
        if (at < 0)
            break;
        std::uint32_t end = static_cast<std::uint32_t>(at) + echoLen;
        if (end < len && data[end] == '@')
            end += 2; // the marker and its byte
        if (end < len && data[end] == kCr) {
            found = at;
            matchEnd = end;
            break;
        }
        if (echoLen == 0)
            break; // a CR always counts
        from = echoLen == 1 ? static_cast<std::uint32_t>(at) + 1 : static_cast<std::uint32_t>(at) + echoLen;
    }

    if (found < 0) {
        // A match that could still count starts no earlier than its own length, the marker and the
        // carriage return before the end: the bytes before were looked at for good.
        const std::uint32_t tail = echoLen + 3;
        m_receive.SetEchoFrom(len > tail ? len - tail : 0);
        if (m_invalidData && !m_baudChangeRunning) {
            m_lineState = CMD_COMPLETED;
            if (head && head->IsEngaged() && head->state != CMD_ABORTED) {
                head->state = CMD_INVALID_DATA;
                CompleteInPass(head);
            } else {
                // Nothing to end: drop what cannot be read and let the driver start afresh.
                m_receive.Clear();
                m_invalidData = false;
            }
        }
        return false;
    }
    if (found > 0 && m_connectionState == CONN_CONNECTED)
        m_directText.Append(data, static_cast<std::uint32_t>(found));
    consumed = matchEnd + 1;
    if (consumed < len && data[consumed] == kLf)
        ++consumed;
    m_lineState = CMD_COMPLETED;
    if (head) {
        bool changed = false;
        if (head->state == CMD_WAIT_ECHO) {
            head->state = CMD_WAIT_REPLY;
            changed = true;
        } else if (head->state == CMD_ANSWER_SENT) {
            head->state = CMD_RECEIVING;
            head->reply.Append(kCr);
            changed = true;
        }
        if (changed)
            m_lastReplyTick = Now();
    }
    if (m_invalidData)
        m_invalidData = !IsValidData(data + consumed, len - consumed);
    return true;
}

void CCommPort::FrameRecord()
{
    CCommCommand* head = Head();
    std::uint32_t consumed = 0;
    if (m_lineState == CMD_WAIT_ECHO && !m_receive.IsEmpty()) {
        if (!SearchEcho(head, consumed))
            return;
        head = Head(); // an invalid-data end may have removed a step
    }
    // The byte consumed last, also by the echo search: a '>' is the rest of a prompt only right
    // after the prompt's own byte.
    if (consumed > 0)
        m_lastConsumed = m_receive.ByteAt(consumed - 1);
    if (!head || consumed >= m_receive.GetLength()) {
        m_receive.Mid(consumed);
        return;
    }
    if (head->state == CMD_WAIT_REPLY) {
        head->state = CMD_RECEIVING;
        if (head->IsCommand())
            Notify(false, head->window, COMM_EVENT_REPLY_BEGINS, static_cast<LPARAM>(head->id));
    }
    if (head->state != CMD_RECEIVING && head->state != CMD_ABORTING) {
        m_receive.Mid(consumed);
        return;
    }
    ScanReply(head, consumed);
}

void CCommPort::ScanReply(CCommCommand* head, std::uint32_t consumed)
{
    if (m_baudChangeRunning && head->IsStep() && head->id == STEP_BAUD_SET && m_invalidData) {
        // The driver already answers at its new rate; what arrives garbled is not a fault of the
        // step, which its own time-out completes.
        CByteBuffer kept(m_receive.GetData(), consumed);
        for (std::uint32_t i = consumed; i < m_receive.GetLength(); ++i)
            if (IsValidByte(m_receive.ByteAt(i)))
                kept.Append(m_receive.ByteAt(i));
        m_receive = std::move(kept);
        m_invalidData = false;
        if (consumed >= m_receive.GetLength()) {
            m_receive.Mid(consumed);
            return;
        }
    }

    const std::uint32_t n = m_receive.GetLength();
    const bool aborting = head->state == CMD_ABORTING;
    ReplyScanInput in;
    in.data = m_receive.GetData();
    in.length = n;
    in.from = consumed;
    // The unfinished line at the front was looked at up to the mark in an earlier pass: nothing
    // there made the scan act, and it would not now.
    in.resumeAt = consumed == 0 && m_receive.Scanned() <= n ? m_receive.Scanned() : consumed;
    in.lastConsumed = m_lastConsumed;
    in.aborting = aborting;
    in.invalidData = m_invalidData;
    const std::int32_t cr = head->text.Find(0, &kCr, 1);
    in.firstLine = head->text.GetData();
    in.firstLineLength = cr < 0 ? head->text.GetLength() : static_cast<std::uint32_t>(cr);
    in.now = Now();
    in.lastArrival = m_lastArrivalTick;
    in.silenceMs = m_t.decisionSilenceMs;
    // Bytes that came after the silence began, and wait in the line's queue, break it.
    in.moreWaiting = in.now - in.lastArrival >= in.silenceMs && m_device.inputQueueCount() > 0;

    const CommandState before = head->state;
    const ReplyScanResult r = ScanReplyBytes(in, head->reply);
    switch (r.end) {
    case ReplyScanResult::End::Prompt: head->state = aborting ? CMD_ABORTED : CMD_COMPLETED; break;
    case ReplyScanResult::End::Paging:
        // More follows: a blank asks for it, a backspace stops it.
        m_directBytes.Assign(aborting ? kBackspace : kBlank);
        m_wakeEvent.set();
        break;
    case ReplyScanResult::End::Question:
        if (aborting)
            m_directBytes.Assign(kBackspace);
        else
            head->state = CMD_QUESTION;
        m_wakeEvent.set();
        break;
    case ReplyScanResult::End::Invalid: head->state = CMD_INVALID_DATA; break;
    case ReplyScanResult::End::Open: break;
    }
    m_decisionPending = r.undecided;
    m_decideAt = r.decideAt;

    if (r.consumed > 0)
        m_lastConsumed = m_receive.ByteAt(r.consumed - 1);
    m_receive.Mid(r.consumed);
    // Where the scan stopped inside the line it left: the next pass goes on from there.
    m_receive.SetScanned(r.stoppedAt - r.consumed);
    // Without the flag every byte held is valid already; with it, only what is left counts.
    if (m_invalidData)
        m_invalidData = !IsValidData(m_receive.GetData(), m_receive.GetLength());
    m_lastReplyTick = Now();
    const CommandState after = head->state;
    if (after != before && (after == CMD_INVALID_DATA || after == CMD_COMPLETED || after == CMD_ABORTED))
        CompleteInPass(head);
}

void CCommPort::DeliverDirectText()
{
    // Sent with the lock released: the handler may read the text or send more. Everything is read
    // again afterwards, since the handler may have changed it.
    for (int guard = 0; guard < 64 && !m_directText.IsEmpty(); ++guard) {
        const std::uint32_t before = m_directText.GetLength();
        Notify(true, nullptr, COMM_EVENT_TEXT_RECEIVED, 0);
        if (m_directText.IsEmpty() || m_directText.GetLength() == before)
            break;
    }
    if (!m_directExchange && m_commandMode != 1) {
        m_directTextWnd = nullptr;
        m_directText.Clear();
    }
}

} // namespace zrcomm
