// The frame's driver connection on the simulated KVX-100: connect and disconnect, the identity
// question, a table of line faults, the lock menus, the line-speed change, the three switch paths
// and Save while connected. Screens are recording stand-ins.
#include "FrameFixture.h"

#include "app/SessionEnd.h"
#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "connection/CBusyDlg.h"
#include "connection/ConnectionRules.h"
#include "connection/SleepInhibitor.h"
#include "frame/CConnectionBar.h"
#include "frame/PortMenu.h"
#include "frame/RecentFileList.h"
#include "report/ReportPrinting.h"
#include "screens/CViewBase.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <drivesim/Fault.h>
#include <model/CommandSupport.h>
#include <model/ZRParamData.h>
#include <platform/comm_port_names.h>
#include <platform/messages.h>
#include <testsupport/wait.h>
#include <zrcomm/zrcomm_api.h>

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

using namespace talverin;
using drivesim::Fault;
using drivesim::FaultKind;

namespace {

// Answers the frame's notices like a screen that lets everything happen, and records them.
class RecordingView : public CViewBase {
public:
    RecordingView(int id, std::vector<std::string>& log) : CViewBase(id), m_log(log) {}
    int m_refuseDisconnect = 0;

protected:
    plat::LRESULT WindowProc(plat::UINT message, plat::WPARAM w, plat::LPARAM l) override
    {
        const char* name = message == WM_COMM_STATE_CHANGED   ? "state"
                         : message == WM_LOCK_STATE_CHANGED ? "lock"
                         : message == WM_BAUD_CHANGE_STATE  ? "baud"
                                                            : nullptr;
        if (!name)
            return CViewBase::WindowProc(message, w, l);
        m_log.push_back(std::to_string(ViewId()) + " " + name + " " + std::to_string(w) + "," + std::to_string(l));
        return message == WM_COMM_STATE_CHANGED && w == 0 && m_refuseDisconnect ? 0 : 1;
    }

private:
    std::vector<std::string>& m_log;
};

bool PumpUntil(const std::function<bool()>& done)
{
    return plat::test::waitUntil([&] {
        plat::qt::PumpAllPending();
        return done();
    });
}

class ConnectionPty : public apptest::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        // Short time-outs on real time; a test on the test clock keeps the 30 s ones.
        if (m_realTime) {
            m_useRealClock.emplace(m_realClock);
            ::setenv("ZRCOMM_TEST_WATCHDOG_MS", "1500", 1);
        }
        ASSERT_TRUE(m_model.load(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini"));
        m_model.install(m_sim);
        ASSERT_TRUE(m_sim.start());
        SetSetting("ExtPort", "COM7", m_sim.slavePath().c_str());
        SetSetting("Port", "Connect", "COM7");
        SetSetting("Port", "CommandTimeout", m_realTime ? "300" : "30000");
        ASSERT_TRUE(Start());
        for (const int id : {VIEW_OSCILLO, VIEW_PARAM, VIEW_IO, VIEW_CHANNEL, VIEW_TERMINAL})
            frame().AddView(m_views.emplace_back(new RecordingView(id, m_log)));
    }
    void TearDown() override
    {
        ZRComm_RemoveCommand(-1);
        ZRComm_Term();
        plat::qt::PumpAllPending();
        ::unsetenv("ZRCOMM_TEST_WATCHDOG_MS");
        FrameFixture::TearDown();
    }
    talverin::Phase phase() { return frame().Connection().m_connectionPhase; }
    bool portClosed() { return ZRComm_GetCommandCount(-1) == -1; }
    // A connection marks the document modified; the next Connect would ask to save it.
    void StartConnect()
    {
        doc().SetModifiedFlag(false);
        frame().Commands().execute(ID_CONNECT);
    }
    bool Connect()
    {
        StartConnect();
        return PumpUntil([&] { return phase() == Phase::Connected; });
    }
    bool Disconnect()
    {
        frame().Commands().execute(ID_DISCONNECT);
        return PumpUntil([&] { return phase() == Phase::Idle && portClosed(); });
    }
    // The lines the driver got, without the library's probes and mode syncs.
    std::vector<std::string> Wire()
    {
        std::vector<std::string> lines;
        for (const std::string& line : m_sim.receivedLines())
            if (!line.empty() && line != "WWC")
                lines.push_back(line);
        return lines;
    }
    std::vector<std::string> WireSince(std::size_t from)
    {
        const auto lines = Wire();
        return {lines.begin() + static_cast<long>(std::min(from, lines.size())), lines.end()};
    }
    // Sent since the wire had `from` lines.
    bool Sent(const std::string& line, std::size_t from = 0)
    {
        const auto lines = Wire();
        return std::find(lines.begin() + static_cast<long>(std::min(from, lines.size())), lines.end(), line) != lines.end();
    }
    std::string Log(const char* kind)
    {
        std::string text;
        for (const std::string& entry : m_log)
            if (entry.find(kind) != std::string::npos)
                text += (text.empty() ? "" : " ") + entry;
        return text;
    }
    void Switch(int view) { frame().SwitchView(view); }

    bool m_realTime = true;
    plat::SystemClock m_realClock; // the library's threads and time-outs run on real time
    std::optional<plat::ScopedClock> m_useRealClock;
    drivesim::DriverModel m_model;
    drivesim::DriverSim m_sim;
    std::vector<std::string> m_log;
    std::vector<RecordingView*> m_views;
};

} // namespace

