// Replies beyond a plain line against the simulated driver: pages, questions, error texts, invalid
// bytes, time-outs, aborts, failed writes and the watchdogs that declare the line lost.
#include "line_fixture.h"

#include <gtest/gtest.h>

using namespace zrcomm;
using namespace zrtest;
using drivesim::Fault;
using drivesim::FaultKind;
using drivesim::Line;
using drivesim::Match;
using drivesim::Program;

namespace {

class LineRepliesPty : public LineTest {};

} // namespace

TEST_F(LineRepliesPty, PagesAreAskedForWithABlankAndCollected)
{
    Start();
    sim->addCommand(Match::exact("?PG"), Program{drivesim::Page("LINE1"), drivesim::Page(" LINE2"), Line("LINE3")});
    auto* r = Run("?PG\r");
    EXPECT_EQ(Reply(r), "LINE1LINE2LINE3\r");
    EXPECT_EQ(r->result, COMM_OK);
    EXPECT_EQ(sim->stats().loneBlanks, 2u);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
}

TEST_F(LineRepliesPty, SemicolonsAndQuestionMarksInsideALineAreTextWhenAReadEndsOnThem)
{
    drivesim::Options o;
    o.pacing = true; // 9600: one byte at a time, so reads end anywhere in the line
    Start(o);
    std::string line;
    for (int i = 0; i < 75; ++i)
        line += "A;B?";
    line += "C";
    sim->addCommand(Match::exact("?MIX"), Program{Line(line), drivesim::Page("E"), Line("F")});
    auto* r = Run("?MIX\r");
    EXPECT_EQ(Reply(r), line + "\rEF\r");
    EXPECT_EQ(sim->stats().loneBlanks, 1u); // the one real page
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
}

TEST_F(LineRepliesPty, AMultiLineCommandIsAnsweredQuestionByQuestion)
{
    Start();
    sim->addCommand(Match::exact("CH0"),
                    Program{drivesim::Question("ENTER"), drivesim::Question("AGAIN"), Line("DONE")});
    const std::size_t mark = sim->received().size();
    auto* r = Run("CH0\rA1\r");
    EXPECT_EQ(Reply(r), "ENTER\rAGAIN\rDONE\r");
    EXPECT_EQ(r->result, COMM_OK);
    EXPECT_EQ(sim->answers(), (std::vector<std::string>{"A1", ""}));
    EXPECT_EQ(Received(mark), "CH0\rA1\r\r"); // the second line only when asked, then a lone CR
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{1, 2, 5, 8}));
}

