// The test program zrcomm-console, started as its own process under the offscreen platform against
// the simulated driver: it connects through the shared library's exports and exchanges a command.
#include <drivesim/DriverSim.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

struct ConsoleRun {
    int exitCode = -1;
    std::string output;
};

ConsoleRun RunConsole(const std::string& arguments)
{
    ConsoleRun r;
    const std::string command = std::string("QT_QPA_PLATFORM=offscreen ") + ZRCOMM_CONSOLE_PROGRAM + " " + arguments;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.output.append(buf, n);
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace

TEST(ConsolePty, ExchangesOneCommandWithTheDriver)
{
    drivesim::Options o;
    o.identification = {"KVX100A 1.00", "SYS 1.00"};
    drivesim::DriverSim sim(o);
    sim.addCommand(drivesim::Match::exact("?P7"), drivesim::Program{drivesim::Line("P7 4711")});
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    const ConsoleRun r = RunConsole("--port " + sim.slavePath() + " --send '?P7' --quit-after --timeout 20000");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("connected: KVX100A 1.00 / SYS 1.00"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("reply (OK):\nP7 4711"), std::string::npos) << r.output;
    EXPECT_NE(sim.received().find("?P7\r"), std::string::npos);
}

TEST(ConsolePty, ReportsAnErrorReplyAndAPortThatCannotOpen)
{
    drivesim::DriverSim sim;
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    const ConsoleRun bad = RunConsole("--port " + sim.slavePath() + " --send NOSUCH --quit-after --timeout 20000");
    EXPECT_EQ(bad.exitCode, 2) << bad.output;
    EXPECT_NE(bad.output.find("reply (unknown command)"), std::string::npos) << bad.output;

    const ConsoleRun missing = RunConsole("--port /nonexistent/tty --send MI --quit-after 2>&1");
    EXPECT_EQ(missing.exitCode, 1) << missing.output;
    EXPECT_NE(missing.output.find("cannot be opened"), std::string::npos) << missing.output;
    const ConsoleRun notTty = RunConsole("--port /dev/null --send MI --quit-after 2>&1");
    EXPECT_NE(notTty.output.find("cannot be opened (/dev/null is not a serial device.)"), std::string::npos)
        << notTty.output;
}

TEST(ConsolePty, EndsAndSaysWhyWhenTheDeviceGoesOrTheIdentificationIsUnreadable)
{
    using drivesim::Fault;
    drivesim::DriverSim gone, garbled;
    ASSERT_TRUE(gone.start() && garbled.start());
    gone.injectFault(Fault(drivesim::FaultKind::HangUp).on("?P7"));
    garbled.injectFault(Fault(drivesim::FaultKind::Garbage).on("MI").always().at(drivesim::GarbagePlace::InReply));
    ::setenv("ZRCOMM_TEST_WATCHDOG_MS", "500", 1); // the console's reply time-out, for the identification
    const ConsoleRun hungUp =
        RunConsole("--port " + gone.slavePath() + " --send '?P7' --quit-after --timeout 20000 2>&1");
    const ConsoleRun unreadable =
        RunConsole("--port " + garbled.slavePath() + " --send MI --quit-after --timeout 20000 2>&1");
    ::unsetenv("ZRCOMM_TEST_WATCHDOG_MS");
    EXPECT_EQ(hungUp.exitCode, 3) << hungUp.output;
    EXPECT_NE(hungUp.output.find("connection lost: Communication failure (Device disconnected): " + gone.slavePath()),
              std::string::npos)
        << hungUp.output;
    EXPECT_EQ(unreadable.exitCode, 3) << unreadable.output;
    EXPECT_NE(unreadable.output.find("identification reply could not be read (received: "), std::string::npos)
        << unreadable.output;
    EXPECT_NE(unreadable.output.find("\\x00\\x07\\x80\\xff"), std::string::npos) << unreadable.output;
}
