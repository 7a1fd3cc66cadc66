/* The communication library's exported functions: plain C names, all beginning ZRComm_. The only
 * symbols libzrcomm.so exports are the ones declared here.
 *
 * Usable from C and C++. In C++ the types and codes come from <zrcomm/zrcomm.h> and the platform's
 * DCB and window handle; in C this header declares the same types with the same layout and the
 * codes as macros.
 *
 * Common rules:
 *  - Every function except ZRComm_InitExternalData and ZRComm_GetLastError stores a CommResult as
 *    the library's last error on every return path; ZRComm_GetLastError returns it.
 *  - Arguments are checked first (NULL pointers, zero sizes, id 0), then that a port is open, then
 *    the record the id names. An unknown id gives the function's failure value and
 *    COMM_ERR_NO_COMMAND.
 *  - A window argument may be NULL. Command tags are pointer-sized, so a caller may queue the
 *    address of its own object with a command and get it back.
 *  - Call from one thread (the program's user-interface thread); the functions may also be called
 *    from inside a WM_COMM_TEXT handler, which the library sends with its lock released.
 *  - Test-only: when the environment variable ZRCOMM_TEST_WATCHDOG_MS holds a positive number of
 *    milliseconds (at most 30000) as ZRComm_InitFromDCB makes a port, that port's probe notice
 *    interval (monitor 16), its echo and reply watchdogs and its reply time-out (until
 *    ZRComm_InitExternalData sets one) are cut to it. Never set it for the program itself.
 */
#ifndef ZRCOMM_ZRCOMM_API_H
#define ZRCOMM_ZRCOMM_API_H

#include <stdint.h>

#if defined(__GNUC__)
#define ZRCOMM_API __attribute__((visibility("default")))
#else
#define ZRCOMM_API
#endif

/* ZRComm_IsConnected writes into buffers it is not told the size of: it writes at most this many
 * bytes, the terminating NUL included, cutting longer texts. Callers give at least these sizes. */
#define ZRCOMM_PORT_NAME_MAX 260
#define ZRCOMM_DRIVER_ID_MAX 256

#ifdef __cplusplus

#include <zrcomm/zrcomm.h>

#include <cstdint>

typedef plat::HWND ZRCommHwnd;
typedef plat::DCB ZRCommDcb;
typedef plat::DWORD ZRCommDword;
typedef plat::BOOL ZRCommBool;

