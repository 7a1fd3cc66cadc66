#include "comm_command.h"

namespace zrcomm {

bool CCommCommand::IsEngagedState(CommandState s)
{
    switch (s) {
    case CMD_SENDING:
    case CMD_WAIT_ECHO:
    case CMD_WAIT_REPLY:
    case CMD_RECEIVING:
    case CMD_QUESTION:
    case CMD_SENDING_ANSWER:
    case CMD_ANSWER_SENT:
    case CMD_ABORTING:
    case CMD_ABORTED: return true;
    default: return false;
    }
}

bool CCommCommand::IsFinalState(CommandState s)
{
    switch (s) {
    case CMD_SEND_FAILED:
    case CMD_NO_ECHO:
    case CMD_ANSWER_FAILED:
    case CMD_REPLY_TIMEOUT:
    case CMD_INVALID_DATA:
    case CMD_COMPLETED:
    case CMD_ABORTED: return true;
    default: return false;
    }
}

} // namespace zrcomm
