// Serial devices: the DCB record, its translation to termios, port names, and a device opened on a
// pseudo-terminal (the "Pty" suites).
#include <platform/comm_port_names.h>
#include <platform/serial_device.h>
#include <platform/sync.h>

#include <testsupport/pty_pair.h>
#include <testsupport/temp_folder.h>
#include <testsupport/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace plat;

namespace {

using Pty = plat::test::PtyPair;

DCB settings(DWORD baud, BYTE bits, BYTE parity, BYTE stop)
{
    DCB d;
    d.BaudRate = baud;
    d.ByteSize = bits;
    d.Parity = parity;
    d.StopBits = stop;
    return d;
}

} // namespace

TEST(SerialDcb, KeepsTheWin32LayoutAndFlagBits)
{
    DCB d;
    EXPECT_EQ(sizeof(DCB), 28u);
    d.Flags = 0;
    d.setDtrControl(DTR_CONTROL_HANDSHAKE);
    d.setRtsControl(RTS_CONTROL_HANDSHAKE);
    d.setFlag(DCB_fOutxCtsFlow, true);
    d.setFlag(DCB_fOutxDsrFlow, true);
    EXPECT_EQ(d.Flags, 0x202Cu); // the hardware-handshake bits as stored settings carry them
    d.Flags = (d.Flags & ~0x232Cu) | 0x1010u;
    EXPECT_EQ(d.dtrControl(), DTR_CONTROL_ENABLE);
    EXPECT_EQ(d.rtsControl(), RTS_CONTROL_ENABLE);
    EXPECT_FALSE(d.flag(DCB_fOutxCtsFlow));
}

