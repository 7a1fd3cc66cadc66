// The oscilloscope screen on the simulated KVX-100: a chosen source is sent at once (with an arrow
// key held, once after the delay), the slope is sent while idle and kept for the next connection
// otherwise, zooms and a scroll leave the driver's trigger position alone, and a capture's data
// reply is exported as CSV. Captures through the frame's line-speed change: SING at the line's own
// speed, CONT at a capture speed until Stop, and a line lost in the middle of a download.
#include "AppFixture.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/ConnectionRules.h"
#include "screens/oscillo/CViewOscillo.h"
#include "screens/oscillo/OscilloCapture.h"
#include "screens/oscillo/OscilloIds.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <drivesim/Fault.h>
#include <model/DataFile.h>
#include <platform/messages.h>
#include <platform/qt/pump.h>
#include <testsupport/temp_folder.h>
#include <zrcomm/zrcomm_api.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <thread>

using talverin::CViewOscillo;
using namespace talverin::OscilloId;

namespace {

class ViewOscilloPty : public apptest::AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0);
        ASSERT_TRUE(driver.load(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini"));
        driver.install(sim);
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        SetSetting("ExtPort", "COM7", sim.slavePath().c_str());
        SetSetting("Port", "Connect", "COM7");
        ASSERT_TRUE(Start());
        frame().show();
        ASSERT_TRUE(frame().SwitchView(talverin::VIEW_OSCILLO));
        view = dynamic_cast<CViewOscillo*>(frame().GetView(talverin::VIEW_OSCILLO));
        ASSERT_NE(view, nullptr);
    }

    void TearDown() override
    {
        ZRComm_RemoveCommand(-1);
        ZRComm_Term();
        plat::qt::PumpAllPending();
        AppFixture::TearDown();
        sim.stop();
    }

    // Through the frame's Connect: the driver's answer, its lock, the read-all, then the screen's
    // synchronisation.
    void connect()
    {
        doc().SetModifiedFlag(false);
        frame().Commands().execute(talverin::ID_CONNECT);
        ASSERT_TRUE(waitFor([this] { return frame().Connection().m_connectionPhase == talverin::Phase::Connected && idle(); }));
    }

    bool idle() { return view->CaptureState() == talverin::CapturePhase::Idle && ZRComm_GetCommandCount(-1) == 0; }

    // Pumps (real time, at most 20 s; the clock moves 10 ms a round for the screen's timers).
    bool waitFor(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            m_clock.advance(10);
            plat::qt::PumpAllPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // The command lines since `from`, repeated status polls as one.
    std::vector<std::string> lines(std::size_t from) const
    {
        std::vector<std::string> out;
        const auto all = sim.transcript();
        for (std::size_t i = from; i < all.size(); ++i) {
            const std::string s = all[i].str();
            if (s.rfind("L WWC", 0) == 0 || s.rfind("B ", 0) == 0 || (s == "L ?WTS" && !out.empty() && out.back() == s))
                continue;
            out.push_back(s);
        }
        return out;
    }

    void choose(int channel, int index)
    {
        auto* box = view->Form()->findChild<QComboBox*>(QString::number(Source1 + channel - 1));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QPushButton* button(int id) { return view->Form()->findChild<QPushButton*>(QString::number(id)); }

    drivesim::DriverSim sim;
    drivesim::DriverModel driver;
    CViewOscillo* view = nullptr;
};

} // namespace

TEST_F(ViewOscilloPty, SourcesAreSentAtOnceOrOnceAfterTheArrowKeyDelay)
{
    connect();
    std::size_t from = sim.transcript().size();
    choose(1, 1); // VF
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    EXPECT_EQ(lines(from), (std::vector<std::string>{"L WVAVF"}));
    EXPECT_EQ(view->controlText(Trigger1), "VF");
    EXPECT_TRUE(button(Select1)->isEnabled());
    EXPECT_EQ(view->controlText(talverin::OscilloId::UnitLabel), "rpm");

    // Choices made with an arrow key held wait 100 ms; each restarts the wait.
    view->SetArrowKeyState([] { return true; });
    from = sim.transcript().size();
    choose(2, 2);
    m_clock.advance(60);
    plat::qt::PumpAllPending();
    choose(2, 1);
    m_clock.advance(60);
    plat::qt::PumpAllPending();
    EXPECT_EQ(lines(from), (std::vector<std::string>{}));
    m_clock.advance(50);
    ASSERT_TRUE(waitFor([&] { return !lines(from).empty() && idle(); }));
    EXPECT_EQ(lines(from), (std::vector<std::string>{"L WVBVF"}));
}

TEST_F(ViewOscilloPty, SlopeIsSentWhileIdleAndKeptForTheNextConnectionOtherwise)
{
    // Not connected: only marked; the synchronisation then sends it instead of asking.
    button(EdgeUp)->click();
    EXPECT_TRUE(button(EdgeUp)->isChecked());
    EXPECT_FALSE(button(EdgeDown)->isChecked());
    EXPECT_EQ(view->Capture().Slot(talverin::CaptureTag::Edge), talverin::kSlotPending);
    const std::size_t start = sim.transcript().size();
    connect();
    const std::vector<std::string> sync = lines(start);
    EXPECT_NE(std::find(sync.begin(), sync.end(), "L WTV0"), sync.end());
    EXPECT_EQ(std::find(sync.begin(), sync.end(), "L ?WTV"), sync.end());

    const std::size_t from = sim.transcript().size();
    button(EdgeDown)->click();
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    button(EdgeUp)->click();
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    EXPECT_EQ(lines(from), (std::vector<std::string>{"L WTV1", "L WTV0"}));
}

TEST_F(ViewOscilloPty, ACaptureIsExportedAsCsv)
{
    connect();
    choose(1, 1);
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    EXPECT_FALSE(view->Commands().isEnabled(talverin::OscilloCommand::SaveCsv)); // no rows yet
    button(Sing)->click();
    driver.setStatusScript({1, 1, 1, 3});
    ASSERT_TRUE(button(talverin::OscilloId::Run)->isEnabled());
    button(talverin::OscilloId::Run)->click();
    ASSERT_TRUE(waitFor([this] { return view->CaptureState() != talverin::CapturePhase::Starting; }));
    // While capturing the slope cannot change: the driver has it for this capture.
    if (view->CaptureState() == talverin::CapturePhase::Capturing) {
        EXPECT_FALSE(button(EdgeUp)->isEnabled());
        EXPECT_FALSE(view->Commands().execute(EdgeUp));
    }
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    ASSERT_FALSE(store().m_oscillo.m_samples.empty());
    EXPECT_EQ(store().m_viewHistory.front(), view->SettingsSummary());
    ASSERT_TRUE(view->Commands().isEnabled(talverin::OscilloCommand::SaveCsv));

    plat::test::TempFolder folder;
    const std::string path = folder.file("capture.csv");
    m_files.accept(path);
    ASSERT_TRUE(view->Commands().execute(talverin::OscilloCommand::SaveCsv));
    const std::string bytes = plat::test::readBytes(path);
    const std::string header = store().m_oscillo.m_headerLine + "\r\n";
    EXPECT_EQ(bytes.substr(0, header.size()), header);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);
}

