// Download texts and the command helpers on a scripted link: what is queued for changed
// parameters, single nodes and channel programs, the record bookkeeping around it, the failure box
// and the bounded wait for the queue.
#include "DocumentTestSupport.h"

#include "model/CommandSupport.h"

#include <platform/language.h>
#include <platform/messages.h>

#include <zrcomm/zrcomm.h>

#include <gtest/gtest.h>

#include <deque>

using model::CDataFile;
using model::CZRParamClass;
using model::CZRParamData;
using model::DriverLink;
using model::SendCommandInfo;
using model::test::DocumentStore;

namespace {

// A link that records every command and refuses, on request, with a given code.
class ScriptedLink : public DriverLink {
public:
    struct Sent {
        plat::HWND window;
        std::string text;
        std::intptr_t tag;
    };

    bool isConnected() override
    {
        ++connectedAsked;
        return connected;
    }
    std::int32_t sendCommandText(plat::HWND window, const std::string& text, std::intptr_t tag) override
    {
        if (!refusals.empty()) {
            m_lastError = refusals.front();
            refusals.pop_front();
            if (m_lastError != 0)
                return 0;
        }
        if (text.empty()) {
            m_lastError = COMM_ERR_INVALID_ARG;
            return 0;
        }
        sent.push_back({window, text, tag});
        m_lastError = COMM_OK;
        return nextId++;
    }
    std::uint32_t lastError() override { return m_lastError; }
    int commandCount() override { return queued; }
    int removeCommand(std::int32_t id) override
    {
        removed.push_back(id);
        if (id == 0)
            queued = queuedUnderWay;
        return queued;
    }
    std::uint32_t commandState(std::int32_t) override { return CMD_WAITING; }

    bool connected = true;
    int connectedAsked = 0;
    // Answers of the next sends: 0 queues, anything else refuses with that code.
    std::deque<std::uint32_t> refusals;
    std::vector<Sent> sent;
    std::int32_t nextId = 41;
    int queued = 0;
    int queuedUnderWay = 0;
    std::vector<std::int32_t> removed;

private:
    std::uint32_t m_lastError = 0;
};

class Download : public DocumentStore {
protected:
    // The first tree node that shows the named [Parameter] record.
    CZRParamClass* node(const char* name)
    {
        CZRParamData* record = store.FindParameter(name);
        for (const auto& n : *store.GetTreeList()) {
            if (n->m_record == record)
                return n.get();
        }
        return nullptr;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& s : link.sent)
            out.push_back(s.text);
        return out;
    }

    ScriptedLink link;
    model::ScopedDriverLink scopedLink{link};
    plat::HWND owner = reinterpret_cast<plat::HWND>(0x5150);
};

TEST_F(Download, NothingIsTouchedWithoutAConnection)
{
    link.connected = false;
    store.FindParameter("SPD")->m_currentValue = 120;
    store.FindParameter("SPD")->m_status = 7;
    EXPECT_EQ(store.SendParameterData(owner, node("SPD"), 1), 0x40000004u);
    EXPECT_EQ(store.SendParameterData(owner, nullptr, 1), 0x40000004u);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_EQ(store.FindParameter("SPD")->m_status, 7);
    EXPECT_EQ(node("SPD")->m_commandHandle, 0u);
}

