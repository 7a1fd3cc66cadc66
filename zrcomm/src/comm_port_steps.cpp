// How records end: CompleteCommand reports an ended record to its window, OnInternalCommand moves
// the library's own steps (identification, baud-rate change) on.
#include "comm_port.h"

#include "comm_log.h"
#include "comm_strings.h"
#include "reply_codes.h"

#include <platform/errors.h>

#include <cstdio>

namespace zrcomm {

using namespace plat;

CCommPort::Record CCommPort::MakeStep(std::uint32_t code, std::uint32_t rate, std::uint32_t ownTimeout)
{
    char text[32] = "";
    switch (code) {
    case STEP_IDENTIFY: std::snprintf(text, sizeof text, "MI\r"); break;
    case STEP_BAUD_TEST:
        std::snprintf(text, sizeof text, "BDT%lu.0\r", static_cast<unsigned long>(kBaudTestValue));
        break;
    case STEP_BAUD_UNLOCK: std::snprintf(text, sizeof text, "/TRX ON\r"); break;
    case STEP_BAUD_SET: {
        const char digit = rate == 19200 ? '1' : rate == 38400 ? '2' : rate == 57600 ? '3' : '0';
        std::snprintf(text, sizeof text, "BDR%c\r", digit);
        break;
    }
    case STEP_BAUD_VERIFY: std::snprintf(text, sizeof text, "BDV\r"); break;
    case STEP_MODE_SYNC: std::snprintf(text, sizeof text, "WWC\r"); break;
    default: return nullptr;
    }
    Record r = NewCommand(CCommCommand::KIND_STEP, text, nullptr, static_cast<std::intptr_t>(rate));
    r->id = code;
    r->ownTimeout = ownTimeout;
    return r;
}

void CCommPort::CompleteCommand(CCommCommand* record)
{
    if (!record)
        return;
    PortLock lock(*this);
    WPARAM event = 0;
    switch (record->state) {
    case CMD_SEND_FAILED: event = COMM_EVENT_WRITE_FAILED; break;
    case CMD_NO_ECHO: event = COMM_EVENT_NO_ECHO; break;
    case CMD_ANSWER_FAILED:
    case CMD_REPLY_TIMEOUT: event = COMM_EVENT_TIMEOUT; break;
    case CMD_INVALID_DATA: {
        event = COMM_EVENT_INVALID_DATA;
        if (record->IsStep() && record->id == STEP_IDENTIFY) {
            // What the driver answered, for the message should the identification be given up.
            m_identifyReceived = record->reply;
            m_identifyReceived.Append(m_receive);
        }
        m_receive.Clear();
        m_invalidData = false;
        m_device.purge(PURGE_RXABORT | PURGE_RXCLEAR);
        m_directBytes.Assign(std::uint8_t{0x08});
        m_wakeEvent.set();
        break;
    }
    case CMD_COMPLETED:
        event = COMM_EVENT_COMPLETED;
        record->result = ReplyResult(record->text, record->reply);
        break;
    case CMD_ABORTED: event = COMM_EVENT_ABORTED; break;
    default: break;
    }

    const bool command = record->IsCommand();
    if (command) {
        // A command stays queued in its final state until its window removes or resumes it.
        Notify(false, record->window, event, static_cast<LPARAM>(record->id));
    } else {
        // Steps and direct text leave the queue now. Taken out before anyone hears of it, so that a
        // window that removes records from its handler cannot delete it under our feet.
        Record owned = Detach(record);
        if (record->IsStep())
            OnInternalCommand(record, true);
        else
            Notify(true, record->window, event, 0);
    }

    m_promptEvent.set();
    ResetConfiguredTimeouts();
    // An ended command holds the line until its window removes or resumes it, which wakes the
    // sender then; woken now for nothing, the sender would spend its pass pause just when the next
    // command comes.
    if (!command || !m_directBytes.IsEmpty())
        WakeSender();
}

void CCommPort::ChangeFails(DWORD status)
{
    m_baudChangeRunning = false;
    NotifyMonitor(COMM_MONITOR_BAUD_FAILED, static_cast<LPARAM>(status));
    LogInfo(IDS_BAUD_FAILED);
}

void CCommPort::OnInternalCommand(CCommCommand* record, bool finished)
{
    if (!record || !record->IsStep())
        return;
    PortLock lock(*this);
    const auto rate = static_cast<std::uint32_t>(record->param);
    if (!finished) {
        if (record->id == STEP_BAUD_TEST) {
            NotifyMonitor(COMM_MONITOR_BAUD_STARTED, 0);
            LogInfo(IDS_BAUD_START);
        }
        return;
    }
    const DWORD status = record->state == CMD_COMPLETED ? record->result : record->state;
    const bool ok = status == 0;
    switch (record->id) {
    case STEP_IDENTIFY:
        if (record->state == CMD_COMPLETED) {
            m_identification = record->result == COMM_OK ? record->reply.ToString() : std::string();
            m_connectionState = CONN_CONNECTED;
            m_probing = false;
            m_identifyUnreadable = m_probeHeld = false;
            NotifyMonitor(COMM_MONITOR_CONNECTED, 0);
            LogInfo(IDS_START_CONNECTION);
        } else {
            m_connectionState = CONN_NONE; // probing goes on
            LogInfo(IDS_STOP_CONNECTION);
            if (record->state == CMD_INVALID_DATA)
                IdentifyUnreadable();
        }
        break;
    case STEP_BAUD_TEST:
        if (!ok) {
            ChangeFails(status);
            break;
        }
        QueueCommand(MakeStep(STEP_BAUD_UNLOCK, rate, record->ownTimeout));
        Sleep(m_t.stepChainSleepMs);
        WakeSender();
        break;
    case STEP_BAUD_UNLOCK:
        if (!ok) {
            ChangeFails(status);
            break;
        }
        QueueCommand(MakeStep(STEP_BAUD_SET, rate, m_t.baudSetTimeoutMs));
        Sleep(m_t.stepChainSleepMs);
        WakeSender();
        break;
    case STEP_BAUD_SET: {
        if (!ok) {
            ChangeFails(status);
            break;
        }
        // The driver answers at its new rate; the stored settings keep the old rate until verified.
        DCB next = m_dcb;
        next.BaudRate = rate;
        if (const int err = m_device.setState(next)) {
            ChangeFails(ErrorFromErrno(err));
            break;
        }
        QueueCommand(MakeStep(STEP_BAUD_VERIFY, rate, m_t.baudVerifyTimeoutMs));
        WakeSender();
        break;
    }
    case STEP_BAUD_VERIFY:
        if (ok) {
            m_device.getState(m_dcb);
            m_baudChangeRunning = false;
            NotifyMonitor(COMM_MONITOR_BAUD_DONE, 0);
            LogInfo(IDS_BAUD_SET);
        } else if (record->state == CMD_ABORTED || ++m_verifyTries >= m_verifyTryLimit) {
            m_device.setState(m_dcb); // back to the old rate before anyone hears of the failure
            ChangeFails(status);
        } else {
            m_device.purge(PURGE_ALL);
            QueueCommand(MakeStep(STEP_BAUD_VERIFY, rate, record->ownTimeout));
            WakeSender();
        }
        break;
    case STEP_MODE_SYNC:
    default: break;
    }
}

} // namespace zrcomm
