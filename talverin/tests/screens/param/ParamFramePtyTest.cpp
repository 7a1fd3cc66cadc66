// The parameter screen and the command window in the program's frame, connected to the simulated
// KVX-100: the screen command, edits typed into the control (refused while locked, then taken),
// the Tab filter on the keyboard hook, the command window beside other screens and its placement.
#include "FrameFixture.h"

#include "common/CommandIds.h"
#include "connection/ConnectionRules.h"
#include "screens/param/CViewParam.h"
#include "screens/param/ParamWindows.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <platform/qt/keyboard_hook.h> // SendKeyEvent
#include <platform/qt/virtual_keys.h>
#include <testsupport/wait.h>

#include <QApplication>
#include <QLineEdit>
#include <QLabel>
#include <QStatusBar>
#include <QTreeView>
#include <QtTest/QTest>

using namespace talverin;

struct ParamFramePty : apptest::FrameFixture {
    void SetUp() override
    {
        FrameFixture::SetUp();
        ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0);
        ASSERT_TRUE(m_model.load(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini"));
        m_model.install(m_sim);
        ASSERT_TRUE(m_sim.start());
        SetSetting("ExtPort", "COM7", m_sim.slavePath().c_str());
        SetSetting("Port", "Connect", "COM7");
        SetSetting("Setting", ParamWindows::kPlacementKey, "0,1,-1,-1,-1,-1,40,60,440,560,junk");
        ASSERT_TRUE(Start());
    }
    bool pumpUntil(const std::function<bool()>& done)
    {
        return plat::test::waitUntil([&] { return plat::qt::PumpAllPending(), done(); });
    }
    bool checked() { return frame().Commands().state(ID_COMMAND_WINDOW).checked(); }

    plat::SystemClock m_realClock; // the library's threads and time-outs run on real time
    plat::ScopedClock m_useRealClock{m_realClock};
    drivesim::DriverModel m_model;
    drivesim::DriverSim m_sim;
};

TEST_F(ParamFramePty, ReadsAndWritesOnTheScreenAndInTheCommandWindow)
{
    frame().Commands().execute(ID_CONNECT);
    ASSERT_TRUE(pumpUntil([&] { return frame().Connection().m_connectionPhase == Phase::Connected; }));
    QApplication::setActiveWindow(&frame());
    ASSERT_TRUE(frame().Commands().execute(ID_VIEW_PARAM));
    CViewParam* screen = dynamic_cast<CViewParam*>(frame().GetView(VIEW_PARAM));
    ASSERT_TRUE(screen && screen->IsInitialised() && frame().GetCurrentViewId() == VIEW_PARAM);
    EXPECT_FALSE(frame().Commands().isEnabled(ID_COMMAND_WINDOW)) << "not beside the screen";

    auto* list = screen->findChild<QTreeView*>(QStringLiteral("1001"));
    auto* tree = screen->findChild<QTreeView*>(QStringLiteral("1000"));
    tree->setFocus();
    for (const bool down : {true, false})
        plat::qt::SendKeyEvent(tree, plat::qt::VK_TAB, down);
    EXPECT_TRUE(list->hasFocus()) << "Tab, released, moves to the list";

    const auto type = [&](const char* text) {
        QTest::keyClick(list, Qt::Key_F2);
        QLineEdit* edit = nullptr;
        ASSERT_TRUE(pumpUntil([&] { return (edit = list->findChild<QLineEdit*>("1002")) && edit->isVisible(); }));
        edit->setText(QString::fromLatin1(text));
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_TRUE(pumpUntil([&] { return m_sim.receivedLines().back() == std::string("SPD") + text && !ZRComm_GetCommandCount(1); }));
    };
    doc().SetModifiedFlag(false);
    screen->Control().ShowTreeItem(0, "Motor");
    list->setCurrentIndex(list->model()->index(0, 0)); // SPD
    type("250");
    const model::CZRParamData& spd = *store().FindParameter("SPD");
    EXPECT_NE(spd.m_referenceValue, 250) << "the locked driver refused it";
    EXPECT_TRUE(frame().MessagePane()->text().startsWith("SPD Command Error: ") && doc().IsModified());
    m_model.setLocked(false);
    type("260");
    EXPECT_EQ(spd.m_referenceValue + spd.m_status, 260);
    EXPECT_EQ(frame().MessagePane()->text(), "For Help, press F1");

    // The command window, placed as saved, reads beside another screen; hidden on the parameter
    // screen (and the blank one), back when it is left; closing unchecks it.
    ASSERT_TRUE(frame().SwitchView(VIEW_IO) && frame().Commands().execute(ID_COMMAND_WINDOW));
    CCommandWnd* window = frame().findChild<CCommandWnd*>();
    ASSERT_TRUE(window && window->isVisible() && checked());
    EXPECT_EQ(window->geometry(), QRect(40, 60, 400, 500));
    ASSERT_TRUE(m_model.setValue("ACC", "77"));
    window->Traffic().OnQueryUpdate(store().FindTreeItem("ACC"));
    ASSERT_TRUE(pumpUntil([&] { return store().FindParameter("ACC")->m_currentValue == 77; }));
    EXPECT_TRUE(frame().SwitchView(VIEW_PARAM) && !window->isVisible() && checked());
    EXPECT_TRUE(frame().SwitchView(VIEW_IO) && window->isVisible());
    window->setGeometry(QRect(30, 20, 360, 420));
    window->close();
    EXPECT_FALSE(window->isVisible() || checked());

    ASSERT_TRUE(Restart());
    ASSERT_TRUE(frame().Commands().execute(ID_COMMAND_WINDOW));
    EXPECT_EQ(frame().findChild<CCommandWnd*>()->geometry(), QRect(30, 20, 360, 420));
}
