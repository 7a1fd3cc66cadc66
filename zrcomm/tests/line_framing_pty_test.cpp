// Framing and time-out checks driven one pass at a time, without the threads: the port is open on a
// pseudo-terminal nobody writes to, and each test hands it the bytes one read would bring.
#include "comm_port.h"
#include "port_test_access.h"
#include "timings.h"
#include "write_limits.h"

#include "test_support.h"

#include <platform/clock.h>
#include <testsupport/wait.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace zrcomm;
using Access = CCommPortTestAccess;
using zrtest::Message;
using zrtest::RecordingWindow;

namespace {

class LineFramingPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        ASSERT_EQ(port.Open(::ptsname(master)), COMM_OK);
        plat::DCB dcb;
        dcb.BaudRate = 9600;
        ASSERT_EQ(port.Configure(dcb), COMM_OK);
        port.SetNotifyWindow(notify.hwnd());
        port.SetMonitorWindow(monitor.hwnd());
        Access::SetConnection(port, CONN_CONNECTED);
    }
    void TearDown() override
    {
        port.Close();
        if (master >= 0)
            ::close(master);
    }
    // A command at the head that wrote its first line and waits as given.
    CCommCommand* Engaged(const char* text, CommandState state)
    {
        PortLock lock(port);
        auto* r = port.QueueCommand(port.NewCommand(1, text, nullptr, 0));
        r->state = state;
        r->sentTick = r->lastReceiveTick = port.Now();
        const std::string s(text);
        Access::SetLastWritten(port, s.substr(0, s.find('\r') + 1));
        Access::SetLineState(port, state == CMD_WAIT_ECHO || state == CMD_ANSWER_SENT ? CMD_WAIT_ECHO : CMD_COMPLETED);
        return r;
    }
    // The events reported for r since the last call.
    std::vector<plat::WPARAM> Events(const CCommCommand* r)
    {
        std::vector<plat::WPARAM> out;
        for (const Message& m : notify.pump())
            if (m.msg == WM_COMM_COMMAND && m.lParam == static_cast<plat::LPARAM>(r->id))
                out.push_back(m.wParam);
        notify.clear();
        return out;
    }

    // Nothing more comes for `ms`: the pass that waited for that silence frames again.
    void Quiet(std::uint32_t ms = 50)
    {
        clock.advance(ms);
        Access::Frame(port);
    }

    plat::ManualClock clock;
    plat::ScopedClock useClock{clock};
    int master = -1;
    CCommPort port;
    RecordingWindow notify, monitor;
};

} // namespace

TEST_F(LineFramingPty, AnAtSignThatIsNoMarkerStaysInTheTextAndTheScanMovesOn)
{
    auto* r = Engaged("?V\r", CMD_WAIT_ECHO);
    Access::Receive(port, "?V\r\nA@12\rB@3\r");
    EXPECT_EQ(r->reply.ToString(), "A@12\rB\r");
    // An at sign whose byte after next has not come yet keeps the whole line back.
    Access::Receive(port, "C@4");
    EXPECT_EQ(r->reply.ToString(), "A@12\rB\r");
    EXPECT_EQ(Access::ReceiveBuffer(port), "C@4");
    Access::Receive(port, "\r\n:");
    EXPECT_EQ(r->reply.ToString(), "A@12\rB\rC\r");
    EXPECT_EQ(r->state, CMD_COMPLETED);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{5, 8}));
}

TEST_F(LineFramingPty, AGreaterThanIsTheRestOfAPromptOnlyRightAfterIt)
{
    auto* a = Engaged("?A\r", CMD_WAIT_ECHO);
    Access::Receive(port, "?A\r\n1\r\n:");
    EXPECT_EQ(a->state, CMD_COMPLETED);
    port.RemoveRecord(a);
    // The next command's echo comes alone; its reply then starts with '>', which is text.
    auto* b = Engaged("?B\r", CMD_WAIT_ECHO);
    Access::Receive(port, "?B\r\n");
    Access::Receive(port, ">2\r\n:");
    EXPECT_EQ(b->state, CMD_COMPLETED);
    EXPECT_EQ(b->reply.ToString(), ">2\r");
    port.RemoveRecord(b);
    // Right after a prompt byte it is not.
    auto* c = Engaged("?C\r", CMD_WAIT_ECHO);
    Access::Receive(port, "?C\r\n3\r\n:");
    EXPECT_EQ(c->state, CMD_COMPLETED);
    c->state = CMD_RECEIVING; // as if the reply went on
    Access::Receive(port, ">4\r\n#");
    EXPECT_EQ(c->reply.ToString(), "3\r4\r");
}