TEST(SerialDcb, TranslatesToRawTermios)
{
    termios t{};
    t.c_lflag = ICANON | ECHO | ISIG;
    t.c_iflag = ICRNL;
    t.c_oflag = OPOST | ONLCR;
    ASSERT_EQ(dcbToTermios(settings(19200, 7, ODDPARITY, TWOSTOPBITS), t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & ICRNL, 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(t.c_cflag & PARENB);
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_TRUE(t.c_cflag & CREAD);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(t.c_cc[VMIN], 0);

    DCB back;
    termiosToDcb(t, back);
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_EQ(back.ByteSize, 7);
    EXPECT_EQ(back.Parity, ODDPARITY);
    EXPECT_EQ(back.StopBits, TWOSTOPBITS);
    EXPECT_TRUE(back.flag(DCB_fParity));
}

TEST(SerialDcb, FlowControlAndMarkSpaceParity)
{
    termios t{};
    DCB d = settings(57600, 8, MARKPARITY, ONESTOPBIT);
    d.setFlag(DCB_fOutxCtsFlow, true);
    d.setFlag(DCB_fOutX, true);
    ASSERT_EQ(dcbToTermios(d, t), 0);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_iflag & IXOFF);
    EXPECT_TRUE(t.c_cflag & CMSPAR);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    DCB back;
    termiosToDcb(t, back);
    EXPECT_EQ(back.Parity, MARKPARITY);
    EXPECT_TRUE(back.flag(DCB_fOutX));
    EXPECT_EQ(back.rtsControl(), RTS_CONTROL_HANDSHAKE);
}

TEST(SerialDcb, OneAndAHalfStopBitsRunAsTwoAndSaySo)
{
    termios t{};
    unsigned notes = 0;
    ASSERT_EQ(dcbToTermios(settings(9600, 8, NOPARITY, ONE5STOPBITS), t, &notes), 0);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_EQ(notes, SERIAL_NOTE_STOPBITS_15_AS_2);
}

TEST(SerialDcb, RefusesWhatTermiosCannotDo)
{
    termios t{};
    EXPECT_EQ(dcbToTermios(settings(12345, 8, NOPARITY, ONESTOPBIT), t), EINVAL);
    EXPECT_EQ(dcbToTermios(settings(9600, 9, NOPARITY, ONESTOPBIT), t), EINVAL);
    EXPECT_EQ(dcbToTermios(settings(9600, 8, 5, ONESTOPBIT), t), EINVAL);
    EXPECT_EQ(dcbToTermios(settings(9600, 8, NOPARITY, 3), t), EINVAL);
    EXPECT_EQ(baudToSpeed(115200), static_cast<unsigned>(B115200));
    EXPECT_EQ(speedToBaud(B38400), 38400u);
}

TEST(SerialPortNames, DefaultTableAndExtraPorts)
{
    ClearExtPorts();
    EXPECT_EQ(CommPortDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(CommPortDevicePath("com4"), "/dev/ttyS3");
    EXPECT_EQ(CommPortDevicePath("COM5"), "/dev/ttyUSB0");
    EXPECT_EQ(CommPortDevicePath("COM20"), "/dev/ttyUSB15");
    EXPECT_EQ(CommPortDevicePath("COM21"), "/dev/ttyACM0");
    EXPECT_EQ(CommPortDevicePath("COM36"), "/dev/ttyACM15");
    EXPECT_EQ(CommPortDevicePath("COM37"), "");
    EXPECT_EQ(CommPortDevicePath("COM0"), "");
    EXPECT_EQ(CommPortDevicePath("COM01"), "");
    EXPECT_EQ(CommPortDevicePath("ttyS0"), "");
    EXPECT_EQ(CommPortDevicePath("\\\\.\\COM2"), "/dev/ttyS1");
    EXPECT_EQ(CommPortDevicePath("/dev/pts/7"), "/dev/pts/7");

    SetExtPort("com7", "/dev/pts/3");
    SetExtPort("COM100", "/dev/ttyXR0");
    SetExtPort("COM300", "/dev/never"); // no such port number: ignored
    EXPECT_EQ(CommPortDevicePath("COM7"), "/dev/pts/3");
    EXPECT_EQ(CommPortDevicePath("COM100"), "/dev/ttyXR0");
    EXPECT_EQ(CommPortNameForDevice("/dev/pts/3"), "COM7");
    EXPECT_EQ(CommPortNameForDevice("/dev/ttyUSB2"), ""); // COM7's default device went to [ExtPort]
    EXPECT_EQ(CommPortNameForDevice("/dev/ttyUSB3"), "COM8");
    EXPECT_EQ(CommPortNameForDevice("/dev/ttyACM15"), "COM36");
    EXPECT_EQ(CommPortNameForDevice("/dev/ttyACM16"), "");
    ASSERT_EQ(ExtPorts().size(), 2u);
    EXPECT_EQ(ExtPorts()[0].first, "COM7");
    SetExtPort("COM7", "");
    EXPECT_EQ(CommPortDevicePath("COM7"), "/dev/ttyUSB2");
    ClearExtPorts();
}

TEST(SerialDeviceOpen, FailuresSayWhatIsWrongAndLeakNothing)
{
    SerialDevice d;
    auto r = d.open("/dev/no-such-serial-device");
    EXPECT_EQ(r.error, SerialOpenError::Missing);
    EXPECT_NE(r.message.find("/dev/no-such-serial-device"), std::string::npos);
    EXPECT_FALSE(d.isOpen());

    r = d.open("COM250"); // a name with no device behind it
    EXPECT_EQ(r.error, SerialOpenError::Missing);

    const plat::test::TempFolder folder;
    const std::string dir = folder.path();
    r = d.open(dir);
    EXPECT_EQ(r.error, SerialOpenError::NotATty);
    const std::string file = std::string(dir) + "/plain";
    ::close(::open(file.c_str(), O_CREAT | O_WRONLY, 0644));
    r = d.open(file);
    EXPECT_EQ(r.error, SerialOpenError::NotATty);
    EXPECT_EQ(r.sysError, ENOTTY);
    EXPECT_NE(r.message.find(file), std::string::npos);
    EXPECT_FALSE(d.isOpen());

    EXPECT_NE(serialOpenErrorText(SerialOpenError::PermissionDenied, EACCES, "/dev/ttyUSB0").find("/dev/ttyUSB0"),
              std::string::npos);
}

TEST(SerialDevicePty, OpensExclusivelyAndConfiguresRaw)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    SerialDevice a;
    ASSERT_TRUE(a.open(pty.slave).ok());
    EXPECT_EQ(a.devicePath(), pty.slave);

    SerialDevice b;
    const auto busy = b.open(pty.slave);
    EXPECT_EQ(busy.error, SerialOpenError::InUse);
    EXPECT_NE(busy.message.find(pty.slave), std::string::npos);

    ASSERT_EQ(a.setState(settings(38400, 8, NOPARITY, TWOSTOPBITS)), 0);
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master, &t), 0); // the master reports the slave's settings
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B38400));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    // A pseudo-terminal takes parity and 7 bits without keeping them; the settings stay as set.
    ASSERT_EQ(a.setState(settings(19200, 7, EVENPARITY, ONESTOPBIT)), 0);
    DCB back;
    ASSERT_EQ(a.getState(back), 0);
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_EQ(back.ByteSize, 7);
    EXPECT_EQ(back.Parity, EVENPARITY);
    EXPECT_TRUE(back.flag(DCB_fParity));
    EXPECT_EQ(a.setState(settings(31000, 8, NOPARITY, ONESTOPBIT)), EINVAL);

    a.close();
    EXPECT_TRUE(b.open(pty.slave).ok()); // closing released the device
}

