// The connection bar's monitor relay (to a recording main window), its lamps and buttons and the
// command bar's buttons as drawn, and the frame's enabling of both bars' buttons.
#include "FrameFixture.h"

#include "common/AppMessages.h"
#include "common/CommandIds.h"
#include "frame/CCommandBar.h"
#include "frame/CConnectionBar.h"
#include "frame/UpdatePassTrigger.h"

#include <model/CommandSupport.h>
#include <platform/messages.h>
#include <platform/qt/window_bridge.h>
#include <zrcomm/zrcomm_api.h>

#include <QAction>
#include <QTimer>

using namespace talverin;

namespace {

struct Message {
    plat::UINT message;
    plat::WPARAM wParam;
    plat::LPARAM lParam;
    bool operator==(const Message&) const = default;
};

QColor PixelOf(QWidget& widget, QPoint at = {2, 2}) // {2, 2}: the fill, inside the frame lines
{
    return widget.grab().toImage().pixelColor(at);
}

const QColor kCyan(0, 255, 255);
const QColor kWhite(255, 255, 255);
const QColor kDark(16, 0, 0); // COLORREF 0x000010

} // namespace

TEST(BarsGui, MonitorCodesReachTheMainWindowAsTheProgramsMessages)
{
    std::vector<Message> got;
    const plat::HWND main = plat::CreateMessageWindow([&](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
        got.push_back({m, w, l});
        return plat::LRESULT{1};
    });
    CConnectionBar bar(main, {});
    bar.SetDisplayState(CConnectionBar::kConnected);
    struct Step {
        plat::WPARAM code;
        plat::LPARAM value;
        std::vector<Message> sent, posted;
        int displayState; // afterwards
        std::uint32_t lastCode;
    };
    const Message lost{WM_COMM_STATE_CHANGED, 0, 15}, absent{WM_COMM_STATE_CHANGED, 0, 16},
        closed{WM_COMM_STATE_CHANGED, 0, 17};
    const Step steps[] = {
        {11, 0, {}, {{WM_COMM_STATE_CHANGED, 1, 0}}, 1, 11},
        {12, 7, {{WM_COMM_ACTIVITY, 12, 7}}, {}, 1, 12},
        {13, 9, {{WM_COMM_ACTIVITY, 13, 9}}, {}, 1, 13}, {14, 1, {}, {}, 1, 13}, // 14 is not even stored
        {15, 0, {}, {lost}, 1, 15}, // a first loss keeps the state
        {15, 0, {}, {lost}, -1, 15},
        {17, 0, {}, {}, -1, 17}, // after 15: nothing more
        {16, 0, {}, {absent}, -1, 16}, {17, 0, {}, {}, -1, 17},
        {11, 0, {}, {{WM_COMM_STATE_CHANGED, 1, 0}}, -1, 11},
        {17, 0, {}, {closed}, -1, 17},
        {18, 38400, {}, {{WM_BAUD_CHANGE_STATE, 18, 38400}}, -1, 18}, {20, 9600, {}, {{WM_BAUD_CHANGE_STATE, 20, 9600}}, -1, 20},
        {21, 0x00030001, {}, {{WM_COMMAND_TOOL_REPLY, 0, 0x00030001}}, -1, 21},
        {10, 0, {}, {}, -1, 21}, {22, 0, {}, {}, -1, 21},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.code);
        got.clear();
        bar.OnCommMonitor(s.code, s.value);
        EXPECT_EQ(got, s.sent);
        got.clear();
        plat::qt::PumpAllPending();
        EXPECT_EQ(got, s.posted);
        EXPECT_EQ(bar.GetDisplayState(), s.displayState);
        EXPECT_EQ(model::GetCommEventState(), s.lastCode);
    }
    model::SetCommEventState(0);
    plat::DestroyWindow(main);
}