TEST_F(LineFramingPty, EchoSearchSkipsLookAlikesAndHandsEarlierBytesToDirectText)
{
    auto* r = Engaged("?AB\r", CMD_WAIT_ECHO);
    // "?AB" without a CR after it is no echo; the search goes on past it.
    Access::Receive(port, "x?AB?AB@9\r\n");
    EXPECT_EQ(r->state, CMD_WAIT_REPLY);
    EXPECT_EQ(Access::LineState(port), CMD_COMPLETED);
    {
        PortLock lock(port);
        EXPECT_EQ(port.DirectTextBuffer().ToString(), "x?AB");
    }
    Access::Receive(port, "1\r:");
    EXPECT_EQ(r->reply.ToString(), "1\r");
    EXPECT_EQ(r->state, CMD_COMPLETED);
}

TEST_F(LineFramingPty, TheEchoOfALoneCarriageReturnIsItsFirstCr)
{
    auto* r = Engaged("Q\r", CMD_ANSWER_SENT);
    {
        PortLock lock(port);
        r->reply.Assign("ASK", 3);
    }
    Access::SetLastWritten(port, "\r");
    Access::Receive(port, "\r\nDONE\r\n:");
    EXPECT_EQ(r->state, CMD_COMPLETED);
    EXPECT_EQ(r->reply.ToString(), "ASK\rDONE\r");
}

TEST_F(LineFramingPty, ErrorTextsAndTheCommandsOwnLineEndingInAQuestionMarkAreNoQuestions)
{
    for (const char* line : {"RANGE OVER?", "  READ INHIBIT?", "XYZ?"}) {
        auto* r = Engaged("XYZ\r", CMD_WAIT_ECHO);
        Access::Receive(port, std::string("XYZ\r\n") + line);
        EXPECT_EQ(r->state, CMD_RECEIVING) << line;
        EXPECT_EQ(Access::DirectBytes(port), "") << line; // nothing answers it
        Access::Receive(port, "\r\n:");
        EXPECT_EQ(r->state, CMD_COMPLETED);
        const CommResult expected = line[0] == 'R'   ? COMM_REPLY_RANGE_OVER
                                    : line[0] == ' ' ? COMM_REPLY_READ_INHIBIT
                                                     : COMM_REPLY_UNKNOWN_COMMAND;
        EXPECT_EQ(r->result, expected) << line;
        port.RemoveRecord(r);
    }
    // Another line ending in '?' is a question once 50 ms passed with nothing after it.
    auto* q = Engaged("XYZ\r", CMD_WAIT_ECHO);
    Access::Receive(port, "XYZ\r\nVALUE?");
    Quiet(49);
    EXPECT_EQ(q->state, CMD_RECEIVING);
    Quiet(1);
    EXPECT_EQ(q->state, CMD_QUESTION);
    EXPECT_EQ(q->reply.ToString(), "VALUE");
}

TEST_F(LineFramingPty, AQuestionMarkWithMoreBytesQueuedWaitsForThem)
{
    auto* r = Engaged("?Q\r", CMD_WAIT_ECHO);
    ASSERT_EQ(::write(master, "\r\n", 2), 2); // still in the line's input queue
    // The pty hands written bytes on to the line a moment later.
    ASSERT_TRUE(plat::test::waitUntil([&] { return port.Device().inputQueueCount() == 2; }));
    Access::Receive(port, "?Q\r\nMAYBE?");
    Quiet();
    EXPECT_EQ(r->state, CMD_RECEIVING);
    EXPECT_EQ(r->reply.ToString(), "");
}