TEST_F(ConnectionPty, ConnectsReadsAllAndDisconnectsWithTheAlarmHistory)
{
    m_model.setValue("SPD", "1234");
    m_model.raiseAlarm(31, "OVER CURRENT");
    ASSERT_TRUE(Connect());
    EXPECT_EQ(Wire(), (std::vector<std::string>{"MI", "?KP", "TX0"}));
    EXPECT_EQ(frame().ConnectionBar()->GetDisplayState(), CConnectionBar::kConnected);
    EXPECT_EQ(Log("state"), "130 state 1,0 131 state 1,0 132 state 1,0 174 state 1,0 183 state 1,0");
    EXPECT_EQ(store().FindParameter("SPD")->m_currentValue, 1234);
    EXPECT_EQ(store().m_dataReceivedFlag, 1);
    EXPECT_EQ(frame().Connection().GetLockMenuState(), 0) << "the driver starts locked";
    EXPECT_TRUE(frame().Commands().isEnabled(ID_DISCONNECT));
    EXPECT_FALSE(frame().Connection().BusyDialog()) << "the please-wait dialog is gone";
    EXPECT_TRUE(frame().isEnabled());

    ASSERT_TRUE(Disconnect());
    EXPECT_EQ(Wire().back(), "TA/HI");
    EXPECT_NE(store().m_alarmText.find("31"), std::string::npos) << store().m_alarmText;
    EXPECT_EQ(frame().ConnectionBar()->GetDisplayState(), CConnectionBar::kDisconnected);
    EXPECT_EQ(m_boxes.count(), 0u);

    // On the terminal screen the driver's answer connects at once: no lock query, no read-all.
    Switch(VIEW_TERMINAL);
    m_log.clear();
    const std::size_t before = Wire().size();
    ASSERT_TRUE(Connect());
    EXPECT_EQ(Wire().size(), before + 1);
    EXPECT_TRUE(Sent("MI", before));
    EXPECT_EQ(store().m_driverModelInfo.substr(0, 7), "KVX100A");
}

TEST_F(ConnectionPty, AsksWhenTheDriverDiffersFromTheDocument)
{
    store().m_newDocument = 0;
    store().m_documentPath = m_folder.file("saved.zrd");
    store().m_documentModelInfo = "ABC1.23/X.1/Y";
    doc().SetModifiedFlag(false);
    m_boxes.answer(plat::IDNO);
    StartConnect();
    ASSERT_TRUE(PumpUntil([&] { return m_boxes.count() == 1 && phase() == Phase::Idle && portClosed(); }));
    EXPECT_EQ(m_boxes.last().caption, "Check driver unit");
    EXPECT_FALSE(Sent("TX0"));
    EXPECT_FALSE(doc().IsModified()) << "the modified flag as it was";

    m_boxes.answer(plat::IDYES);
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(Sent("TX0"));
    EXPECT_EQ(store().m_documentModelInfo, store().m_driverModelInfo) << "the document takes the driver's";
    ASSERT_TRUE(Disconnect());

    // "*" accepts any driver.
    store().m_documentModelInfo = "*";
    ASSERT_TRUE(Connect());
    EXPECT_EQ(m_boxes.count(), 2u);
}

