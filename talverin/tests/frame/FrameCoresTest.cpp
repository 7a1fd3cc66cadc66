// The frame's pure cores: the commands' update rules over state snapshots, placements brought onto
// a screen and the bar-state text of the settings file.
#include "common/CommandIds.h"
#include "frame/FrameCommandRules.h"
#include "frame/FramePlacement.h"

#include <gtest/gtest.h>

using namespace talverin;

namespace {

FrameSnapshot idle(int view)
{
    FrameSnapshot s;
    s.currentView = view;
    s.screenCommands = {ID_VIEW_OSCILLO, ID_VIEW_IO, ID_VIEW_PARAM, ID_VIEW_CHANNEL, ID_VIEW_TERMINAL};
    s.currentScreenCommand = view == VIEW_PARAM ? ID_VIEW_PARAM : view == VIEW_TERMINAL ? ID_VIEW_TERMINAL : ID_VIEW_OSCILLO;
    s.terminalWindowExists = true;
    return s;
}

} // namespace

TEST(FrameRules, EnabledStatesFollowTheSnapshot)
{
    struct Case {
        const char* what;
        FrameSnapshot state;
        plat::UINT id;
        bool enabled;
    };
    FrameSnapshot connected = idle(VIEW_PARAM);
    connected.phase = talverin::Phase::Connected;
    FrameSnapshot switching = idle(VIEW_PARAM);
    switching.switching = true;
    FrameSnapshot closing = idle(VIEW_PARAM);
    closing.phase = talverin::Phase::Closing;
    FrameSnapshot capturing = idle(VIEW_OSCILLO);
    capturing.oscilloExists = true;
    capturing.captureState = talverin::CapturePhase::Starting;
    FrameSnapshot failed = capturing;
    failed.captureState = talverin::CapturePhase::NotConnected;
    FrameSnapshot transfer = idle(VIEW_PARAM);
    transfer.transferVisible = transfer.transferOpen = true;
    FrameSnapshot start = idle(VIEW_PARAM);
    start.startScreenOpen = true;
    FrameSnapshot debug = idle(VIEW_PARAM);
    debug.debugFlag = true;
    FrameSnapshot unregistered = idle(VIEW_PARAM);
    unregistered.screenCommands = {ID_VIEW_PARAM};
    const Case cases[] = {
        {"new idle", idle(VIEW_PARAM), ID_FILE_NEW, true},
        {"new connected", connected, ID_FILE_NEW, false},
        {"new start screen", start, ID_FILE_NEW, false},
        {"open terminal", idle(VIEW_TERMINAL), ID_FILE_OPEN, false},
        {"open connected", connected, ID_FILE_OPEN, false},
        {"save closing", closing, ID_FILE_SAVE, false},
        {"save connected", connected, ID_FILE_SAVE, true},
        {"save as closing", closing, ID_FILE_SAVE_AS, true},
        {"old version missing", idle(VIEW_PARAM), ID_START_OLD_VERSION, false},
        {"screen idle", idle(VIEW_PARAM), ID_VIEW_IO, true},
        {"screen switching", switching, ID_VIEW_IO, false},
        {"screen closing", closing, ID_VIEW_IO, false},
        {"screen transfer", transfer, ID_VIEW_IO, false},
        {"screen capture runs", capturing, ID_VIEW_IO, false},
        {"screen capture failed", failed, ID_VIEW_IO, true},
        {"screen not registered", unregistered, ID_VIEW_IO, false},
        {"terminal window on param", idle(VIEW_PARAM), ID_TERMINAL_WINDOW, false},
        {"terminal window debug", debug, ID_TERMINAL_WINDOW, true},
        {"terminal window on scope", idle(VIEW_OSCILLO), ID_TERMINAL_WINDOW, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameCommandRule(c.id, c.state).enabled, c.enabled) << c.what;

    // The radio bullet is the current screen's, the checks the windows' and bars' visibility.
    for (plat::UINT id = ID_VIEW_OSCILLO; id <= ID_VIEW_TERMINAL; ++id) {
        const FrameCommandState s = FrameCommandRule(id, idle(VIEW_PARAM));
        EXPECT_TRUE(s.radio);
        EXPECT_EQ(s.check, id == ID_VIEW_PARAM ? 1 : 0) << id;
    }
    FrameSnapshot shown = idle(VIEW_OSCILLO);
    shown.commandBarVisible = shown.terminalWindowVisible = true;
    EXPECT_EQ(FrameCommandRule(ID_VIEW_COMMAND_BAR, shown).check, 1);
    EXPECT_EQ(FrameCommandRule(ID_VIEW_CONNECTION_BAR, shown).check, 0);
    EXPECT_EQ(FrameCommandRule(ID_TERMINAL_WINDOW, shown).check, 1);
    EXPECT_FALSE(HasFrameCommandRule(ID_APP_EXIT));
}

TEST(FramePlacement, BringsRectanglesOntoAScreen)
{
    const std::vector<QRect> areas = {QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1024)};
    const QSize minimum(710, 526);
    struct Case {
        QRect in, out;
    } cases[] = {
        {QRect(100, 100, 400, 300), QRect(100, 100, 710, 526)},        // grown to the minimum
        {QRect(-5000, -5000, 800, 600), QRect(0, 0, 800, 600)},        // off every screen
        {QRect(3000, 900, 800, 600), QRect(2400, 424, 800, 600)},      // mostly on the second one
        {QRect(10, 10, 90000, 90000), QRect(0, 0, 1920, 1040)},        // never larger than the area
        {QRect(1800, 10, 800, 600), QRect(1920, 10, 800, 600)},        // the area it overlaps most
    };
    for (const Case& c : cases)
        EXPECT_EQ(BringOntoScreen(c.in, areas, minimum), c.out) << c.in.x() << "," << c.in.y();
    EXPECT_EQ(BringOntoScreen(QRect(0, 0, 100, 100), {QRect(0, 0, 600, 400)}, minimum).size(), minimum)
        << "the minimum wins over a small screen";
    EXPECT_EQ(DefaultTerminalWindowRect(QRect(100, 80, 710, 526), 1920), QRect(810, 80, 180, 526));
    EXPECT_EQ(DefaultTerminalWindowRect(QRect(1500, 80, 710, 526), 1920), QRect(1560, 80, 180, 526));
}

TEST(FramePlacement, BarStateTextRoundTripsAndRefusesOthers)
{
    const QByteArray state("\x00\x01state\xff", 9);
    EXPECT_EQ(DecodeBarState(EncodeBarState(state)), state);
    for (const char* bad : {"", "Bars;3", "!!!not base64!!!"})
        EXPECT_FALSE(DecodeBarState(bad)) << bad;
}
