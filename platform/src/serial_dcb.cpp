// DCB <-> termios. The line is always raw: the driver protocol is bytes, and a cooked line would turn
// the carriage returns of every command into line feeds and echo them a second time.
#include <platform/serial_device.h>

#include <cerrno>
#include <termios.h>

namespace plat {
namespace {

struct SpeedEntry {
    DWORD baud;
    speed_t speed;
};
constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

} // namespace

unsigned baudToSpeed(DWORD baud)
{
    for (const auto& e : kSpeeds)
        if (e.baud == baud)
            return e.speed;
    return 0;
}

DWORD speedToBaud(unsigned speed)
{
    for (const auto& e : kSpeeds)
        if (e.speed == speed)
            return e.baud;
    return 0;
}

int dcbToTermios(const DCB& dcb, ::termios& t, unsigned* notes)
{
    if (notes)
        *notes = 0;
    const speed_t speed = baudToSpeed(dcb.BaudRate);
    if (speed == 0)
        return EINVAL;

    tcflag_t size = 0;
    switch (dcb.ByteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return EINVAL;
    }
    if (dcb.Parity > SPACEPARITY || dcb.StopBits > TWOSTOPBITS)
        return EINVAL;

    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= size | CLOCAL | CREAD;
    switch (dcb.Parity) {
    case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: t.c_cflag |= PARENB; break;
    case MARKPARITY: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case SPACEPARITY: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (dcb.Parity != NOPARITY)
        t.c_iflag |= INPCK;
    // termios has no 1.5 stop bits; 2 is the nearest the line can do.
    if (dcb.StopBits == ONE5STOPBITS) {
        t.c_cflag |= CSTOPB;
        if (notes)
            *notes |= SERIAL_NOTE_STOPBITS_15_AS_2;
    } else if (dcb.StopBits == TWOSTOPBITS) {
        t.c_cflag |= CSTOPB;
    }
    if (dcb.flag(DCB_fOutxCtsFlow) || dcb.rtsControl() == RTS_CONTROL_HANDSHAKE)
        t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (dcb.flag(DCB_fOutX))
        t.c_iflag |= IXON;
    if (dcb.flag(DCB_fInX))
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    return 0;
}

void termiosToDcb(const ::termios& t, DCB& dcb)
{
    dcb.DCBlength = sizeof(DCB);
    if (const DWORD baud = speedToBaud(::cfgetospeed(&t)))
        dcb.BaudRate = baud;
    switch (t.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
    }
    if (!(t.c_cflag & PARENB))
        dcb.Parity = NOPARITY;
    else if (t.c_cflag & CMSPAR)
        dcb.Parity = (t.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        dcb.Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    // A remembered 1.5 stays 1.5: the device runs it as 2, the settings keep what was asked for.
    if (!(t.c_cflag & CSTOPB))
        dcb.StopBits = ONESTOPBIT;
    else if (dcb.StopBits != ONE5STOPBITS)
        dcb.StopBits = TWOSTOPBITS;
    dcb.setFlag(DCB_fBinary, true);
    dcb.setFlag(DCB_fParity, dcb.Parity != NOPARITY);
    const bool rtscts = (t.c_cflag & CRTSCTS) != 0;
    dcb.setFlag(DCB_fOutxCtsFlow, rtscts);
    if (rtscts)
        dcb.setRtsControl(RTS_CONTROL_HANDSHAKE);
    else if (dcb.rtsControl() == RTS_CONTROL_HANDSHAKE)
        dcb.setRtsControl(RTS_CONTROL_ENABLE);
    dcb.setFlag(DCB_fOutX, (t.c_iflag & IXON) != 0);
    dcb.setFlag(DCB_fInX, (t.c_iflag & IXOFF) != 0);
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
}

} // namespace plat
