// Aborting and resuming a record, and what the line forgets when its head record goes.
#include "comm_port.h"

namespace zrcomm {

using namespace plat;

void CCommPort::HeadLeavesLine(const CCommCommand* record)
{
    // The echo the line waits for belonged to this record: nobody waits for it any more, so the echo
    // watchdog must not take its absence for a lost line.
    if (record && Head() == record && m_lineState == CMD_WAIT_ECHO)
        m_lineState = CMD_COMPLETED;
}

CommResult CCommPort::AbortRecord(CCommCommand* record)
{
    PortLock lock(*this);
    if (!record || Find(record) == m_queue.end())
        return COMM_ERR_NO_COMMAND;
    switch (record->state) {
    case CMD_WAITING:
    case CMD_SEND_FAILED:
    case CMD_NO_ECHO:
    case CMD_ANSWER_FAILED:
    case CMD_REPLY_TIMEOUT:
    case CMD_INVALID_DATA: // ended, nothing on the line to cancel
    case CMD_COMPLETED:
        HeadLeavesLine(record);
        record->state = CMD_ABORTED;
        Notify(false, record->window, COMM_EVENT_ABORTED, static_cast<LPARAM>(record->id));
        return COMM_OK;
    case CMD_ABORTED: return COMM_OK; // ended already; a second abort would report it twice
    default: break;
    }
    // Under way: the driver is told to stop and the receive thread ends the record when the prompt
    // comes back, or when the prompt wait from now has passed.
    record->state = CMD_ABORTING;
    record->ownTimeout = (Now() - record->sentTick) + m_promptWait;
    m_directBytes.Assign(std::uint8_t{0x08});
    WakeSender(true);
    return COMM_OK;
}

CommResult CCommPort::ResumeRecord(CCommCommand* record)
{
    PortLock lock(*this);
    if (!record || Find(record) == m_queue.end())
        return COMM_ERR_NO_COMMAND;
    if (m_deviceGone)
        return COMM_ERR_NOT_CONNECTED; // it could only wait for ever
    switch (record->state) {
    case CMD_SEND_FAILED:
    case CMD_NO_ECHO:
    case CMD_ANSWER_FAILED:
    case CMD_REPLY_TIMEOUT:
    case CMD_INVALID_DATA: break;
    default: return COMM_ERR_NO_COMMAND;
    }
    HeadLeavesLine(record);
    record->state = CMD_WAITING;
    record->completedPass = 0; // a new run: its end is reported even in the pass that ended the last one
    record->reply.Clear();
    m_directBytes.Assign(std::uint8_t{0x08});
    WakeSender(true);
    return COMM_OK;
}

} // namespace zrcomm