TEST_F(Download, OneNodeWritesOrReadsAndRecordsTheOutcome)
{
    CZRParamData* spd = store.FindParameter("SPD");
    spd->m_currentValue = 120;
    CZRParamClass* spdNode = node("SPD");
    ASSERT_NE(spdNode, nullptr);

    EXPECT_EQ(store.SendParameterData(owner, spdNode, 1), 0u);
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].text, "SPD120\r");
    EXPECT_EQ(link.sent[0].window, owner);
    EXPECT_EQ(link.sent[0].tag, reinterpret_cast<std::intptr_t>(spdNode));
    EXPECT_EQ(spd->m_status, 1);
    EXPECT_EQ(spdNode->m_commandHandle, 41u);

    // Reads: "?NAME" for a readable record, the bare name for one that is not.
    EXPECT_EQ(store.SendParameterData(owner, spdNode, 0), 0u);
    EXPECT_EQ(link.sent.back().text, "?SPD\r");
    EXPECT_EQ(spdNode->m_commandHandle, 42u);
    CZRParamClass* reset = nullptr;
    for (const auto& n : *store.GetTreeList()) {
        if (n->m_record && n->m_record->m_name == "RESET")
            reset = n.get();
    }
    ASSERT_NE(reset, nullptr);
    store.SendParameterData(owner, reset, 0);
    EXPECT_EQ(link.sent.back().text, "RESET\r");

    // A text value is written as its text, decimals as the record keeps them.
    store.FindParameter("SW")->m_currentText = "ON";
    store.SendParameterData(owner, node("SW"), 1);
    EXPECT_EQ(link.sent.back().text, "SWON\r");
    store.FindParameter("GAIN")->m_currentValue = 2.5;
    store.SendParameterData(owner, node("GAIN"), 1);
    EXPECT_EQ(link.sent.back().text, "GAIN2.50\r");

    // Refused: the record carries the code, never the in-flight mark, and the result is still 0.
    const std::size_t before = link.sent.size();
    link.refusals = {0x40000006};
    spd->m_status = 0;
    EXPECT_EQ(store.SendParameterData(owner, spdNode, 1), 0u);
    EXPECT_EQ(link.sent.size(), before);
    EXPECT_EQ(spd->m_status, 0x40000006);
    EXPECT_EQ(spdNode->m_commandHandle, 42u);

    // A node without a record has nothing to send and marks nothing.
    CZRParamClass empty;
    EXPECT_EQ(store.SendParameterData(owner, &empty, 1), 0u);
    EXPECT_EQ(link.sent.size(), before);
}

TEST_F(Download, TheChangedPassSendsWhatDiffersThroughTheFirstNodeThatShowsIt)
{
    // Nothing changed: nothing queued.
    EXPECT_EQ(store.SendParameterData(owner, nullptr, 1), 0u);
    EXPECT_TRUE(link.sent.empty());

    store.FindParameter("ACC")->m_currentValue = 75;
    store.FindParameter("SPD")->m_currentValue = 120;
    // Changed, but no tree node shows it.
    CZRParamClass* ofs = node("OFS");
    ASSERT_NE(ofs, nullptr);
    ASSERT_EQ(ofs->m_borrowed, 1);
    ofs->m_record = nullptr;
    store.FindParameter("OFS")->m_currentValue = -100;
    // Text values count as changed when their texts differ; the no-value marks are alike.
    store.FindParameter("SW")->m_currentText = "ON";
    store.FindParameter("MODE")->m_currentText = "AUTO";
    // A record that failed before is sent again.
    store.FindParameter("ACC")->m_status = 0x4000000f;

    EXPECT_EQ(store.SendParameterData(owner, nullptr, 1), 0u);
    EXPECT_EQ(texts(), (std::vector<std::string>{"SPD120\r", "ACC75\r", "SWON\r"}));
    EXPECT_EQ(link.sent[0].tag, reinterpret_cast<std::intptr_t>(node("SPD")));
    EXPECT_EQ(link.sent[2].tag, reinterpret_cast<std::intptr_t>(node("SW")));
    for (const char* name : {"SPD", "ACC", "SW"})
        EXPECT_EQ(store.FindParameter(name)->m_status, 1) << name;
    EXPECT_EQ(store.FindParameter("OFS")->m_status, 0);
    EXPECT_EQ(store.FindParameter("GAIN")->m_status, 0);
    EXPECT_EQ(node("ACC")->m_commandHandle, 42u);

    // The read pass queues the same records' read commands.
    link.sent.clear();
    EXPECT_EQ(store.SendParameterData(owner, nullptr, 0), 0u);
    EXPECT_EQ(texts(), (std::vector<std::string>{"?SPD\r", "?ACC\r", "?SW\r"}));
}

TEST_F(Download, TheFirstRefusalEndsThePass)
{
    store.FindParameter("SPD")->m_currentValue = 120;
    store.FindParameter("ACC")->m_currentValue = 75;
    store.FindParameter("DIR")->m_currentValue = 1;
    link.refusals = {0, 0x40000006};

    EXPECT_EQ(store.SendParameterData(owner, nullptr, 1), 0x40000006u);
    EXPECT_EQ(texts(), (std::vector<std::string>{"SPD120\r"}));
    EXPECT_EQ(store.FindParameter("SPD")->m_status, 1);
    EXPECT_EQ(store.FindParameter("ACC")->m_status, 0x40000006);
    // Not tried: not marked as in flight either.
    EXPECT_EQ(store.FindParameter("DIR")->m_status, 0);
    EXPECT_EQ(boxes.shown.size(), 0u) << "the pass never shows a box";
}

