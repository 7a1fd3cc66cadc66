/* Compiled as C: the public header works for C callers. The C++ tests compare what is recorded
 * here with the C++ side. */
#include <zrcomm/zrcomm_api.h>

const uint32_t zrcomm_c_codes[] = {
    COMM_OK, COMM_ERR_ALREADY_OPEN, COMM_ERR_OPEN_FAILED, COMM_ERR_SETUP_FAILED, COMM_ERR_NOT_OPEN,
    COMM_ERR_NOT_CONNECTED, COMM_ERR_BUSY, COMM_ERR_NO_COMMAND, COMM_ERR_COMMANDS_QUEUED,
    COMM_ERR_PROMPT_TIMEOUT, COMM_ERR_INVALID_ARG, COMM_ERR_LINE_GONE, COMM_ERR_IDENTIFY_FAILED,
        COMM_REPLY_UNKNOWN_COMMAND, COMM_REPLY_UNKNOWN_OPTION,
    COMM_REPLY_WRITE_INHIBIT, COMM_REPLY_READ_INHIBIT, COMM_REPLY_RANGE_OVER, COMM_REPLY_CONDITION_MISMATCH,
    COMM_REPLY_NOT_OMISSIBLE, COMM_REPLY_PASSWORD_REQUIRED, COMM_REPLY_DISABLE_COMMAND, COMM_REPLY_READ_ONLY,
    CMD_WAITING, CMD_SENDING, CMD_WAIT_ECHO, CMD_SEND_FAILED, CMD_NO_ECHO, CMD_WAIT_REPLY, CMD_RECEIVING,
    CMD_QUESTION, CMD_SENDING_ANSWER, CMD_ANSWER_SENT, CMD_ANSWER_FAILED, CMD_REPLY_TIMEOUT,
    CMD_INVALID_DATA, CMD_COMPLETED, CMD_ABORTING, CMD_ABORTED, CONN_NONE, CONN_CHECKING, CONN_CONNECTED,
    COMM_EVENT_SENDING, COMM_EVENT_WRITTEN, COMM_EVENT_WRITE_FAILED, COMM_EVENT_NO_ECHO,
    COMM_EVENT_REPLY_BEGINS, COMM_EVENT_TIMEOUT, COMM_EVENT_INVALID_DATA, COMM_EVENT_COMPLETED,
    COMM_EVENT_ABORTED, COMM_EVENT_TEXT_RECEIVED, COMM_MONITOR_CONNECTED, COMM_MONITOR_WRITE_ACTIVITY,
    COMM_MONITOR_READ_ACTIVITY, COMM_MONITOR_LINE_EVENT, COMM_MONITOR_CONNECTION_LOST,
    COMM_MONITOR_NOT_CONNECTED, COMM_MONITOR_PORT_CLOSED, COMM_MONITOR_BAUD_STARTED,
    COMM_MONITOR_BAUD_DONE, COMM_MONITOR_BAUD_FAILED, COMM_MONITOR_RECORDS_REMOVED, WM_COMM_COMMAND,
    WM_COMM_TEXT, WM_COMM_MONITOR, ZRCOMM_PORT_NAME_MAX, ZRCOMM_DRIVER_ID_MAX,
};
const unsigned zrcomm_c_code_count = sizeof zrcomm_c_codes / sizeof zrcomm_c_codes[0];

const size_t zrcomm_c_dcb_size = sizeof(DCB);
const size_t zrcomm_c_dcb_byte_size_offset = offsetof(DCB, ByteSize);
const size_t zrcomm_c_external_data_size = sizeof(CommExternalData);

/* Every function, through its C declaration. */
void (*const zrcomm_c_functions[])(void) = {
    (void (*)(void))ZRComm_InitFromDCB, (void (*)(void))ZRComm_Term,
    (void (*)(void))ZRComm_EscapeCommFunction, (void (*)(void))ZRComm_SetCommandMode,
    (void (*)(void))ZRComm_SetBaudRate, (void (*)(void))ZRComm_InitExternalData,
    (void (*)(void))ZRComm_SetMonitorWnd, (void (*)(void))ZRComm_GetLastError,
    (void (*)(void))ZRComm_IsConnected, (void (*)(void))ZRComm_IsConnectedEx,
    (void (*)(void))ZRComm_SendText, (void (*)(void))ZRComm_GetReceiveText,
    (void (*)(void))ZRComm_SendCommandText, (void (*)(void))ZRComm_SendTopLevelCommandText,
    (void (*)(void))ZRComm_GetCommandState, (void (*)(void))ZRComm_GetReceiveCommandText,
    (void (*)(void))ZRComm_RemoveCommand, (void (*)(void))ZRComm_GetCommandCount,
    (void (*)(void))ZRComm_GetCommand, (void (*)(void))ZRComm_GetCommandText,
    (void (*)(void))ZRComm_GetCommandParam, (void (*)(void))ZRComm_ResumeCommand,
    (void (*)(void))ZRComm_AbortCommand, (void (*)(void))ZRComm_FindCommand,
    (void (*)(void))ZRComm_EnumCommand, (void (*)(void))ZRComm_GetDefaultCommConfig,
    (void (*)(void))ZRComm_CommConfigDialog, (void (*)(void))ZRComm_GetOpenErrorText,
    (void (*)(void))ZRComm_GetLineError,
};
const unsigned zrcomm_c_function_count = sizeof zrcomm_c_functions / sizeof zrcomm_c_functions[0];
