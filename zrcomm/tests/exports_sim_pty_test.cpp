// The exported functions end to end against the simulated driver: connecting, commands and their
// replies, errors, abort and resume on the line, direct text, the baud-rate change, and closing
// the port from inside a text handler or while a text delivery is waiting.
#include "comm_app.h"
#include "line_fixture.h"

#include <zrcomm/zrcomm_api.h>

#include <platform/language.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <sys/ioctl.h>
#include <thread>

using namespace zrcomm;
using namespace std::chrono_literals;
using zrtest::Message;
using zrtest::RecordingWindow;

namespace {

class ExportsSimPty : public zrtest::SimDriverTest {
protected:
    void Start(drivesim::Options options = {}, bool connect = true)
    {
        StartDriver(std::move(options), zrtest::ShortTimings());
        if (HasFatalFailure())
            return;
        ZRComm_SetMonitorWnd(monitor.hwnd());
        // The settings a program starts from: 9600 8N2, hardware flow.
        ASSERT_EQ(ZRComm_GetDefaultCommConfig(sim->slavePath().c_str(), &dcb), 1);
        ASSERT_EQ(ZRComm_InitFromDCB(notify.hwnd(), sim->slavePath().c_str(), &dcb), COMM_OK);
        if (connect) {
            ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTED));
        }
    }
    void TearDown() override
    {
        if (CCommApp::Get().Port()) {
            EXPECT_EQ(ZRComm_Term(), COMM_OK);
        }
        CCommApp::Get().FinishPendingCloses();
        ZRComm_SetMonitorWnd(nullptr);
        StopDriver();
    }

    bool WaitMonitor(plat::WPARAM code, int ms = 5000)
    {
        return Until([&] { return Count(monitor, WM_COMM_MONITOR, code) > 0; }, ms);
    }
    bool WaitEvent(CommandId id, plat::WPARAM event, int ms = 5000)
    {
        return Until([&] { return Count(notify, WM_COMM_COMMAND, event, id) > 0; }, ms);
    }
    std::string ReplyOf(CommandId id)
    {
        char buf[512];
        const int n = ZRComm_GetReceiveCommandText(id, buf, sizeof buf);
        EXPECT_LT(n, static_cast<int>(sizeof buf));
        return buf;
    }

    plat::DCB dcb;
};

} // namespace

TEST_F(ExportsSimPty, ConnectsAndReportsTheDriver)
{
    Start();
    const auto line = sim->lineSettings();
    EXPECT_EQ(line.baud, 9600);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.stopBits, 2);
    char name[ZRCOMM_PORT_NAME_MAX];
    char id[ZRCOMM_DRIVER_ID_MAX];
    EXPECT_EQ(ZRComm_IsConnected(name, id), 1);
    EXPECT_EQ(std::string(name), sim->slavePath());
    EXPECT_NE(std::string(id).find("KVX100A 1.00"), std::string::npos);
    EXPECT_EQ(ZRComm_GetCommandCount(-1), 0);
}

TEST_F(ExportsSimPty, CommandRepliesAndErrorResults)
{
    Start();
    sim->addCommand(drivesim::Match::exact("?P1"), drivesim::Program{drivesim::Line("P1 123456")});
    sim->addCommand(drivesim::Match::exact("?P2"), drivesim::Program{drivesim::Error("RANGE OVER")});
    int tag = 0;
    const CommandId a = ZRComm_SendCommandText(nullptr, "?P1\r", reinterpret_cast<intptr_t>(&tag));
    const CommandId b = ZRComm_SendCommandText(nullptr, "?P2\r", 0);
    const CommandId c = ZRComm_SendCommandText(nullptr, "NOSUCH\r", 0);
    ASSERT_TRUE(WaitEvent(a, COMM_EVENT_COMPLETED));
    EXPECT_EQ(ZRComm_GetCommandState(a), COMM_OK);
    const std::string reply = ReplyOf(a);
    EXPECT_NE(reply.find("P1 123456"), std::string::npos) << reply;
    EXPECT_EQ(reinterpret_cast<int*>(ZRComm_GetCommandParam(a)), &tag);
    // An ended command holds back the rest until its window removes it.
    EXPECT_EQ(ZRComm_GetCommandState(b), CMD_WAITING);
    EXPECT_EQ(ZRComm_RemoveCommand(a), 2);
    ASSERT_TRUE(WaitEvent(b, COMM_EVENT_COMPLETED));
    EXPECT_EQ(ZRComm_GetCommandState(b), COMM_REPLY_RANGE_OVER);
    EXPECT_EQ(ZRComm_RemoveCommand(b), 1);
    ASSERT_TRUE(WaitEvent(c, COMM_EVENT_COMPLETED));
    EXPECT_EQ(ZRComm_GetCommandState(c), COMM_REPLY_UNKNOWN_COMMAND);
    EXPECT_EQ(ZRComm_RemoveCommand(c), 0);
}