TEST_F(Download, ChannelProgramsGoAsTheDriverTakesThem)
{
    store.GetChannelProgram(3)->Parse(std::string_view("CH3\rJMP10\rEND\r"));
    EXPECT_EQ(store.SendChannelProgram(owner, 3), 0u);
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].text, "CH3\rJMP10\rEND\r\r");
    EXPECT_EQ(link.sent[0].tag, 1003);
    EXPECT_EQ(link.sent[0].window, owner);

    // The slot decides the channel the text names; a comment field stays in the editor.
    store.GetChannelProgram(0)->Parse(std::string_view("CH0\rSPD500\rMOV+1000\rEND\r"));
    store.GetChannelProgram(0)->m_channel = 9;
    store.GetChannelProgram(255)->Parse(std::string_view("CH255\rMOV\t-5\tback\r"));
    store.SendChannelProgram(owner, 0);
    EXPECT_EQ(link.sent.back().text, "CH0\rSPD500\rMOV+1000\rEND\r\r");
    EXPECT_EQ(link.sent.back().tag, 1000);
    store.SendChannelProgram(owner, 255);
    EXPECT_EQ(link.sent.back().text, "CH255\rMOV-5\r\r");

    // A channel without a program has no text: the library refuses it and the code is returned.
    const std::size_t before = link.sent.size();
    EXPECT_EQ(store.SendChannelProgram(owner, 7), 0x4000000au);
    EXPECT_EQ(link.sent.size(), before);
    // So do channels that do not exist.
    EXPECT_EQ(store.SendChannelProgram(owner, 256), 0x4000000au);
    EXPECT_EQ(store.SendChannelProgram(owner, -1), 0x4000000au);
    EXPECT_EQ(link.sent.size(), before);

    // A refusal is returned, silently.
    link.refusals = {0x40000004};
    EXPECT_EQ(store.SendChannelProgram(owner, 3), 0x40000004u);
    EXPECT_EQ(boxes.shown.size(), 0u);
}

// The failure box of the command sender, on the scripted link.
class CommandSender : public ::testing::Test {
protected:
    void SetUp() override { model::SetMainWindow(mainWindow); }
    void TearDown() override
    {
        model::SetMainWindow(nullptr);
        plat::DestroyWindow(mainWindow);
    }

    ScriptedLink link;
    model::ScopedDriverLink scopedLink{link};
    model::test::RecordedBoxes boxes;
    plat::ScopedMessageBoxService scopedBoxes{boxes};
    plat::ManualClock clock;
    plat::ScopedClock scopedClock{clock};
    std::vector<plat::MSG> received;
    plat::HWND mainWindow = plat::CreateMessageWindow([this](plat::HWND h, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
        received.push_back({h, m, w, l, 0});
        return plat::LRESULT{0};
    });
};

TEST_F(CommandSender, QueuesAfterAPauseAndReportsFailuresAsTheFlagsSay)
{
    SendCommandInfo info;
    info.title = "Send";
    info.description = "KP0";
    EXPECT_EQ(model::SendDriverCommand(nullptr, "KP0\r", 5, info), 41);
    EXPECT_EQ(clock.totalSlept(), 10u);
    EXPECT_EQ(link.sent.at(0).tag, 5);
    EXPECT_EQ(info.errorCode, 0u);

    // A system error (negative as a signed code): Disconnect is posted to the main window before
    // the box.
    link.refusals = {static_cast<std::uint32_t>(-5)};
    EXPECT_EQ(model::SendDriverCommand(nullptr, "KP0\r", 5, info), 0);
    EXPECT_EQ(info.errorCode, static_cast<std::uint32_t>(-5));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown.back().text, "Failed to send command KP0\nCheck the unit and re-try.\n\nContents of error:");
    EXPECT_EQ(boxes.shown.back().owner, mainWindow);
    plat::PumpMessageRange(mainWindow, plat::WM_COMMAND, plat::WM_COMMAND, 10);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].wParam, model::kDisconnectCommand);

    // A library code: the box only.
    link.refusals = {0x40000006};
    info.description.clear();
    EXPECT_EQ(model::SendDriverCommand(nullptr, "X\r", 0, info), 0);
    EXPECT_EQ(boxes.shown.back().text,
              "Failed to send command \nCheck the unit and re-try.\n\nContents of error:Cannot send new message during communication");
    EXPECT_EQ(boxes.shown.back().caption, "Send");
    plat::PumpMessageRange(mainWindow, 0, 0, 10);
    EXPECT_EQ(received.size(), 1u);

    // "No box when the port is not open" lets other codes through.
    info.flags = SendCommandInfo::kNoBoxWhenNotOpen;
    link.refusals = {0x40000006};
    model::SendDriverCommand(nullptr, "X\r", 0, info);
    EXPECT_EQ(boxes.shown.size(), 3u);
    // "Never a box" holds for system errors too: no box, no Disconnect.
    info.flags = SendCommandInfo::kNoBox;
    link.refusals = {static_cast<std::uint32_t>(-5)};
    model::SendDriverCommand(nullptr, "X\r", 0, info);
    EXPECT_EQ(boxes.shown.size(), 3u);
    plat::PumpMessageRange(mainWindow, 0, 0, 10);
    EXPECT_EQ(received.size(), 1u);
}

