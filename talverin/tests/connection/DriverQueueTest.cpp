// The seam's shared rules, and the parameter and terminal traffic, against the fake queue: the
// two retry policies on the one count, every exit of the line-mode wait.
#include "../screens/oscillo/CaptureFakes.h"

#include "screens/param/ParamTraffic.h"
#include "screens/terminal/TerminalLink.h"

#include <model/DataFile.h>
#include <platform/clock.h>

#include <gtest/gtest.h>

#include <algorithm>

using talverin::RetryPolicy;
using talverin_test::FakeDriverQueue;

TEST(DriverQueueTest, RetryPoliciesShareOneCount)
{
    struct Row { RetryPolicy policy; std::uint32_t resume; const char* outcomes; int countAfter; };
    const Row rows[] = {
        {RetryPolicy::Standard, COMM_OK, "YYYNN", 5},
        {RetryPolicy::Standard, COMM_ERR_NO_COMMAND, "NNNNN", 5},      // a refused resume gives up
        {RetryPolicy::ChannelEditor, COMM_ERR_NO_COMMAND, "YYNYY", 2}, // a give-up starts again
    };
    for (const Row& r : rows) {
        FakeDriverQueue q;
        q.resumeResult = r.resume;
        std::string got;
        for (int i = 0; i < 5; ++i)
            got += q.retry(7, r.policy) ? 'Y' : 'N';
        EXPECT_EQ(got, r.outcomes);
        EXPECT_EQ(q.retries(), r.countAfter);
    }
    FakeDriverQueue q;
    q.exhaustRetries();
    EXPECT_FALSE(q.retry(1) || q.spendRetry());
    q.resetRetries();
    EXPECT_TRUE(q.spendRetry() && q.spendRetry() && q.spendRetry() && q.spendRetry());
    EXPECT_FALSE(q.spendRetry());
    q.stopRetrying();
    EXPECT_TRUE(q.retryingStopped());
}

TEST(DriverQueueTest, ModeWaitEndsOnEveryExit)
{
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);
    struct Row { std::uint32_t monitor; std::uint32_t answer; bool command; int others; bool set; long tries; };
    const Row rows[] = {
        {0, COMM_OK, true, 0, true, 1},
        {COMM_MONITOR_CONNECTION_LOST, COMM_ERR_COMMANDS_QUEUED, true, 0, false, 0},
        {COMM_MONITOR_PORT_CLOSED, COMM_ERR_COMMANDS_QUEUED, true, 0, false, 0},
        {0, COMM_ERR_COMMANDS_QUEUED, false, 0, false, 1},  // nothing queued: waiting cannot help
        {0, COMM_ERR_COMMANDS_QUEUED, true, 0, false, 1},   // a command the drain left: it stalled
        {0, COMM_ERR_COMMANDS_QUEUED, false, 1, false, 300}, // the attempt limit
    };
    for (const Row& r : rows) {
        FakeDriverQueue q;
        q.modeResult = r.answer;
        q.otherRecords = r.others;
        if (r.command)
            q.add("?SPD\r", 0);
        model::SetCommEventState(r.monitor);
        EXPECT_EQ(q.setModeWhenDrained(nullptr, 1), r.set);
        EXPECT_EQ(std::count(q.calls.begin(), q.calls.end(), "mode 1"), r.tries);
    }
    model::SetCommEventState(0);
}

TEST(DriverQueueTest, ParameterFailuresAreResumedThriceThenTheLineGoes)
{
    for (const plat::WPARAM event : {COMM_EVENT_WRITE_FAILED, COMM_EVENT_NO_ECHO, COMM_EVENT_TIMEOUT, COMM_EVENT_INVALID_DATA}) {
        FakeDriverQueue q;
        talverin::ScopedDriverQueue use(q);
        capture_test::FakeFrame frame;
        model::CDataFile store;
        talverin::ParamTraffic traffic(store, talverin::ParamWindowKind::Screen, {});
        const std::int32_t id = q.add("?SPD\r", 0);
        for (int i = 0; i < 4; ++i)
            traffic.OnCommCommand(event, id);
        EXPECT_EQ(q.calls, (std::vector<std::string>{"resume 1", "resume 1", "resume 1", "remove 0"}));
        EXPECT_EQ(frame.seen(), std::vector<std::string>{capture_test::commError(int(event), 0x8000)});
        // Aborted and completed records go at once, without a word to the frame.
        q.calls.clear();
        traffic.OnCommCommand(COMM_EVENT_ABORTED, q.add("?ACC\r", 0));
        traffic.OnCommCommand(COMM_EVENT_COMPLETED, q.add("GAIN1\r", 0));
        EXPECT_EQ(q.calls, (std::vector<std::string>{"remove 2", "remove 3"}));
        EXPECT_EQ(frame.seen().size(), 1u);
    }
}

TEST(DriverQueueTest, TerminalCharactersGoAsDirectTextUnlessRefused)
{
    FakeDriverQueue q;
    talverin::ScopedDriverQueue use(q);
    talverin::TerminalLink link([](int ch) { return ch != '\t'; });
    using Sent = talverin::TerminalLink::Sent;
    struct Row { int ch; bool refuse; Sent sent; std::size_t calls; };
    for (const Row& r : {Row{'a', false, Sent::Ok, 1}, Row{'\t', false, Sent::Refused, 1}, Row{0, false, Sent::Refused, 1},
                         Row{'b', true, Sent::Failed, 2}}) {
        q.refuse = r.refuse;
        EXPECT_EQ(link.SendChar(r.ch), r.sent) << r.ch;
        EXPECT_EQ(q.calls.size(), r.calls);
    }
    EXPECT_EQ(q.calls, (std::vector<std::string>{"text a", "text b"}));
    EXPECT_EQ(link.SendText("ABC\r"), 0x40000004u);
}
