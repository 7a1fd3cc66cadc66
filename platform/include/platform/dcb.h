// Serial line settings with the Win32 layout and meanings: the DCB record that port settings are
// stored and exchanged in, the time-out record, and the constants of the serial calls (line events,
// modem status bits, comm errors, purge kinds, escape functions).
#pragma once

#include <platform/types.h>

#include <cstddef>

namespace plat {

// Flag bits of DCB::Flags, at the positions of the Win32 bit field. Callers combine them with the
// masks that stored settings use (for instance 0x202C for hardware handshake).
inline constexpr DWORD DCB_fBinary = 0x0001;
inline constexpr DWORD DCB_fParity = 0x0002;
inline constexpr DWORD DCB_fOutxCtsFlow = 0x0004;
inline constexpr DWORD DCB_fOutxDsrFlow = 0x0008;
inline constexpr DWORD DCB_fDtrControlMask = 0x0030; // two bits, shift 4
inline constexpr DWORD DCB_fDsrSensitivity = 0x0040;
inline constexpr DWORD DCB_fTXContinueOnXoff = 0x0080;
inline constexpr DWORD DCB_fOutX = 0x0100;
inline constexpr DWORD DCB_fInX = 0x0200;
inline constexpr DWORD DCB_fErrorChar = 0x0400;
inline constexpr DWORD DCB_fNull = 0x0800;
inline constexpr DWORD DCB_fRtsControlMask = 0x3000; // two bits, shift 12
inline constexpr DWORD DCB_fAbortOnError = 0x4000;

inline constexpr DWORD DTR_CONTROL_DISABLE = 0;
inline constexpr DWORD DTR_CONTROL_ENABLE = 1;
inline constexpr DWORD DTR_CONTROL_HANDSHAKE = 2;
inline constexpr DWORD RTS_CONTROL_DISABLE = 0;
inline constexpr DWORD RTS_CONTROL_ENABLE = 1;
inline constexpr DWORD RTS_CONTROL_HANDSHAKE = 2;
inline constexpr DWORD RTS_CONTROL_TOGGLE = 3;

inline constexpr BYTE NOPARITY = 0;
inline constexpr BYTE ODDPARITY = 1;
inline constexpr BYTE EVENPARITY = 2;
inline constexpr BYTE MARKPARITY = 3;
inline constexpr BYTE SPACEPARITY = 4;

inline constexpr BYTE ONESTOPBIT = 0;
inline constexpr BYTE ONE5STOPBITS = 1;
inline constexpr BYTE TWOSTOPBITS = 2;

// 28 bytes, field for field the Win32 record; the bit field is one DWORD with the masks above.
struct DCB {
    DWORD DCBlength = sizeof(DCB);
    DWORD BaudRate = 0;
    DWORD Flags = DCB_fBinary;
    WORD wReserved = 0;
    WORD XonLim = 0;
    WORD XoffLim = 0;
    BYTE ByteSize = 8;
    BYTE Parity = NOPARITY;
    BYTE StopBits = ONESTOPBIT;
    char XonChar = 0x11;
    char XoffChar = 0x13;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    WORD wReserved1 = 0;

    bool flag(DWORD mask) const { return (Flags & mask) != 0; }
    void setFlag(DWORD mask, bool on) { Flags = on ? (Flags | mask) : (Flags & ~mask); }
    DWORD dtrControl() const { return (Flags & DCB_fDtrControlMask) >> 4; }
    void setDtrControl(DWORD v) { Flags = (Flags & ~DCB_fDtrControlMask) | ((v << 4) & DCB_fDtrControlMask); }
    DWORD rtsControl() const { return (Flags & DCB_fRtsControlMask) >> 12; }
    void setRtsControl(DWORD v) { Flags = (Flags & ~DCB_fRtsControlMask) | ((v << 12) & DCB_fRtsControlMask); }
};
static_assert(sizeof(DCB) == 28, "DCB keeps the 28-byte Win32 layout");
static_assert(offsetof(DCB, ByteSize) == 18 && offsetof(DCB, XonChar) == 21, "DCB field offsets");

// A port's configuration record as the Win32 COMMCONFIG: 52 bytes, the line settings inside, then
// the provider fields (subtype 1 is a plain RS-232 port; this platform keeps no provider data).
inline constexpr DWORD PST_RS232 = 1;
struct COMMCONFIG {
    DWORD dwSize = sizeof(COMMCONFIG);
    WORD wVersion = 1;
    WORD wReserved = 0;
    DCB dcb;
    DWORD dwProviderSubType = PST_RS232;
    DWORD dwProviderOffset = 0;
    DWORD dwProviderSize = 0;
    WORD wcProviderData[1] = {0};
};
static_assert(sizeof(COMMCONFIG) == 52, "COMMCONFIG keeps the 52-byte Win32 layout");

// Read and write time-outs, as the Win32 record. Our device has no read time-outs of its own (reads
// take what is queued); the write total (multiplier x bytes + constant) becomes a write deadline.
struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout = 0;
    DWORD ReadTotalTimeoutMultiplier = 0;
    DWORD ReadTotalTimeoutConstant = 0;
    DWORD WriteTotalTimeoutMultiplier = 0;
    DWORD WriteTotalTimeoutConstant = 0;
};
inline constexpr DWORD MAXDWORD = 0xFFFFFFFFu;

// Line events (the event mask of a wait).
inline constexpr DWORD EV_RXCHAR = 0x0001;
inline constexpr DWORD EV_RXFLAG = 0x0002;
inline constexpr DWORD EV_TXEMPTY = 0x0004;
inline constexpr DWORD EV_CTS = 0x0008;
inline constexpr DWORD EV_DSR = 0x0010;
inline constexpr DWORD EV_RLSD = 0x0020;
inline constexpr DWORD EV_BREAK = 0x0040;
inline constexpr DWORD EV_ERR = 0x0080;
inline constexpr DWORD EV_RING = 0x0100;

// Modem status bits.
inline constexpr DWORD MS_CTS_ON = 0x0010;
inline constexpr DWORD MS_DSR_ON = 0x0020;
inline constexpr DWORD MS_RING_ON = 0x0040;
inline constexpr DWORD MS_RLSD_ON = 0x0080;

// Comm errors.
inline constexpr DWORD CE_RXOVER = 0x0001;
inline constexpr DWORD CE_OVERRUN = 0x0002;
inline constexpr DWORD CE_RXPARITY = 0x0004;
inline constexpr DWORD CE_FRAME = 0x0008;
inline constexpr DWORD CE_BREAK = 0x0010;
inline constexpr DWORD CE_TXFULL = 0x0100;
inline constexpr DWORD CE_IOE = 0x0400;

// Purge kinds.
inline constexpr DWORD PURGE_TXABORT = 0x0001;
inline constexpr DWORD PURGE_RXABORT = 0x0002;
inline constexpr DWORD PURGE_TXCLEAR = 0x0004;
inline constexpr DWORD PURGE_RXCLEAR = 0x0008;
inline constexpr DWORD PURGE_ALL = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// Escape functions.
inline constexpr DWORD SETXOFF = 1;
inline constexpr DWORD SETXON = 2;
inline constexpr DWORD SETRTS = 3;
inline constexpr DWORD CLRRTS = 4;
inline constexpr DWORD SETDTR = 5;
inline constexpr DWORD CLRDTR = 6;
inline constexpr DWORD RESETDEV = 7;
inline constexpr DWORD SETBREAK = 8;
inline constexpr DWORD CLRBREAK = 9;

} // namespace plat
