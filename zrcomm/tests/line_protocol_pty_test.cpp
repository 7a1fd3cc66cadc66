// The send and receive threads against the simulated driver: probing and identification, one command
// from its first write to its prompt, echoes with and without a marker, and where the reports go.
#include "line_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zrcomm;
using namespace zrtest;
using drivesim::Line;
using drivesim::Match;
using drivesim::Program;

namespace {

class LinePty : public LineTest {};

} // namespace

TEST_F(LinePty, ADriverAnsweringTheProbeIsIdentifiedAndReported)
{
    drivesim::Options o;
    o.identification = {"SIMDRV-100 V1.00", "SYS 2.00"};
    Start(o);
    EXPECT_EQ(port->ConnectionState(), CONN_CONNECTED);
    EXPECT_EQ(port->Identification(), "SIMDRV-100 V1.00\rSYS 2.00\r");
    EXPECT_FALSE(CCommPortTestAccess::Probing(*port));
    const std::string wire = sim->received();
    EXPECT_EQ(wire.rfind("WWC\r\b\r", 0), 0u) << wire;
    EXPECT_NE(wire.find("MI\r"), std::string::npos);
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_CONNECTED), 1);
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_NOT_CONNECTED), 0);
    const std::string log = Log();
    EXPECT_NE(log.find("T Checking connection"), std::string::npos) << log;
    EXPECT_NE(log.find("Checking connection..."), std::string::npos);
    EXPECT_NE(log.find("Start connection"), std::string::npos);
    EXPECT_NE(log.find("S WWC\\r\\x08\\r"), std::string::npos) << log;
    EXPECT_NE(log.find("S MI\\r"), std::string::npos);

    // No probe once connected.
    const auto probes = sim->stats().probes;
    Run("?ABC\r", COMM_EVENT_COMPLETED);
    EXPECT_EQ(sim->stats().probes, probes);
}

TEST_F(LinePty, ASilentDriverIsReportedAtEachNoticeIntervalAndProbedAgain)
{
    drivesim::Options o;
    Start(o, false);
    const int silence = sim->injectFault(drivesim::Fault(drivesim::FaultKind::Silence).always());
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_NOT_CONNECTED, 2, 3000));
    EXPECT_GE(sim->stats().probes, 3u);
    EXPECT_EQ(port->ConnectionState(), CONN_NONE);
    EXPECT_TRUE(CCommPortTestAccess::Probing(*port));
    // Commands queued meanwhile wait for the driver, and do not make the probes go out faster.
    auto* r = Queue("?ABC\r");
    const auto before = sim->stats().probes;
    Until([] { return false; }, 250);
    EXPECT_LE(sim->stats().probes - before, 4u);
    EXPECT_EQ(State(r), CMD_WAITING);
    // The driver comes back: it is found, identified, and the waiting command runs.
    sim->clearFault(silence);
    sim->addCommand(Match::exact("?ABC"), Program{Line("ABC 1")});
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTED));
    ASSERT_TRUE(WaitEvent(r, COMM_EVENT_COMPLETED));
    EXPECT_EQ(Reply(r), "ABC 1\r");
}

TEST_F(LinePty, ACommandRunsThroughItsEventsToItsPrompt)
{
    Start();
    sim->addCommand(Match::exact("?ABC"), Program{Line("ABC 1234")});
    auto* r = Run("?ABC\r");
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
    EXPECT_EQ(State(r), CMD_COMPLETED);
    EXPECT_EQ(r->result, COMM_OK);
    EXPECT_EQ(Reply(r), "ABC 1234\r");
    char out[64];
    EXPECT_EQ(r->reply.CopyOutReply(out, sizeof out), 9u);
    EXPECT_STREQ(out, "ABC 1234");
    EXPECT_TRUE(LogHas("S ?ABC\\r"));
    EXPECT_TRUE(LogHas("R ABC\\s1234\\r\\n:") || LogHas("R ?ABC"));

    // A finished command stays at the head and holds the next one back until it is removed.
    sim->addCommand(Match::exact("?DEF"), Program{Line("  DEF 1"), Line("DEF 2")});
    auto* next = Queue("?DEF\r");
    Until([] { return false; }, 150);
    EXPECT_EQ(State(next), CMD_WAITING);
    Remove(r);
    port->WakeSender();
    ASSERT_TRUE(WaitEvent(next, COMM_EVENT_COMPLETED));
    EXPECT_EQ(Reply(next), "DEF 1\rDEF 2\r"); // leading blanks dropped
}

