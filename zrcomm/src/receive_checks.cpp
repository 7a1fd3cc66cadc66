// The receive thread's time-out checks, run under the lock on every pass while a driver is known and
// no direct exchange is open: the head record's own expiry, the repeated report of a timed-out
// record, and the two watchdogs that decide that the connection is lost.
#include "comm_port.h"

#include "comm_log.h"
#include "comm_strings.h"

namespace zrcomm {

using namespace plat;

namespace {

bool ExpiryApplies(CommandState s)
{
    switch (s) {
    case CMD_SENDING:
    case CMD_WAIT_ECHO:
    case CMD_WAIT_REPLY:
    case CMD_RECEIVING:
    case CMD_QUESTION:
    case CMD_SENDING_ANSWER:
    case CMD_ANSWER_SENT:
    case CMD_INVALID_DATA:
    case CMD_ABORTING: return true;
    default: return false;
    }
}

} // namespace

void CCommPort::CompleteInPass(CCommCommand* record)
{
    if (!record)
        return;
    // A record reports its end once per pass; a timed-out one left at the head is reported again on
    // later passes. Only a repeat is dropped: a record resumed meanwhile has its pass mark cleared,
    // so its new end is reported even when it comes in the same pass.
    if (record->completedPass == m_receivePass)
        return;
    record->completedPass = m_receivePass;
    CompleteCommand(record);
}

void CCommPort::LoseLine()
{
    m_device.purge(PURGE_ALL);
    m_receive.Clear();
    m_invalidData = false;
}

void CCommPort::CheckTimeouts()
{
    const bool wasConnected = m_connectionState == CONN_CONNECTED;
    const std::uint32_t now = Now();

    if (CCommCommand* head = Head(); head && ExpiryApplies(head->state)) {
        // Unsigned differences: a wrapped tick count still gives the right age.
        const bool expired =
            head->ownTimeout ? now - head->sentTick > head->ownTimeout : now - head->lastReceiveTick > m_replyTimeout;
        if (!expired) {
            if (head->state == CMD_ABORTING && m_lineState != CMD_SENDING) {
                // Keep asking for a fresh prompt until it comes.
                static const std::uint8_t kCancelAndPrompt[] = {0x08, 0x0D};
                m_directBytes.Assign(kCancelAndPrompt, sizeof kCancelAndPrompt);
                m_wakeEvent.set();
            }
        } else {
            switch (head->state) {
            case CMD_SENDING: head->state = CMD_SEND_FAILED; break;
            case CMD_WAIT_ECHO:
                head->state = CMD_NO_ECHO;
                if (m_lineState == CMD_WAIT_ECHO)
                    m_lineState = CMD_SEND_FAILED;
                break;
            case CMD_WAIT_REPLY:
            case CMD_RECEIVING:
                // The driver answers a rate change at its new rate: the reply cannot be read here.
                head->state = head->IsStep() && head->id == STEP_BAUD_SET ? CMD_COMPLETED : CMD_REPLY_TIMEOUT;
                break;
            case CMD_SENDING_ANSWER: head->state = CMD_ANSWER_FAILED; break;
            case CMD_ABORTING: head->state = CMD_ABORTED; break;
            default: head->state = CMD_REPLY_TIMEOUT; break; // question, answer sent, invalid data
            }
            if (head->state == CMD_REPLY_TIMEOUT)
                LogInfo(IDS_NO_REPLY);
            CompleteInPass(head);
        }
    }

    if (CCommCommand* head = Head(); head && head->state == CMD_REPLY_TIMEOUT)
        CompleteInPass(head);

    if (m_connectionState != CONN_NONE && m_lineState == CMD_WAIT_ECHO && now - m_lineSentTick > m_echoWatchdog) {
        m_connectionState = CONN_NONE;
        LogInfo(IDS_FAIL_NO_ECHO);
        if (CCommCommand* head = Head()) {
            if (head->state == CMD_WAIT_ECHO || head->state == CMD_ANSWER_SENT || head->state == CMD_ABORTING) {
                head->state = head->state == CMD_ABORTING ? CMD_ABORTED : CMD_NO_ECHO;
                CompleteInPass(head);
            }
        }
    } else if (CCommCommand* head = Head(); m_connectionState != CONN_NONE && head &&
                                            (head->state == CMD_WAIT_REPLY || head->state == CMD_RECEIVING) &&
                                            now - m_lastReplyTick > m_replyWatchdog) {
        m_connectionState = CONN_NONE;
        LogInfo(IDS_FAIL_RECEIVE_TIMEOUT);
        head->state = CMD_REPLY_TIMEOUT;
        CompleteInPass(head);
    }

    if (wasConnected && m_connectionState == CONN_NONE) {
        NotifyMonitor(COMM_MONITOR_CONNECTION_LOST, 0);
        LoseLine();
        m_device.clearErrors();
    }
}

} // namespace zrcomm
