// A port on the slave side of a simulated driver's pseudo-terminal, with short injected timings, a
// notify window, a monitor window and the process log written to a temporary file.
#pragma once

#include "comm_log.h"
#include "comm_port.h"
#include "port_test_access.h"
#include "timings.h"

#include "test_support.h"

#include <drivesim/DriverSim.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <termios.h>
#include <vector>

namespace zrtest {

using namespace std::chrono_literals;

// Timings short enough for tests; the framing silences (lone byte, question) keep their values.
inline zrcomm::detail::Timings ShortTimings()
{
    zrcomm::detail::Timings t;
    t.promptWaitMs = 600;
    t.probeNoticeIntervalMs = 400;
    t.echoWatchdogMs = 5000;
    t.replyWatchdogMs = 5000;
    t.replyTimeoutMs = 1500;
    t.baudSetTimeoutMs = 250;
    t.baudVerifyTimeoutMs = 400;
    t.receiveWaitMs = 100;
    t.receiveStopWaitMs = 100;
    t.writeTotalConstantMs = 500;
    t.ctsMinSleepMs = 5;
    return t;
}

// The simulated driver, the process log in a temporary file, injected timings and the three windows
// the library notifies, shared by the tests that run the line through the port or the exports.
class SimDriverTest : public ::testing::Test {
protected:
    void StartDriver(drivesim::Options options, const zrcomm::detail::Timings& t)
    {
        timings = std::make_unique<zrcomm::detail::ScopedTimings>(t);
        logName = dir.file("comm.log");
        savedLog = zrcomm::CCommLog::Get().FileName();
        zrcomm::CCommLog::Get().SetFile(logName.c_str(), zrcomm::CCommLog::kAllTypes);
        sim = std::make_unique<drivesim::DriverSim>(std::move(options));
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
    }
    void StopDriver()
    {
        if (sim)
            sim->stop();
        zrcomm::CCommLog::Get().SetFile(savedLog.c_str(), zrcomm::CCommLog::kDefaultMask);
        timings.reset();
    }

    // Pumps the windows until pred holds.
    bool Until(const std::function<bool()>& pred, int ms = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            notify.pump();
            monitor.pump();
            text.pump();
            plat::PumpSentMessages();
            if (pred())
                return true;
            if (std::chrono::steady_clock::now() >= end)
                return false;
            ::usleep(1000);
        }
    }
    static int Count(const RecordingWindow& w, plat::UINT msg, plat::WPARAM code, plat::LPARAM value = -1)
    {
        int n = 0;
        for (const auto& m : w.seen())
            if (m.msg == msg && m.wParam == code && (value == -1 || m.lParam == value))
                ++n;
        return n;
    }

    TempDir dir;
    std::string logName;
    std::string savedLog;
    std::unique_ptr<zrcomm::detail::ScopedTimings> timings;
    std::unique_ptr<drivesim::DriverSim> sim;
    RecordingWindow notify, monitor, text;
};

class LineTest : public SimDriverTest {
protected:
    // Starts the driver and the port; connect: wait until the driver is identified.
    void Start(drivesim::Options options = {}, bool connect = true, zrcomm::detail::Timings t = ShortTimings())
    {
        StartDriver(std::move(options), t);
        if (HasFatalFailure())
            return;
        port = std::make_unique<zrcomm::CCommPort>();
        ASSERT_EQ(port->Open(sim->slavePath()), COMM_OK);
        plat::DCB dcb;
        dcb.BaudRate = 9600;
        dcb.ByteSize = 8;
        dcb.Parity = plat::NOPARITY;
        dcb.StopBits = plat::ONESTOPBIT;
        ASSERT_EQ(port->Configure(dcb), COMM_OK);
        port->SetNotifyWindow(notify.hwnd());
        port->SetMonitorWindow(monitor.hwnd());
        port->SetExternalData(t.replyTimeoutMs, true);
        ASSERT_EQ(port->StartThreads(), 0u);
        if (connect) {
            ASSERT_TRUE(WaitMonitor(COMM_MONITOR_CONNECTED));
        }
    }

    void TearDown() override
    {
        if (port)
            port->Close();
        port.reset();
        StopDriver();
    }

    bool WaitMonitor(plat::WPARAM code, int times = 1, int ms = 4000)
    {
        return Until([&] { return Count(monitor, WM_COMM_MONITOR, code) >= times; }, ms);
    }
    bool WaitEvent(zrcomm::CCommCommand* r, plat::WPARAM event, int ms = 4000, const RecordingWindow* w = nullptr)
    {
        const RecordingWindow& win = w ? *w : notify;
        const auto id = static_cast<plat::LPARAM>(r->id);
        return Until([&] { return Count(win, WM_COMM_COMMAND, event, id) > 0; }, ms);
    }
    // The events a command's window got, in order.
    std::vector<plat::WPARAM> Events(const zrcomm::CCommCommand* r, const RecordingWindow* w = nullptr) const
    {
        std::vector<plat::WPARAM> out;
        for (const auto& m : (w ? *w : notify).seen())
            if (m.msg == WM_COMM_COMMAND && m.lParam == static_cast<plat::LPARAM>(r->id))
                out.push_back(m.wParam);
        return out;
    }
    std::vector<plat::WPARAM> MonitorCodes(bool withActivity = false) const
    {
        std::vector<plat::WPARAM> out;
        for (const auto& m : monitor.seen()) {
            if (!withActivity && (m.wParam == COMM_MONITOR_WRITE_ACTIVITY || m.wParam == COMM_MONITOR_READ_ACTIVITY))
                continue;
            out.push_back(m.wParam);
        }
        return out;
    }

    zrcomm::CCommCommand* Queue(const char* text, plat::HWND window = nullptr)
    {
        zrcomm::PortLock lock(*port);
        auto* r = port->QueueCommand(port->NewCommand(1, text, window, 0));
        port->WakeSender();
        return r;
    }
    // Runs one command to its end (any final report) and returns its record.
    zrcomm::CCommCommand* Run(const char* text, plat::WPARAM expected = COMM_EVENT_COMPLETED, int ms = 4000)
    {
        auto* r = Queue(text);
        EXPECT_TRUE(WaitEvent(r, expected, ms)) << text;
        return r;
    }
    std::string Reply(zrcomm::CCommCommand* r)
    {
        zrcomm::PortLock lock(*port);
        return r->reply.ToString();
    }
    CommandState State(zrcomm::CCommCommand* r)
    {
        zrcomm::PortLock lock(*port);
        return r->state;
    }
    void Remove(zrcomm::CCommCommand* r) { port->RemoveRecord(r); }

    std::string Log()
    {
        zrcomm::CCommLog::Get().Flush();
        return readFile(logName);
    }
    bool LogHas(const std::string& text) { return Log().find(text) != std::string::npos; }

    // Bytes the driver received from `from` on.
    std::string Received(std::size_t from = 0)
    {
        const std::string all = sim->received();
        return from < all.size() ? all.substr(from) : std::string();
    }
    speed_t LineSpeed()
    {
        termios t{};
        tcgetattr(sim->masterFd(), &t);
        return cfgetospeed(&t);
    }

    std::unique_ptr<zrcomm::CCommPort> port;
};

} // namespace zrtest
