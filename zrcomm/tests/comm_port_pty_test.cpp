// Opening, configuring and closing a port on a real pseudo-terminal; the port's threads.
#include "comm_port.h"
#include "port_test_access.h"
#include "timings.h"

#include "test_support.h"

#include <platform/errors.h>

#include <testsupport/pty_pair.h>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace zrcomm;
using Access = CCommPortTestAccess;
using zrtest::Message;
using zrtest::RecordingWindow;
using zrtest::TempDir;

namespace {

using Pty = plat::test::PtyPair;

plat::DCB lineSettings(plat::DWORD baud, plat::BYTE bits, plat::BYTE parity, plat::BYTE stop)
{
    plat::DCB d;
    d.BaudRate = baud;
    d.ByteSize = bits;
    d.Parity = parity;
    d.StopBits = stop;
    return d;
}

int openDescriptors()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

} // namespace

TEST(CommPortPty, ConfigureMakesTheLineRawWithTheGivenSettings)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.empty());
    CCommPort port;
    ASSERT_EQ(port.Open(pty.slave), COMM_OK);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.PortName(), pty.slave);
    EXPECT_EQ(port.Open(pty.slave), COMM_ERR_ALREADY_OPEN);

    plat::DCB dcb = lineSettings(19200, 8, plat::NOPARITY, plat::TWOSTOPBITS);
    dcb.setFlag(plat::DCB_fParity, true); // set exactly when there is parity
    ASSERT_EQ(port.Configure(dcb), COMM_OK);
    termios t{};
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B19200));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & PARENB);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_FALSE(port.StoredDcb().flag(plat::DCB_fParity));

    // Odd parity and one stop bit; a pseudo-terminal keeps the speed and stop bits it is given.
    ASSERT_EQ(port.Configure(lineSettings(57600, 7, plat::ODDPARITY, plat::ONESTOPBIT)), COMM_OK);
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(port.StoredDcb().flag(plat::DCB_fParity));
    EXPECT_EQ(port.StoredDcb().Parity, plat::ODDPARITY);

    // 1.5 stop bits run as 2.
    ASSERT_EQ(port.Configure(lineSettings(9600, 8, plat::NOPARITY, plat::ONE5STOPBITS)), COMM_OK);
    ASSERT_EQ(tcgetattr(pty.master, &t), 0);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_EQ(port.ConnectionState(), CONN_NONE);
    EXPECT_EQ(port.CommandMode(), 0);
    EXPECT_EQ(port.Close(), COMM_OK);
}

TEST(CommPortPty, ConfigureFailsForSettingsTheLineCannotTake)
{
    Pty pty;
    CCommPort port;
    EXPECT_EQ(port.Configure(lineSettings(9600, 8, 0, 0)), COMM_ERR_NOT_OPEN);
    ASSERT_EQ(port.Open(pty.slave), COMM_OK);
    EXPECT_EQ(port.Configure(lineSettings(12345, 8, 0, 0)), COMM_ERR_SETUP_FAILED);
    EXPECT_EQ(port.GetPortError(), plat::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(port.Configure(lineSettings(9600, 9, 0, 0)), COMM_ERR_SETUP_FAILED);
    EXPECT_EQ(port.Configure(lineSettings(9600, 8, 7, 0)), COMM_ERR_SETUP_FAILED);
    EXPECT_EQ(port.Configure(lineSettings(9600, 8, 0, 0)), COMM_OK);
}

TEST(CommPortPty, OpenFailuresGiveTheOpenFailedCodeAndLeakNothing)
{
    TempDir dir;
    const std::string file = dir.file("not-a-port");
    zrtest::writeFile(file, "x");
    const int fds = openDescriptors();
    struct Case {
        std::string name;
        int error;
    };
    for (const Case& c : {Case{"/dev/no-such-port", ENOENT}, Case{dir.path(), EISDIR}, Case{file, ENOTTY},
                          Case{"COM250", ENOENT}, Case{"", ENOENT}}) {
        CCommPort port;
        EXPECT_EQ(port.Open(c.name), COMM_ERR_OPEN_FAILED) << c.name;
        EXPECT_EQ(port.GetPortError(), plat::ErrorFromErrno(c.error)) << c.name;
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.Close(), COMM_ERR_NOT_OPEN);
        if (!c.name.empty() && c.name[0] == '/') {
            EXPECT_NE(port.OpenErrorText().find(c.name), std::string::npos);
        }
    }
    EXPECT_EQ(openDescriptors(), fds);
}

