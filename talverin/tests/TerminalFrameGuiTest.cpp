// The terminal screen and window in the running program: the screen reached by its command, the
// window's menu command with its offer and check rules, Ctrl+C and Ctrl+V taken in the window,
// and the data store's line-clean flag following what the window sends.
#include "FrameFixture.h"

#include "talverin/CMainFrame.h"
#include "talverin/CTerminalDlg.h"
#include "talverin/CViewTerminal.h"
#include "talverin/CommandIds.h"
#include "talverin/OscilloIds.h"

#include <platform/qt/keyboard_hook.h>

#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include <cstdlib>

using namespace talverin;

namespace {

CTerminalDlg* TerminalWindow(CMainFrame& frame)
{
    return frame.findChild<CTerminalDlg*>(QString(), Qt::FindDirectChildrenOnly);
}

plat::qt::KeyInput CtrlKey(plat::UINT vk, QObject* target)
{
    plat::qt::KeyInput key;
    key.vk = vk;
    key.modifiers = Qt::ControlModifier;
    key.target = target;
    return key;
}

class TerminalFrameGui : public apptest::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        // The boxes come from the build's registry, not the temporary program folder.
        ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0);
    }
};

} // namespace

TEST_F(TerminalFrameGui, TerminalScreenAndWindowAreTheFramesOwn)
{
    ASSERT_TRUE(Start());
    CMainFrame& f = frame();
    ASSERT_TRUE(f.IsViewRegistered(VIEW_TERMINAL));
    ASSERT_TRUE(f.Commands().execute(ID_VIEW_TERMINAL));
    EXPECT_EQ(f.GetCurrentViewId(), VIEW_TERMINAL);
    EXPECT_TRUE(f.Commands().state(ID_VIEW_TERMINAL).checked());
    auto* screen = dynamic_cast<CViewTerminal*>(f.GetView(VIEW_TERMINAL));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->PopupMenu()->objectName(), "141");
    EXPECT_EQ(screen->PopupMenu()->title(), "Terminal");

    // The window: made with the frame, hidden; offered off the oscilloscope screen only with Debug=1.
    CTerminalDlg* window = TerminalWindow(f);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->TerminalEdit()->isReadOnly()) << "writable only while connected";
    const plat::UINT toggle = OscilloCommand::TerminalWindow;
    EXPECT_FALSE(f.Commands().isEnabled(toggle));
    store().m_debug = 1;
    ASSERT_TRUE(f.Commands().execute(toggle));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(f.Commands().state(toggle).checked());
    window->reject();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(f.Commands().state(toggle).checked());
    ASSERT_TRUE(f.Commands().execute(toggle));
    ASSERT_TRUE(f.Commands().execute(toggle));
    EXPECT_FALSE(window->isVisible());

    // Each character the window sends sets the store's flag for CR and clears it otherwise, even
    // when the line is not there to take it.
    window->show();
    QTest::keyClick(window->TerminalEdit(), Qt::Key_A);
    EXPECT_EQ(store().m_lineClean, 0);
    QTest::keyClick(window->TerminalEdit(), Qt::Key_Return);
    EXPECT_EQ(store().m_lineClean, 1);

    // Ctrl+C and Ctrl+V in the window are its Copy and Paste (dropped while disconnected), never
    // characters for the driver; elsewhere, or with Shift, they pass.
    auto& chain = plat::qt::KeyboardHookChain::instance();
    EXPECT_TRUE(chain.offer(CtrlKey('V', window->TerminalEdit())));
    EXPECT_TRUE(chain.offer(CtrlKey('C', window)));
    EXPECT_EQ(store().m_lineClean, 1) << "nothing was sent";
    EXPECT_FALSE(chain.offer(CtrlKey('V', screen->TerminalEdit())));
    plat::qt::KeyInput shifted = CtrlKey('V', window->TerminalEdit());
    shifted.modifiers |= Qt::ShiftModifier;
    EXPECT_FALSE(window->HandleHookKey(shifted));
    plat::qt::KeyInput released = CtrlKey('C', window->TerminalEdit());
    released.down = false;
    EXPECT_FALSE(window->HandleHookKey(released));
}
