// Captures through the communication library against the simulated KVX-100 on a pseudo-terminal:
// the capture's window takes the queue's completions and its timers, the screen is plain values.
#include "CaptureFakes.h"

#include "screens/oscillo/OscilloCapture.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>

#include <model/DataFile.h>

#include <platform/message_box.h>

#include <zrcomm/zrcomm_api.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace capture_test;

namespace {

class CapturePty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ZRComm_GetCommandCount(1), -1) << "no port may be open";
        std::string error;
        ASSERT_TRUE(driver.load(TALVERIN_SAMPLE_DATA_DIR "/unit/kvx100.ini", &error)) << error;
        driver.install(sim);
        ASSERT_TRUE(sim.start(&error)) << error;
        window = plat::CreateMessageWindow([this](plat::HWND, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
            if (msg == WM_COMM_COMMAND && capture)
                capture->OnCommCommand(w, l);
            if (msg == plat::WM_TIMER && capture)
                capture->OnTimer(static_cast<unsigned>(w));
            return plat::LRESULT{0};
        });
        timers = std::make_unique<WindowCaptureTimers>(window);
        capture = std::make_unique<OscilloCapture>(screen, port, *timers, store, window);
        plat::DCB dcb;
        dcb.BaudRate = 9600;
        dcb.ByteSize = 8;
        ASSERT_EQ(ZRComm_InitFromDCB(window, sim.slavePath().c_str(), &dcb), COMM_OK);
        ASSERT_TRUE(pumpUntil([] { return ZRComm_IsConnected(nullptr, nullptr) == 1; }));
        // Entering the screen while connected reads every setting from the driver.
        capture->SetCurrentScreen(true);
        capture->OnCommStateChanged(1, -1);
        ASSERT_TRUE(pumpUntil([&] { return idle(); }));
    }

    void TearDown() override
    {
        capture.reset();
        ZRComm_Term();
        plat::PumpMessageRange(window, 0, 0, 1000);
        plat::DestroyWindow(window);
        sim.stop();
    }

    bool idle() { return capture->CaptureState() == CapturePhase::Idle && ZRComm_GetCommandCount(-1) == 0; }

    bool pumpUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(20))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            if (plat::PumpMessageRange(window, 0, 0, 50) == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // The command lines the driver took since `from`, repeated polls as one ("L ?WTS x3"), probes
    // left out.
    std::vector<std::string> lines(std::size_t from)
    {
        std::vector<std::pair<std::string, int>> runs;
        const auto transcript = sim.transcript();
        for (std::size_t i = from; i < transcript.size(); ++i) {
            const std::string s = transcript[i].str();
            if (s == "L WWC")
                continue;
            if (!runs.empty() && runs.back().first == s && s == "L ?WTS")
                ++runs.back().second;
            else
                runs.emplace_back(s, 1);
        }
        std::vector<std::string> out;
        for (const auto& [s, n] : runs)
            out.push_back(n > 1 ? s + " x" + std::to_string(n) : s);
        return out;
    }

    drivesim::DriverSim sim;
    drivesim::DriverModel driver;
    plat::HWND window = nullptr;
    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService useBoxes{boxes};
    RecordingScreen screen{talverin::OscilloId::Sing};
    LibraryDriverQueue port;
    model::CDataFile store;
    std::unique_ptr<WindowCaptureTimers> timers;
    std::unique_ptr<OscilloCapture> capture;
};

TEST_F(CapturePty, SingAtEqualRatesArmsPollsFetchesAndStops)
{
    using namespace talverin::OscilloId;
    EXPECT_EQ(screen.controlText(Resolution), "10") << "the driver's WHR201";
    EXPECT_EQ(screen.controlText(Time), "10.0") << "the driver's WHL200.0";
    EXPECT_TRUE(screen.isChecked(EdgeUp));
    EXPECT_EQ(capture->Synchronised(), 1);
    EXPECT_TRUE(screen.isControlEnabled(talverin::OscilloId::Run));

    driver.setStatusScript({1, 2, 3});
    const std::size_t from = sim.transcript().size();
    capture->OnRun();
    ASSERT_TRUE(pumpUntil([&] { return capture->CaptureState() != CapturePhase::Starting; }));
    ASSERT_TRUE(pumpUntil([&] { return idle(); }));

    EXPECT_EQ(lines(from), (std::vector<std::string>{"L ", "L WTA", "L WVAVF", "L WVB-1", "L WVC-1", "L WVD-1", "L WTCA",
                                                      "L WLA0", "L WHL200.0", "L WHR201", "L WTV0", "L WTH50.0", "L ?WTS",
                                                      "L WTR0", "L ?WTS x3", "L WCD", "L WTA"}));
    EXPECT_EQ(store.m_oscillo.m_samples.size(), 201u);
    EXPECT_EQ(store.m_oscillo.m_headerLine, "VF,,,");
    EXPECT_EQ(store.m_oscillo.m_samples[0].m_value[0], 1000.0);
    EXPECT_TRUE(screen.isControlEnabled(talverin::OscilloId::Run));
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(CapturePty, GarbageInTheDataReplyIsFetchedAgain)
{
    driver.setStatusScript({3});
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::Garbage).on("WCD").at(drivesim::GarbagePlace::InReply).with("\x01\x02"));
    capture->OnRun();
    ASSERT_TRUE(pumpUntil([&] { return capture->CaptureState() != CapturePhase::Starting; }));
    ASSERT_TRUE(pumpUntil([&] { return idle(); }));
    const auto received = sim.receivedLines();
    EXPECT_EQ(std::count(received.begin(), received.end(), "WCD"), 2);
    EXPECT_EQ(store.m_oscillo.m_samples.size(), 201u);
    EXPECT_EQ(port.retries(), 0);
    EXPECT_EQ(ZRComm_GetCommandCount(-1), 0);
}

} // namespace