class QueueWait : public CommandSender {};

TEST_F(QueueWait, GivesUpAfterFortySecondsWithoutProgress)
{
    link.queued = 2;
    model::WaitCommandQueue(nullptr);
    EXPECT_GE(clock.totalSlept(), 40000u);
    EXPECT_LE(clock.totalSlept(), 40020u);
    EXPECT_FALSE(model::IsWaitingForCommandQueue());

    // Progress restarts the clock: one command leaves every 30 s, so the queue drains.
    clock.setOnSleep([this, start = clock.tickCount64()](std::uint64_t tick) {
        link.queued = std::max(0, 5 - static_cast<int>((tick - start) / 30000));
    });
    link.queued = 5;
    const std::uint64_t slept = clock.totalSlept();
    model::WaitCommandQueue(nullptr);
    EXPECT_EQ(link.queued, 0);
    EXPECT_GE(clock.totalSlept() - slept, 150000u);
    EXPECT_LE(clock.totalSlept() - slept, 150020u);
}

TEST_F(QueueWait, WithoutTheLimitItWaitsAsLongAsCommandsRemain)
{
    clock.setOnSleep([this, start = clock.tickCount64()](std::uint64_t tick) {
        EXPECT_TRUE(model::IsWaitingForCommandQueue());
        if (tick - start >= 300000)
            link.queued = 0;
    });
    link.queued = 3;
    model::WaitCommandQueue(nullptr, false);
    EXPECT_EQ(link.queued, 0);
    EXPECT_GE(clock.totalSlept(), 300000u);
}

TEST_F(QueueWait, EndsWhenTheLineGoes)
{
    // Port closed: at once.
    link.queued = 3;
    model::SetCommEventState(COMM_MONITOR_PORT_CLOSED);
    model::WaitCommandQueue(nullptr);
    EXPECT_EQ(clock.totalSlept(), 10u);
    EXPECT_TRUE(link.removed.empty());

    // Line lost: the idle commands are removed first.
    link.queuedUnderWay = 1;
    model::SetCommEventState(COMM_MONITOR_CONNECTION_LOST);
    model::WaitCommandQueue(nullptr);
    EXPECT_EQ(link.removed, std::vector<std::int32_t>{0});
    EXPECT_EQ(link.queued, 1);

    // The driver no longer connected.
    model::SetCommEventState(COMM_MONITOR_READ_ACTIVITY);
    link.connected = false;
    const std::uint64_t slept = clock.totalSlept();
    model::WaitCommandQueue(nullptr);
    EXPECT_EQ(clock.totalSlept() - slept, 10u);

    // An empty queue: no wait at all.
    link.connected = true;
    link.queued = 0;
    model::WaitCommandQueue(nullptr);
    EXPECT_EQ(clock.totalSlept() - slept, 10u);
    model::SetCommEventState(0);
}

TEST_F(QueueWait, LetsOnlyTheLibrarysMessagesThrough)
{
    // The library's events keep the queue moving; the program's own commands wait for later.
    plat::PostMessage(mainWindow, plat::WM_COMMAND, 32850, 0);
    plat::PostMessage(mainWindow, WM_COMM_COMMAND, COMM_EVENT_COMPLETED, 41);
    plat::PostMessage(mainWindow, WM_COMM_MONITOR, COMM_MONITOR_READ_ACTIVITY, 0);
    plat::PostMessage(mainWindow, plat::WM_USER + 303, 0, 0);
    clock.setOnSleep([this](std::uint64_t) {
        if (received.size() >= 2)
            link.queued = 0;
    });
    link.queued = 1;
    model::WaitCommandQueue(nullptr);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_COMM_COMMAND);
    EXPECT_EQ(received[1].message, WM_COMM_MONITOR);
    received.clear();
    plat::PumpMessageRange(mainWindow, 0, 0, 10);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, plat::WM_COMMAND);
    EXPECT_EQ(received[1].message, plat::WM_USER + 303);
}

} // namespace
