// The baud-rate change together with the simulated driver, direct text both ways with window
// handlers that call back into the library, and a line that disappears.
#include "line_fixture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace zrcomm;
using namespace zrtest;
using drivesim::Fault;
using drivesim::FaultKind;
using drivesim::Line;
using drivesim::Match;
using drivesim::Program;

namespace {

class LineExchangePty : public LineTest {
protected:
    // Takes what the direct-text buffer holds, as a window's handler does.
    std::string TakeText()
    {
        PortLock lock(*port);
        std::string s = port->DirectTextBuffer().ToString();
        port->DirectTextBuffer().Clear();
        return s;
    }
};

double CpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

TEST_F(LineExchangePty, TheRateChangesTogetherWithTheDriver)
{
    for (bool promptAtNewRate : {false, true}) {
        SCOPED_TRACE(promptAtNewRate);
        drivesim::Options o;
        o.promptAfterRateSwitch = promptAtNewRate; // a prompt that arrives garbled at the old rate
        Start(o);
        const std::size_t mark = sim->received().size();
        ASSERT_EQ(port->StartBaudChange(38400), COMM_OK);
        ASSERT_TRUE(WaitMonitor(COMM_MONITOR_BAUD_DONE, 1, 5000));
        EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_BAUD_STARTED), 1);
        EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_BAUD_FAILED), 0);
        EXPECT_EQ(Received(mark), "BDT10000.0\r/TRX ON\rBDR2\rBDV\r");
        EXPECT_EQ(LineSpeed(), static_cast<speed_t>(B38400));
        EXPECT_EQ(port->StoredDcb().BaudRate, 38400u);
        EXPECT_FALSE(port->BaudChangeRunning());
        EXPECT_EQ(sim->currentRate(), 38400);
        if (promptAtNewRate) {
            EXPECT_GT(sim->stats().garbledBytes, 0u);
        }
        EXPECT_TRUE(LogHas("Start setting baud rate"));
        EXPECT_TRUE(LogHas("Baud rate is set"));
        // Commands run at the new rate.
        sim->addCommand(Match::exact("?F"), Program{Line("F 1")});
        EXPECT_EQ(Reply(Run("?F\r")), "F 1\r");
        TearDown();
        monitor.clear();
        notify.clear();
    }
}

TEST_F(LineExchangePty, AFailedVerificationPutsTheLineBackAtItsOldRate)
{
    Start();
    sim->injectFault(Fault(FaultKind::BaudVerifySilence).always());
    ASSERT_EQ(port->StartBaudChange(19200), COMM_OK);
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_BAUD_FAILED, 1, 6000));
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_BAUD_DONE), 0);
    const std::string wire = sim->received();
    std::size_t verifies = 0;
    for (std::size_t at = wire.find("BDV\r"); at != std::string::npos; at = wire.find("BDV\r", at + 1))
        ++verifies;
    EXPECT_EQ(verifies, 3u);
    EXPECT_EQ(LineSpeed(), static_cast<speed_t>(B9600));
    EXPECT_EQ(port->StoredDcb().BaudRate, 9600u);
    EXPECT_FALSE(port->BaudChangeRunning());
    EXPECT_TRUE(LogHas("Failed to set baud rate"));
}

TEST_F(LineExchangePty, ARefusedTestStepFailsTheChangeWithTheDriversAnswer)
{
    Start();
    sim->injectFault(Fault(FaultKind::BaudTestError).with("RANGE OVER"));
    ASSERT_EQ(port->StartBaudChange(38400), COMM_OK);
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_BAUD_FAILED));
    for (const auto& m : monitor.seen())
        if (m.wParam == COMM_MONITOR_BAUD_FAILED) {
            EXPECT_EQ(m.lParam, static_cast<plat::LPARAM>(COMM_REPLY_RANGE_OVER)) << Received();
        }
    EXPECT_EQ(LineSpeed(), static_cast<speed_t>(B9600));
    EXPECT_EQ(Received().find("/TRX"), std::string::npos);
    EXPECT_FALSE(port->BaudChangeRunning());
}

TEST_F(LineExchangePty, DirectTextRunsUntilThePromptAndItsWindowMaySendMoreFromItsHandler)
{
    Start();
    sim->addCommand(Match::exact("?ABC"), Program{Line("ABC 1234")});
    sim->addCommand(Match::exact("?DEF"), Program{Line("DEF 5")});
    std::string got;
    int written = 0;
    text.m_onMessage = [&](plat::UINT msg, plat::WPARAM ev, plat::LPARAM) {
        if (msg != WM_COMM_TEXT)
            return;
        if (ev == COMM_EVENT_WRITTEN)
            ++written;
        if (ev != COMM_EVENT_TEXT_RECEIVED)
            return;
        got += TakeText();
        // Answer the first exchange with a second one, from inside the handler.
        if (got == "?ABC\r\nABC 1234\r\n:") {
            EXPECT_EQ(port->QueueText(text.hwnd(), "?DEF\r"), COMM_OK);
            port->WakeSender();
        }
    };
    ASSERT_EQ(port->QueueText(text.hwnd(), "?ABC\r"), COMM_OK);
    port->WakeSender();
    ASSERT_TRUE(Until([&] { return got == "?ABC\r\nABC 1234\r\n:?DEF\r\nDEF 5\r\n:" && written == 2; })) << got;
    EXPECT_FALSE(port->DirectExchange());
    EXPECT_EQ(port->CountRecords(-1), 0);
    EXPECT_TRUE(LogHas("S ?ABC\\r"));
    // In command mode 0 the window is let go after the exchange: later output reaches no one.
    Until([&] { return port->DirectTextWindow() == nullptr; });
    EXPECT_EQ(port->DirectTextWindow(), nullptr);
}

