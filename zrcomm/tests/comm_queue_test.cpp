// The port's queue, ids, removal, command mode and how ended records are reported, on a port
// object without a device or threads.
#include "comm_log.h"
#include "comm_port.h"
#include "port_test_access.h"
#include "timings.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace zrcomm;
using Access = CCommPortTestAccess;
using zrtest::RecordingWindow;

namespace {

class CommQueue : public ::testing::Test {
protected:
    CCommPort port;

    CCommCommand* add(std::uint32_t kind, const char* text, CommandState state = CMD_WAITING)
    {
        CCommCommand* r = port.QueueCommand(port.NewCommand(kind, text, nullptr, 0));
        r->state = state;
        return r;
    }
    CCommCommand* cmd(const char* text, CommandState state = CMD_WAITING)
    {
        return add(CCommCommand::KIND_COMMAND, text, state);
    }
    CCommCommand* text(const char* t, CommandState state = CMD_WAITING)
    {
        return add(CCommCommand::KIND_TEXT, t, state);
    }
    CCommCommand* step(std::uint32_t code, std::uint32_t rate = 0)
    {
        return port.QueueCommand(Access::Step(port, code, rate));
    }
    CCommCommand* topLevel(const char* t)
    {
        return port.QueueTopLevelCommand(port.NewCommand(CCommCommand::KIND_COMMAND, t, nullptr, 0));
    }
    std::vector<CCommCommand*> queue() { return Access::Queue(port); }
};

} // namespace

TEST_F(CommQueue, CommandsKeepTheirOrderAndGetIds)
{
    auto* a = cmd("A\r");
    auto* b = cmd("B\r");
    EXPECT_EQ(a->id, 1u);
    EXPECT_EQ(b->id, 2u);
    auto* t = text("T");
    EXPECT_EQ(t->id, 0u); // direct text gets no id
    auto* c = cmd("C\r");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{t, a, b, c}));
}

TEST_F(CommQueue, DirectTextOvertakesWaitingAndEndedCommandsButNotEngagedOnes)
{
    auto* a = cmd("A\r");
    auto* b = cmd("B\r");
    auto* t = text("T");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{t, a, b}));

    port.RemoveRecords(true);
    a = cmd("A\r", CMD_WAIT_REPLY);
    b = cmd("B\r");
    t = text("T");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{a, t, b}));

    port.RemoveRecords(true);
    a = cmd("A\r", CMD_REPLY_TIMEOUT); // ended, not engaged: overtaken
    b = cmd("B\r");
    t = text("T");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{t, a, b}));

    port.RemoveRecords(true);
    a = cmd("A\r", CMD_ABORTED); // aborted counts as engaged
    b = cmd("B\r");
    t = text("T");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{a, t, b}));
}

TEST_F(CommQueue, TextAndStepsNeverOvertakeTopLevelCommandsOrTheirOwnKind)
{
    auto* c = topLevel("C\r");
    auto* b = cmd("B\r");
    auto* t = text("T");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{c, t, b}));

    port.RemoveRecords(true);
    auto* t1 = text("T1");
    auto* t2 = text("T2");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{t1, t2}));
    auto* s = step(STEP_MODE_SYNC); // another kind: goes before the waiting text
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{s, t1, t2}));
    auto* s2 = step(STEP_IDENTIFY); // its own kind: behind the earlier step
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{s, s2, t1, t2}));
}

TEST_F(CommQueue, ACancelGoesAheadOfDirectTextBeingWritten)
{
    auto* t1 = text("ABC", CMD_SENDING);
    auto* t2 = text("DEF");
    auto* cancel = text("\bX");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{cancel, t1, t2}));
}

TEST_F(CommQueue, TopLevelCommandsFollowTheirRuleAsWritten)
{
    // [A waiting, T waiting]: A was under way when T came and has been resumed since.
    auto* a = cmd("A\r", CMD_WAIT_REPLY);
    auto* t = text("T");
    a->state = CMD_WAITING;
    auto* c = topLevel("C\r");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{a, c, t}));
    EXPECT_TRUE(c->topLevel);
    EXPECT_GT(c->id, a->id);

    // [T waiting, A waiting]: the rule puts the new command ahead of the waiting text and so ahead of
    // the ordinary command queued before it.
    port.RemoveRecords(true);
    a = cmd("A\r");
    t = text("T");
    c = topLevel("C\r");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{c, t, a}));

    // Only commands waiting or under way: first in, first out.
    port.RemoveRecords(true);
    auto* e = cmd("E\r", CMD_WAIT_ECHO);
    auto* w = cmd("W\r");
    auto* d = topLevel("D\r");
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{e, w, d}));
    auto* t3 = text("T"); // later text overtakes W but not the top-level command
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{e, t3, w, d}));
}

