// The capture's state machine against the fake queue, timer table and main window: every
// completion is delivered by the test, no thread and no line involved.
#include "CaptureFakes.h"

#include "screens/oscillo/OscilloCapture.h"

#include <model/DataFile.h>

#include <platform/message_box.h>

#include <gtest/gtest.h>

using namespace capture_test;
using namespace talverin::OscilloId;
constexpr int RunButton = talverin::OscilloId::Run;
namespace Tag = talverin::CaptureTag;

namespace {

struct Harness {
    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService useBoxes{boxes};
    FakeFrame frame;
    RecordingScreen screen;
    FakePort port;
    FakeTimers timers;
    model::CDataFile store;
    OscilloCapture capture{screen, port, timers, store, nullptr};

    explicit Harness(int mode = Sing, int changed = 0) : screen(mode) { frame.changed = changed; }

    // Completes the oldest queued command with the reply, or with a failed result.
    std::string answer(const std::string& reply = "", std::uint32_t result = 0)
    {
        FakePort::Cmd* c = port.oldestLive();
        if (!c)
            return "(none)";
        c->reply = reply;
        c->state = result;
        const std::string text = c->text + "#" + std::to_string(c->tag);
        capture.OnCommCommand(8, c->id);
        return text;
    }
    // Answers every queued command ("WTS0" to status queries) until none is left.
    void drain()
    {
        for (FakePort::Cmd* c = port.oldestLive(); c; c = port.oldestLive())
            answer(c->text == "?WTS\r" ? "WTS0" : "");
    }
    void connect()
    {
        capture.SetCurrentScreen(true);
        capture.OnCommStateChanged(1, -1);
        drain();
    }
    // Answers until the oldest queued command has the tag.
    void answerUntil(int tag)
    {
        for (FakePort::Cmd* c = port.oldestLive(); c && c->tag != tag; c = port.oldestLive())
            answer(c->text == "?WTS\r" ? "WTS0" : "");
    }
    bool fire(unsigned id) { return timers.armed.count(id) && (capture.OnTimer(id), true); }
    // Runs to an armed capture: the first poll waits one record time.
    void armed()
    {
        capture.OnRun();
        if (frame.changed)
            capture.OnBaudChangeState(19, 0);
        answerUntil(Tag::StartStatus);
        answer("WTS0");
        answer();
    }
    void fetch(const std::string& data)
    {
        ASSERT_TRUE(fire(1001));
        answer("WTS3");
        ASSERT_TRUE(fire(1006));
        EXPECT_EQ(answer(data), "WCD\r#63");
    }
};

std::string rows(int n)
{
    std::string data = "VF,,,";
    for (int i = 0; i < n; ++i)
        data += "\r" + std::to_string(i) + ",,,";
    return data;
}

TEST(CaptureStates, SingCaptureRunsTheStartSequenceFetchesOnceAndStops)
{
    Harness h;
    h.connect();
    EXPECT_EQ(h.port.texts(), (std::vector<std::string>{"?WHR\r#54", "?WHL\r#53", "?WVA\r#40", "?WVB\r#41", "?WVC\r#42",
                                                         "?WVD\r#43", "?WTC\r#55", "?WTH\r#57", "?WTV\r#51", "?WLA\r#58", "?WTS\r#80"}));
    ASSERT_EQ(h.capture.CaptureState(), CapturePhase::Idle);
    EXPECT_TRUE(h.screen.isControlEnabled(RunButton));

    const std::size_t from = h.port.cmds.size();
    h.capture.OnRun();
    EXPECT_EQ(h.port.calls.back(), "text CR");
    EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Starting);
    EXPECT_FALSE(h.screen.isControlEnabled(RunButton) || h.screen.isControlEnabled(Stop) || h.screen.isControlEnabled(Time));
    h.answerUntil(Tag::StartStatus);
    h.answer("WTS0");
    h.answer();
    EXPECT_EQ(h.port.texts(from), (std::vector<std::string>{"WTA\r#20", "WVAVF\r#21", "WVB-1\r#22", "WVC-1\r#23", "WVD-1\r#24",
                                                             "WTCA\r#25", "WLA0.00\r#26", "WHL200.0\r#27", "WHR201\r#28",
                                                             "WTV1\r#29", "WTH50.0\r#30", "?WTS\r#31", "WTR0\r#70"}));
    EXPECT_EQ(h.port.cmds[from].title, "Send trigger stop command");
    EXPECT_EQ(h.port.cmds.back().title, "Send trigger start comand");
    EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Capturing);
    EXPECT_TRUE(h.screen.isControlEnabled(Stop));
    EXPECT_EQ(h.timers.armed[1001], 200u) << "the first poll waits one record time";

    ASSERT_TRUE(h.fire(1001));
    h.answer("WTS2");
    EXPECT_EQ(h.timers.armed[1001], 100u);
    h.fetch(rows(203));
    EXPECT_EQ(h.store.m_oscillo.m_samples.size(), 203u);
    EXPECT_EQ(h.store.m_oscillo.m_headerLine, "VF,,,");
    EXPECT_EQ(h.store.m_lastCaptureReply, rows(203));
    EXPECT_EQ(h.screen.log.back(), "update 200 2000 200");
    EXPECT_EQ(h.port.cmds.back().text, "WTA\r") << "SING stops after one capture";
    EXPECT_EQ(h.port.cmds.back().title, "Send trigger pause command");
    EXPECT_EQ(h.port.calls.back(), "remove " + std::to_string(h.port.cmds.size() - 1)) << "a clean line gets no CR";
    h.answer();
    EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Idle);
    EXPECT_TRUE(h.screen.isControlEnabled(RunButton));
    EXPECT_EQ(h.port.live(), 0);
    EXPECT_EQ(h.port.staleRemoves, 0) << "each completion removes its command once";
    EXPECT_EQ(h.frame.seen(), std::vector<std::string>{"rate:1"}) << "equal rates: nothing to switch back";
}