TEST_F(ExportsSimPty, ACommandQueuedBeforeTheConnectionWaitsForIt)
{
    drivesim::Options o;
    Start(o, false);
    const int silence = sim->injectFault(drivesim::Fault(drivesim::FaultKind::Silence).always());
    const CommandId id = ZRComm_SendCommandText(nullptr, "?P1\r", 0);
    EXPECT_GT(id, 0);
    EXPECT_EQ(ZRComm_GetLastError(), COMM_OK);
    EXPECT_EQ(ZRComm_IsConnected(nullptr, nullptr), 0);
    EXPECT_EQ(ZRComm_GetCommandState(id), CMD_WAITING);
    sim->clearFault(silence);
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTED));
    ASSERT_TRUE(WaitEvent(id, COMM_EVENT_COMPLETED));
    EXPECT_NE(sim->received().find("?P1\r"), std::string::npos);
}

TEST_F(ExportsSimPty, AbortCancelsACommandOnTheLine)
{
    Start();
    sim->addCommand(drivesim::Match::exact("SLOW"), drivesim::Program{drivesim::Delay(3000ms), drivesim::Line("late")});
    const CommandId id = ZRComm_SendCommandText(nullptr, "SLOW\r", 0);
    ASSERT_TRUE(Until([&] { return ZRComm_GetCommandState(id) == CMD_WAIT_REPLY; }));
    const std::size_t before = sim->received().size();
    EXPECT_EQ(ZRComm_AbortCommand(id), COMM_OK);
    const CommandStatus after = ZRComm_GetCommandState(id); // the driver may have answered already
    EXPECT_TRUE(after == CMD_ABORTING || after == CMD_ABORTED) << std::hex << after;
    ASSERT_TRUE(WaitEvent(id, COMM_EVENT_ABORTED));
    EXPECT_EQ(ZRComm_GetCommandState(id), CMD_ABORTED);
    EXPECT_NE(sim->received().substr(before).find('\b'), std::string::npos);
    EXPECT_EQ(Count(notify, WM_COMM_COMMAND, COMM_EVENT_ABORTED, id), 1);
    // Aborting it again neither sends nor reports anything.
    EXPECT_EQ(ZRComm_AbortCommand(id), COMM_OK);
    EXPECT_FALSE(Until([&] { return Count(notify, WM_COMM_COMMAND, COMM_EVENT_ABORTED, id) > 1; }, 300));
    EXPECT_EQ(ZRComm_RemoveCommand(id), 0);
}

TEST_F(ExportsSimPty, AFailedCommandIsResumedAndRunsAgain)
{
    Start();
    sim->addCommand(drivesim::Match::exact("?P5"), drivesim::Program{drivesim::Line("P5 5")});
    sim->injectFault(drivesim::Fault(drivesim::FaultKind::DropLine).on("?P5"));
    const CommandId id = ZRComm_SendCommandText(nullptr, "?P5\r", 0);
    ASSERT_TRUE(WaitEvent(id, COMM_EVENT_NO_ECHO));
    EXPECT_EQ(ZRComm_GetCommandState(id), CMD_NO_ECHO);
    EXPECT_EQ(ZRComm_ResumeCommand(id), COMM_OK);
    ASSERT_TRUE(WaitEvent(id, COMM_EVENT_COMPLETED));
    EXPECT_NE(ReplyOf(id).find("P5 5"), std::string::npos);
    EXPECT_EQ(ZRComm_ResumeCommand(id), COMM_ERR_NO_COMMAND); // completed: nothing to resume
}

TEST_F(ExportsSimPty, ReplyTimeOutFromTheExternalData)
{
    Start();
    sim->injectFault(drivesim::Fault(drivesim::FaultKind::EchoOnly).on("?Q"));
    CommExternalData d{};
    d.size = sizeof d;
    d.replyTimeoutMs = 300;
    d.ctsCheck = 1;
    d.languageId = plat::GetLanguage();
    ASSERT_EQ(ZRComm_InitExternalData(&d), 1);
    d.replyTimeoutMs = 0; // keeps the 300
    ASSERT_EQ(ZRComm_InitExternalData(&d), 1);
    const CommandId id = ZRComm_SendCommandText(nullptr, "?Q\r", 0);
    ASSERT_TRUE(WaitEvent(id, COMM_EVENT_TIMEOUT, 3000));
    EXPECT_EQ(ZRComm_GetCommandState(id), CMD_REPLY_TIMEOUT);
}

