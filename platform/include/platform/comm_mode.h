// Line settings from a mode string (BuildCommDCB), in the short form "96,n,8,2,p": baud rate, parity letter, data bits, stop bits, flow control, separated by
// commas (blanks around a field are ignored).
//   baud   the two-digit abbreviations 11, 15, 30, 60, 12, 24, 48, 96, 19 (110 .. 19200 baud),
//          the rate divided by 100 for 19200, 38400, 57600 and 115200 (192, 384, 576, 1152), which
//          is how settings files store them; any other number is the rate itself
//   parity n, o, e, m, s (any case)
//   data   5 to 8
//   stop   1, 1.5 or 2
//   flow   p hardware handshake, x XON/XOFF, absent none
// Fields left out keep the value the DCB had; the flow flags always follow the fifth field. A field
// that cannot be read keeps its value too, and the result is then FALSE (the readable fields are
// applied all the same).
#pragma once

#include <platform/dcb.h>

namespace plat {

BOOL BuildCommDCB(const char* mode, DCB* dcb);

// The flow-control flag sets the mode string's fifth field stands for.
enum class CommFlow { None, XonXoff, Hardware };
void SetCommFlow(DCB& dcb, CommFlow flow);

} // namespace plat