TEST(CaptureStates, ContRepeatsUntilStopDuringAPollAndTheLineSpeedComesBack)
{
    Harness h(Cont, 1);
    h.store.m_drawMode = 2;
    h.connect();
    h.armed();
    h.fetch(rows(205));
    EXPECT_EQ(h.store.m_oscillo.m_samples.size(), 202u) << "draw mode 2 keeps whole divisions plus two";
    ASSERT_TRUE(h.fire(1007));
    EXPECT_EQ(h.answer(), "WTR0\r#70");
    h.fetch(rows(200));
    ASSERT_TRUE(h.fire(1007));
    h.answer();
    ASSERT_TRUE(h.fire(1001));
    const std::int32_t poll = h.port.cmds.back().id;

    h.store.m_lineClean = 0;
    h.capture.OnStop();
    EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Stopping);
    const std::vector<std::string> tail(h.port.calls.end() - 2, h.port.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"abort " + std::to_string(poll), "text CR"}));
    EXPECT_TRUE(h.timers.armed.empty());
    // The poll's answer arrives after all, and a re-arm timer fires late: nothing more is queued.
    EXPECT_EQ(h.answer("WTS3"), "?WTS\r#80");
    h.capture.OnTimer(1007);
    h.capture.OnTimer(1006);
    EXPECT_EQ(h.port.live(), 1);
    EXPECT_EQ(h.answer(), "WTA\r#62");
    EXPECT_EQ(h.frame.seen(), (std::vector<std::string>{"rate:1", "rate:0"}));
    EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Stopping) << "waits for the switch back";
    h.capture.OnBaudChangeState(19, 0);
    EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Idle);
    EXPECT_TRUE(h.screen.isControlEnabled(RunButton));
    EXPECT_EQ(h.port.staleRemoves, 0);
}

