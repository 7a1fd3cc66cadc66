// The Edit keys of the frame on the terminal screen, connected to the simulated KVX-100: real
// Ctrl+C and Ctrl+V run the screen's Copy and Paste as the Edit menu does; Ctrl+X (Cut is disabled
// there) changes nothing and never reaches the driver as a character.
#include "FrameFixture.h"

#include "common/ClipboardHelpers.h"
#include "common/CommandIds.h"
#include "connection/DriverConnection.h"
#include "screens/terminal/CViewTerminal.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <platform/clock.h>
#include <platform/qt/clipboard.h>
#include <platform/qt/pump.h>
#include <testsupport/wait.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

using namespace talverin;

struct TerminalFramePty : apptest::FrameFixture {
    void SetUp() override
    {
        FrameFixture::SetUp();
        ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0);
        ASSERT_TRUE(m_model.load(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini"));
        m_model.install(m_sim);
        ASSERT_TRUE(m_sim.start());
        SetSetting("ExtPort", "COM7", m_sim.slavePath().c_str());
        SetSetting("Port", "Connect", "COM7");
        ASSERT_TRUE(Start());
    }
    bool pumpUntil(const std::function<bool()>& done)
    {
        return plat::test::waitUntil([&] { return plat::qt::PumpAllPending(), done(); });
    }

    plat::SystemClock m_realClock; // the library's threads and time-outs run on real time
    plat::ScopedClock m_useRealClock{m_realClock};
    drivesim::DriverModel m_model;
    drivesim::DriverSim m_sim;
};

TEST_F(TerminalFramePty, EditKeysRunTheScreensCopyAndPaste)
{
    frame().Commands().execute(ID_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return frame().Connection().m_connectionPhase == Phase::Connected; }));
    frame().show();
    QApplication::setActiveWindow(&frame());
    ASSERT_TRUE(frame().Commands().execute(ID_VIEW_TERMINAL));
    ASSERT_TRUE(pumpUntil([&] {
        return frame().GetCurrentViewId() == VIEW_TERMINAL && frame().Connection().m_connectionPhase == Phase::Connected;
    }));
    auto* screen = dynamic_cast<CViewTerminal*>(frame().GetView(VIEW_TERMINAL));
    ASSERT_TRUE(screen && screen->TerminalEdit());
    QPlainTextEdit* edit = screen->TerminalEdit();
    screen->Terminal().AddString("DRIVER TEXT", plat::FALSE);
    edit->selectAll();
    const std::string text = edit->textCursor().selectedText().toStdString();
    ASSERT_FALSE(text.empty());

    CopyTextToClipboard("before");
    const std::size_t mark = m_sim.received().size();
    QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(GetClipboardText(), "before") << "no Cut on the terminal screen";
    EXPECT_EQ(edit->toPlainText().toStdString(), text);
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(GetClipboardText(), text);
    plat::qt::PumpAllPending();
    EXPECT_EQ(m_sim.received().substr(mark), "") << "neither key went to the driver";

    ASSERT_TRUE(plat::qt::SetClipboardText("?ACC\r\n"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(pumpUntil([&] { return m_sim.received().substr(mark) == "?ACC\r"; }))
        << "the driver read \"" << m_sim.received().substr(mark) << "\"";
}