TEST_F(LinePty, ReportsGoToTheCommandsOwnWindowElseTheNotifyWindow)
{
    Start();
    sim->addCommand(Match::prefix("?"), Program{Line("OK")});
    RecordingWindow own;
    auto* mine = Queue("?A\r", own.hwnd());
    ASSERT_TRUE(Until([&] { return Count(own, WM_COMM_COMMAND, COMM_EVENT_COMPLETED) == 1; }));
    EXPECT_EQ(Events(mine, &own), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
    EXPECT_TRUE(Events(mine).empty());
    Remove(mine);
    auto* theirs = Run("?B\r");
    EXPECT_EQ(Events(theirs), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
    EXPECT_EQ(Count(own, WM_COMM_COMMAND, COMM_EVENT_COMPLETED), 1);
}

TEST_F(LinePty, EchoesWithAMarkerOrALoneCarriageReturnAreFound)
{
    drivesim::Options o;
    o.echoMarker = "@1";
    o.echoLineEnd = drivesim::LineEnd::Cr;
    Start(o);
    sim->addCommand(Match::exact("?ABC"), Program{Line("VAL 5@2"), Line("X")});
    auto* r = Run("?ABC\r");
    EXPECT_EQ(Reply(r), "VAL 5\rX\r");
    EXPECT_EQ(r->result, COMM_OK);
}

TEST_F(LinePty, ALineEchoedByteByByteAndRepliesSplitAtAwkwardPlacesFrameTheSame)
{
    Start();
    sim->addCommand(Match::exact("?SPLIT"), Program{Line("ONE"), Line("TWO@3"), Line("THREE")});
    // Split inside the echo, between CR and LF, inside the marker, and between ':' and nothing.
    for (std::vector<std::size_t> at : {std::vector<std::size_t>{2}, {6, 7}, {8, 14}, {16}, {17, 18, 19}, {26, 27}}) {
        sim->injectFault(drivesim::Fault(drivesim::FaultKind::SplitWrites).on("?SPLIT").splitAt(at).after(60ms));
        auto* r = Run("?SPLIT\r");
        EXPECT_EQ(Reply(r), "ONE\rTWO\rTHREE\r") << at[0];
        EXPECT_EQ(r->result, COMM_OK);
        EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{1, 2, 5, 8})) << at[0];
        Remove(r);
    }
}

TEST_F(LinePty, APromptSplitBetweenColonAndGreaterThanEndsTheReplyOnce)
{
    drivesim::Options o;
    o.prompt = ":>";
    Start(o);
    sim->addCommand(Match::exact("?P"), Program{Line("P 1")});
    sim->addCommand(Match::exact("?Q"), Program{Line("Q 2")});
    sim->injectFault(drivesim::Fault(drivesim::FaultKind::SplitWrites).on("?P").splitAfterText({"\r\n:"}).after(80ms));
    auto* r = Run("?P\r");
    Until([] { return false; }, 150);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
    EXPECT_EQ(Reply(r), "P 1\r");
    Remove(r);
    auto* q = Run("?Q\r");
    EXPECT_EQ(Reply(q), "Q 2\r");
    EXPECT_EQ(Events(q), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
}

TEST_F(LinePty, AFailedIdentificationGoesBackToProbingUntilADriverAnswersIt)
{
    drivesim::Options o;
    Start(o, false);
    sim->injectFault(drivesim::Fault(drivesim::FaultKind::DropLine).on("MI"));
    ASSERT_TRUE(Until([&] { return LogHas("Stop connection"); }));
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_CONNECTED), 0);
    // The probes go on, and the next answer is identified.
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTED));
    EXPECT_EQ(port->Identification(), "KVX100A 1.00\rSYS 1.00\r");
    const std::string wire = sim->received();
    const auto firstMi = wire.find("MI\r");
    ASSERT_NE(firstMi, std::string::npos);
    EXPECT_NE(wire.find("WWC\r\b\r", firstMi), std::string::npos) << wire;
    EXPECT_NE(wire.find("MI\r", firstMi + 1), std::string::npos);
    EXPECT_EQ(port->CountRecords(-1), 0);
}

TEST_F(LinePty, AnUnreadableIdentificationIsAskedOncePerProbeAndGivenUpAfterTheReplyTimeOut)
{
    auto t = ShortTimings();
    t.replyTimeoutMs = 1000; // the probe interval (the receive wait) is 100 ms
    Start({}, false, t);
    sim->injectFault(
        drivesim::Fault(drivesim::FaultKind::Garbage).on("MI").always().at(drivesim::GarbagePlace::InReply));
    ASSERT_TRUE(
        Until([&] { return Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_NOT_CONNECTED, COMM_ERR_IDENTIFY_FAILED); }));
    const auto asked = [&] {
        const auto lines = sim->receivedLines();
        return std::count(lines.begin(), lines.end(), "MI");
    };
    const auto before = asked();
    EXPECT_TRUE(before >= 3 && before <= 1000 / 100 + 3) << before;
    std::string received;
    EXPECT_EQ(port->LineError(&received), COMM_ERR_IDENTIFY_FAILED);
    EXPECT_NE(received.find("\\x00\\x07\\x80\\xff"), std::string::npos) << received;
    Until([] { return false; }, 400);
    EXPECT_EQ(asked(), before) << "given up: nothing more is asked";
}

TEST_F(LinePty, ActivityIsNoticedAtMostOncePerInterval)
{
    Start();
    sim->addCommand(Match::prefix("?N"), Program{Line("N")});
    monitor.clear();
    const auto began = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
    };
    int commands = 0;
    while (elapsed() < 700 && commands < 1000) {
        Remove(Run("?N\r"));
        ++commands;
    }
    Until([] { return false; }, 50);
    const auto ms = elapsed();
    const int writes = Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_WRITE_ACTIVITY);
    const int reads = Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_READ_ACTIVITY);
    // Busy the whole time: notices come, but never two within one interval.
    EXPECT_GE(writes, 1) << commands;
    EXPECT_GE(reads, 1) << commands;
    const auto bound = ms / 250 + 2; // one per started interval, and the first one
    EXPECT_LE(writes, bound) << ms;
    EXPECT_LE(reads, bound) << ms;
}