TEST_F(LineExchangePty, AHandlerThatEmptiesTheQueueWhileTextIsWrittenLeavesNothingDangling)
{
    Start();
    int reports = 0;
    text.m_onMessage = [&](plat::UINT msg, plat::WPARAM ev, plat::LPARAM) {
        if (msg != WM_COMM_TEXT || ev != COMM_EVENT_WRITTEN)
            return;
        ++reports;
        // Removes everything, the record being reported on included, and queues more.
        port->RemoveRecords(true);
        if (reports == 1) {
            EXPECT_EQ(port->QueueText(text.hwnd(), "\r"), COMM_OK);
        }
    };
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(port->QueueText(text.hwnd(), "\r"), COMM_OK);
    port->WakeSender();
    ASSERT_TRUE(Until([&] { return reports == 2 && !port->DirectExchange(); }));
    Until([] { return false; }, 200);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(port->CountRecords(-1), 0);
    sim->addCommand(Match::exact("?OK"), Program{Line("OK")});
    EXPECT_EQ(Reply(Run("?OK\r")), "OK\r");
}

TEST_F(LineExchangePty, TerminalModeKeepsItsWindowForLaterOutputAndHoldsCommandsBack)
{
    Start();
    sim->addCommand(Match::exact("?ABC"), Program{Line("ABC 1234")});
    ASSERT_EQ(port->SetCommandMode(1), COMM_OK);
    std::string got;
    text.m_onMessage = [&](plat::UINT msg, plat::WPARAM ev, plat::LPARAM) {
        if (msg == WM_COMM_TEXT && ev == COMM_EVENT_TEXT_RECEIVED)
            got += TakeText();
    };
    // The mode's own line to the driver goes first.
    ASSERT_TRUE(Until([&] { return port->CountRecords(-1) == 0; }));
    ASSERT_EQ(port->QueueText(text.hwnd(), "?ABC\r"), COMM_OK);
    port->WakeSender();
    ASSERT_TRUE(Until([&] { return got == "?ABC\r\nABC 1234\r\n:"; })) << got;
    // The write's report comes from the other thread: it may be handled after the first text.
    EXPECT_TRUE(Until([&] { return Count(text, WM_COMM_TEXT, COMM_EVENT_WRITTEN) == 1; }));

    sim->sendLine("ALARM 3");
    ASSERT_TRUE(Until([&] { return got.find("ALARM 3\r\n") != std::string::npos; })) << got;
    EXPECT_EQ(port->DirectTextWindow(), text.hwnd());

    auto* waiting = Queue("?ABC\r");
    Until([] { return false; }, 200);
    EXPECT_EQ(State(waiting), CMD_WAITING);
    EXPECT_EQ(port->SetCommandMode(0), COMM_OK);
    ASSERT_TRUE(WaitEvent(waiting, COMM_EVENT_COMPLETED));
    EXPECT_EQ(Reply(waiting), "ABC 1234\r");
}

TEST_F(LineExchangePty, ALineThatHangsUpIsLostAtOnceEndsEveryRecordAndNeverSpins)
{
    Start();
    sim->addCommand(Match::exact("?SLOW"), Program{drivesim::Delay(std::chrono::seconds(20)), Line("late")});
    auto* head = Queue("?SLOW\r");
    auto* behind = Queue("?ABC\r");
    ASSERT_TRUE(Until([&] { return State(head) == CMD_WAIT_REPLY; }));
    sim->hangUp(); // noticed at once, not by a watchdog (5 s here): the notice names the device
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTION_LOST));
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_CONNECTION_LOST, COMM_ERR_LINE_GONE), 1);
    // Each ends with the failure of where it stood; nothing can run them again.
    ASSERT_TRUE(WaitEvent(head, COMM_EVENT_TIMEOUT) && WaitEvent(behind, COMM_EVENT_WRITE_FAILED));
    EXPECT_EQ(port->ResumeRecord(head), COMM_ERR_NOT_CONNECTED);
    std::string why;
    EXPECT_EQ(port->LineError(&why), COMM_ERR_LINE_GONE);
    EXPECT_EQ(why, "Communication failure (Device disconnected): " + sim->slavePath());

    const double cpuBefore = CpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    Until([] { return false; }, 500);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    // Both threads wait: far less processor time than time passed, and no second report.
    EXPECT_LT(CpuSeconds() - cpuBefore, wall * 0.5);
    EXPECT_EQ(Count(monitor, WM_COMM_MONITOR, COMM_MONITOR_CONNECTION_LOST), 1);
    EXPECT_EQ(port->Close(), COMM_OK);
}