TEST(SerialDevicePty, ReadsWritesAndPurges)
{
    Pty pty;
    SerialDevice d;
    ASSERT_TRUE(d.open(pty.slave).ok());
    ASSERT_EQ(d.setState(settings(9600, 8, NOPARITY, ONESTOPBIT)), 0);

    const auto w = d.write("MI\r", 3, 1000);
    EXPECT_EQ(w.status, SerialWriteResult::Ok);
    EXPECT_EQ(w.written, 3u);
    EXPECT_EQ(pty.readAtLeast(3), "MI\r"); // raw: the CR stays a CR

    ASSERT_EQ(::write(pty.master, "ABC:", 4), 4);
    EXPECT_TRUE(plat::test::waitUntil([&] { return d.inputQueueCount() >= 4u; }));
    EXPECT_EQ(d.inputQueueCount(), 4u);
    char buf[16] = {};
    EXPECT_EQ(d.read(buf, sizeof buf), 4);
    EXPECT_EQ(std::string(buf, 4), "ABC:");
    EXPECT_EQ(d.read(buf, sizeof buf), 0);

    ASSERT_EQ(::write(pty.master, "junk", 4), 4);
    EXPECT_TRUE(plat::test::waitUntil([&] { return d.inputQueueCount() >= 4u; }));
    EXPECT_EQ(d.purge(PURGE_RXABORT | PURGE_RXCLEAR), 0);
    EXPECT_EQ(d.inputQueueCount(), 0u);
}

TEST(SerialDevicePty, WriteGivesUpAtItsDeadlineOrWhenCancelled)
{
    Pty pty; // nobody reads the master: the line fills up
    SerialDevice d;
    ASSERT_TRUE(d.open(pty.slave).ok());
    ASSERT_EQ(d.setState(settings(9600, 8, NOPARITY, ONESTOPBIT)), 0);
    std::string big(1 << 20, 'x');
    const auto t0 = std::chrono::steady_clock::now();
    const auto w = d.write(big.data(), big.size(), 100);
    EXPECT_EQ(w.status, SerialWriteResult::TimedOut);
    EXPECT_LT(w.written, big.size());
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    EXPECT_TRUE(d.clearErrors() & CE_TXFULL);
    EXPECT_EQ(d.clearErrors(), 0u);

    Event cancel(true, true);
    const auto c = d.write(big.data(), big.size(), 60000, cancel.fd());
    EXPECT_EQ(c.status, SerialWriteResult::Cancelled);
}

TEST(SerialDevicePty, ModemStatusAndTestHooks)
{
    Pty pty;
    SerialDevice d;
    ASSERT_TRUE(d.open(pty.slave).ok());
    EXPECT_FALSE(d.hasModemLines());
    EXPECT_TRUE(d.modemStatus() & MS_CTS_ON); // no modem lines: clear to send
    EXPECT_NE(d.escape(SETDTR), 0);           // and none to raise
    EXPECT_EQ(d.escape(RESETDEV), 0);
    EXPECT_EQ(d.escape(99), EINVAL);

    SerialDevice::setCtsForcedOff(pty.slave, true);
    EXPECT_FALSE(d.modemStatus() & MS_CTS_ON);
    SerialDevice::setCtsForcedOff(pty.slave, false);
    EXPECT_TRUE(d.modemStatus() & MS_CTS_ON);
}