TEST(CommPortPty, ADeviceInUseIsRefused)
{
    Pty pty;
    CCommPort first, second;
    ASSERT_EQ(first.Open(pty.slave), COMM_OK);
    EXPECT_EQ(second.Open(pty.slave), COMM_ERR_OPEN_FAILED);
    EXPECT_EQ(second.GetPortError(), plat::ERROR_BUSY);
    EXPECT_NE(second.OpenErrorText().find("in use"), std::string::npos);
}

TEST(CommPortPty, PermissionDeniedSaysSoWithTheDevicePath)
{
    Pty pty;
    const bool root = ::geteuid() == 0;
    if (!root) {
        ASSERT_EQ(::chmod(pty.slave.c_str(), 0), 0);
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // As root no file mode keeps us out: drop privileges first.
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(10);
        CCommPort port;
        const bool ok = port.Open(pty.slave) == COMM_ERR_OPEN_FAILED &&
                        port.GetPortError() == plat::ERROR_ACCESS_DENIED &&
                        port.OpenErrorText().find("Permission denied") != std::string::npos &&
                        port.OpenErrorText().find(pty.slave) != std::string::npos && !port.IsOpen();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(CommPortPty, CloseAlwaysClosesTheDevice)
{
    Pty pty;
    RecordingWindow monitor;
    {
        CCommPort port;
        ASSERT_EQ(port.Open(pty.slave), COMM_OK);
        ASSERT_EQ(port.Configure(lineSettings(9600, 8, 0, 2)), COMM_OK);
        port.SetMonitorWindow(monitor.hwnd());
        EXPECT_FALSE(port.ThreadsRunning());
        EXPECT_EQ(port.Escape(plat::RESETDEV), 0u);
        const plat::DWORD noModemLines = port.Escape(plat::SETDTR); // a pseudo-terminal has none
        EXPECT_NE(noModemLines, 0u);
        EXPECT_NE(noModemLines, COMM_ERR_NOT_OPEN);
        EXPECT_EQ(port.Close(), COMM_OK); // no threads ever ran
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.Close(), COMM_ERR_NOT_OPEN);
        EXPECT_EQ(port.Escape(plat::SETDTR), COMM_ERR_NOT_OPEN);
    }
    EXPECT_EQ(monitor.pump(), (std::vector<Message>{{WM_COMM_MONITOR, COMM_MONITOR_PORT_CLOSED, 0}}));
    CCommPort again;
    EXPECT_EQ(again.Open(pty.slave), COMM_OK); // the device was released
}

TEST(CommPortPty, ThreadsStartReportLineEventsAndStopCleanly)
{
    Pty pty;
    RecordingWindow monitor;
    {
        CCommPort port;
        ASSERT_EQ(port.Open(pty.slave), COMM_OK);
        ASSERT_EQ(port.Configure(lineSettings(9600, 8, 0, 2)), COMM_OK);
        port.SetMonitorWindow(monitor.hwnd());
        ASSERT_EQ(port.StartThreads(), 0u);
        EXPECT_TRUE(port.ThreadsRunning());
        EXPECT_TRUE(Access::BothThreads(port));

        plat::SerialDevice::injectLineEvents(pty.slave, plat::EV_CTS | plat::EV_BREAK);
        // The probes that go out meanwhile bring activity notices; the line event is the one asked for.
        const auto lineEvents = [&] {
            std::vector<Message> out;
            for (const Message& m : monitor.seen())
                if (m.wParam == COMM_MONITOR_LINE_EVENT)
                    out.push_back(m);
            return out;
        };
        EXPECT_TRUE(monitor.pumpUntil([&](const std::vector<Message>&) { return !lineEvents().empty(); }));
        EXPECT_EQ(lineEvents().front(),
                  (Message{WM_COMM_MONITOR, COMM_MONITOR_LINE_EVENT, plat::EV_CTS | plat::EV_BREAK}));

        EXPECT_EQ(port.Close(), COMM_OK);
        EXPECT_FALSE(port.ThreadsRunning());
        EXPECT_FALSE(Access::AnyThread(port)); // both joined
    }
}

TEST(CommPortPty, StoppingAbortsRecordsUnderWayAndReportsTheLostConnection)
{
    Pty pty;
    RecordingWindow notify, monitor, textWnd;
    CCommPort port;
    ASSERT_EQ(port.Open(pty.slave), COMM_OK);
    ASSERT_EQ(port.Configure(lineSettings(9600, 8, 0, 2)), COMM_OK);
    port.SetNotifyWindow(notify.hwnd());
    port.SetMonitorWindow(monitor.hwnd());
    ASSERT_EQ(port.StartThreads(), 0u);
    CCommCommand* engaged;
    CCommCommand* failed;
    CCommCommand* waiting;
    {
        PortLock lock(port);
        Access::SetConnection(port, CONN_CONNECTED);
        engaged = port.QueueCommand(port.NewCommand(1, "?PR\r", nullptr, 5));
        engaged->state = CMD_WAIT_REPLY;
        failed = port.QueueCommand(port.NewCommand(1, "A\r", nullptr, 0));
        failed->state = CMD_NO_ECHO;
        waiting = port.QueueCommand(port.NewCommand(1, "B\r", nullptr, 0));
        auto* text = port.QueueCommand(port.NewCommand(0, "T", textWnd.hwnd(), 0));
        text->state = CMD_SENDING;
    }
    EXPECT_EQ(port.Close(), COMM_OK);
    EXPECT_EQ(engaged->state, CMD_ABORTED);
    EXPECT_EQ(failed->state, CMD_NO_ECHO);
    EXPECT_EQ(waiting->state, CMD_WAITING);
    EXPECT_EQ(port.CountRecords(1), 3); // commands stay until removed
    EXPECT_EQ(port.CountRecords(0), 0);
    EXPECT_EQ(port.ConnectionState(), CONN_NONE);
    EXPECT_EQ(notify.pump(), (std::vector<Message>{{WM_COMM_COMMAND, COMM_EVENT_ABORTED, engaged->id}}));
    EXPECT_EQ(textWnd.seen(), (std::vector<Message>{{WM_COMM_TEXT, COMM_EVENT_ABORTED, 0}}));
    EXPECT_EQ(monitor.pump(), (std::vector<Message>{{WM_COMM_MONITOR, COMM_MONITOR_CONNECTION_LOST, 0},
                                                    {WM_COMM_MONITOR, COMM_MONITOR_PORT_CLOSED, 0}}));
}

TEST(CommPortPty, AThreadThatCannotStartLeavesNoThreadRunning)
{
    Pty pty;
    for (int which : {1, 2}) {
        const detail::ScopedTestHooks hooks({.failThreadStart = which});
        CCommPort port;
        ASSERT_EQ(port.Open(pty.slave), COMM_OK);
        ASSERT_EQ(port.Configure(lineSettings(9600, 8, 0, 2)), COMM_OK);
        EXPECT_EQ(port.StartThreads(), plat::ErrorFromErrno(EAGAIN)) << which;
        EXPECT_FALSE(port.ThreadsRunning());
        EXPECT_FALSE(Access::AnyThread(port)) << which; // the one that did start was joined
        EXPECT_EQ(port.Close(), COMM_OK);
    }
}

TEST(CommPortPty, BaudChangeStartsWithItsTestStep)
{
    Pty pty;
    CCommPort port;
    ASSERT_EQ(port.Open(pty.slave), COMM_OK);
    ASSERT_EQ(port.Configure(lineSettings(9600, 8, 0, 2)), COMM_OK);
    EXPECT_EQ(port.StartBaudChange(38400), COMM_OK);
    EXPECT_TRUE(port.BaudChangeRunning());
    EXPECT_EQ(port.StartBaudChange(38400), COMM_ERR_BUSY);
    auto q = Access::Queue(port);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0]->id, STEP_BAUD_TEST);
    EXPECT_EQ(q[0]->text.ToString(), "BDT10000.0\r");
    EXPECT_EQ(q[0]->param, 38400);
    EXPECT_TRUE(Access::WakeEvent(port).isSet());
}