TEST_F(ViewOscilloPty, AViewRecordEntryRestoresItsSettings)
{
    connect();
    view->AddViewRecord("T=2.0,R=10,TP=30.0,TL=5,*CH2=vf,SLOPE=UP,AUTO");
    view->AddViewRecord("T=1.0");
    ASSERT_TRUE(view->Commands().isEnabled(talverin::OscilloCommand::ViewRecord1 + 1));
    EXPECT_EQ(view->Commands().state(talverin::OscilloCommand::ViewRecord1).text(), QStringLiteral("T=1.0"));
    const std::size_t from = sim.transcript().size();
    ASSERT_TRUE(view->Commands().execute(talverin::OscilloCommand::ViewRecord1 + 1));
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    EXPECT_EQ(view->controlText(Time), "2.0");
    EXPECT_EQ(view->controlText(Resolution), "10");
    EXPECT_EQ(view->controlText(TriggerPosition), "30.0");
    EXPECT_EQ(view->controlText(Level), "5");
    EXPECT_EQ(view->controlText(Source1 + 1), "VF"); // found without case
    EXPECT_TRUE(view->isChecked(Trigger1 + 1));
    EXPECT_TRUE(view->isChecked(EdgeUp));
    EXPECT_TRUE(view->isChecked(Auto));
    EXPECT_FALSE(view->isChecked(Cont));
    EXPECT_TRUE(view->Commands().state(talverin::OscilloCommand::ViewRecord1 + 1).checked());
    const std::vector<std::string> sent = lines(from);
    for (const char* line : {"L WHL40.0", "L WHR201", "L WVBVF", "L WTH30.0", "L WLB5"})
        EXPECT_NE(std::find(sent.begin(), sent.end(), line), sent.end()) << line;
}

// ---- Captures through the frame's line-speed change -------------------------------------------

TEST_F(ViewOscilloPty, SingAtTheLinesOwnSpeedFetchesOnceAndStops)
{
    connect();
    choose(1, 1); // VF
    button(Sing)->click();
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    ASSERT_TRUE(view->Commands().execute(talverin::OscilloCommand::Baud9600)); // the port's own speed
    driver.setStatusScript({1, 2, 3});
    const std::size_t from = sim.transcript().size();
    for (const int zoom : {1, 4, 0}) { // 2, then scrolled, then 16 and 1: the driver's 50 % stays
        button(Zoom1 + zoom)->click();
        if (zoom == 1)
            view->setControlText(HorizontalPosition, "0.5"), view->RunRangeCheck(HorizontalPosition);
        EXPECT_EQ(view->sliderValue(PositionSlider, 13), zoom == 4 ? 62500 : 500000) << "the cursor at the nearer end";
    }
    button(talverin::OscilloId::Run)->click();
    ASSERT_TRUE(waitFor([this] { return view->CaptureState() != talverin::CapturePhase::Starting; }));
    EXPECT_EQ(frame().MessagePane()->text(), "Waiting for trigger");
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    EXPECT_FALSE(frame().MessagePane()->text().contains(QStringLiteral("trigger")));
    EXPECT_EQ(lines(from), (std::vector<std::string>{"L ", "L WTA", "L WVAVF", "L WVBTRQ", "L WVC-1", "L WVD-1",
                                                      "L WTCA", "L WLA1", "L WHL200.0", "L WHR201", "L WTV0",
                                                      "L WTH50.0", "L ?WTS", "L WTR0", "L ?WTS", "L WCD", "L WTA"}));
    EXPECT_EQ(store().m_oscillo.m_samples.size(), 201u);
    EXPECT_EQ(store().m_oscillo.m_headerLine, "VF,TRQ,,");
    EXPECT_TRUE(button(talverin::OscilloId::Run)->isEnabled());
    EXPECT_FALSE(button(talverin::OscilloId::Stop)->isEnabled());
    EXPECT_EQ(sim.lastPtySpeed(), 9600);
}