TEST_F(ConnectionPty, EveryFaultEndsClosedAndConnectWorksAgain)
{
    using drivesim::Match;
    using drivesim::Program;
    auto fault = [&](Fault f) {
        m_sim.injectFault(std::move(f));
        return -1;
    };
    auto answer = [&](const char* line, drivesim::Step step) { return m_sim.addCommand(Match::exact(line), Program{step}); };
    struct Case {
        const char* name;
        std::function<int()> arm; // the scripted command's id, or -1
        const char* box;          // the last box's caption; empty: none; "?": any
        bool connectsFirst;
        std::function<void()> act; // once connected, or while "Connecting." is up
    };
    std::size_t from = 0;
    const std::vector<Case> cases = {
        {"silence", [&] { return fault(Fault(FaultKind::Silence).always()); }, "Connection error", false, {}},
        {"garbage once", [&] { return fault(Fault(FaultKind::Garbage).on("?KP").at(drivesim::GarbagePlace::InReply)); },
         "", true, [&] { frame().Commands().execute(ID_DISCONNECT); }},
        {"XYZ, Cancel", [&] { return answer("?KP", drivesim::Line("XYZ")); }, "", false,
         [&] {
             ASSERT_TRUE(PumpUntil([&] { return Sent("?KP", from) && ZRComm_GetCommandCount(1) == 0; }));
             ASSERT_TRUE(frame().Connection().BusyDialog());
             EXPECT_EQ(frame().Connection().BusyDialog()->Text().toStdString(), "Connecting.\n\nPlease wait.");
             EXPECT_FALSE(Sent("TX0", from));
             frame().Connection().BusyDialog()->CancelButton()->click();
         }},
        {"TX0 unreadable", [&] { return answer("TX0", drivesim::Line("NONSENSE")); }, "Data receive error", true,
         [&] {
             EXPECT_EQ(store().m_dataReceivedFlag, 0) << "the store is left as it was";
             frame().Commands().execute(ID_DISCONNECT);
         }},
        {"?KP refused", [&] { return answer("?KP", drivesim::Error("UNKNOWN OPTION")); }, "Connection error", false, {}},
        {"TA/HI refused", [&] { return answer("TA/HI", drivesim::Error("UNKNOWN OPTION")); }, "", true,
         [&] { frame().Commands().execute(ID_DISCONNECT); }},
        {"lock echo dropped", [&] { return fault(Fault(FaultKind::DropLine).on("KP1").always()); }, "Communication error",
         true, [&] { frame().Commands().execute(ID_LOCK_DISABLE); }},
        // Whichever notice of the lost line comes first tells the user.
        {"hang-up in TX0", [&] { return fault(Fault(FaultKind::HangUp).on("TX0")); }, "?", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes.clear();
        from = Wire().size();
        const int scripted = c.arm();
        if (*c.box)
            m_boxes.answerWith([](const plat::ScriptedMessageBoxes::Shown&) { return plat::IDOK; });
        StartConnect();
        if (c.connectsFirst) {
            ASSERT_TRUE(PumpUntil([&] { return phase() == Phase::Connected; }));
        }
        if (c.act)
            c.act();
        EXPECT_TRUE(PumpUntil([&] { return phase() == Phase::Idle && portClosed(); })) << static_cast<int>(phase());
        plat::qt::PumpAllPending();
        if (std::string(c.box) != "?") {
            EXPECT_EQ(m_boxes.count() ? m_boxes.last().caption : std::string(), c.box);
        }
        EXPECT_FALSE(frame().Connection().BusyDialog());
        EXPECT_TRUE(frame().isEnabled());
        m_sim.clearFaults();
        if (scripted >= 0)
            m_sim.removeCommand(scripted);
    }
}

TEST_F(ConnectionPty, AVanishedDriverIsReportedAtOnceAndAnUnreadableOneAfterTheCommandTimeout)
{
    const auto reported = [&] { return PumpUntil([&] { return m_boxes.count() == 1 && phase() == Phase::Idle && portClosed(); }); };
    ASSERT_TRUE(Connect());
    m_boxes.answer(plat::IDOK);
    const std::string line = m_sim.slavePath();
    m_sim.hangUp();
    ASSERT_TRUE(reported());
    plat::qt::PumpAllPending();
    EXPECT_EQ(m_boxes.count(), 1u) << "one report for the line and its commands";
    EXPECT_EQ(m_boxes.last().caption + "|" + m_boxes.last().text,
              "Communication error|Communication error occured.\nCheck the device and re-try.\n\nContents of "
              "error:Communication failure (Device disconnected): " + line);

    // Back on a new line, garbling its identification: asked about once a second and given up
    // after [Port] CommandTimeout (300 ms here), with what it sent.
    m_sim.stop();
    ASSERT_TRUE(m_sim.start());
    plat::SetExtPort("COM7", m_sim.slavePath());
    m_sim.injectFault(Fault(FaultKind::Garbage).on("MI").always().at(drivesim::GarbagePlace::InReply));
    m_boxes.clear();
    m_boxes.answer(plat::IDOK);
    const std::size_t from = Wire().size();
    StartConnect();
    ASSERT_TRUE(reported());
    const std::string text = m_boxes.last().caption + "|" + m_boxes.last().text;
    EXPECT_EQ(text.substr(0, text.find(": ") + 2), "Connection error|Error during connection.\nMake sure device is "
                                                   "connected properly.\nThe identification reply could not be read. Received: ");
    EXPECT_NE(text.find("\\x00\\x07\\x80\\xff"), std::string::npos) << text;
    const auto asked = WireSince(from);
    EXPECT_LE(std::count(asked.begin(), asked.end(), std::string("MI")), 3);
    m_sim.clearFaults();
    ASSERT_TRUE(Connect());
}

TEST_F(ConnectionPty, LockMenusAndTheThreeSwitchPaths)
{
    store().m_specialParameters = {"SPD", "ACC"};
    Switch(VIEW_OSCILLO);
    ASSERT_TRUE(Connect());
    EXPECT_EQ(Wire().back(), "?SPD,?ACC,TX0");
    const auto enabled = [&](plat::UINT id) { return frame().Commands().isEnabled(id); };
    ASSERT_TRUE(enabled(ID_LOCK_DISABLE));
    m_log.clear();
    frame().Commands().execute(ID_LOCK_DISABLE);
    EXPECT_FALSE(enabled(ID_LOCK_ENABLE)) << "not while the lock command runs";
    ASSERT_TRUE(PumpUntil([&] { return !frame().Connection().IsBusy(); }));
    EXPECT_EQ(Wire().back(), "KP1");
    EXPECT_EQ(frame().Connection().GetLockMenuState(), 1);
    EXPECT_TRUE(frame().Commands().state(ID_LOCK_DISABLE).checked());
    EXPECT_EQ(app().m_lockState, 1);
    EXPECT_EQ(Log("lock"), "130 lock 1,0 131 lock 1,0 132 lock 1,0 174 lock 1,0 183 lock 1,0");

    // To the terminal: the lock first; the radio keeps what the user chose.
    std::size_t from = Wire().size();
    m_log.clear();
    Switch(VIEW_TERMINAL);
    EXPECT_EQ(phase(), Phase::EnteringTerminal);
    ASSERT_TRUE(PumpUntil([&] { return frame().GetCurrentViewId() == VIEW_TERMINAL; }));
    EXPECT_EQ(phase(), Phase::Connected);
    EXPECT_TRUE(Sent("KP0", from));
    EXPECT_EQ(frame().Connection().GetLockMenuState(), 1);
    EXPECT_EQ(Log("lock 0"), "130 lock 0,1 131 lock 0,1 132 lock 0,1 174 lock 0,1 183 lock 0,1");
    EXPECT_FALSE(enabled(ID_LOCK_ENABLE) || enabled(ID_LOCK_DISABLE)) << "not on the terminal screen";

    // From the terminal: the radio's lock, then all of the data again.
    from = Wire().size();
    Switch(VIEW_PARAM);
    ASSERT_TRUE(PumpUntil([&] { return frame().GetCurrentViewId() == VIEW_PARAM; }));
    EXPECT_EQ(phase(), Phase::Connected);
    EXPECT_EQ(WireSince(from),
              (std::vector<std::string>{"KP1", "?SPD,?ACC,TX0"}));

    // From the oscilloscope screen to another: "TX0" alone.
    Switch(VIEW_OSCILLO);
    from = Wire().size();
    Switch(VIEW_IO);
    ASSERT_TRUE(PumpUntil([&] { return frame().GetCurrentViewId() == VIEW_IO; }));
    EXPECT_EQ(WireSince(from),
              std::vector<std::string>{"TX0"});
    EXPECT_FALSE(frame().IsSwitching());
    EXPECT_EQ(phase(), Phase::Connected);
}

TEST_F(ConnectionPty, ChangesTheLineSpeedForTheOscilloscope)
{
    ASSERT_TRUE(Connect());
    int changed = -1;
    store().m_captureBaudRate = 9600; // the port's own rate: nothing to do
    EXPECT_EQ(plat::SendMessage(frame().GetSafeHwnd(), WM_CHANGE_BAUD_RATE, 1, reinterpret_cast<plat::LPARAM>(&changed)), 0);
    EXPECT_EQ(changed, 0);
    const std::size_t from = Wire().size();
    store().m_captureBaudRate = 38400;
    m_log.clear();
    EXPECT_EQ(plat::SendMessage(frame().GetSafeHwnd(), WM_CHANGE_BAUD_RATE, 1, reinterpret_cast<plat::LPARAM>(&changed)), 0);
    EXPECT_EQ(changed, 1);
    ASSERT_TRUE(PumpUntil([&] { return frame().Connection().m_baudChangeBusy == 0; }));
    EXPECT_EQ(WireSince(from),
              (std::vector<std::string>{"BDT10000.0", "/TRX ON", "BDR2", "BDV"}));
    EXPECT_EQ(m_sim.lastPtySpeed(), 38400);
    EXPECT_EQ(Log("baud 19").substr(0, 12), "130 baud 19,") << "the screens follow";

    EXPECT_EQ(plat::SendMessage(frame().GetSafeHwnd(), WM_CHANGE_BAUD_RATE, 0, reinterpret_cast<plat::LPARAM>(&changed)), 0);
    ASSERT_TRUE(PumpUntil([&] { return frame().Connection().m_baudChangeBusy == 0 && m_sim.lastPtySpeed() == 9600; }));
    ASSERT_TRUE(Disconnect());
}

TEST_F(ConnectionPty, SaveWhileConnectedReadsTheDriverFirst)
{
    ASSERT_TRUE(Connect());
    // Cancel of the read drops the save.
    frame().Commands().execute(ID_FILE_SAVE);
    ASSERT_TRUE(frame().Connection().BusyDialog());
    EXPECT_EQ(frame().Connection().BusyDialog()->Text().toStdString(), "Reading all data.\n\nPlease wait.");
    frame().Connection().BusyDialog()->CancelButton()->click();
    ASSERT_TRUE(PumpUntil([&] { return !frame().Connection().IsBusy() && ZRComm_GetCommandCount(1) == 0; }));
    EXPECT_EQ(frame().Connection().OperationTag(), 0);
    EXPECT_TRUE(frame().isEnabled());
    EXPECT_EQ(m_files.count(), 0u);

    const std::size_t from = Wire().size();
    const std::string path = m_folder.file("read.zrd");
    m_files.accept(path);
    AcceptComment();
    frame().Commands().execute(ID_FILE_SAVE);
    ASSERT_TRUE(PumpUntil([&] { return m_files.count() == 1; }));
    EXPECT_EQ(WireSince(from),
              (std::vector<std::string>{"TX0", "TA/HI"}));
    EXPECT_TRUE(PumpUntil([&] { return plat::FileExists(path); }));
    EXPECT_FALSE(frame().Connection().BusyDialog() && frame().Connection().BusyDialog()->isVisible());
}

TEST_F(ConnectionPty, PreviewWhileConnectedReadsTheDriverFirst)
{
    namespace fs = std::filesystem;
    fs::copy(fs::path(TALVERIN_SAMPLE_DATA_DIR) / "report_en", m_folder.path / "report_en");
    fs::create_symlink(fs::path(TALVERIN_BIN_DIR) / "zrreport", m_folder.path / "zrreport");
    ASSERT_TRUE(Connect());
    Switch(VIEW_PARAM);
    ASSERT_TRUE(PumpUntil([&] { return frame().GetCurrentViewId() == VIEW_PARAM && !frame().Connection().IsBusy(); }));
    const std::size_t from = Wire().size();
    frame().Commands().execute(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(frame().Reports().viewerProcess(), nullptr) << "held for the read";
    ASSERT_TRUE(PumpUntil([&] { return frame().Reports().viewerProcess() != nullptr; }));
    EXPECT_EQ(WireSince(from), (std::vector<std::string>{"TX0", "TA/HI"}));
    EXPECT_TRUE(plat::FileExists(m_folder.file("report131.html")));
}

TEST_F(ConnectionPty, CloseWhileConnectedAsksThenEndsTheConnectionFirst)
{
    const std::string connectedText =
        "Currrently connected to the driver.\nYou must terminate connection before exiting application.";
    ASSERT_TRUE(Connect());
    doc().SetModifiedFlag(false);
    m_boxes.answer(plat::IDCANCEL);
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(m_boxes.last().text, connectedText);
    EXPECT_EQ(m_boxes.last().caption, "Must terminate connection");
    EXPECT_EQ(phase(), Phase::Connected);

    // The channel program editor refuses, before the save question: still connected, the screens hear it.
    static_cast<RecordingView*>(frame().GetView(VIEW_CHANNEL))->m_refuseDisconnect = 1;
    doc().SetModifiedFlag(true);
    m_boxes.answer(plat::IDOK);
    m_log.clear();
    EXPECT_FALSE(frame().close());
    EXPECT_EQ(m_boxes.last().text, connectedText);
    EXPECT_EQ(phase(), Phase::Connected);
    EXPECT_EQ(app().m_askBeforeSave, 1);
    EXPECT_EQ(Log("state"), "174 state 0,-3 183 state 1,-2 130 state 1,-2 132 state 1,-2 174 state 1,-2");
    EXPECT_FALSE(frame().Connection().BusyDialog() && frame().Connection().BusyDialog()->isVisible());
    static_cast<RecordingView*>(frame().GetView(VIEW_CHANNEL))->m_refuseDisconnect = 0;
    // Cancel of the save question, asked after the write-back, goes back the same way.
    m_boxes.answer(plat::IDOK).answer(plat::IDCANCEL);
    EXPECT_FALSE(frame().close());

    // Modified and Yes: all data is read before the alarm history, then saved without a question.
    const std::string path = m_folder.file("closed.zrd");
    m_files.accept(path);
    AcceptComment();
    m_boxes.answer(plat::IDOK).answer(plat::IDYES);
    const std::size_t from = Wire().size();
    frame().close();
    ASSERT_TRUE(PumpUntil([&] { return frame().IsDestroyed(); }));
    EXPECT_EQ(WireSince(from), (std::vector<std::string>{"TX0", "TA/HI"}));
    EXPECT_TRUE(portClosed());
    EXPECT_TRUE(plat::FileExists(path));
    EXPECT_EQ(m_boxes.count(), 6u) << "no second question on the way back in";
}

TEST_F(ConnectionPty, CloseWhileConnectedWithoutChangesPostsDisconnect)
{
    ASSERT_TRUE(Connect());
    doc().SetModifiedFlag(false);
    m_boxes.answer(plat::IDOK);
    const std::size_t from = Wire().size();
    EXPECT_TRUE(frame().close());
    EXPECT_EQ(WireSince(from), std::vector<std::string>{"TA/HI"});
    EXPECT_TRUE(portClosed());
    EXPECT_TRUE(frame().IsDestroyed());
}

class ConnectionPtyOnTheTestClock : public ConnectionPty {
protected:
    ConnectionPtyOnTheTestClock() { m_realTime = false; }
};

// A driver that stops answering in the read-all (no echo, or a reply that never ends): the 30 s
// time-out and its three resumes on the test clock, then the box and the status bar say why.
TEST_F(ConnectionPtyOnTheTestClock, AReadAllThatNeverEndsIsNamedInTheBoxAndTheStatusBar)
{
    const std::string reason = "Reading all data: the driver unit's reply did not end (time-out).";
    for (const auto& [fault, stalled] :
         {std::pair{FaultKind::Silence, CMD_WAIT_ECHO}, std::pair{FaultKind::DropPrompt, CMD_RECEIVING}}) {
        m_boxes.clear();
        m_sim.injectFault(Fault(fault).on("TX0").always());
        m_boxes.answer(plat::IDOK);
        const std::size_t from = Wire().size();
        StartConnect();
        // Only the stalled read is waited out (seen on the library's next pass, a second apart).
        ASSERT_TRUE(plat::test::waitUntil([&] {
            plat::qt::PumpAllPending();
            if (Sent("TX0", from) && ZRComm_GetCommandState(frame().Connection().RunningCommand()) == stalled)
                m_clock.advance(1000);
            return phase() == Phase::Idle && portClosed();
        }, 60000));
        EXPECT_EQ(WireSince(from), (std::vector<std::string>{"MI", "?KP", "TX0", "TX0", "TX0", "TX0"}));
        ASSERT_EQ(m_boxes.count(), 1u);
        EXPECT_EQ(m_boxes.last().text,
                  "Communication error occured.\nCheck the device and re-try.\n\nContents of error:" + reason);
        EXPECT_EQ(frame().MessagePane()->text().toStdString(), reason);
        m_sim.clearFaults();
    }
}

class ConnectionGui : public apptest::FrameFixture {};

TEST_F(ConnectionGui, CommErrorBoxes)
{
    // No port: the disconnection the flags ask for has nothing to close.
    struct Case {
        plat::WPARAM code;
        plat::LPARAM flags;
        const char* text; // empty: no box
        const char* title;
    };
    const Case cases[] = {
        {0x40000009, 0, "Comunication time out.\nCheck the device condition and re-try.", "Communication time out"},
        {3, 0x8000, "Check the status of your unit and try again", "Data transfer time out"},
        {20, 0x4000000f,
         "Failed to set baud rate.\nMust restart system.\nPlease check the system and re-try.\nIf error occurs again, "
         "check [Oscillo]BaudRate setting under Talverin.ini\n\nContents of error:Data out of range",
         "Baud rate set error"},
        {20, 0x20000003, "Failed to set baud rate.", "Baud rate set error"}, // odd codes too
        {4, 0x8000, "Communication error occured.\nCheck the device and re-try.", "Communication error"},
        {0x2000000b, 0, "Communication error occured.\nCheck the device and re-try.\n\nContents of error:Failed to recceive",
         "Communication error"},
        {8, 0x8001, "", ""},
    };
    // A port that cannot be opened says why.
    SetSetting("ExtPort", "COM9", m_folder.file("no-such-device").c_str());
    SetSetting("Port", "Connect", "COM9");
    ASSERT_TRUE(Start());
    m_boxes.answer(plat::IDOK);
    frame().Commands().execute(ID_CONNECT);
    EXPECT_EQ(m_boxes.last().caption, "Connection error");
    EXPECT_NE(m_boxes.last().text.find("Check the current condition.\n\n"), std::string::npos) << m_boxes.last().text;
    EXPECT_EQ(frame().Connection().m_connectionPhase, Phase::Idle);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        m_boxes.clear();
        app().m_askBeforeSave = 0;
        if (*c.text)
            m_boxes.answer(plat::IDOK);
        EXPECT_EQ(plat::SendMessage(frame().GetSafeHwnd(), WM_COMM_ERROR, c.code, c.flags), 1);
        EXPECT_EQ(m_boxes.count(), *c.text ? 1u : 0u);
        if (*c.text) {
            EXPECT_EQ(m_boxes.last().text.substr(0, std::strlen(c.text)), c.text);
            EXPECT_EQ(m_boxes.last().caption, c.title);
        }
        EXPECT_EQ(app().m_askBeforeSave, 1);
        EXPECT_EQ(frame().Connection().m_connectionPhase, Phase::Idle);
    }
}

// ---- The program ended from outside, and sleep held off while connected ----------------------

namespace {

// The log lines of a scope.
struct LogCapture {
    static inline std::string text;
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& line) {
        text += line.toStdString() + "\n";
    });
    LogCapture() { text.clear(); }
    ~LogCapture() { qInstallMessageHandler(previous); }
};

