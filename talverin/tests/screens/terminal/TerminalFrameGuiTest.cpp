// The terminal screen and window in the program: commands, line-clean flag, Ctrl+C/Ctrl+V.
#include "FrameFixture.h"

#include "common/CommandIds.h"
#include "screens/oscillo/OscilloIds.h"
#include "screens/terminal/CTerminalDlg.h"

#include <platform/messages.h>

#include <QPlainTextEdit>
#include <QTest>

using namespace talverin;
class TerminalFrameGui : public apptest::FrameFixture {};

TEST_F(TerminalFrameGui, TerminalScreenAndWindowBelongToTheFrame)
{
    ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0); // the build's boxes
    ASSERT_TRUE(Start());
    plat::qt::CommandTable& commands = frame().Commands();
    ASSERT_TRUE(commands.execute(ID_VIEW_TERMINAL));
    auto* screen = dynamic_cast<CViewTerminal*>(frame().GetView(VIEW_TERMINAL));
    ASSERT_TRUE(screen && commands.state(ID_VIEW_TERMINAL).checked());
    screen->Terminal().AddString("AB", plat::FALSE);
    // Its commands reach it through the frame while it is current.
    ASSERT_TRUE(screen->Commands().isEnabled(CViewTerminal::ID_SAVE_RECORD));
    EXPECT_EQ(plat::SendMessage(frame().GetSafeHwnd(), plat::WM_COMMAND, CViewTerminal::ID_TERMINAL_CLEAR, 0), 1);
    EXPECT_FALSE(screen->Terminal().GetTextLength() || screen->Commands().isEnabled(CViewTerminal::ID_SAVE_RECORD));

    auto* window = frame().findChild<CTerminalDlg*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(window && !window->isVisible() && window->TerminalEdit()->isReadOnly());
    const plat::UINT toggle = OscilloCommand::TerminalWindow;
    EXPECT_FALSE(commands.isEnabled(toggle));
    store().m_debug = 1;
    ASSERT_TRUE(commands.execute(toggle));
    EXPECT_TRUE(window->isVisible() && commands.state(toggle).checked());
    // Escape typed in the box is Cancel, not a character for the driver.
    QTest::keyClick(window->TerminalEdit(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible() || commands.state(toggle).checked());
    EXPECT_EQ(store().m_lineClean, 1) << "no character went";

    // Ctrl+V in the window is Paste (dropped while disconnected), never character 22 for the
    // driver; a character the window sends clears the flag (a CR sets it).
    QTest::keyClick(window->TerminalEdit(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(store().m_lineClean, 1);
    QTest::keyClick(window->TerminalEdit(), Qt::Key_A);
    EXPECT_EQ(store().m_lineClean, 0);
    const plat::qt::KeyInput key{.vk = 'V', .modifiers = Qt::ControlModifier, .target = screen->TerminalEdit()};
    EXPECT_FALSE(window->HandleHookKey(key)) << "outside the window";
}