TEST(BarsGui, LampsAndButtonsAsDrawn)
{
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);
    bool operation = false;
    CConnectionBar bar(nullptr, [&] { return operation; });
    OwnerDrawButton& send = *bar.Control(CConnectionBar::IDC_SEND_LAMP);
    const QColor face = ButtonFaceColor();

    plat::PostMessage(bar.GetSafeHwnd(), WM_COMM_MONITOR, 12, 1); // as the library posts it
    plat::qt::PumpAllPending();
    EXPECT_TRUE(PixelOf(send) == kCyan && PixelOf(*bar.Control(CConnectionBar::IDC_RECEIVE_LAMP)) == face);
    clock.advance(CConnectionBar::kLampMs - 1);
    plat::qt::PumpAllPending();
    EXPECT_EQ(PixelOf(send), kCyan) << "later paints in the period stay lit";
    clock.advance(1);
    plat::qt::PumpAllPending();
    EXPECT_EQ(PixelOf(send), face);

    // Not connected: Connect is a raised face, Disconnect lit while the bar shows disconnected.
    OwnerDrawButton& connect = *bar.Control(CConnectionBar::IDC_CONNECT);
    OwnerDrawButton& disconnect = *bar.Control(CConnectionBar::IDC_DISCONNECT);
    EXPECT_TRUE(PixelOf(connect) == face && PixelOf(connect, {0, 0}) == kWhite);
    EXPECT_EQ(PixelOf(disconnect), QColor(128, 255, 128));
    disconnect.setEnabled(false); // lit, it is the disabled one of the pair: its caption stays dark
    const QImage lit = disconnect.grab().toImage();
    int darkest = 255;
    for (int i = 0; i < lit.width() * lit.height(); ++i)
        darkest = std::min(darkest, qGray(lit.pixel(i % lit.width(), i / lit.width())));
    EXPECT_LT(darkest, 64) << "frame lines 64, greyed text 190";
    bar.SetDisplayState(CConnectionBar::kConnecting);
    EXPECT_EQ(PixelOf(disconnect), face);
    connect.setDown(true);
    EXPECT_EQ(PixelOf(connect, {0, 0}), kDark);
    operation = true; // the start screen or a transfer runs: a held button stays raised
    EXPECT_EQ(PixelOf(connect, {0, 0}), kWhite);
}

TEST(BarsGui, CommandBarButtonsShowTheirCommandsState)
{
    std::array<ExtBarEntry, 5> entries{};
    entries[0] = ParseExtBarValue("Servo ON,SWON\\r");
    entries[1] = ParseExtBarValue("Caption only");
    CCommandBar bar(entries);
    EXPECT_FALSE(bar.Action(1)->isEnabled());
    OwnerDrawButton& first = *bar.Button(0);
    bar.OnToolReply(100, 1);
    EXPECT_TRUE(PixelOf(first) == kCyan && PixelOf(first, {0, 0}) == kDark);
    bar.OnToolReply(99, 8);
    bar.OnToolReply(105, 8);
    EXPECT_EQ(bar.GetState(0), 1) << "other tags are ignored";
    plat::SendMessage(bar.GetSafeHwnd(), WM_COMMAND_TOOL_REPLY, 100, 8);
    EXPECT_TRUE(PixelOf(first) == ButtonFaceColor() && PixelOf(first, {0, 0}) == kWhite);
    bar.OnToolReply(101, 5);
    EXPECT_EQ(PixelOf(*bar.Button(1)), ButtonFaceColor()) << "a disabled button is never drawn running";
}