// The event loop as main() runs it, stopped by a guard should the end never come.
int RunUntilEnded(CTalverinApp& app)
{
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(60000);
    return app.Run();
}

} // namespace

TEST_F(ConnectionPty, ATerminationSignalClosesCleanlyWithoutQuestions)
{
    namespace fs = std::filesystem;
    fs::copy(fs::path(TALVERIN_SAMPLE_DATA_DIR) / "report_en", m_folder.path / "report_en");
    fs::create_symlink(fs::path(TALVERIN_BIN_DIR) / "zrreport", m_folder.path / "zrreport");
    app().RecentFiles().Add(m_folder.file("recent.zrd"));
    ASSERT_TRUE(Connect());
    Switch(VIEW_PARAM);
    ASSERT_TRUE(PumpUntil([&] { return frame().GetCurrentViewId() == VIEW_PARAM && !frame().Connection().IsBusy(); }));
    frame().Commands().execute(ID_FILE_PRINT_PREVIEW);
    ASSERT_TRUE(PumpUntil([&] { return frame().Reports().viewerProcess() != nullptr; }));
    const std::string report = m_folder.file("report131.html");
    ASSERT_TRUE(plat::FileExists(report));
    EXPECT_EQ(plat::profile::getString(Settings(), "Setting", "WinPos"), "");
    EXPECT_EQ(plat::profile::getString(Settings(), "Port", "COM7"), "");
    doc().SetModifiedFlag(true);
    ASSERT_TRUE(app().Session()->SignalsInstalled());
    app().Session()->m_limitMs = 0; // no end of the process from a loaded test machine

    LogCapture log;
    const std::size_t from = Wire().size();
    ::raise(SIGTERM);
    EXPECT_EQ(RunUntilEnded(app()), 0);
    EXPECT_EQ(WireSince(from), std::vector<std::string>{"TA/HI"});
    EXPECT_TRUE(portClosed());
    EXPECT_FALSE(plat::FileExists(report)) << "the viewer's file goes with it";
    EXPECT_EQ(m_boxes.count(), 0u);
    EXPECT_NE(log.text.find("the changes to 'NewDocument' were not saved"), std::string::npos) << log.text;
    app().ExitInstance();
    EXPECT_NE(plat::profile::getString(Settings(), "Setting", "WinPos"), "");
    EXPECT_NE(plat::profile::getString(Settings(), "Port", "COM7"), "");
    EXPECT_EQ(plat::profile::getString(Settings(), "Recent File List", "File1"), m_folder.file("recent.zrd"));
}

