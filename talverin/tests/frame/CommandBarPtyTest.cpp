// Command-bar sends on the simulated driver, on a port the test opened: the text reaches the driver,
// the button shows the command's events, the record goes; the records-removed reply; the terminal
// screen's mode switches.
#include "FrameFixture.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "frame/CCommandBar.h"
#include "frame/CConnectionBar.h"
#include "frame/PortMenu.h"
#include "screens/CViewBase.h"

#include <drivesim/DriverSim.h>
#include <model/CommandSupport.h>
#include <platform/messages.h>
#include <zrcomm/zrcomm_api.h>

#include <QLabel>

#include <chrono>
#include <thread>

using namespace talverin;

namespace {

// Runs the frame's messages until the condition holds (false after 10 s of real time).
template <typename Condition>
bool PumpUntil(Condition done)
{
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10); !done();) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        plat::qt::PumpAllPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool Received(const drivesim::DriverSim& sim, const std::string& line)
{
    const auto lines = sim.receivedLines();
    return std::count(lines.begin(), lines.end(), line) > 0;
}

class CommandBarPty : public apptest::FrameFixture {};

} // namespace

TEST_F(CommandBarPty, SendsTheEntryAndFollowsItsEvents)
{
    // The library's probes and reply time-outs run on real time here.
    plat::SystemClock realClock;
    plat::ScopedClock useRealClock(realClock);
    drivesim::DriverSim sim;
    sim.addCommand(drivesim::Match::exact("KP0"), drivesim::Program{}); // the terminal switch's lock
    sim.addCommand(drivesim::Match::exact("SWON"), drivesim::Program{}); // the bare line refuses the rest
    ASSERT_TRUE(sim.start());
    SetSetting("ExtPort", "COM40", sim.slavePath().c_str());
    ASSERT_TRUE(Start());
    PortRecord* port = frame().Ports().List().Find("COM40");
    ASSERT_NE(port, nullptr);
    // The test opens the port itself: the frame's own connection steps stay out of it.
    frame().Messages().Set(WM_COMM_STATE_CHANGED, [](plat::WPARAM, plat::LPARAM) { return plat::LRESULT{0}; });
    ASSERT_EQ(ZRComm_InitFromDCB(frame().GetSafeHwnd(), port->m_name.c_str(), &port->Dcb()), COMM_OK);
    ZRComm_SetMonitorWnd(frame().ConnectionBar()->GetSafeHwnd());
    ASSERT_TRUE(PumpUntil([] { return ZRComm_IsConnected(nullptr, nullptr) != 0; }));
    EXPECT_FALSE(frame().Commands().isEnabled(15039)) << "no port changes while connected";

    frame().ConnectionBar()->SetDisplayState(CConnectionBar::kConnected);
    frame().Connection().m_connectionPhase = talverin::Phase::Connected;
    frame().UpdateBars();
    CCommandBar& bar = *frame().CommandBar();
    ASSERT_TRUE(bar.Action(0)->isEnabled());
    bar.Button(0)->click();
    EXPECT_NE(bar.GetCommandId(0), 0);
    ASSERT_TRUE(PumpUntil([&] { return bar.GetState(0) == COMM_EVENT_COMPLETED; }));
    EXPECT_TRUE(PumpUntil([] { return ZRComm_GetCommandCount(1) == 0; })) << "the record is removed";
    EXPECT_TRUE(Received(sim, "SWON"));

    // Records removed: only a button whose command the library no longer knows goes idle, and
    // only when the counts before and after differ.
    bar.SetState(0, 1);
    plat::SendMessage(frame().GetSafeHwnd(), WM_COMMAND_TOOL_REPLY, 0, 0x00010001);
    EXPECT_EQ(bar.GetState(0), 1);
    plat::SendMessage(frame().GetSafeHwnd(), WM_COMMAND_TOOL_REPLY, 0, 0x00010000);
    EXPECT_EQ(bar.GetState(0), 0);

    // A refused command says so in the status pane, the line stays; the next one takes it back.
    sim.addCommand(drivesim::Match::exact("RESET"), drivesim::Program{drivesim::Error("RANGE OVER")});
    bar.Button(2)->click();
    const auto pane = [&] { return frame().MessagePane()->text().toStdString(); };
    EXPECT_TRUE(PumpUntil([&] { return pane() == "Command tool \"Alarm reset\" failed: Data out of range"; })) << pane();
    EXPECT_TRUE(PumpUntil([] { return ZRComm_GetCommandCount(1) == 0; }) && ZRComm_IsConnected(nullptr, nullptr));
    bar.Button(0)->click();
    EXPECT_TRUE(PumpUntil([&] { return pane() == "For Help, press F1"; })) << pane();

    // On the terminal screen the send switches to command mode and back to terminal mode once
    // the queue drained; the screen and the bar are usable again afterwards.
    frame().Screens().SetFactory(VIEW_TERMINAL, [](QWidget* p) { return new CViewBase(VIEW_TERMINAL, p); });
    ASSERT_TRUE(frame().SwitchView(VIEW_TERMINAL));
    // The switch goes on once the driver confirmed the lock ("KP0").
    ASSERT_TRUE(PumpUntil([&] { return frame().GetCurrentViewId() == VIEW_TERMINAL; }));
    ASSERT_TRUE(PumpUntil([] { return ZRComm_GetCommandCount(-1) == 0; })); // the library's own steps too
    ASSERT_EQ(ZRComm_SetCommandMode(1), COMM_OK);
    bar.Button(1)->click();
    EXPECT_TRUE(bar.isEnabled() && frame().GetView(VIEW_TERMINAL)->isEnabled() && !bar.m_busy);
    EXPECT_TRUE(PumpUntil([&] { return bar.GetState(1) == COMM_EVENT_COMPLETED; }));
    EXPECT_TRUE(Received(sim, "SWOFF"));

    // Once the port closed (monitor 17) terminal mode is not asked for again: commands still run.
    ZRComm_SetMonitorWnd(nullptr); // no activity codes in between
    model::SetCommEventState(COMM_MONITOR_PORT_CLOSED);
    bar.Button(2)->click();
    EXPECT_TRUE(bar.isEnabled());
    EXPECT_TRUE(PumpUntil([&] { return bar.GetState(2) == COMM_EVENT_COMPLETED; }));
    // The frame removes the command as soon as it hears of its end, maybe within the same pump:
    // the line shows that it went out, the empty queue that it ended.
    const std::size_t before = sim.received().size();
    const CommandId probe = ZRComm_SendCommandText(frame().GetSafeHwnd(), "MI\r", 1);
    EXPECT_TRUE(sim.waitForInput("MI\r", std::chrono::seconds(10), before)) << "still in command mode";
    EXPECT_TRUE(PumpUntil([&] { return ZRComm_GetCommandState(probe) == COMM_OK || ZRComm_GetCommandCount(1) == 0; }));
    model::SetCommEventState(0);

    EXPECT_EQ(ZRComm_Term(), COMM_OK);
    plat::qt::PumpAllPending();
    frame().Connection().m_connectionPhase = talverin::Phase::Idle;
}