TEST(BarsGui, TheUpdatePassRunsOnceAfterWhatMayChangeTheStatesAndNeverOnItsOwn)
{
    QTimer pass;
    int runs = 0;
    QObject::connect(&pass, &QTimer::timeout, [&runs] { ++runs; });
    new UpdatePassTrigger(&pass, 0);
    QObject window; // plain events: a widget would read them as the input they name
    plat::qt::WindowBridge bridge(&window, [](plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM) { return plat::LRESULT{0}; });
    const auto deliver = [&](std::initializer_list<QEvent::Type> types) {
        for (const QEvent::Type type : types) {
            QEvent event(type);
            QCoreApplication::sendEvent(&window, &event);
        }
        plat::qt::PumpAllPending();
        return std::exchange(runs, 0);
    };
    deliver({}); // the bridge's first wake-up
    EXPECT_EQ(deliver({QEvent::Paint, QEvent::MouseMove, QEvent::Timer, QEvent::UpdateRequest, QEvent::Wheel}), 0);
    EXPECT_EQ(deliver({QEvent::KeyPress, QEvent::FocusIn, QEvent::Hide, QEvent::MouseButtonRelease}), 1);
    // A message or window timer of the program's own.
    plat::PostMessage(bridge.hwnd(), WM_USER + 5, 0, 0);
    EXPECT_EQ(deliver({}), 1);
    // Passes keep their distance: one more waits, however much comes meanwhile.
    QTimer spaced;
    new UpdatePassTrigger(&spaced, 3600 * 1000);
    QObject::connect(&spaced, &QTimer::timeout, [&runs] { ++runs; });
    EXPECT_EQ(deliver({QEvent::Show}), 1 + 1); // both timers: the spaced one has not run before
    EXPECT_EQ(deliver({QEvent::Show, QEvent::KeyRelease}), 1);
    EXPECT_TRUE(spaced.isActive());
}

class BarsFrameGui : public apptest::FrameFixture {};

TEST_F(BarsFrameGui, ButtonsFollowTheConnectionState)
{
    SetSetting("ExtBar", "2", "Caption only");
    ASSERT_TRUE(Start());
    auto enabled = [&](plat::UINT id) {
        frame().UpdateBars();
        return frame().Commands().isEnabled(id);
    };
    CountCommand(ID_CONNECT);
    CountCommand(ID_DISCONNECT);
    QWidget transfer;
    struct Case {
        talverin::Phase phase;
        int baudBusy;
        bool transfer, connect, disconnect;
    };
    using enum talverin::Phase;
    const Case cases[] = {
        {Idle, 0, false, true, false},       {PortOpen, 0, false, false, true},       {Connected, 0, false, false, true},
        {Closing, 0, false, false, false},   {Disconnecting, 0, false, false, false}, {Idle, 1, false, false, false},
        {Connected, 1, false, false, false}, {Idle, 0, true, false, false},           {Connected, 0, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.phase));
        frame().Connection().m_connectionPhase = c.phase;
        frame().Connection().m_baudChangeBusy = c.baudBusy;
        frame().SetTransferDialog(c.transfer ? &transfer : nullptr);
        EXPECT_EQ(enabled(IDC_BAR_CONNECT), c.connect);
        EXPECT_EQ(enabled(IDC_BAR_DISCONNECT), c.disconnect);
    }
    frame().SetTransferDialog(nullptr);
    frame().Connection().m_baudChangeBusy = 0;
    frame().Connection().m_connectionPhase = talverin::Phase::Idle;
    frame().UpdateBars();
    frame().ConnectionBar()->Control(IDC_BAR_CONNECT)->click();
    plat::qt::PumpAllPending();
    EXPECT_EQ(m_ran[ID_CONNECT], 1) << "the button posts the menu command";

    // Command bar: while the bar shows connected, outside the terminal switch and close phases,
    // for an entry with a command; behind a hidden transfer dialog the buttons keep their state.
    EXPECT_FALSE(enabled(IDC_COMMAND_FIRST));
    frame().ConnectionBar()->SetDisplayState(CConnectionBar::kConnected);
    using talverin::Phase;
    for (const Phase phase : {Phase::EnteringTerminal, Phase::LeavingTerminal, Phase::SwitchReadAll, Phase::Closing,
                              Phase::Disconnecting, Phase::Connected}) {
        frame().Connection().m_connectionPhase = phase;
        EXPECT_EQ(enabled(IDC_COMMAND_FIRST), phase == Phase::Connected) << static_cast<int>(phase);
    }
    EXPECT_FALSE(enabled(IDC_COMMAND_FIRST + 1)) << "no command text";
    frame().SetTransferDialog(&transfer);
    EXPECT_TRUE(enabled(IDC_COMMAND_FIRST));
    transfer.show();
    EXPECT_FALSE(enabled(IDC_COMMAND_FIRST));
    transfer.hide();
    EXPECT_FALSE(enabled(IDC_COMMAND_FIRST));
    frame().SetTransferDialog(nullptr);
}