// The session manager's request asks first; a close that follows asks nothing more, unless the
// user went on working in between.
TEST_F(ConnectionPty, TheSessionEndAsksTheSaveQuestionAsExitDoes)
{
    SessionEnd& session = *app().Session();
    const std::string path = m_folder.file("kept.zrd");
    struct Case {
        int answer; // 0: the session allows no question
        bool ends;
        bool saved;
    };
    for (const Case& c : {Case{plat::IDCANCEL, false, false}, Case{0, true, false}, Case{plat::IDNO, true, false},
                          Case{plat::IDYES, true, true}}) {
        SCOPED_TRACE(c.answer);
        doc().SetModifiedFlag(true);
        m_boxes.clear();
        if (c.answer)
            m_boxes.answer(c.answer);
        if (c.saved) {
            m_files.accept(path);
            AcceptComment();
        }
        EXPECT_EQ(session.CommitData(c.answer != 0), c.ends);
        EXPECT_EQ(m_boxes.count(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(m_boxes.last().text, "save changes to 'NewDocument'?");
        }
        EXPECT_EQ(plat::FileExists(path), c.saved);
        EXPECT_EQ(doc().IsModified(), !c.saved) << "No keeps the changes until the program ends";
    }
    // Typing in between: the session went on, and closing asks again.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(&frame(), &key);
    doc().SetModifiedFlag(true);
    m_boxes.answer(plat::IDCANCEL);
    EXPECT_FALSE(frame().close());

    // Connected: the close question's wording; the close after it ends the connection unasked.
    ASSERT_TRUE(Connect());
    doc().SetModifiedFlag(true);
    m_boxes.clear();
    m_boxes.answer(plat::IDNO);
    EXPECT_TRUE(session.CommitData(true));
    EXPECT_TRUE(QString::fromStdString(m_boxes.last().text).endsWith("save changes to 'kept'")) << m_boxes.last().text;
    const std::size_t from = Wire().size();
    LogCapture log;
    frame().close();
    EXPECT_TRUE(frame().IsDestroyed());
    EXPECT_EQ(m_boxes.count(), 1u);
    EXPECT_EQ(WireSince(from), std::vector<std::string>{"TA/HI"});
    EXPECT_NE(log.text.find("the changes to 'kept' were not saved"), std::string::npos) << log.text;
}

// A driver that does not answer the alarm read is let go after five seconds (on the test clock).
TEST_F(ConnectionPtyOnTheTestClock, ASignalWithASilentDriverSkipsTheAlarmRead)
{
    ASSERT_TRUE(Connect());
    m_sim.injectFault(Fault(FaultKind::Silence).on("TA/HI").always());
    app().Session()->m_limitMs = 0;
    const std::uint64_t before = m_clock.tickCount64();
    ::raise(SIGHUP);
    EXPECT_EQ(RunUntilEnded(app()), 0);
    EXPECT_TRUE(portClosed());
    EXPECT_EQ(frame().Connection().m_connectionPhase, Phase::Idle);
    EXPECT_GE(m_clock.tickCount64() - before, DriverConnection::kEndReplyLimitMs);
    EXPECT_LT(m_clock.tickCount64() - before, 10000u);
    EXPECT_EQ(m_boxes.count(), 0u);
}

// [Setting] QUERYSUSPEND=DENY holds the login manager's sleep inhibitor while connected; without a
// login manager the connection goes on all the same.
TEST_F(ConnectionPty, SleepIsHeldOffWhileConnectedWhenTheSettingAsks)
{
    // The inhibitor is the write end of a pipe: its read end sees the end of file once released.
    int taken = 0;
    bool available = true;
    std::array<int, 2> ends{-1, -1};
    struct Restore {
        SleepInhibitorTaker previous;
        ~Restore() { SetSleepInhibitorTaker(std::move(previous)); }
    } restore{SetSleepInhibitorTaker([&] {
        ++taken;
        return available && ::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) == 0 ? ends[1] : -1;
    })};
    struct Case {
        const char* setting;
        bool available;
        bool held;
    };
    for (const Case& c : {Case{"DENY", true, true}, Case{"deny", true, true}, Case{"", true, false},
                          Case{"ALLOW", true, false}, Case{"DENY", false, false}}) {
        SCOPED_TRACE(c.setting);
        SetSetting("Setting", "QUERYSUSPEND", c.setting);
        available = c.available;
        taken = 0;
        ASSERT_TRUE(Connect());
        EXPECT_EQ(frame().Connection().SleepBlock().IsHeld(), c.held);
        EXPECT_EQ(taken, c.held || !c.available ? 1 : 0);
        ASSERT_TRUE(Disconnect());
        EXPECT_FALSE(frame().Connection().SleepBlock().IsHeld());
        if (c.held) {
            char byte = 0;
            EXPECT_EQ(::read(ends[0], &byte, 1), 0) << "released by closing it";
            ::close(ends[0]);
        }
    }
    EXPECT_EQ(m_boxes.count(), 0u);
    // No system bus at all: nothing is held, nothing is said.
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    EXPECT_EQ(TakeLoginManagerSleepInhibitor(), -1);
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}
