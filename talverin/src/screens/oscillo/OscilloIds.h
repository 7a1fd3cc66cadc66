// The controls of dialog 130 beyond those the capture uses (CaptureScreen.h), the screen's
// timers and commands, and two tables by control id: the help anchor under a help request and the
// edits in which Enter moves on like Tab.
#pragma once

#include "screens/oscillo/CaptureScreen.h"

namespace talverin {

namespace OscilloId {
inline constexpr int ZeroSlider = 1127;     // zero positions of channels 1-4 (cursors 1-4)
inline constexpr int TimeCursorSlider = 1126; // A (cursor 9), B (cursor 10)
inline constexpr int PositionScroll = 1038; // POS. slider (pixels of the zoomed scope)
inline constexpr int ScaleSlider1 = 1021;   // .. 1024
inline constexpr int Zoom1 = 1101;          // .. 1105: zoom 1, 2, 4, 8, 16
inline constexpr int ZoomLabel = 1047;
inline constexpr int ZeroPosition1 = 1013;  // POS. edits of channels 1 .. (1016) 4
inline constexpr int CursorA = 1226;
inline constexpr int CursorB = 1227;
inline constexpr int CursorAB = 1231;
inline constexpr int ReadoutLabel = 1044;   // "A" / "A(n)"
inline constexpr int ReadoutA = 1250;       // .. 1252
inline constexpr int Select1 = 1040;        // vertical read-out channel .. 1043
inline constexpr int Show1 = 1256;          // channel shown .. 1259
inline constexpr int UnitLabel = 1069;
inline constexpr int Marker = 1225;         // the form's bottom-right corner
inline constexpr int GroupVertical = 1214;
inline constexpr int GroupHorizontal = 1215;
inline constexpr int GroupCursor = 1216;
inline constexpr int GroupTrigger = 1217;
} // namespace OscilloId

namespace OscilloCommand {
inline constexpr unsigned Baud9600 = 32895; // .. 32898: 9600, 19200, 38400, 57600
inline constexpr unsigned ViewRecord1 = 30101; // .. 30108
inline constexpr unsigned SaveBitmap = 65534;
inline constexpr unsigned SaveCsv = 32882;
inline constexpr unsigned TerminalWindow = 32847;
} // namespace OscilloCommand

inline constexpr unsigned kLayoutTimer = 1000; // IDT_SCOPE_LAYOUT

// The anchor of "_RESOURCE\3_6_1_Oscilloscope_screen.htm#..." for a control.
const char* HelpAnchorForControl(int id);
// The edits whose Enter is turned into Tab (so that their kill-focus check runs).
bool IsEnterToTabEdit(int id);

} // namespace talverin