TEST_F(LineFramingPty, InvalidBytesEndTheRecordExceptInTheReplyOfTheRateSetStep)
{
    auto* r = Engaged("?A\r", CMD_WAIT_ECHO);
    Access::Receive(port, "?A\r\n1\x85\r\n:");
    EXPECT_EQ(r->state, CMD_INVALID_DATA);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{5, 7}));
    EXPECT_EQ(Access::ReceiveBuffer(port), "");
    EXPECT_EQ(Access::DirectBytes(port), "\b");
    port.RemoveRecord(r);

    // No echo found and invalid bytes: the record ends at once, unless a rate change runs.
    auto* e = Engaged("?B\r", CMD_WAIT_ECHO);
    Access::Receive(port, "\xff\xfe");
    EXPECT_EQ(e->state, CMD_INVALID_DATA);
    port.RemoveRecord(e);

    Access::SetBaudRunning(port, true);
    CCommCommand* set;
    {
        PortLock lock(port);
        set = port.QueueCommand(Access::Step(port, STEP_BAUD_SET, 38400));
        set->state = CMD_WAIT_ECHO;
        Access::SetLastWritten(port, "BDR2\r");
        Access::SetLineState(port, CMD_WAIT_ECHO);
    }
    Access::Receive(port, "\xe1\xa0");
    EXPECT_EQ(set->state, CMD_WAIT_ECHO);
    Access::Receive(port, "BDR2\r\n\x9d\xa1\x85");
    EXPECT_EQ(set->state, CMD_RECEIVING); // garbled answer dropped, its own time-out will end it
    EXPECT_EQ(Access::ReceiveBuffer(port), "");
}

TEST_F(LineFramingPty, PagingAsksForMoreOrStopsWhileAborting)
{
    auto* r = Engaged("?P\r", CMD_WAIT_ECHO);
    Access::Receive(port, "?P\r\n  PAGE1;");
    EXPECT_EQ(Access::DirectBytes(port), "");
    Quiet();
    EXPECT_EQ(Access::DirectBytes(port), " ");
    EXPECT_EQ(r->reply.ToString(), "PAGE1");
    // A ';' that is not the last byte is text.
    Access::Receive(port, "A;B\r\n");
    EXPECT_EQ(r->reply.ToString(), "PAGE1A;B\r");
    r->state = CMD_ABORTING;
    Access::Receive(port, "PAGE2;");
    Quiet();
    EXPECT_EQ(Access::DirectBytes(port), "\b");
    Access::Receive(port, "MORE?");
    Quiet();
    EXPECT_EQ(Access::DirectBytes(port), "\b");
    EXPECT_EQ(r->state, CMD_ABORTING);
    Access::Receive(port, "\r\n#");
    EXPECT_EQ(r->state, CMD_ABORTED);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{5, 9}));
}

TEST_F(LineFramingPty, ATimedOutRecordIsReportedOncePerPassAndAgainWhenResumed)
{
    auto* r = Engaged("?T\r", CMD_RECEIVING);
    {
        PortLock lock(port);
        r->ownTimeout = 1;
        r->sentTick = port.Now() - 100;
    }
    Access::RunChecks(port);
    EXPECT_EQ(r->state, CMD_REPLY_TIMEOUT);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{6}));
    Access::RunChecks(port);
    Access::RunChecks(port);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{6, 6})); // and again on every later pass
    // Resumed within the pass that reported it, written again and answered at once: reported again.
    ASSERT_EQ(port.ResumeRecord(r), COMM_OK);
    r->state = CMD_WAIT_ECHO;
    Access::SetLineState(port, CMD_WAIT_ECHO);
    Access::Receive(port, "?T\r\nT 1\r\n:", true);
    EXPECT_EQ(Events(r), (std::vector<plat::WPARAM>{5, 8}));
    const CommandId id = r->commandId();
    port.RemoveRecord(r);
    r = nullptr;
    Access::RunChecks(port);
    EXPECT_TRUE(notify.pump().empty()) << id;
}