TEST_F(ExportsSimPty, DirectTextIsReadFromTheTextHandler)
{
    Start();
    ASSERT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
    // The mode change tells the driver first; driver output that came during that step would be
    // the step's (invalid) reply.
    ASSERT_TRUE(Until([] { return ZRComm_GetCommandCount(-1) == 0; }));
    std::string got;
    int reentered = 0;
    text.m_onMessage = [&](plat::UINT msg, plat::WPARAM w, plat::LPARAM) {
        if (msg != WM_COMM_TEXT || w != COMM_EVENT_TEXT_RECEIVED)
            return;
        char buf[8]; // small on purpose: the rest stays for the next call
        int n;
        while ((n = ZRComm_GetReceiveText(buf, sizeof buf)) > 0)
            got.append(buf, static_cast<std::size_t>(n));
        if (got.find("HELLO?") != std::string::npos && !reentered++) {
            EXPECT_EQ(ZRComm_SendText(text.hwnd(), "\r"), COMM_OK); // calls back from the handler
        }
    };
    ASSERT_EQ(ZRComm_SendText(text.hwnd(), "HELLO\r"), COMM_OK);
    ASSERT_TRUE(Until([&] { return std::count(got.begin(), got.end(), ':') >= 2 && ZRComm_GetCommandCount(-1) == 0; }))
        << got;
    // NUL bytes from the line do not stop the text.
    sim->sendRaw(std::string("A\0B\0\0C", 6));
    ASSERT_TRUE(Until([&] { return got.find("ABC") != std::string::npos; })) << got;
    EXPECT_EQ(ZRComm_SetCommandMode(0), COMM_OK);
}

TEST_F(ExportsSimPty, TermFromInsideTheTextHandlerFinishesAfterIt)
{
    Start();
    ASSERT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
    std::atomic<int> termResult{-1};
    text.m_onMessage = [&](plat::UINT msg, plat::WPARAM, plat::LPARAM) {
        if (msg != WM_COMM_TEXT || termResult != -1)
            return;
        termResult = static_cast<int>(ZRComm_Term());
        // The library has let go of the port already.
        EXPECT_EQ(ZRComm_GetCommandCount(-1), -1);
        EXPECT_EQ(ZRComm_GetLastError(), COMM_ERR_NOT_OPEN);
    };
    ASSERT_EQ(ZRComm_SendText(text.hwnd(), "X\r"), COMM_OK);
    ASSERT_TRUE(Until([&] { return termResult != -1; }));
    EXPECT_EQ(termResult, static_cast<int>(COMM_OK));
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_PORT_CLOSED));
    EXPECT_TRUE(CCommApp::Get().FinishPendingCloses());
    EXPECT_NE(zrtest::readFile(logName).find("Terminate communication"), std::string::npos);
    // The device is free again.
    ASSERT_EQ(ZRComm_InitFromDCB(notify.hwnd(), sim->slavePath().c_str(), &dcb), COMM_OK);
}

TEST_F(ExportsSimPty, TermWhileATextDeliveryWaitsForTheCaller)
{
    Start();
    ASSERT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
    ASSERT_EQ(ZRComm_SendText(text.hwnd(), "X\r"), COMM_OK);
    // Nothing is pumped: the receive thread sends the reply text to this thread and waits.
    ASSERT_TRUE(sim->waitForInput("X\r", 3000ms));
    ASSERT_TRUE(sim->waitOutputDrained(3000ms));
    const auto until = std::chrono::steady_clock::now() + 3s;
    while (plat::IsWindow(text.hwnd()) && CCommApp::Get().Port()->TextDeliveryTargets().empty() &&
           std::chrono::steady_clock::now() < until)
        ::usleep(1000);
    EXPECT_TRUE(CCommApp::Get().Port()->DeliversTextToCurrentThread());
    EXPECT_EQ(ZRComm_Term(), COMM_OK);
    EXPECT_EQ(CCommApp::Get().Port(), nullptr);
    // Waiting deliveries are run while the close waits for the threads, or cancelled by it; the
    // close ends either way.
    EXPECT_TRUE(Until([] { return CCommApp::Get().FinishPendingCloses(); }));
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_PORT_CLOSED));
}

TEST_F(ExportsSimPty, TermFromTheSecondOfTwoTextDeliveriesToOneWindow)
{
    Start();
    int delivered = 0;
    text.m_onMessage = [&](plat::UINT msg, plat::WPARAM, plat::LPARAM) {
        if (msg == WM_COMM_TEXT && ++delivered == 2) {
            EXPECT_EQ(ZRComm_Term(), COMM_OK);
        }
    };
    ASSERT_EQ(ZRComm_SendText(text.hwnd(), "X\r"), COMM_OK);
    // Not pumped until the send thread ("written") and the receive thread (the answer) both wait.
    for (int i = 0; i < 5000 && CCommApp::Get().Port()->TextDeliveryTargets().size() < 2; ++i)
        ::usleep(1000);
    EXPECT_TRUE(Until([] { return !CCommApp::Get().Port() && CCommApp::Get().FinishPendingCloses(); })) << delivered;
}

