// A program that ends with its port still open: the library closes the port while the process
// unloads it, after the ending thread's own state may be gone. The process must end with status 0
// and without a sanitizer report, however it ends.
#include <drivesim/DriverSim.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct ChildRun {
    int exitCode = -1;
    std::string output;
};

ChildRun RunChild(const std::string& port, const char* mode)
{
    ChildRun r;
    const std::string command = std::string(ZRCOMM_EXIT_OPEN_PORT_PROGRAM) + " " + port + " " + mode + " 2>&1";
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

void ExpectCleanEnd(const char* mode)
{
    drivesim::Options o;
    o.identification = {"KVX100A 1.00", "SYS 1.00"};
    drivesim::DriverSim sim(o);
    sim.addCommand(drivesim::Match::exact("?P7"), drivesim::Program{drivesim::Line("P7 4711")});
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    const ChildRun r = RunChild(sim.slavePath(), mode);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("open\n"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Sanitizer"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("runtime error"), std::string::npos) << r.output;
}

} // namespace

TEST(ExitOpenPortPty, ReturnFromMainClosesThePortCleanly)
{
    ExpectCleanEnd("return");
}

TEST(ExitOpenPortPty, ExitClosesThePortCleanly)
{
    ExpectCleanEnd("exit");
}

TEST(ExitOpenPortPty, ExitFromAnotherThreadClosesThePortCleanly)
{
    ExpectCleanEnd("exit-from-thread");
}