TEST_F(LineFramingPty, RemovingOrAbortingTheHeadStopsTheWaitForItsEcho)
{
    auto* r = Engaged("?E\r", CMD_WAIT_ECHO);
    port.RemoveRecord(r);
    EXPECT_EQ(Access::LineState(port), CMD_COMPLETED);

    auto* a = Engaged("?F\r", CMD_ANSWER_SENT);
    a->state = CMD_REPLY_TIMEOUT; // timed out while its answer's echo was due
    EXPECT_EQ(port.AbortRecord(a), COMM_OK);
    EXPECT_EQ(a->state, CMD_ABORTED);
    EXPECT_EQ(Access::LineState(port), CMD_COMPLETED);
    EXPECT_EQ(Events(a), (std::vector<plat::WPARAM>{9}));
    // No echo watchdog follows.
    Access::RunChecks(port);
    EXPECT_EQ(port.ConnectionState(), CONN_CONNECTED);

    // A record under way is asked to stop and keeps being asked until its prompt.
    port.RemoveRecord(a);
    auto* u = Engaged("?G\r", CMD_RECEIVING);
    EXPECT_EQ(port.AbortRecord(u), COMM_OK);
    EXPECT_EQ(u->state, CMD_ABORTING);
    EXPECT_EQ(Access::DirectBytes(port), "\b");
    Access::RunChecks(port);
    EXPECT_EQ(Access::DirectBytes(port), "\b\r");
    EXPECT_EQ(port.ResumeRecord(u), COMM_ERR_NO_COMMAND);
}

TEST_F(LineFramingPty, AProbeIsAnsweredOnlyByAPromptThatEndsTheRead)
{
    Access::SetConnection(port, CONN_NONE);
    Access::SetLineState(port, CMD_WAIT_ECHO);
    Access::Receive(port, "WWC\r\n: ");
    EXPECT_EQ(port.ConnectionState(), CONN_NONE);
    EXPECT_EQ(Access::ReceiveBuffer(port), "");
    Access::SetLineState(port, CMD_WAIT_ECHO);
    Access::Receive(port, "\r\n\x80:");
    EXPECT_EQ(port.ConnectionState(), CONN_NONE); // not with invalid bytes
    Access::Receive(port, "\r\n:>");
    EXPECT_EQ(port.ConnectionState(), CONN_CHECKING);
    auto q = Access::Queue(port);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0]->id, STEP_IDENTIFY);
}

TEST_F(LineFramingPty, AReplyReadInPiecesIsFramedAsIfItCameWhole)
{
    // The scan goes on where the previous read left it: whatever the pieces, the same reply.
    const std::string longLine(3000, 'x');
    for (const std::string& bytes :
         {"x?AB@9\r\n  " + longLine + "C@4\r\nA@12\rB@3\r\n:", std::string("?AB\r\nRANGE OVER?\r\n:")}) {
        std::string whole;
        for (const std::size_t piece : {bytes.size(), std::size_t{1}, std::size_t{7}}) {
            auto* r = Engaged("?AB\r", CMD_WAIT_ECHO);
            for (std::size_t at = 0; at < bytes.size(); at += piece)
                Access::Receive(port, bytes.substr(at, piece));
            EXPECT_EQ(r->state, CMD_COMPLETED) << piece;
            const std::string seen = r->reply.ToString() + "|" + std::to_string(r->result);
            EXPECT_EQ(seen, whole.empty() ? (whole = seen) : whole) << piece;
            port.RemoveRecord(r);
        }
    }
}

TEST(WriteLimits, TheDeadlineGrowsLinearlyAndTheCtsPollIsCapped)
{
    EXPECT_EQ(WriteDeadlineMs(50, 100, 3000), 8000u); // not 50 ms x 100 x 100
    EXPECT_EQ(WriteDeadlineMs(50, 6, 0), 300u);
    EXPECT_EQ(WriteDeadlineMs(50, 0xFFFFFFFFu, 3000), 50ull * 0xFFFFFFFFull + 3000);
    EXPECT_EQ(CtsPollMs(50, 2, 50), 50u);
    EXPECT_EQ(CtsPollMs(50, 30, 50), 150u);
    EXPECT_EQ(CtsPollMs(50, 100000, 50), 500u);
}