TEST(SerialDevicePty, LineEventWaitCanBeCancelledAndSeesBytesAndInjectedEvents)
{
    Pty pty;
    SerialDevice d;
    ASSERT_TRUE(d.open(pty.slave).ok());
    ASSERT_EQ(d.setState(settings(9600, 8, NOPARITY, ONESTOPBIT)), 0);
    d.setEventMask(EV_RXCHAR | EV_CTS | EV_BREAK);
    Event stop(true, false);

    auto r = d.waitEvent(stop.fd(), 30);
    EXPECT_EQ(r.status, SerialWaitResult::TimedOut);

    ASSERT_EQ(::write(pty.master, ":", 1), 1);
    r = d.waitEvent(stop.fd(), 1000);
    EXPECT_EQ(r.status, SerialWaitResult::Events);
    EXPECT_EQ(r.mask, EV_RXCHAR);
    char c;
    EXPECT_EQ(d.read(&c, 1), 1);

    SerialDevice::injectLineEvents(pty.slave, EV_CTS | EV_DSR); // EV_DSR is not asked for
    r = d.waitEvent(stop.fd(), 1000);
    EXPECT_EQ(r.status, SerialWaitResult::Events);
    EXPECT_EQ(r.mask, EV_CTS);

    stop.set();
    const auto t0 = std::chrono::steady_clock::now();
    r = d.waitEvent(stop.fd(), 60000);
    EXPECT_EQ(r.status, SerialWaitResult::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

TEST(SerialDevicePty, HangUpIsReportedAtOnceThenAtTheEndOfEachWait)
{
    Pty pty;
    SerialDevice d;
    ASSERT_TRUE(d.open(pty.slave).ok());
    ASSERT_EQ(d.setState(settings(9600, 8, NOPARITY, ONESTOPBIT)), 0);
    d.setEventMask(EV_RXCHAR | EV_ERR);
    ::close(pty.master);
    pty.master = -1;
    auto t0 = std::chrono::steady_clock::now();
    auto r = d.waitEvent(-1, 60000);
    EXPECT_EQ(r.status, SerialWaitResult::HungUp);
    EXPECT_TRUE(IsDeviceGoneError(r.sysError)) << r.sysError; // a pseudo-terminal's node goes too
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
    t0 = std::chrono::steady_clock::now();
    r = d.waitEvent(-1, 60); // no spinning on a dead line
    EXPECT_EQ(r.status, SerialWaitResult::HungUp);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(50));
    const auto w = d.write("x", 1, 100);
    EXPECT_NE(w.status, SerialWriteResult::Ok);
    EXPECT_TRUE(IsDeviceGoneError(w.sysError));
}

TEST(SerialDevicePty, PermissionDeniedNamesTheDevice)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    const bool root = ::geteuid() == 0;
    if (!root) {
        ASSERT_EQ(::chmod(pty.slave.c_str(), 0), 0);
    }
    // As root no file mode keeps us out: the open is tried by a child that dropped its privileges.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        SerialDevice d;
        const auto r = d.open(pty.slave);
        const bool ok = r.error == SerialOpenError::PermissionDenied && r.sysError == EACCES &&
                        r.message.find(pty.slave) != std::string::npos &&
                        r.message.find("Permission denied") != std::string::npos;
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SerialDevicePty, ThePortLockDiesWithItsProcessEvenForAnOrdinaryUser)
{
    Pty pty; // the master stays open throughout, as a driver's side would
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::chown(pty.slave.c_str(), 65534, 65534) == 0);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    // Each opener is a process of its own, as an ordinary user; a holder says 'y' and stays.
    auto opener = [&](SerialOpenError expected, bool hold) {
        const pid_t child = ::fork();
        if (child != 0)
            return child;
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        SerialDevice d;
        const auto r = d.open(pty.slave);
        const bool ok = r.error == expected &&
                        (r.ok() || r.message == "Serial device " + pty.slave + " is in use by another program.");
        if (hold && ::write(ready[1], ok ? "y" : "n", 1) == 1)
            ::pause();
        ::_exit(ok ? 0 : 1);
    };
    auto exitCode = [status = 0](pid_t child) mutable {
        return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const pid_t holder = opener(SerialOpenError::None, true);
    char opened = 0;
    EXPECT_TRUE(::read(ready[0], &opened, 1) == 1 && opened == 'y');
    EXPECT_EQ(exitCode(opener(SerialOpenError::InUse, false)), 0) << "a live holder keeps the port";
    ::kill(holder, SIGKILL);
    exitCode(holder);
    EXPECT_EQ(exitCode(opener(SerialOpenError::None, false)), 0) << "the killed holder left the port free";
    for (const int fd : ready)
        ::close(fd);
}