TEST_F(ViewOscilloPty, ContAtACaptureSpeedRepeatsUntilStopAndTheLineComesBack)
{
    // The line-speed change waits for the queue up to a limit its pauses reach at once on a manual clock.
    plat::SystemClock realClock;
    plat::ScopedClock useRealClock(realClock);
    connect();
    choose(1, 1);
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    ASSERT_TRUE(view->isChecked(Cont));
    ASSERT_TRUE(view->Commands().execute(talverin::OscilloCommand::Baud9600 + 2));
    EXPECT_EQ(store().m_captureBaudRate, 38400);
    driver.setStatusScript({1, 3, 1, 3, 1}, true);
    const std::size_t from = sim.receivedLines().size();
    const auto fetches = [&] {
        const auto received = sim.receivedLines();
        return std::count(received.begin() + static_cast<long>(from), received.end(), std::string("WCD"));
    };
    button(talverin::OscilloId::Run)->click();
    ASSERT_TRUE(waitFor([&] { return fetches() == 2 && view->CaptureState() == talverin::CapturePhase::Capturing; }));
    EXPECT_EQ(sim.lastPtySpeed(), 38400);
    EXPECT_FALSE(button(talverin::OscilloId::Run)->isEnabled());
    ASSERT_TRUE(button(talverin::OscilloId::Stop)->isEnabled());
    button(talverin::OscilloId::Stop)->click();
    ASSERT_TRUE(waitFor([this] { return idle() && frame().Connection().m_baudChangeBusy == 0; }));
    EXPECT_EQ(sim.lastPtySpeed(), 9600);
    EXPECT_EQ(fetches(), 2);
    EXPECT_EQ(store().m_oscillo.m_samples.size(), 201u);
    const auto received = sim.receivedLines();
    EXPECT_EQ(std::count(received.begin() + static_cast<long>(from), received.end(), std::string("BDR2")), 1);
    EXPECT_TRUE(button(talverin::OscilloId::Run)->isEnabled());
    EXPECT_EQ(frame().Connection().m_connectionPhase, talverin::Phase::Connected);
    EXPECT_EQ(m_boxes.count(), 0u);
}

TEST_F(ViewOscilloPty, ALineLostMidDownloadEndsTheCaptureWithNothingQueued)
{
    // The library's probe notices and watchdogs shortened (read when the port is made).
    struct Watchdog {
        Watchdog() { ::setenv("ZRCOMM_TEST_WATCHDOG_MS", "1500", 1); }
        ~Watchdog() { ::unsetenv("ZRCOMM_TEST_WATCHDOG_MS"); }
    } watchdog;
    connect();
    choose(1, 1);
    button(Sing)->click();
    ASSERT_TRUE(waitFor([this] { return idle(); }));
    driver.setStatusScript({3});
    // The data reply comes in two pieces; the line goes in between.
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::SplitWrites).on("WCD").splitAt({40}).after(std::chrono::milliseconds(400)));
    m_boxes.answer(plat::IDOK);
    button(talverin::OscilloId::Run)->click();
    ASSERT_TRUE(waitFor([this] {
        const auto received = sim.receivedLines();
        return std::find(received.begin(), received.end(), "WCD") != received.end();
    }));
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::HangUp));
    ASSERT_TRUE(waitFor([this] {
        const talverin::CapturePhase state = view->CaptureState();
        return (state == talverin::CapturePhase::NotConnected || state == talverin::CapturePhase::Idle)
               && ZRComm_GetCommandCount(-1) <= 0;
    }));
    EXPECT_FALSE(button(talverin::OscilloId::Run)->isEnabled());
    EXPECT_FALSE(button(talverin::OscilloId::Stop)->isEnabled());
    EXPECT_EQ(store().m_oscillo.m_samples.size(), 0u);
    // At most one box (the commands' time-outs may be seen before the line's loss), and the port
    // closed.
    EXPECT_LE(m_boxes.count(), 1u);
    m_boxes.clear();
    EXPECT_TRUE(waitFor([this] { return frame().Connection().m_connectionPhase == talverin::Phase::Idle; }));
}