TEST_F(ExportsSimPty, TermFromATextHandlerRunInsideAModeChangesWaitForThePrompt)
{
    Start();
    sim->addCommand(drivesim::Match::exact("X"), drivesim::Program{drivesim::Raw("Z"), drivesim::NoPrompt()});
    std::string got;
    text.m_onMessage = [&](plat::UINT msg, plat::WPARAM, plat::LPARAM) {
        for (char buf[64]; msg == WM_COMM_TEXT && ZRComm_GetReceiveText(buf, sizeof buf) > 0;)
            got += buf;
        if (got.find('Z') != std::string::npos && CCommApp::Get().Port()) {
            EXPECT_EQ(ZRComm_Term(), COMM_OK);
        }
    };
    ASSERT_EQ(ZRComm_SendText(text.hwnd(), "X"), COMM_OK); // no CR: the exchange stays open
    ASSERT_TRUE(Until([&] { return got == "X"; })) << got;
    // A mode change asks for a prompt that never comes; the answer's handler closes meanwhile.
    EXPECT_EQ(ZRComm_SetCommandMode(2), COMM_OK);
    EXPECT_EQ(CCommApp::Get().Port(), nullptr) << got;
    EXPECT_TRUE(Until([] { return CCommApp::Get().FinishPendingCloses(); }));
}

TEST_F(ExportsSimPty, AWriteTheDriverStopsReadingHoldsUpNeitherRemovalNorClose)
{
    Start();
    sim->injectFault(drivesim::Fault(drivesim::FaultKind::Stall));
    // Far more than the line holds: the write would wait for its deadline, hours at 50 ms a byte.
    ASSERT_EQ(ZRComm_SendText(text.hwnd(), std::string(200000, 'A').c_str()), COMM_OK);
    ASSERT_TRUE(Until([&] {
        int n = 0;
        return ::ioctl(sim->masterFd(), FIONREAD, &n) == 0 && n > 0;
    }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ZRComm_RemoveCommand(-1), 0);
    EXPECT_EQ(ZRComm_Term(), COMM_OK);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s); // the two together
}

TEST_F(ExportsSimPty, BaudRateChangeWithTheDriver)
{
    Start();
    EXPECT_EQ(ZRComm_SetBaudRate(38400), COMM_OK);
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_BAUD_STARTED));
    ASSERT_TRUE(WaitMonitor(COMM_MONITOR_BAUD_DONE, 8000));
    EXPECT_EQ(sim->lineSettings().baud, 38400);
    EXPECT_EQ(sim->currentRate(), 38400);
    const CommandId id = ZRComm_SendCommandText(nullptr, "?P9\r", 0);
    ASSERT_TRUE(WaitEvent(id, COMM_EVENT_COMPLETED));
    EXPECT_EQ(ZRComm_GetCommandState(id), COMM_REPLY_UNKNOWN_COMMAND);
}

TEST_F(ExportsSimPty, ARecordBehindARemovedCommandGoesOutWithoutAnotherCall)
{
    Start();
    sim->addCommand(drivesim::Match::exact("SWON"), drivesim::Program{});
    ASSERT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
    ASSERT_TRUE(Until([] { return ZRComm_GetCommandCount(-1) == 0; }));
    // Back to command mode queues a mode step; the top-level command goes ahead of it. The port's
    // lock keeps the sender from taking the step before the command is queued.
    CCommPort& port = *CCommApp::Get().Port();
    CommandId id;
    {
        PortLock lock(port);
        ASSERT_EQ(ZRComm_SetCommandMode(0), COMM_OK);
        id = ZRComm_SendTopLevelCommandText(notify.hwnd(), "SWON\r", 7);
    }
    ASSERT_TRUE(Until([&] { return ZRComm_GetCommandState(id) == COMM_OK; }));
    EXPECT_EQ(ZRComm_GetCommandCount(3), 1);
    // The wake that came with the command's end found only the ended command at the head: the
    // removal alone must send the step.
    ASSERT_TRUE(Until([&] { return !CCommPortTestAccess::WakeEvent(port).isSet(); }));
    ZRComm_RemoveCommand(id);
    EXPECT_TRUE(Until([] { return ZRComm_GetCommandCount(-1) == 0; })) << "the mode step stayed queued";
    EXPECT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
}
