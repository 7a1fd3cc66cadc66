// The command helpers on the communication library itself: with no port open, and draining a
// live queue against the simulated driver on a pseudo-terminal.
#include "DocumentTestSupport.h"

#include "model/CommandSupport.h"

#include <drivesim/DriverSim.h>

#include <platform/clock.h>
#include <platform/language.h>
#include <platform/message_box.h>
#include <platform/messages.h>

#include <zrcomm/zrcomm_api.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

using model::SendCommandInfo;

namespace {

class CommandLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ZRComm_GetCommandCount(1), -1) << "no port may be open"; }

    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService scopedBoxes{boxes};
    plat::ManualClock clock;
    plat::ScopedClock scopedClock{clock};
};

TEST_F(CommandLibrary, NoPortOpenGivesTheBoxUnlessTheFlagsSayOtherwise)
{
    SendCommandInfo info;
    info.title = "Send password lock enable command";
    info.description = "KP0";
    boxes.answer(plat::IDOK);
    EXPECT_EQ(model::SendDriverCommand(nullptr, "KP0\r", 0, info), 0);
    EXPECT_EQ(info.errorCode, 0x40000004u);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().text, "Failed to send command KP0\nCheck the unit and re-try.\n\nContents of error:COM port not open");
    EXPECT_EQ(boxes.last().caption, "Send password lock enable command");
    EXPECT_EQ(boxes.last().type & plat::MB_ICONMASK, plat::MB_ICONWARNING);

    // The error text follows the language.
    {
        plat::ScopedLanguage japanese(plat::LANG_JAPANESE);
        boxes.answer(plat::IDOK);
        model::SendDriverCommand(nullptr, "KP0\r", 0, info);
        ASSERT_EQ(boxes.count(), 2u);
        EXPECT_EQ(boxes.last().text, "Failed to send command KP0\nCheck the unit and re-try.\n\nContents of error:"
                                         + model::GetCommErrorText(0x40000004, plat::LANG_JAPANESE));
    }

    // No box when the port is not open, and never a box: silent, the code still given.
    for (const std::uint32_t flags : {0x08000000u, 0x88000001u, 0x00000001u}) {
        info.flags = flags;
        info.errorCode = 0;
        EXPECT_EQ(model::SendDriverCommand(nullptr, "KP0\r", 0, info), 0);
        EXPECT_EQ(info.errorCode, 0x40000004u);
    }
    EXPECT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.pending(), 0u);
}

TEST_F(CommandLibrary, WithoutAPortNothingIsSentOrWaitedFor)
{
    model::CDataFile store;
    store.ResetToDefaults();
    EXPECT_EQ(store.SendParameterData(nullptr, nullptr, 1), 0x40000004u);
    EXPECT_EQ(store.SendChannelProgram(nullptr, 0), 0x40000004u);
    store.GetChannelProgram(0)->Parse(std::string_view("CH0\rEND\r"));
    EXPECT_EQ(store.SendChannelProgram(nullptr, 0), 0x40000004u);
    model::WaitCommandQueue(nullptr);
    EXPECT_EQ(clock.totalSlept(), 20u) << "two sends' pauses, and no wait";
    EXPECT_EQ(boxes.count(), 0u);
}

} // namespace

namespace {

using drivesim::Line;
using drivesim::Match;
using drivesim::Program;

// The library on the slave side of the simulated driver, with one window for its command events
// and monitor codes that, like the program's windows, removes every command once it has ended.
class CommandQueuePty : public ::testing::Test {
protected:
    struct Ended {
        plat::WPARAM event;
        std::intptr_t tag;
        std::string reply;
    };

    void SetUp() override
    {
        ASSERT_EQ(ZRComm_GetCommandCount(1), -1) << "no port may be open";
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        window = plat::CreateMessageWindow([this](plat::HWND, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
            if (msg == WM_COMM_MONITOR)
                model::SetCommEventState(static_cast<std::uint32_t>(w));
            if (msg == WM_COMM_COMMAND && (w == COMM_EVENT_COMPLETED || w == COMM_EVENT_WRITE_FAILED || w == COMM_EVENT_NO_ECHO
                                           || w == COMM_EVENT_TIMEOUT || w == COMM_EVENT_INVALID_DATA || w == COMM_EVENT_ABORTED)) {
                const auto id = static_cast<CommandId>(l);
                char reply[256] = {};
                ZRComm_GetReceiveCommandText(id, reply, sizeof reply);
                ended.push_back({w, ZRComm_GetCommandParam(id), reply});
                ZRComm_RemoveCommand(id);
            }
            return plat::LRESULT{0};
        });
        plat::DCB dcb;
        dcb.BaudRate = 9600;
        dcb.ByteSize = 8;
        dcb.Parity = plat::NOPARITY;
        dcb.StopBits = plat::ONESTOPBIT;
        ASSERT_EQ(ZRComm_InitFromDCB(window, sim.slavePath().c_str(), &dcb), COMM_OK);
        ZRComm_SetMonitorWnd(window);
        CommExternalData data{};
        data.size = sizeof data;
        data.languageId = plat::LANG_ENGLISH_US;
        ASSERT_EQ(ZRComm_InitExternalData(&data), 1);
        // The driver answers the library's probe and identification on its own.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!ZRComm_IsConnected(nullptr, nullptr) && std::chrono::steady_clock::now() < end) {
            plat::PumpMessageRange(window, 0, 0, 50);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(ZRComm_IsConnected(nullptr, nullptr), 1);
    }