extern "C" {

#else /* C */

#include <stddef.h>

typedef struct HWND__* HWND;
typedef uint32_t DWORD;
typedef int BOOL;

typedef uint32_t CommResult;
typedef uint32_t CommandState;
typedef uint32_t CommandStatus;
typedef int32_t CommandId;

/* Line settings, 28 bytes, the Win32 layout; Flags holds the bit field (DCB_f* masks below). */
typedef struct DCB {
    uint32_t DCBlength;
    uint32_t BaudRate;
    uint32_t Flags;
    uint16_t wReserved;
    uint16_t XonLim;
    uint16_t XoffLim;
    uint8_t ByteSize;
    uint8_t Parity;
    uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    uint16_t wReserved1;
} DCB;
_Static_assert(sizeof(DCB) == 28, "DCB is 28 bytes");

#define DCB_fBinary 0x0001u
#define DCB_fParity 0x0002u
#define DCB_fOutxCtsFlow 0x0004u
#define DCB_fOutxDsrFlow 0x0008u
#define DCB_fDtrControlMask 0x0030u
#define DCB_fOutX 0x0100u
#define DCB_fInX 0x0200u
#define DCB_fRtsControlMask 0x3000u

#pragma pack(push, 1)
typedef struct CommExternalData {
    uint32_t size;           /* must be 32 */
    uint32_t replyTimeoutMs; /* the port's reply time-out; 0 keeps the current one */
    uint32_t ctsCheck;       /* clear-to-send check before writing: 0 off, other on */
    uint32_t languageId;     /* low 16 bits; 1041 Japanese */
    uint8_t reserved[16];
} CommExternalData;
#pragma pack(pop)
_Static_assert(sizeof(CommExternalData) == 32, "CommExternalData is 32 bytes");

#define COMM_OK 0x00000000u
#define COMM_ERR_ALREADY_OPEN 0x40000001u
#define COMM_ERR_OPEN_FAILED 0x40000002u
#define COMM_ERR_SETUP_FAILED 0x40000003u
#define COMM_ERR_NOT_OPEN 0x40000004u
#define COMM_ERR_NOT_CONNECTED 0x40000005u
#define COMM_ERR_BUSY 0x40000006u
#define COMM_ERR_NO_COMMAND 0x40000007u
#define COMM_ERR_COMMANDS_QUEUED 0x40000008u
#define COMM_ERR_PROMPT_TIMEOUT 0x40000009u
#define COMM_ERR_INVALID_ARG 0x4000000au
#define COMM_ERR_LINE_GONE 0x40000016u
#define COMM_ERR_IDENTIFY_FAILED 0x40000017u
#define COMM_REPLY_UNKNOWN_COMMAND 0x4000000bu
#define COMM_REPLY_UNKNOWN_OPTION 0x4000000cu
#define COMM_REPLY_WRITE_INHIBIT 0x4000000du
#define COMM_REPLY_READ_INHIBIT 0x4000000eu
#define COMM_REPLY_RANGE_OVER 0x4000000fu
#define COMM_REPLY_CONDITION_MISMATCH 0x40000010u
#define COMM_REPLY_NOT_OMISSIBLE 0x40000011u
#define COMM_REPLY_PASSWORD_REQUIRED 0x40000012u
#define COMM_REPLY_DISABLE_COMMAND 0x40000014u
#define COMM_REPLY_READ_ONLY 0x40000015u

#define CMD_WAITING 0x20000000u
#define CMD_SENDING 0x20000001u
#define CMD_WAIT_ECHO 0x20000002u
#define CMD_SEND_FAILED 0x20000003u
#define CMD_NO_ECHO 0x20000004u
#define CMD_WAIT_REPLY 0x20000005u
#define CMD_RECEIVING 0x20000006u
#define CMD_QUESTION 0x20000007u
#define CMD_SENDING_ANSWER 0x20000008u
#define CMD_ANSWER_SENT 0x20000009u
#define CMD_ANSWER_FAILED 0x2000000au
#define CMD_REPLY_TIMEOUT 0x2000000bu
#define CMD_INVALID_DATA 0x2000000cu
#define CMD_COMPLETED 0x2000000du
#define CMD_ABORTING 0x2000000eu
#define CMD_ABORTED 0x2000000fu

#define CONN_NONE 0x30000000u
#define CONN_CHECKING 0x30000001u
#define CONN_CONNECTED 0x30000002u

#define COMM_EVENT_SENDING 1
#define COMM_EVENT_WRITTEN 2
#define COMM_EVENT_WRITE_FAILED 3
#define COMM_EVENT_NO_ECHO 4
#define COMM_EVENT_REPLY_BEGINS 5
#define COMM_EVENT_TIMEOUT 6
#define COMM_EVENT_INVALID_DATA 7
#define COMM_EVENT_COMPLETED 8
#define COMM_EVENT_ABORTED 9
#define COMM_EVENT_TEXT_RECEIVED 10

#define COMM_MONITOR_CONNECTED 11
#define COMM_MONITOR_WRITE_ACTIVITY 12
#define COMM_MONITOR_READ_ACTIVITY 13
#define COMM_MONITOR_LINE_EVENT 14
#define COMM_MONITOR_CONNECTION_LOST 15
#define COMM_MONITOR_NOT_CONNECTED 16
#define COMM_MONITOR_PORT_CLOSED 17
#define COMM_MONITOR_BAUD_STARTED 18
#define COMM_MONITOR_BAUD_DONE 19
#define COMM_MONITOR_BAUD_FAILED 20
#define COMM_MONITOR_RECORDS_REMOVED 21

#define WM_COMM_COMMAND (0x0400 + 300) /* posted: event, CommandId */
#define WM_COMM_TEXT (0x0400 + 301)    /* sent: event, 0 */
#define WM_COMM_MONITOR (0x0400 + 302) /* posted: code, value */

typedef HWND ZRCommHwnd;
typedef DCB ZRCommDcb;
typedef DWORD ZRCommDword;
typedef BOOL ZRCommBool;

#endif /* __cplusplus */

/* ---- Opening and closing ---- */

/* Opens the port (a "COMn" name or a device path), configures it, starts its threads and the log
 * writer. COMM_ERR_INVALID_ARG (NULL name or settings), COMM_ERR_ALREADY_OPEN,
 * COMM_ERR_OPEN_FAILED, COMM_ERR_SETUP_FAILED, or a system error when a thread cannot start. */
ZRCOMM_API CommResult ZRComm_InitFromDCB(ZRCommHwnd notifyWnd, const char* portName, const ZRCommDcb* settings);
/* Why the last ZRComm_InitFromDCB that tried to open a device could not open it: one English
 * sentence naming the device path (missing, not a serial device, permission denied and which group
 * to join, in use), empty when that open succeeded. Copies it cut to size-1 bytes and a NUL and
 * returns the bytes copied; 0 and COMM_ERR_INVALID_ARG for a NULL buffer or size 0. Needs no open
 * port. */
ZRCOMM_API int ZRComm_GetOpenErrorText(char* buffer, unsigned size);
/* Stops the log writer, closes the port (ended and under-way records end as aborted, monitor 17)
 * and forgets it. Called from inside a WM_COMM_TEXT handler it returns at once and the close
 * finishes when the handler has returned. COMM_ERR_NOT_OPEN when no port is open. */
ZRCOMM_API CommResult ZRComm_Term(void);
/* EscapeCommFunction on the open port: 0, a system error, or COMM_ERR_NOT_OPEN. */
ZRCOMM_API ZRCommDword ZRComm_EscapeCommFunction(ZRCommDword function);

/* ---- Modes ---- */

/* 0 command mode, 1 terminal mode (only direct text is written; commands wait), 2 as 0 for the
 * library (the program's capture screen uses it).
 * COMM_ERR_INVALID_ARG, COMM_ERR_NOT_OPEN, COMM_ERR_COMMANDS_QUEUED (1 or 2 with records queued). */
ZRCOMM_API CommResult ZRComm_SetCommandMode(int mode);
/* Starts a baud-rate change (9600, 19200, 38400 or 57600), reported by monitor 18 then 19 or 20.
 * COMM_ERR_INVALID_ARG, COMM_ERR_NOT_OPEN, COMM_ERR_NOT_CONNECTED (no driver to change with),
 * COMM_ERR_BUSY (a change running, a direct exchange open, or any record queued). */
ZRCOMM_API CommResult ZRComm_SetBaudRate(ZRCommDword rate);
/* With a port open and size 32: the reply time-out (0 keeps the current one), the clear-to-send
 * check and the language. 1, or 0 (no port, NULL, another size). Stores no last error. */
ZRCOMM_API int ZRComm_InitExternalData(const CommExternalData* data);
/* Keeps the window for this and later ports; when it changes while connected, it gets monitor 11.
 * Always 1 (the last error says COMM_ERR_NOT_OPEN when no port is open). */
ZRCOMM_API int ZRComm_SetMonitorWnd(ZRCommHwnd monitorWnd);
/* The last error stored by any other function; stores nothing. */
ZRCOMM_API CommResult ZRComm_GetLastError(void);

/* ---- Connection ---- */

/* 1 when a driver is connected, then copies the port name as given to ZRComm_InitFromDCB and the
 * driver's identification into each non-NULL buffer: at most ZRCOMM_PORT_NAME_MAX and
 * ZRCOMM_DRIVER_ID_MAX bytes with the NUL, longer texts cut. 0 otherwise (COMM_ERR_NOT_OPEN when
 * no port is open). */
ZRCOMM_API int ZRComm_IsConnected(char* portName, char* driverId);
/* ZRComm_IsConnected with the buffer sizes given: each text is cut to size-1 bytes and a NUL; a
 * buffer of size 0 is left alone. */
ZRCOMM_API int ZRComm_IsConnectedEx(char* portName, unsigned portNameSize, char* driverId, unsigned driverIdSize);

/* Why the connection was lost or no driver could be identified since the port was opened; kept
 * after ZRComm_Term until the next ZRComm_InitFromDCB. The result:
 *  0                        nothing of the kind happened (the text is empty);
 *  COMM_ERR_LINE_GONE       the device hung up or went away (the other side of a pseudo-terminal
 *                           closed, a USB adapter unplugged): monitor 15 came at once, with this
 *                           code, and every record still queued ended with its failure; the text
 *                           is the library's sentence for it, in the library's language;
 *  COMM_ERR_IDENTIFY_FAILED a driver answered the probe, but for the reply time-out (see
 *                           ZRComm_InitExternalData) none of its identification replies could be
 *                           read: the port stopped probing and posted monitor 16 with this code;
 *                           the text is what the last reply held, bytes outside 0x20-0x7E as \xNN,
 *                           at most 64 bytes (then "...").
 * The text is copied cut to size-1 bytes and a NUL when buffer is not NULL and size above 0. */
ZRCOMM_API CommResult ZRComm_GetLineError(char* buffer, unsigned size);

/* ---- Direct text ---- */

/* Queues the text for the line as it is (no echo expected); the window gets WM_COMM_TEXT for what
 * the driver sends back. COMM_ERR_INVALID_ARG (NULL text), COMM_ERR_NOT_OPEN,
 * COMM_ERR_NOT_CONNECTED, COMM_ERR_INVALID_ARG (empty text), in that order. */
ZRCOMM_API CommResult ZRComm_SendText(ZRCommHwnd textWnd, const char* text);
/* Takes the direct text received so far: at most size-1 bytes and a NUL; the length copied. NUL
 * bytes from the line are dropped. 0 with COMM_ERR_INVALID_ARG (NULL buffer, size below 1) or
 * COMM_ERR_NOT_OPEN. */
ZRCOMM_API int ZRComm_GetReceiveText(char* buffer, int size);

/* ---- Commands ---- */

/* Queues a command (one or more CR-ended lines) at the tail with the window and the caller's tag;
 * no connection is needed, it waits. The new id, or 0 (COMM_ERR_INVALID_ARG for a NULL or empty
 * text, COMM_ERR_NOT_OPEN, COMM_ERR_NOT_CONNECTED when the device is gone). */
ZRCOMM_API CommandId ZRComm_SendCommandText(ZRCommHwnd replyWnd, const char* text, intptr_t param);
/* As ZRComm_SendCommandText, marked top-level: it goes ahead of waiting direct text and library
 * steps, and they do not overtake it. */
ZRCOMM_API CommandId ZRComm_SendTopLevelCommandText(ZRCommHwnd replyWnd, const char* text, intptr_t param);
/* The command's state while it is not completed, its result once it is (0 or a COMM_REPLY_* code);
 * COMM_ERR_INVALID_ARG (id 0), COMM_ERR_NOT_OPEN or COMM_ERR_NO_COMMAND otherwise. */
ZRCOMM_API CommandStatus ZRComm_GetCommandState(CommandId id);
/* Copies the reply: n = min(reply length, size) bytes with the n-th byte replaced by NUL, so a
 * whole reply arrives without its final CR. Returns the reply length when it is not above size,
 * else size-1 (enlarge the buffer and call again). 0 on failure. */
ZRCOMM_API int ZRComm_GetReceiveCommandText(CommandId id, char* buffer, unsigned size);
/* id -1: removes every record; 0: every record that is not under way (monitor 21 with the command
 * counts before and after); any other id: that command whatever its state. The number of commands
 * left; -1 for an unknown id; COMM_ERR_NOT_OPEN (the code itself) when no port is open. */
ZRCOMM_API int ZRComm_RemoveCommand(CommandId id);
/* Queued records of a kind: 1 commands, 0 direct text, 3 the library's own steps, -1 all. -1 when
 * no port is open. */
ZRCOMM_API int ZRComm_GetCommandCount(int kind);
/* Copies the command's first line with its CR (the whole text when it has none), cut to size-1
 * bytes, and a NUL; the length copied. Bad arguments and a closed port return the code itself
 * (COMM_ERR_INVALID_ARG, COMM_ERR_NOT_OPEN); an unknown id gives 0. */
ZRCOMM_API int ZRComm_GetCommand(CommandId id, char* buffer, unsigned size);
/* Copies the command's whole text, at most size-1 bytes and a NUL; the length copied, 0 on failure. */
ZRCOMM_API int ZRComm_GetCommandText(CommandId id, char* buffer, int size);
/* The tag given when the command was queued; 0 on failure. */
ZRCOMM_API intptr_t ZRComm_GetCommandParam(CommandId id);
/* A command that failed (send failed, no echo, answer failed, reply time-out, invalid data) goes
 * back to waiting with its reply cleared. COMM_ERR_NO_COMMAND for any other state;
 * COMM_ERR_NOT_CONNECTED when the device is gone (ZRComm_GetLineError). */
ZRCOMM_API CommResult ZRComm_ResumeCommand(CommandId id);
/* Aborts a command: one that is not under way (or ended) is aborted at once and its window gets
 * event 9; one under way is cancelled on the line and ends as aborted when the driver's prompt
 * comes back or the prompt wait runs out. An aborted command is left as it is. */
ZRCOMM_API CommResult ZRComm_AbortCommand(CommandId id);
/* The first command after the given one (0: from the head) whose text begins with the prefix; 0
 * when none (COMM_ERR_INVALID_ARG for a NULL or empty prefix, COMM_ERR_NO_COMMAND for an unknown
 * starting id). */
ZRCOMM_API CommandId ZRComm_FindCommand(CommandId after, const char* prefix);
/* Writes the ids of all commands in queue order; the count. Size the array with
 * ZRComm_GetCommandCount(1). */
ZRCOMM_API int ZRComm_EnumCommand(CommandId* ids);

/* ---- Port settings ---- */

/* The default settings for the port: 9600 baud, 8 data bits, no parity, 2 stop bits, hardware
 * flow control. 0 with COMM_ERR_INVALID_ARG (NULL argument) or COMM_ERR_OPEN_FAILED (no such
 * serial device). */
ZRCOMM_API ZRCommBool ZRComm_GetDefaultCommConfig(const char* portName, ZRCommDcb* settings);
/* The modal port settings dialog "<port> Property" over the parent window (NULL: none). 1 when the
 * user pressed OK (the settings were changed in place), 0 otherwise (COMM_ERR_INVALID_ARG for a
 * NULL name or settings; a system error when the dialog cannot be shown). Needs a running
 * QApplication. */
ZRCOMM_API ZRCommBool ZRComm_CommConfigDialog(const char* portName, ZRCommHwnd parent, ZRCommDcb* settings);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* ZRCOMM_ZRCOMM_API_H */
