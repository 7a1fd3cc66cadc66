// The communication library's public types and codes: results, command states, events, monitor codes
// and the three notification messages that reach the program's windows.
#pragma once

#include <platform/dcb.h>
#include <platform/types.h>

#include <cstdint>

using CommResult = std::uint32_t;    // COMM_OK, COMM_ERR_*, COMM_REPLY_*, or a system error (plat::ErrorFromErrno)
using CommandState = std::uint32_t;  // CMD_*
using CommandStatus = std::uint32_t; // a CommandState, or the CommResult of a completed command
using CommandId = std::int32_t;      // 1 .. 0x7FFFFFFF; 0 = none

// Results.
inline constexpr CommResult COMM_OK = 0;
inline constexpr CommResult COMM_ERR_ALREADY_OPEN = 0x40000001;
inline constexpr CommResult COMM_ERR_OPEN_FAILED = 0x40000002;
inline constexpr CommResult COMM_ERR_SETUP_FAILED = 0x40000003;
inline constexpr CommResult COMM_ERR_NOT_OPEN = 0x40000004;
inline constexpr CommResult COMM_ERR_NOT_CONNECTED = 0x40000005;
inline constexpr CommResult COMM_ERR_BUSY = 0x40000006;
inline constexpr CommResult COMM_ERR_NO_COMMAND = 0x40000007;
inline constexpr CommResult COMM_ERR_COMMANDS_QUEUED = 0x40000008;
inline constexpr CommResult COMM_ERR_PROMPT_TIMEOUT = 0x40000009;
inline constexpr CommResult COMM_ERR_INVALID_ARG = 0x4000000a;
// Why the line failed (ZRComm_GetLineError): the device hung up or went away; a driver answered
// but its identification could not be read.
inline constexpr CommResult COMM_ERR_LINE_GONE = 0x40000016;
inline constexpr CommResult COMM_ERR_IDENTIFY_FAILED = 0x40000017;
// The driver's error replies (the result of a completed command).
inline constexpr CommResult COMM_REPLY_UNKNOWN_COMMAND = 0x4000000b;
inline constexpr CommResult COMM_REPLY_UNKNOWN_OPTION = 0x4000000c;
inline constexpr CommResult COMM_REPLY_WRITE_INHIBIT = 0x4000000d;
inline constexpr CommResult COMM_REPLY_READ_INHIBIT = 0x4000000e;
inline constexpr CommResult COMM_REPLY_RANGE_OVER = 0x4000000f;
inline constexpr CommResult COMM_REPLY_CONDITION_MISMATCH = 0x40000010;
inline constexpr CommResult COMM_REPLY_NOT_OMISSIBLE = 0x40000011;
inline constexpr CommResult COMM_REPLY_PASSWORD_REQUIRED = 0x40000012;
inline constexpr CommResult COMM_REPLY_DISABLE_COMMAND = 0x40000014;
inline constexpr CommResult COMM_REPLY_READ_ONLY = 0x40000015;

// Command states.
inline constexpr CommandState CMD_WAITING = 0x20000000;
inline constexpr CommandState CMD_SENDING = 0x20000001;
inline constexpr CommandState CMD_WAIT_ECHO = 0x20000002;
inline constexpr CommandState CMD_SEND_FAILED = 0x20000003;
inline constexpr CommandState CMD_NO_ECHO = 0x20000004;
inline constexpr CommandState CMD_WAIT_REPLY = 0x20000005;
inline constexpr CommandState CMD_RECEIVING = 0x20000006;
inline constexpr CommandState CMD_QUESTION = 0x20000007;
inline constexpr CommandState CMD_SENDING_ANSWER = 0x20000008;
inline constexpr CommandState CMD_ANSWER_SENT = 0x20000009;
inline constexpr CommandState CMD_ANSWER_FAILED = 0x2000000a;
inline constexpr CommandState CMD_REPLY_TIMEOUT = 0x2000000b;
inline constexpr CommandState CMD_INVALID_DATA = 0x2000000c;
inline constexpr CommandState CMD_COMPLETED = 0x2000000d;
inline constexpr CommandState CMD_ABORTING = 0x2000000e;
inline constexpr CommandState CMD_ABORTED = 0x2000000f;

// The port's view of the driver.
inline constexpr std::uint32_t CONN_NONE = 0x30000000;
inline constexpr std::uint32_t CONN_CHECKING = 0x30000001;
inline constexpr std::uint32_t CONN_CONNECTED = 0x30000002;

// Events (wParam of WM_COMM_COMMAND and WM_COMM_TEXT).
inline constexpr plat::WPARAM COMM_EVENT_SENDING = 1;
inline constexpr plat::WPARAM COMM_EVENT_WRITTEN = 2;
inline constexpr plat::WPARAM COMM_EVENT_WRITE_FAILED = 3;
inline constexpr plat::WPARAM COMM_EVENT_NO_ECHO = 4;
inline constexpr plat::WPARAM COMM_EVENT_REPLY_BEGINS = 5;
inline constexpr plat::WPARAM COMM_EVENT_TIMEOUT = 6;
inline constexpr plat::WPARAM COMM_EVENT_INVALID_DATA = 7;
inline constexpr plat::WPARAM COMM_EVENT_COMPLETED = 8;
inline constexpr plat::WPARAM COMM_EVENT_ABORTED = 9;
inline constexpr plat::WPARAM COMM_EVENT_TEXT_RECEIVED = 10;

// Monitor codes (wParam of WM_COMM_MONITOR).
inline constexpr plat::WPARAM COMM_MONITOR_CONNECTED = 11;
inline constexpr plat::WPARAM COMM_MONITOR_WRITE_ACTIVITY = 12;
inline constexpr plat::WPARAM COMM_MONITOR_READ_ACTIVITY = 13;
inline constexpr plat::WPARAM COMM_MONITOR_LINE_EVENT = 14;
inline constexpr plat::WPARAM COMM_MONITOR_CONNECTION_LOST = 15;
inline constexpr plat::WPARAM COMM_MONITOR_NOT_CONNECTED = 16;
inline constexpr plat::WPARAM COMM_MONITOR_PORT_CLOSED = 17;
inline constexpr plat::WPARAM COMM_MONITOR_BAUD_STARTED = 18;
inline constexpr plat::WPARAM COMM_MONITOR_BAUD_DONE = 19;
inline constexpr plat::WPARAM COMM_MONITOR_BAUD_FAILED = 20;
inline constexpr plat::WPARAM COMM_MONITOR_RECORDS_REMOVED = 21;

// Notification messages.
inline constexpr plat::UINT WM_COMM_COMMAND = plat::WM_USER + 300; // posted: event, CommandId
inline constexpr plat::UINT WM_COMM_TEXT = plat::WM_USER + 301;    // sent: event, 0
inline constexpr plat::UINT WM_COMM_MONITOR = plat::WM_USER + 302; // posted: code, value

// What the program hands over after connecting: 32 bytes, little-endian.
#pragma pack(push, 1)
struct CommExternalData {
    std::uint32_t size;           // must be 32
    std::uint32_t replyTimeoutMs; // the port's reply time-out
    std::uint32_t ctsCheck;       // clear-to-send check before writing: 0 off, other on
    std::uint32_t languageId;     // low 16 bits; 1041 Japanese
    std::uint8_t reserved[16];
};
#pragma pack(pop)
static_assert(sizeof(CommExternalData) == 32, "CommExternalData is 32 bytes");