    void TearDown() override
    {
        ZRComm_Term();
        plat::PumpMessageRange(window, 0, 0, 1000);
        plat::DestroyWindow(window);
        sim.stop();
        model::SetCommEventState(0);
    }

    drivesim::DriverSim sim;
    plat::HWND window = nullptr;
    std::vector<Ended> ended;
    plat::ScriptedMessageBoxes boxes;
    plat::ScopedMessageBoxService scopedBoxes{boxes};
};

TEST_F(CommandQueuePty, TheDownloadTextsReachTheDriverAndTheQueueDrains)
{
    // The driver takes writes with a prompt and answers one read. A channel program is entered
    // line by line: the driver asks for each line with its number and a question mark, and an
    // empty answer ends the program.
    for (const char* name : {"SPD", "ACC", "SW"})
        sim.addCommand(Match::prefix(name), Program{});
    auto askLine = std::make_shared<drivesim::AnswerHandler>();
    auto lineNumber = std::make_shared<int>(0);
    *askLine = [self = std::weak_ptr<drivesim::AnswerHandler>(askLine), lineNumber](const std::string& answer) {
        const auto again = self.lock();
        if (answer.empty() || !again)
            return Program{};
        char number[8];
        std::snprintf(number, sizeof number, "%03d", ++*lineNumber);
        return Program{drivesim::Question(number, *again)};
    };
    sim.addCommand(Match::exact("CH3"), [askLine](const std::string&) {
        return Program{drivesim::Question("000", *askLine)};
    });
    sim.addCommand(Match::exact("?GAIN"), Program{Line("GAIN1.00")});

    model::CDataFile store;
    ASSERT_EQ(store.LoadDefinition(model::test::SamplePath("unit/kvx100.ini")), 1);
    ASSERT_EQ(store.ResetToDefaults(), 1);
    store.FindParameter("SPD")->m_currentValue = 120;
    store.FindParameter("ACC")->m_currentValue = 75;
    store.FindParameter("SW")->m_currentText = "ON";
    EXPECT_EQ(store.SendParameterData(window, nullptr, 1), 0u);
    store.GetChannelProgram(3)->Parse(std::string_view("CH3\rJMP10\rEND\r"));
    EXPECT_EQ(store.SendChannelProgram(window, 3), 0u);
    model::CZRParamClass* gainNode = store.FindTreeItem("GAIN");
    ASSERT_NE(gainNode, nullptr);
    EXPECT_EQ(store.SendParameterData(window, gainNode, 0), 0u);
    EXPECT_GT(ZRComm_GetCommandCount(1), 0);
    for (const char* name : {"SPD", "ACC", "SW", "GAIN"})
        EXPECT_EQ(store.FindParameter(name)->m_status, 1) << name;

    model::WaitCommandQueue(window);

    EXPECT_EQ(ZRComm_GetCommandCount(1), 0);
    ASSERT_EQ(ended.size(), 5u);
    for (const auto& e : ended)
        EXPECT_EQ(e.event, COMM_EVENT_COMPLETED);
    EXPECT_EQ(ended[0].tag, reinterpret_cast<std::intptr_t>(store.FindTreeItem("SPD")));
    EXPECT_EQ(ended[3].tag, 1003);
    EXPECT_EQ(ended[4].tag, reinterpret_cast<std::intptr_t>(gainNode));
    EXPECT_EQ(ended[4].reply, "GAIN1.00");
    const auto lines = sim.receivedLines();
    for (const char* line : {"SPD120", "ACC75", "SWON", "CH3", "?GAIN"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << " in " << ::testing::PrintToString(lines);
    EXPECT_EQ(sim.answers(), (std::vector<std::string>{"JMP10", "END", ""}));
    EXPECT_FALSE(model::IsWaitingForCommandQueue());
    EXPECT_EQ(boxes.count(), 0u);
}

} // namespace