TEST_F(LineRepliesPty, ErrorRepliesGiveTheirResults)
{
    Start();
    struct Case {
        const char* text;
        CommResult code;
    };
    const Case cases[] = {
        {"UNKNOWN OPTION", COMM_REPLY_UNKNOWN_OPTION},
        {"WRITE/EXEC.INHIBIT", COMM_REPLY_WRITE_INHIBIT},
        {"READ HIBIT", COMM_REPLY_READ_INHIBIT},
        {"READ INHIBIT", COMM_REPLY_READ_INHIBIT},
        {"RANGE OVER", COMM_REPLY_RANGE_OVER},
        {"CONDITION MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
        {"COND. MISMATCH", COMM_REPLY_CONDITION_MISMATCH},
        {"NOT OMISSIBLE", COMM_REPLY_NOT_OMISSIBLE},
        {"PASSWORD REQUIRED", COMM_REPLY_PASSWORD_REQUIRED},
        {"DISABLE COMMAND", COMM_REPLY_DISABLE_COMMAND},
        {"READ ONLY", COMM_REPLY_READ_ONLY},
    };
    int i = 0;
    for (const Case& c : cases) {
        const std::string cmd = "E" + std::to_string(i);
        // Plain, marked with '?', and with the line end arriving late after the '?'.
        const auto form = i % 3;
        sim->addCommand(Match::exact(cmd), Program{form == 0   ? drivesim::Error(c.text)
                                                   : form == 1 ? drivesim::ErrorMarked(c.text)
                                                               : drivesim::ErrorSplit(c.text, 120ms)});
        const std::size_t mark = sim->received().size();
        auto* r = Run((cmd + "\r").c_str());
        EXPECT_EQ(r->result, c.code) << c.text << " form " << form;
        EXPECT_EQ(Received(mark), cmd + "\r") << c.text; // nothing answered a '?'
        Remove(r);
        ++i;
    }
}

TEST_F(LineRepliesPty, AnUnknownCommandStaysUnknownWhenItsLineEndComesLate)
{
    Start();
    auto* quick = Run("XYZ\r"); // the driver's own "XYZ?" answer in one write
    EXPECT_EQ(quick->result, COMM_REPLY_UNKNOWN_COMMAND);
    Remove(quick);
    sim->addCommand(Match::exact("ABC"), Program{drivesim::ErrorSplit("ABC", 150ms)});
    const std::size_t mark = sim->received().size();
    auto* late = Run("ABC\r");
    EXPECT_EQ(late->result, COMM_REPLY_UNKNOWN_COMMAND);
    EXPECT_EQ(Received(mark), "ABC\r");
}

TEST_F(LineRepliesPty, InvalidBytesEndTheCommandAndResumeSendsItAgain)
{
    Start();
    sim->addCommand(Match::exact("?G"), Program{Line("G 1")});
    sim->injectFault(Fault(FaultKind::Garbage).on("?G").at(drivesim::GarbagePlace::InReply));
    const std::size_t mark = sim->received().size();
    auto* r = Run("?G\r", COMM_EVENT_INVALID_DATA);
    EXPECT_EQ(State(r), CMD_INVALID_DATA);
    ASSERT_TRUE(sim->waitForInput("\b", 2s, mark + 3));
    EXPECT_EQ(port->ResumeRecord(r), COMM_OK);
    ASSERT_TRUE(WaitEvent(r, COMM_EVENT_COMPLETED));
    EXPECT_EQ(Reply(r), "G 1\r");
    const std::string wire = Received(mark);
    EXPECT_EQ(wire.substr(0, 4), "?G\r\b");
    EXPECT_NE(wire.find("\b?G\r", 3), std::string::npos) << wire;
}

TEST_F(LineRepliesPty, ARecordWithoutItsReplyTimesOutAndIsReportedUntilRemoved)
{
    Start();
    port->SetExternalData(300, true);
    sim->addCommand(Match::exact("?D"), Program{Line("D 1")});
    sim->injectFault(Fault(FaultKind::DropPrompt).on("?D"));
    auto* r = Run("?D\r", COMM_EVENT_TIMEOUT);
    EXPECT_EQ(State(r), CMD_REPLY_TIMEOUT);
    ASSERT_TRUE(Until([&] { return Count(notify, WM_COMM_COMMAND, COMM_EVENT_TIMEOUT, r->id) >= 3; }));
    EXPECT_TRUE(LogHas("No communicaton reply"));
    Remove(r);
    notify.clear();
    Until([] { return false; }, 300);
    EXPECT_TRUE(notify.seen().empty());
    EXPECT_EQ(port->ConnectionState(), CONN_CONNECTED);

    // A line that gets no echo ends as such.
    sim->injectFault(Fault(FaultKind::DropLine).on("?N"));
    auto* n = Run("?N\r", COMM_EVENT_NO_ECHO);
    EXPECT_EQ(Events(n), (std::vector<plat::WPARAM>{1, 2, 4}));
}

TEST_F(LineRepliesPty, AbortingAsksTheDriverToStopUntilItsPromptComes)
{
    Start();
    sim->addCommand(Match::exact("?R"), Program{Line("R 1"), drivesim::NoPrompt()});
    auto* r = Queue("?R\r");
    ASSERT_TRUE(Until([&] { return Reply(r) == "R 1\r"; }));
    const std::size_t mark = sim->received().size();
    EXPECT_EQ(port->AbortRecord(r), COMM_OK);
    // A backspace, then backspace and CR; the driver's prompt for the latter ends the abort.
    ASSERT_TRUE(WaitEvent(r, COMM_EVENT_ABORTED));
    EXPECT_EQ(Received(mark).substr(0, 3), "\b\b\r");
    EXPECT_EQ(State(r), CMD_ABORTED);

    // A driver that stays silent: the abort ends when the prompt wait runs out.
    Remove(r);
    sim->addCommand(Match::exact("?S"), Program{Line("S 1"), drivesim::NoPrompt()});
    auto* s = Queue("?S\r");
    ASSERT_TRUE(Until([&] { return Reply(s) == "S 1\r"; }));
    const int silence = sim->injectFault(Fault(FaultKind::Silence).always());
    EXPECT_EQ(port->AbortRecord(s), COMM_OK);
    ASSERT_TRUE(WaitEvent(s, COMM_EVENT_ABORTED, 3000));
    const std::string asked = Received();
    EXPECT_GE(std::count(asked.begin(), asked.end(), '\b'), 3); // the first, then one per pass
    sim->clearFault(silence);
    EXPECT_EQ(Events(s), (std::vector<plat::WPARAM>{1, 2, 5, 9}));
}

TEST_F(LineRepliesPty, TheEchoWatchdogEndsALineThatStoppedEchoing)
{
    auto t = ShortTimings();
    t.echoWatchdogMs = 300;
    Start({}, true, t);
    sim->injectFault(Fault(FaultKind::Silence).always());
    auto* r = Run("?W\r", COMM_EVENT_NO_ECHO);
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTION_LOST));
    EXPECT_EQ(port->ConnectionState(), CONN_NONE);
    EXPECT_EQ(State(r), CMD_NO_ECHO);
    EXPECT_TRUE(LogHas("Communication failure (No echo back)"));
    // No probing after a connection was lost: the program starts over.
    const auto probes = sim->stats().probes;
    Until([] { return false; }, 300);
    EXPECT_EQ(sim->stats().probes, probes);
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_NOT_CONNECTED), 0);
}