TEST(CaptureStates, TheStatusPaneSaysWhatTheCaptureIsDoing)
{
    Harness h(Cont);
    h.connect();
    h.armed();
    ASSERT_TRUE(h.fire(1001) && (h.answer("WTS3"), h.fire(1006)));
    for (const int n : {100, 201}) // lines in of the header and 201 rows
        h.port.cmds.back().reply = rows(n) + "\r", h.fire(1008);
    h.answer(rows(201));
    EXPECT_FALSE(h.timers.armed.count(1008));
    h.capture.OnStop();
    EXPECT_EQ(h.screen.activity, (std::vector<std::string>{"none", "wait", "read 0", "read 50", "read 99", "wait", "none"}));
}

TEST(CaptureStates, ThreeTransportFailuresAreResumedTheFourthEndsWithoutSwitching)
{
    for (const plat::WPARAM event : {3, 4, 6, 7}) {
        Harness h(Cont, 1);
        h.connect();
        h.armed();
        ASSERT_TRUE(h.fire(1001));
        const std::int32_t id = h.port.cmds.back().id;
        for (int i = 0; i < 3; ++i)
            h.capture.OnCommCommand(event, id);
        EXPECT_EQ(std::count(h.port.calls.begin(), h.port.calls.end(), "resume " + std::to_string(id)), 3);
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Capturing);
        h.capture.OnCommCommand(event, id);
        EXPECT_EQ(h.port.calls.back(), "remove 0");
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Idle);
        EXPECT_TRUE(h.timers.armed.empty());
        EXPECT_EQ(h.screen.activity.back(), "none");
        EXPECT_EQ(h.frame.seen(), (std::vector<std::string>{"rate:1", commError(int(event), 0x8000)}))
            << "nothing is sent at the capture speed after the line failed";
        h.answer("(a late reply)");
        EXPECT_EQ(h.port.retries(), 4) << "only a completion resets the shared counter";
    }
}

TEST(CaptureStates, EveryDeadEndAndErrorEndsTheCaptureOnce)
{
    struct Case {
        const char* name;
        int tag; // the step that fails
        std::function<void(Harness&)> fail;
        const char* box;     // expected box text ("" none)
        bool disconnect;
    };
    const std::string startError = "Error occured during setting.\nProcess will be stopped.\n\nContents of error:";
    const std::vector<Case> cases{
        {"no trigger button", Tag::StartSource1 + 3, [](Harness& h) { h.screen.checked.erase(Trigger1); h.answer(); }, "", false},
        {"empty level", Tag::StartTrigger, [](Harness& h) { h.screen.text[Level] = " "; h.answer(); }, "", false},
        {"still recording", Tag::StartStatus, [](Harness& h) { h.answer("WTS2"); }, "", false},
        {"not queued", Tag::StartTime, [](Harness& h) { h.port.refuse = true; h.answer(); }, "", false},
        {"range over", Tag::StartTime, [](Harness& h) { h.answer("", 0x4000000f); }, "Data out of range", false},
        {"write inhibit", Tag::StartTime, [](Harness& h) { h.answer("", 0x4000000d); }, "Command cannot be set", true},
        {"arming refused", Tag::Arm, [](Harness& h) { h.answer("", 0x40000010); }, "Condition mismatch", true},
        {"status 0 capturing", Tag::Arm, [](Harness& h) { h.answer(); h.fire(1001); h.answer("WTS0"); }, "", false},
        {"short status", Tag::Arm, [](Harness& h) { h.answer(); h.fire(1001); h.answer("WT"); }, "", false},
    };
    for (const Case& c : cases) {
        Harness h(Sing, 1);
        h.connect();
        h.capture.OnRun();
        h.capture.OnBaudChangeState(19, 0);
        h.answerUntil(c.tag);
        if (c.box[0])
            h.boxes.answer(plat::IDOK);
        c.fail(h);
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Stopping) << c.name;
        EXPECT_EQ(h.port.live(), 0) << c.name;
        EXPECT_EQ(h.frame.seen(), (std::vector<std::string>{"rate:1", "rate:0"})) << c.name << ": disconnect waits";
        h.capture.OnBaudChangeState(19, 0);
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Idle) << c.name;
        std::vector<std::string> want{"rate:1", "rate:0"};
        if (c.disconnect)
            want.push_back(disconnect());
        EXPECT_EQ(h.frame.seen(), want) << c.name;
        ASSERT_EQ(h.boxes.count(), c.box[0] ? 1u : 0u) << c.name;
        if (c.box[0]) {
            EXPECT_EQ(h.boxes.last().text, (c.tag == Tag::Arm ? std::string("Error during capture.\nWill terminate process.\n\nContents of error:")
                                                              : startError) + c.box) << c.name;
        }
        EXPECT_EQ(h.port.staleRemoves, 0) << c.name;
    }
}

