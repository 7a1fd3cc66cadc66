// The main program's own window messages (WM_USER + 1 .. WM_USER + 0x19). Screens, bars, dialogs
// and tool windows reach the main frame and each other only through these ids and the command
// ids of CommandIds.h. 0x52C-0x52E belong to the communication library (zrcomm_api.h).
#pragma once

#include <platform/types.h>

namespace talverin {

using plat::UINT;
using plat::WM_USER;

// Frame-level window messages the program uses and the platform does not name.
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_CLOSE = 0x0010;

// wParam: step button 0-6; lParam: the parameter record. Preset-step panel -> its owner screen.
inline constexpr UINT WM_PRESET_STEP = WM_USER + 0x01;
// Posted by start-up: the frame opens the start screen.
inline constexpr UINT WM_SHOW_START_DIALOG = WM_USER + 0x02;
// wParam 0: the oscilloscope samples were cleared too; 1: keep them. Every screen re-reads the store.
inline constexpr UINT WM_DATA_RELOADED = WM_USER + 0x03;
// wParam 1 show, 0 hide; lParam: text for the command window or 0. Result 1.
inline constexpr UINT WM_SHOW_COMMAND_WINDOW = WM_USER + 0x04;
// Posted by the start screen; lParam: 100 parameter, 200 channel program, 300 I/O,
// 400 oscilloscope, 500 terminal, other: none.
inline constexpr UINT WM_START_CHOICE = WM_USER + 0x05;
// wParam 1 finish connecting, 0 disconnect; lParam: the reason (DisconnectReason, else the
// library's error code).
inline constexpr UINT WM_CONNECTION_STATE = WM_USER + 0x06;
namespace DisconnectReason {
inline constexpr plat::LPARAM Plain = 0;     // the user, a silent or lost line
inline constexpr plat::LPARAM Declined = -2; // the user would not go on with a driver of other data
} // namespace DisconnectReason
// Sent before a save: the channel program and I/O editors store their pending edits. 0: refused.
inline constexpr UINT WM_COLLECT_VIEW_DATA = WM_USER + 0x08;
// wParam: event type or code; lParam: comm_error flags (connection/DriverQueue.h).
inline constexpr UINT WM_COMM_ERROR = WM_USER + 0x09;
// wParam WaitDialog::Show (lParam: WaitDialogInfo*), Hide, Query (result: the dialog or 0).
inline constexpr UINT WM_WAIT_DIALOG = WM_USER + 0x0A;
namespace WaitDialog {
inline constexpr plat::WPARAM Hide = 0;
inline constexpr plat::WPARAM Show = 5;
inline constexpr plat::WPARAM Query = 255;
} // namespace WaitDialog
// From the please-wait dialog to the window its WaitDialogInfo names: wParam 2, lParam the tag.
inline constexpr UINT WM_WAIT_CANCEL = WM_USER + 0x0B;
// wParam: the CommandId whose reply the frame loads.
inline constexpr UINT WM_DATA_RECEIVED = WM_USER + 0x0C;
// wParam: status-bar pane; lParam: record {caller's value, text}.
inline constexpr UINT WM_SET_STATUS_TEXT = WM_USER + 0x0D;
// To the screens and the command window: wParam 0 lock enabled, 1 disabled; lParam 1 when a held
// screen switch was resumed.
inline constexpr UINT WM_LOCK_STATE_CHANGED = WM_USER + 0x0E;
// wParam 1 show, 0 hide.
inline constexpr UINT WM_SHOW_TERMINAL_WINDOW = WM_USER + 0x0F;
// Result: the current view id.
inline constexpr UINT WM_GET_CURRENT_VIEW = WM_USER + 0x10;
// Result: the connection phase (a Phase, connection/ConnectionRules.h).
inline constexpr UINT WM_GET_CONNECTION_PHASE = WM_USER + 0x11;
// wParam 18 started, 19 done, 20 failed; lParam: the monitor value.
inline constexpr UINT WM_BAUD_CHANGE_STATE = WM_USER + 0x14;
// To the screen left (wParam 0, result 0 vetoes) and the screen entered (wParam 1); lParam: the
// view id switched to.
inline constexpr UINT WM_VIEW_SWITCH = WM_USER + 0x15;
// wParam 1 to the oscilloscope rate, 0 back; lParam: pointer to a changed flag.
inline constexpr UINT WM_CHANGE_BAUD_RATE = WM_USER + 0x16;
// wParam 1 connected / restored, 0 disconnecting or lost; lParam a CommState, or the disconnect
// reason. A screen's 0 to wParam 0 refuses.
inline constexpr UINT WM_COMM_STATE_CHANGED = WM_USER + 0x17;
namespace CommState {
inline constexpr plat::LPARAM Connected = 0;     // a new connection
inline constexpr plat::LPARAM Entered = -1;      // a screen's own: entered while connected, read everything
inline constexpr plat::LPARAM Restored = -2;     // a refused disconnection: only the state came back
inline constexpr plat::LPARAM CloseRequest = -3; // the program is closing
} // namespace CommState
// wParam: monitor code 12/13; lParam: the value. Result 1.
inline constexpr UINT WM_COMM_ACTIVITY = WM_USER + 0x18;
// Frame <-> command bar: tag / event, or the monitor value of code 21.
inline constexpr UINT WM_COMMAND_TOOL_REPLY = WM_USER + 0x19;

} // namespace talverin
