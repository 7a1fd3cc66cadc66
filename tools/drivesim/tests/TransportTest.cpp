// The pseudo-terminal itself: raw mode, line settings, the keeper, hang-up, shutdown, the program.
#include "SimFixture.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

using namespace drivesim;

namespace {

class TransportPty : public SimTest {};

TEST_F(TransportPty, SlaveIsRawBeforeTheUserTouchesIt)
{
    DriverSim s;
    ASSERT_TRUE(s.start());
    PtyClient cooked(s.slavePath(), 0, /*raw=*/false);   // leaves the settings as found
    ASSERT_TRUE(cooked.isOpen());
    const LineSettings ls = s.lineSettings();
    EXPECT_FALSE(ls.echo);
    EXPECT_FALSE(ls.icanon);
    EXPECT_FALSE(ls.isig);
    EXPECT_FALSE(ls.icrnl);
    EXPECT_FALSE(ls.opost);
    // And a CR the user writes arrives as a CR: the driver answers the line.
    EXPECT_EQ(cooked.exchange("WWC\r"), "WWC\r\n:");
}

TEST_F(TransportPty, LineSettingsAreReadThroughTheMaster)
{
    start();
    termios tio{};
    ASSERT_EQ(tcgetattr(client->fd(), &tio), 0);
    tio.c_cflag &= ~CSIZE;
    tio.c_cflag |= CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    tio.c_iflag |= IXON;
    cfsetospeed(&tio, B19200);
    cfsetispeed(&tio, B19200);
    ASSERT_EQ(tcsetattr(client->fd(), TCSANOW, &tio), 0);
    const LineSettings ls = sim->lineSettings();
    EXPECT_EQ(ls.baud, 19200);
    // Linux ptys keep CS8 without parity whatever the user asks; the rest is the user's.
    EXPECT_EQ(ls.stopBits, 2);
    EXPECT_TRUE(ls.rtsCts);
    EXPECT_TRUE(ls.ixon);
    EXPECT_FALSE(ls.ixoff);
}

TEST_F(TransportPty, KeeperKeepsTheMasterAliveAcrossCloseAndReopen)
{
    start();
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
    client->close();
    // Nobody has the slave open now but the keeper: the driver must neither spin nor die.
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(sim->running());
    client = std::make_unique<PtyClient>(sim->slavePath());
    ASSERT_TRUE(client->isOpen());
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
}

TEST_F(TransportPty, HangUpIsSeenAsEioOrPollHup)
{
    start();
    EXPECT_EQ(client->exchange("WWC\r"), "WWC\r\n:");
    sim->hangUp();
    pollfd p{client->fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    char c;
    const ssize_t n = ::read(client->fd(), &c, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO)) << n << " " << errno;
    EXPECT_FALSE(sim->running());
    EXPECT_EQ(sim->masterFd(), -1);
    sim->stop();   // still ends cleanly
}

TEST_F(TransportPty, StopEndsTheThreadWhileItWaitsForAnAnswer)
{
    start();
    sim->addCommand(Match::exact("Q"), Program{Question("SURE")});
    client->write("Q\r");
    EXPECT_EQ(client->readUntil("?"), "Q\r\nSURE?");
    const auto t0 = std::chrono::steady_clock::now();
    sim->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 500ms);
    EXPECT_FALSE(sim->running());
    sim->stop();
}

TEST_F(TransportPty, StartAndStopManyTimesLeaksNothing)
{
    for (int i = 0; i < 20; ++i) {
        DriverSim s;
        ASSERT_TRUE(s.start());
        if (i % 2) {
            PtyClient c(s.slavePath());
            EXPECT_EQ(c.exchange("\r"), "\r\n:");
        }
    }   // destructors stop
}

TEST_F(TransportPty, ProgramPrintsAUsableSlavePath)
{
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    const char* argv[] = {DRIVESIM_PROGRAM, "--prompt", "#>", "--id", "TEST 9.99", nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, DRIVESIM_PROGRAM, &fa, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&fa);
    ::close(out[1]);

    std::string path;
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (::poll(&p, 1, 5000) == 1 && ::read(out[0], &c, 1) == 1 && c != '\n')
        path += c;
    ::close(out[0]);
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    {
        PtyClient c2(path);
        ASSERT_TRUE(c2.isOpen());
        EXPECT_EQ(c2.exchange("MI\r", "#>"), "MI\r\nTEST 9.99\r\n#>");
    }
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(TransportPty, ProgramRefusesUnknownOptions)
{
    const char* argv[] = {DRIVESIM_PROGRAM, "--prompt", ">", nullptr};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, DRIVESIM_PROGRAM, &fa, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

} // namespace

namespace {

TEST_F(TransportPty, StopWhileTheUserDoesNotReadALongReply)
{
    start();
    sim->addCommand(Match::exact("DUMP"), Program{Raw(std::string(256 * 1024, 'D'))});
    client->write("DUMP\r");
    ASSERT_TRUE(sim->waitForLines(1, 1s));
    // The pty buffer fills long before 256 KB: the driver thread now waits to write.
    ASSERT_TRUE(sim->waitForStats([](const Stats& s) { return s.bytesSent > 1000; }, 1s));
    const auto t0 = std::chrono::steady_clock::now();
    sim->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 500ms);
}

TEST_F(TransportPty, RestartGivesAFreshLine)
{
    start();
    client->write("HALF");   // an unfinished line must not survive the restart
    ASSERT_TRUE(sim->waitForInput("HALF", 1s));
    sim->hangUp();
    client.reset();
    sim->stop();
    std::string error;
    ASSERT_TRUE(sim->start(&error)) << error;
    EXPECT_TRUE(sim->running());
    client = std::make_unique<PtyClient>(sim->slavePath());
    EXPECT_EQ(client->exchange("MI\r"), "MI\r\nKVX100A 1.00\r\nSYS 1.00\r\n:");
}

} // namespace