TEST(CaptureStates, ChangesMadeWhileDisconnectedAreSentAtTheNextConnectionUnlessReadBack)
{
    for (const plat::LPARAM how : {0, -1}) {
        Harness h;
        h.connect();
        h.capture.OnCommStateChanged(0, 15);
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::NotConnected);
        const std::size_t from = h.port.cmds.size();
        h.screen.text[Level] = "1.5";
        h.screen.text[Source1 + 1] = "TRQ";
        EXPECT_FALSE(h.capture.SendTriggerPosition(Tag::PositionSet) || h.capture.SendTriggerLevel()
                     || h.capture.SendRecordTime(Tag::TimeSet));
        h.capture.MarkSourceChanged(2);
        h.capture.OnCommStateChanged(1, how);
        const std::vector<std::string> sent{"?WHR\r#54", "WHL200.0\r#48", "WHR201\r#49", "?WVA\r#40", "WVBTRQ\r#41", "?WVC\r#42",
                                            "?WVD\r#43", "?WTC\r#55", "WTH50.0\r#52", "?WTV\r#51", "WLA1.5\r#44", "?WTS\r#80"};
        const std::vector<std::string> read{"?WHR\r#54", "?WHL\r#53", "?WVA\r#40", "?WVB\r#41", "?WVC\r#42", "?WVD\r#43",
                                            "?WTC\r#55", "?WTH\r#57", "?WTV\r#51", "?WLA\r#58", "?WTS\r#80"};
        EXPECT_EQ(h.port.texts(from), how == 0 ? sent : read) << how;
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::SyncWaiting);
        // The driver is still recording a capture from before: the screen follows it.
        h.answerUntil(Tag::Poll);
        h.answer("WTS1");
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Capturing);
        EXPECT_EQ(h.timers.armed[1001], 100u);
        EXPECT_EQ(h.capture.SampleCount(), 200);
    }
}

TEST(CaptureStates, RefusedOrFailedSwitchesAndALostLineLeaveNothingQueued)
{
    {
        Harness h(Sing, 1);
        h.frame.refused = 0x40000006;
        h.connect();
        const std::size_t from = h.port.cmds.size();
        h.capture.OnRun();
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Idle);
        EXPECT_EQ(h.port.cmds.size(), from);
    }
    {
        Harness h(Sing, 1);
        h.connect();
        h.capture.OnRun();
        h.capture.OnBaudChangeState(20, 0x4000000a);
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::Idle);
        EXPECT_EQ(h.port.live(), 0);
        EXPECT_EQ(h.frame.seen(), (std::vector<std::string>{"rate:1", commError(20, 0x4000000a)}));
    }
    {
        // The line is lost while the frame pumps the queue inside the switch.
        Harness h(Sing, 0);
        h.connect();
        h.frame.duringSwitch = [&] { h.capture.OnCommStateChanged(0, 15); };
        const std::size_t from = h.port.cmds.size();
        h.capture.OnRun();
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::NotConnected);
        EXPECT_EQ(h.port.cmds.size(), from);
    }
    {
        Harness h(Cont, 1);
        h.connect();
        h.armed();
        h.capture.OnCommStateChanged(0, 4);
        EXPECT_EQ(h.capture.CaptureState(), CapturePhase::NotConnected);
        EXPECT_TRUE(h.timers.armed.empty());
        EXPECT_EQ(h.frame.seen(), std::vector<std::string>{"rate:1"});
        EXPECT_FALSE(h.screen.isControlEnabled(RunButton));
    }
}

} // namespace