TEST_F(CommQueue, IdsWrapAroundAndNeverGiveZero)
{
    Access::SetLastId(port, 0x7FFFFFFE);
    EXPECT_EQ(port.NextCommandId(), 0x7FFFFFFF);
    EXPECT_EQ(port.NextCommandId(), 1);
    Access::SetLastId(port, 0x7FFFFFFF);
    auto* a = cmd("A\r");
    EXPECT_EQ(a->id, 1u);
}

TEST_F(CommQueue, MakingRecordsRefusesBadInput)
{
    EXPECT_EQ(port.NewCommand(4, "X", nullptr, 0), nullptr);
    EXPECT_EQ(port.GetPortError(), COMM_ERR_INVALID_ARG);
    port.SetPortError(0);
    EXPECT_EQ(port.NewCommand(1, "", nullptr, 0), nullptr);
    EXPECT_EQ(port.GetPortError(), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(port.NewCommand(1, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(port.QueueText(nullptr, ""), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(port.CountRecords(-1), 0);
    auto r = port.NewCommand(1, "?WL\r", nullptr, static_cast<std::intptr_t>(0x7FFF12345678));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->param, static_cast<std::intptr_t>(0x7FFF12345678)); // a pointer-sized tag survives
    EXPECT_EQ(r->state, CMD_WAITING);
}

TEST_F(CommQueue, LookupsCountsAndEnumeration)
{
    auto* a = cmd("?WL0\r");
    text("T");
    auto* b = cmd("?WL1\r");
    auto* c = cmd("PR\r");
    step(STEP_MODE_SYNC);
    EXPECT_EQ(port.GetRecord(b->commandId()), b);
    EXPECT_EQ(port.GetPortError(), COMM_OK);
    EXPECT_EQ(port.GetRecord(999), nullptr);
    EXPECT_EQ(port.GetPortError(), COMM_ERR_NO_COMMAND);
    EXPECT_EQ(port.FindCommand(0, "?WL"), a->commandId());
    EXPECT_EQ(port.FindCommand(a->commandId(), "?WL"), b->commandId());
    EXPECT_EQ(port.FindCommand(b->commandId(), "?WL"), 0);
    EXPECT_EQ(port.GetPortError(), COMM_OK);
    EXPECT_EQ(port.FindCommand(777, "?WL"), 0);
    EXPECT_EQ(port.GetPortError(), COMM_ERR_NO_COMMAND);
    EXPECT_EQ(port.FindCommand(0, ""), 0);
    EXPECT_EQ(port.GetPortError(), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(port.EnumCommands(), (std::vector<CommandId>{a->commandId(), b->commandId(), c->commandId()}));
    EXPECT_EQ(port.CountRecords(-1), 5);
    EXPECT_EQ(port.CountRecords(1), 3);
    EXPECT_EQ(port.CountRecords(0), 1);
    EXPECT_EQ(port.CountRecords(3), 1);
}

TEST_F(CommQueue, RemovingWaitingRecordsKeepsEngagedAndAbortedOnes)
{
    auto* head = cmd("H\r", CMD_RECEIVING);
    cmd("W\r");
    cmd("F\r", CMD_SEND_FAILED);
    auto* aborted = cmd("X\r", CMD_ABORTED);
    cmd("C\r", CMD_COMPLETED);
    port.RemoveRecords(false);
    EXPECT_EQ(queue(), (std::vector<CCommCommand*>{head, aborted}));
    EXPECT_TRUE(port.RemoveRecord(aborted));
    EXPECT_FALSE(port.RemoveRecord(aborted));
    port.RemoveRecords(true);
    EXPECT_TRUE(queue().empty());
}

TEST_F(CommQueue, RemovedIdentifyStepLeavesCheckingAndProbingGoesOn)
{
    Access::SetConnection(port, CONN_CHECKING);
    auto* identify = step(STEP_IDENTIFY);
    identify->state = CMD_WAIT_REPLY; // under way
    cmd("A\r");
    port.RemoveRecords(true);
    EXPECT_EQ(port.ConnectionState(), CONN_NONE);
    EXPECT_TRUE(Access::Probing(port));

    Access::SetConnection(port, CONN_CHECKING);
    identify = step(STEP_IDENTIFY);
    port.RemoveRecord(port.GetRecord(static_cast<CommandId>(STEP_IDENTIFY)));
    EXPECT_EQ(port.ConnectionState(), CONN_NONE);
}

TEST_F(CommQueue, RemovedBaudStepFailsTheChangeAndSaysSo)
{
    RecordingWindow monitor;
    port.SetMonitorWindow(monitor.hwnd());
    for (std::uint32_t code : {STEP_BAUD_TEST, STEP_BAUD_UNLOCK, STEP_BAUD_SET, STEP_BAUD_VERIFY}) {
        monitor.clear();
        Access::SetBaudRunning(port, true);
        auto* s = step(code, 38400);
        s->state = CMD_WAIT_ECHO;
        port.RemoveRecords(true);
        EXPECT_FALSE(port.BaudChangeRunning()) << std::hex << code;
        EXPECT_EQ(monitor.pump(),
                  (std::vector<zrtest::Message>{{WM_COMM_MONITOR, COMM_MONITOR_BAUD_FAILED, CMD_ABORTED}}));
    }
    // A removed mode sync step changes nothing.
    monitor.clear();
    step(STEP_MODE_SYNC);
    port.RemoveRecords(false);
    EXPECT_TRUE(monitor.pump().empty());
}

TEST_F(CommQueue, CommandModeRefusalsAndTheSyncStep)
{
    cmd("A\r", CMD_COMPLETED);
    EXPECT_EQ(port.SetCommandMode(1), COMM_ERR_COMMANDS_QUEUED);
    EXPECT_EQ(port.SetCommandMode(2), COMM_ERR_COMMANDS_QUEUED);
    EXPECT_EQ(port.SetCommandMode(3), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(port.SetCommandMode(-1), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(port.SetCommandMode(0), COMM_OK); // unchanged, accepted
    port.RemoveRecords(true);
    EXPECT_EQ(port.SetCommandMode(1), COMM_OK);
    EXPECT_EQ(port.CommandMode(), 1);
    EXPECT_TRUE(queue().empty()); // not connected: no sync step
    Access::SetConnection(port, CONN_CONNECTED);
    cmd("B\r");
    EXPECT_EQ(port.SetCommandMode(0), COMM_OK); // accepted with records queued
    ASSERT_EQ(queue().size(), 2u);
    EXPECT_EQ(queue()[0]->id, STEP_MODE_SYNC);
    EXPECT_EQ(queue()[0]->text.ToString(), "WWC\r");
}

TEST_F(CommQueue, BaudChangeChecks)
{
    EXPECT_EQ(port.StartBaudChange(115200), COMM_ERR_INVALID_ARG);
    EXPECT_EQ(port.StartBaudChange(38400), COMM_ERR_NOT_OPEN);
}

TEST_F(CommQueue, WaitForPromptIgnoresAStaleSignalAndSendsCrBackspace)
{
    detail::Timings t;
    t.promptWaitMs = 60;
    detail::ScopedTimings scoped(t);
    CCommPort p;
    EXPECT_EQ(p.WaitForPrompt(), COMM_OK); // not connected: nothing to end
    Access::SetConnection(p, CONN_CONNECTED);
    EXPECT_EQ(p.WaitForPrompt(), COMM_OK); // nothing open
    Access::SetDirectExchange(p, true);
    Access::PromptEvent(p).set(); // left over from an earlier record end
    EXPECT_EQ(p.WaitForPrompt(), COMM_ERR_PROMPT_TIMEOUT);
    EXPECT_EQ(Access::DirectBytes(p), "\r\b");

    std::atomic<bool> done{false};
    std::thread prompt([&] {
        while (!done) {
            if (Access::WakeEvent(p).isSet()) {
                Access::WakeEvent(p).reset();
                PortLock l(p); // as the receive thread does when the prompt comes
                Access::PromptEvent(p).set();
            }
            ::usleep(1000);
        }
    });
    EXPECT_EQ(p.WaitForPrompt(), COMM_OK);
    done = true;
    prompt.join();
}

TEST_F(CommQueue, EndedRecordsAreReportedToTheirWindows)
{
    RecordingWindow notify, own, textWnd;
    port.SetNotifyWindow(notify.hwnd());

    auto* a = cmd("?PR1\r");
    a->reply.Assign("RANGE OVER\r", 11);
    a->state = CMD_COMPLETED;
    port.CompleteCommand(a);
    EXPECT_EQ(a->result, COMM_REPLY_RANGE_OVER);
    auto* b = port.QueueCommand(port.NewCommand(1, "XYZ\r", own.hwnd(), 7));
    b->reply.Assign("XYZ?\r", 5);
    b->state = CMD_COMPLETED;
    port.CompleteCommand(b);
    EXPECT_EQ(b->result, COMM_REPLY_UNKNOWN_COMMAND);
    auto* c = cmd("OK\r", CMD_REPLY_TIMEOUT);
    port.CompleteCommand(c);
    EXPECT_EQ(notify.pump(), (std::vector<zrtest::Message>{{WM_COMM_COMMAND, COMM_EVENT_COMPLETED, 1},
                                                           {WM_COMM_COMMAND, COMM_EVENT_TIMEOUT, 3}}));
    EXPECT_EQ(own.pump(), (std::vector<zrtest::Message>{{WM_COMM_COMMAND, COMM_EVENT_COMPLETED, 2}}));
    EXPECT_EQ(port.CountRecords(1), 3); // commands stay until their window removes them

    // Direct text is sent to its window and leaves the queue.
    auto* t = port.QueueCommand(port.NewCommand(0, "T", textWnd.hwnd(), 0));
    t->state = CMD_ABORTED;
    port.CompleteCommand(t);
    EXPECT_EQ(textWnd.seen(), (std::vector<zrtest::Message>{{WM_COMM_TEXT, COMM_EVENT_ABORTED, 0}}));
    EXPECT_EQ(port.CountRecords(0), 0);

    // A window that is gone gets nothing, and nothing breaks.
    plat::HWND gone;
    {
        RecordingWindow temp;
        gone = temp.hwnd();
    }
    auto* d = port.QueueCommand(port.NewCommand(1, "D\r", gone, 0));
    d->state = CMD_ABORTED;
    port.CompleteCommand(d);
}

TEST_F(CommQueue, AWindowThatRemovesRecordsWhileTextIsDeliveredDoesNotLoseThePort)
{
    RecordingWindow textWnd;
    textWnd.m_onMessage = [&](plat::UINT, plat::WPARAM, plat::LPARAM) { port.RemoveRecords(true); };
    auto* t = port.QueueCommand(port.NewCommand(0, "T", textWnd.hwnd(), 0));
    cmd("A\r");
    t->state = CMD_ABORTED;
    port.CompleteCommand(t);
    EXPECT_EQ(port.CountRecords(-1), 0);
}

TEST_F(CommQueue, TextWindowMayCallBackAtAnyLockDepthOfTheNotifyingThread)
{
    RecordingWindow textWnd; // owned by this thread
    int countSeen = -1;
    textWnd.m_onMessage = [&](plat::UINT, plat::WPARAM, plat::LPARAM) {
        countSeen = port.CountRecords(-1); // takes the lock the notifier held three times
        port.QueueText(nullptr, "more");
    };
    std::atomic<int> depthAfter{0};
    std::thread notifier([&] {
        port.Lock();
        port.Lock();
        port.Lock();
        port.Notify(true, textWnd.hwnd(), COMM_EVENT_TEXT_RECEIVED, 0);
        depthAfter = port.Mutex().depth();
        port.Unlock();
        port.Unlock();
        port.Unlock();
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (countSeen < 0 && std::chrono::steady_clock::now() < end) {
        plat::PumpSentMessages();
        ::usleep(1000);
    }
    notifier.join();
    EXPECT_EQ(countSeen, 0);
    EXPECT_EQ(depthAfter, 3);
    EXPECT_EQ(port.CountRecords(0), 1);
}

TEST(CommClassifiers, PromptsAndValidBytes)
{
    const std::uint8_t b[] = {'>', ':', '>', '#', '>', 'a', '>'};
    EXPECT_FALSE(CCommPort::IsPrompt(b, 0));
    EXPECT_TRUE(CCommPort::IsPrompt(b, 1));
    EXPECT_TRUE(CCommPort::IsPrompt(b, 2));
    EXPECT_TRUE(CCommPort::IsPrompt(b, 3));
    EXPECT_TRUE(CCommPort::IsPrompt(b, 4));
    EXPECT_FALSE(CCommPort::IsPrompt(b, 5));
    EXPECT_FALSE(CCommPort::IsPrompt(b, 6));
    for (int v = 0; v < 256; ++v) {
        const bool valid = v == 0x08 || v == 0x0A || v == 0x0D || (v >= 0x20 && v <= 0x7E);
        EXPECT_EQ(CCommPort::IsValidByte(static_cast<std::uint8_t>(v)), valid) << v;
    }
    const std::uint8_t ok[] = {'A', '\r', '\n', 0x08};
    const std::uint8_t bad[] = {'A', 0x85};
    EXPECT_TRUE(CCommPort::IsValidData(ok, 4));
    EXPECT_FALSE(CCommPort::IsValidData(bad, 2));
    EXPECT_TRUE(CCommPort::IsValidData(bad, 0));
}