TEST_F(LineRepliesPty, RemovingAHeadWhoseEchoIsDueKeepsTheLineHealthy)
{
    auto t = ShortTimings();
    t.echoWatchdogMs = 300;
    Start({}, true, t);
    sim->injectFault(Fault(FaultKind::DropLine).on("?H"));
    auto* r = Queue("?H\r");
    ASSERT_TRUE(WaitEvent(r, COMM_EVENT_WRITTEN));
    Remove(r);
    Until([] { return false; }, 500);
    EXPECT_EQ(port->ConnectionState(), CONN_CONNECTED);
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_CONNECTION_LOST), 0);
    sim->addCommand(Match::exact("?K"), Program{Line("K")});
    auto* k = Run("?K\r");
    EXPECT_EQ(Reply(k), "K\r");
}

TEST_F(LineRepliesPty, TheReplyWatchdogEndsALineThatStoppedAnswering)
{
    auto t = ShortTimings();
    t.replyWatchdogMs = 300;
    Start({}, true, t);
    port->SetExternalData(5000, true);
    sim->injectFault(Fault(FaultKind::EchoOnly).on("?Z"));
    sim->addCommand(Match::exact("?Z"), Program{Line("Z")});
    auto* r = Run("?Z\r", COMM_EVENT_TIMEOUT);
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTION_LOST));
    EXPECT_EQ(port->ConnectionState(), CONN_NONE);
    EXPECT_TRUE(LogHas("Communication failure (Receive data time out)"));
    EXPECT_EQ(Events(r).front(), 1u);
}

TEST_F(LineRepliesPty, AWriteThatCannotFinishFailsAndEnoughOfThemLoseTheLine)
{
    auto t = ShortTimings();
    t.writeTotalMultiplierMs = 0; // the deadline is the margin alone
    t.writeTotalConstantMs = 200;
    t.writeFailureLimit = 2;
    Start({}, true, t);
    sim->injectFault(Fault(FaultKind::Stall));
    const std::string big(256 * 1024, 'A');
    auto* r = Run((big + "\r").c_str(), COMM_EVENT_WRITE_FAILED);
    EXPECT_EQ(State(r), CMD_SEND_FAILED);
    EXPECT_EQ(port->ConnectionState(), CONN_CONNECTED);
    // Failures in a row count; direct text fails the same way and is reported to its window.
    Remove(r);
    ASSERT_EQ(port->QueueText(text.hwnd(), big.c_str()), COMM_OK);
    ASSERT_EQ(port->QueueText(text.hwnd(), big.c_str()), COMM_OK);
    port->WakeSender();
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTION_LOST));
    // The command's failure and the first text's make two: the second text is never tried.
    EXPECT_EQ(Count(text, WM_COMM_TEXT, COMM_EVENT_WRITE_FAILED), 1);
    EXPECT_EQ(port->CountRecords(0), 1);
    EXPECT_EQ(port->ConnectionState(), CONN_NONE);
    EXPECT_TRUE(LogHas("Communication failure (Send data time out)"));
    sim->clearFaults();
}

TEST_F(LineRepliesPty, ClearToSendStayingOffFailsTheWriteWithoutLosingTheLine)
{
    auto t = ShortTimings();
    t.writeFailureLimit = 2;
    Start({}, true, t);
    plat::SerialDevice::setCtsForcedOff(sim->slavePath(), true);
    const std::size_t mark = sim->received().size();
    for (int i = 0; i < 3; ++i) {
        auto* r = Run("?C\r", COMM_EVENT_WRITE_FAILED);
        Remove(r);
    }
    EXPECT_EQ(Received(mark), "");
    EXPECT_EQ(port->ConnectionState(), CONN_CONNECTED);
    plat::SerialDevice::setCtsForcedOff(sim->slavePath(), false);
    sim->addCommand(Match::exact("?C"), Program{Line("C")});
    EXPECT_EQ(Reply(Run("?C\r")), "C\r");
}
