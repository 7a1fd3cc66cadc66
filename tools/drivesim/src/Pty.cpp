#include "Pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace drivesim {

namespace {
struct SpeedPair {
    speed_t speed;
    int baud;
};
constexpr SpeedPair kSpeeds[] = {
    {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},
    {B150, 150},       {B200, 200},       {B300, 300},       {B600, 600},
    {B1200, 1200},     {B1800, 1800},     {B2400, 2400},     {B4800, 4800},
    {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},
    {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};
} // namespace

int baudFromSpeed(unsigned speed)
{
    for (const auto& p : kSpeeds)
        if (p.speed == speed)
            return p.baud;
    return 0;
}

unsigned speedFromBaud(int baud)
{
    for (const auto& p : kSpeeds)
        if (p.baud == baud)
            return p.speed;
    return 0;
}

bool openPty(PtyPair& pty, std::string& error)
{
    auto fail = [&](const char* what) {
        error = std::string(what) + ": " + std::strerror(errno);
        closePty(pty);
        return false;
    };
    pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.master < 0)
        return fail("posix_openpt");
    if (grantpt(pty.master) != 0)
        return fail("grantpt");
    if (unlockpt(pty.master) != 0)
        return fail("unlockpt");
    char name[128];
    if (ptsname_r(pty.master, name, sizeof name) != 0)
        return fail("ptsname");
    pty.slavePath = name;
    // Raw mode before anyone opens the slave: the default cooked mode would echo our own
    // output back to us and turn CR into LF.
    termios tio{};
    if (tcgetattr(pty.master, &tio) != 0)
        return fail("tcgetattr");
    cfmakeraw(&tio);
    if (tcsetattr(pty.master, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    pty.keeper = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.keeper < 0)
        return fail("open slave");
    int flags = fcntl(pty.master, F_GETFL);
    if (flags < 0 || fcntl(pty.master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    return true;
}

void closePty(PtyPair& pty)
{
    if (pty.keeper >= 0)
        ::close(pty.keeper);
    if (pty.master >= 0)
        ::close(pty.master);
    pty.keeper = -1;
    pty.master = -1;
}

bool readLineSettings(int master, LineSettings& s)
{
    termios tio{};
    if (master < 0 || tcgetattr(master, &tio) != 0)
        return false;
    s.baud = baudFromSpeed(cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
    case CS5: s.dataBits = 5; break;
    case CS6: s.dataBits = 6; break;
    case CS7: s.dataBits = 7; break;
    default: s.dataBits = 8; break;
    }
    s.parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 'O' : 'E') : 'N';
    s.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    s.rtsCts = (tio.c_cflag & CRTSCTS) != 0;
    s.ixon = (tio.c_iflag & IXON) != 0;
    s.ixoff = (tio.c_iflag & IXOFF) != 0;
    s.echo = (tio.c_lflag & ECHO) != 0;
    s.icanon = (tio.c_lflag & ICANON) != 0;
    s.isig = (tio.c_lflag & ISIG) != 0;
    s.icrnl = (tio.c_iflag & ICRNL) != 0;
    s.inlcr = (tio.c_iflag & INLCR) != 0;
    s.igncr = (tio.c_iflag & IGNCR) != 0;
    s.opost = (tio.c_oflag & OPOST) != 0;
    return true;
}

long long byteTimeNs(const LineSettings& s, int baud)
{
    if (baud <= 0)
        return 0;
    const int bits = 1 + s.dataBits + (s.parity == 'N' ? 0 : 1) + s.stopBits;
    return 1'000'000'000LL * bits / baud;
}

} // namespace drivesim
