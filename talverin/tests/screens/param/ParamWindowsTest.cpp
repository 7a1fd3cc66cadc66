// The parameter screen and the command window in a main window with a status bar, on the manual
// clock: without a driver, and against the simulated KVX-100 on a pseudo-terminal.
#include "common/AppMessages.h"
#include "common/WidgetHelpers.h"
#include "connection/DriverQueue.h"
#include "screens/param/CCommandWnd.h"
#include "screens/param/CViewParam.h"

#include <controls/HelpInfo.h>
#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <model/CommandSupport.h>
#include <platform/clock.h>
#include <platform/qt/pump.h>
#include <platform/qt/window_bridge.h>
#include <testsupport/wait.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

struct ParamWindows : ::testing::Test {
    void SetUp() override
    {
        // A sleep on the injected clock takes a moment of real time: a wait loop must not run the
        // clock past a reply that is on its way.
        clock.setOnSleep([](std::uint64_t) { std::this_thread::sleep_for(std::chrono::milliseconds(1)); });
        ASSERT_EQ(store.LoadDefinition(TALVERIN_SAMPLE_DATA_DIR "/unit/kvx100.ini"), 1);
        bridge = std::make_unique<plat::qt::WindowBridge>(&main, [this](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
            messages.emplace_back(m, w, l);
            // The frame's message pane, as the main frame shows it.
            if (m == talverin::WM_SET_STATUS_TEXT) {
                const auto* record = reinterpret_cast<const talverin::StatusTextRecord*>(l);
                main.statusBar()->showMessage(record->text ? QString::fromUtf8(record->text) : QStringLiteral("For Help, press F1"));
            }
            return plat::LRESULT{0};
        });
        model::SetMainWindow(bridge->hwnd());
        const auto showHelp = [this](const QString& page, const QString& anchor) { help = page + "#" + anchor; };
        view = new talverin::CViewParam(store, {[this] { ++marks; }, showHelp, [this] { return windowChecked; }});
        window = std::make_unique<talverin::CCommandWnd>(store, talverin::CommandWndHost{showHelp, [this] { windowChecked = false; }}, &main);
        ASSERT_TRUE(view->BuildError().isEmpty() && window->BuildError().isEmpty());
        main.setCentralWidget(view);
        main.statusBar();
        main.show();
        QApplication::setActiveWindow(&main);
        plat::qt::PumpAllPending();
    }
    void TearDown() override
    {
        ZRComm_Term();
        plat::qt::PumpAllPending();
        window.reset();
        delete view;
        model::SetMainWindow(nullptr);
    }
    void connect()
    {
        std::string error;
        ASSERT_TRUE(driver.load(TALVERIN_SAMPLE_DATA_DIR "/unit/kvx100.ini", &error)) << error;
        driver.setLocked(false);
        driver.install(sim);
        ASSERT_TRUE(sim.start(&error)) << error;
        plat::DCB dcb;
        ASSERT_EQ(ZRComm_GetDefaultCommConfig(sim.slavePath().c_str(), &dcb), 1);
        ASSERT_EQ(ZRComm_InitFromDCB(bridge->hwnd(), sim.slavePath().c_str(), &dcb), COMM_OK);
        ASSERT_TRUE(waitFor([] { return ZRComm_IsConnected(nullptr, nullptr) != 0; }));
        const CommExternalData data{sizeof(CommExternalData), kReplyTimeoutMs, 0, 0, {}};
        ASSERT_EQ(ZRComm_InitExternalData(&data), 1);
        talverin::CurrentDriverQueue().resetRetries(); // as a connection does
        lines();
    }
    // Pumps until done, moving the injected clock by `step` each round.
    bool waitFor(const std::function<bool()>& done, std::uint64_t step = 0)
    {
        return plat::test::waitUntil([&] { return clock.advance(step), plat::qt::PumpAllPending(), done(); }, 20000);
    }
    bool idle() { return waitFor([] { return ZRComm_GetCommandCount(1) == 0; }); }
    // The lines the driver received since the last call.
    std::string lines()
    {
        std::string out;
        for (const auto all = sim.transcript(); seen < all.size(); ++seen)
            if (const std::string s = all[seen].str(); s.rfind("L ", 0) == 0 && s.size() > 2)
                out += s.substr(2) + "|";
        return out;
    }
    bool received(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam = 0) const
    {
        return std::find(messages.begin(), messages.end(), std::tuple{message, wParam, lParam}) != messages.end();
    }
    model::CZRParamClass* node(const char* name) { return store.FindTreeItem(name); }
    model::CZRParamData& record(const char* name) { return *store.FindTreeItem(name)->m_record; }
    QString status() const { return main.statusBar()->currentMessage(); }
    QTreeWidget* tree(const QWidget* w) const { return w->findChild<QTreeWidget*>(QStringLiteral("1000")); }

    static constexpr std::uint32_t kReplyTimeoutMs = 5000;
    plat::ManualClock clock;
    plat::ScopedClock useClock{clock};
    model::CDataFile store;
    QMainWindow main;
    std::unique_ptr<plat::qt::WindowBridge> bridge;
    std::vector<std::tuple<plat::UINT, plat::WPARAM, plat::LPARAM>> messages;
    talverin::CViewParam* view = nullptr;
    std::unique_ptr<talverin::CCommandWnd> window;
    drivesim::DriverSim sim;
    drivesim::DriverModel driver;
    std::size_t seen = 0;
    int marks = 0;
    bool windowChecked = false;
    QString help;
};

TEST_F(ParamWindows, WithoutADriver)
{
    EXPECT_TRUE(view->Control().site()->isEnabled()) << "the control takes input after a load";
    EXPECT_EQ(tree(view)->topLevelItemCount(), 3);
    view->OnNewDocumentStarting();
    EXPECT_EQ(tree(view)->topLevelItemCount(), 0);
    view->OnDataReloaded(false);

    tree(view)->setFocus();
    plat::qt::KeyInput tab;
    tab.vk = plat::qt::VK_TAB;
    EXPECT_FALSE(view->HandleHookKey(tab)) << "the press passes";
    tab.keyData = plat::qt::KEYDATA_RELEASED | plat::qt::KEYDATA_PREVIOUS_DOWN;
    EXPECT_TRUE(view->HandleHookKey(tab));
    EXPECT_TRUE(view->findChild<QTreeView*>(QStringLiteral("1001"))->hasFocus());

    ctl::HelpInfo info{sizeof(ctl::HelpInfo), ctl::HELPINFO_WINDOW, 1003};
    std::int32_t flag = 0;
    view->OnCtrlHelp(&info, &flag);
    EXPECT_EQ(help + QString::number(flag), "_RESOURCE/3_8_1_Parameter_edit_screen.htm#D_PRM_HELP1");
    tree(view)->setFocus();
    QTest::keyClick(tree(view), Qt::Key_F1); // through the control's event sink
    EXPECT_EQ(help, "_RESOURCE/3_8_1_Parameter_edit_screen.htm#D_PRM_TREE");

    // SPD's node letters are "WR", its record's "WRT": the record's decide.
    view->Traffic().OnParamChange(node("SPD"));
    window->Traffic().OnParamChange(node("SPD"));
    EXPECT_EQ(marks, 1) << "the screen marks an edit even when nothing can be sent";
    EXPECT_EQ(view->OnLockStateChanged(1, 0), 1) << "the send failed";

    view->Traffic().OnSetStrChange("  ON \t", &record("SW"));
    window->Traffic().OnSetStrChange(" " + std::string(80, 'x'), &record("MODE"));
    EXPECT_EQ(record("SW").m_currentText + "|" + record("MODE").m_currentText, "ON| " + std::string(62, 'x'));

    window->show();
    EXPECT_EQ(window->windowTitle(), "Command Window");
    EXPECT_EQ(window->minimumSize(), QSize(320, 380));
    // At its narrowest the list still shows the value column beside its scroll bar.
    window->resize(window->minimumSize());
    plat::qt::PumpAllPending();
    ASSERT_EQ(window->size(), window->minimumSize());
    const auto* list = window->findChild<QTreeView*>(QStringLiteral("1001"));
    EXPECT_LE(list->header()->sectionViewportPosition(2) + list->header()->sectionSize(2),
              list->width() - 2 * list->frameWidth() - list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    EXPECT_EQ(tree(window.get())->topLevelItemCount(), 3) << "loaded at creation (1002)";
    window->InitControl();
    EXPECT_EQ(tree(window.get())->topLevelItemCount(), 0);
    window->findChild<QPushButton*>(QStringLiteral("1002"))->click();
    EXPECT_EQ(tree(window.get())->topLevelItemCount(), 3);
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible()) << "Enter ends nothing";
    windowChecked = true;
    window->close();
    EXPECT_FALSE(window->isVisible() || windowChecked) << "hidden, the frame's item unchecked";
    window->show();
    windowChecked = true;
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible() || windowChecked);
}

TEST_F(ParamWindows, ReadsWritesAndTheReadsAWriteCauses)
{
    connect();
    talverin::ParamTraffic& screen = view->Traffic();
    ASSERT_TRUE(driver.setValue("SPD", "120"));
    screen.OnQueryUpdate(node("SPD"));
    EXPECT_EQ(record("SPD").m_status, 1);
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(), "?SPD|");
    EXPECT_EQ(record("SPD").m_currentValue + record("SPD").m_referenceValue, 240);
    // Two reply lines as a driver may send them: the one that continues the name with a number.
    sim.addCommand(drivesim::Match::exact("?TRQ"), drivesim::Program{drivesim::Line("TRQX"), drivesim::Line("TRQ-12.5;%")});
    screen.OnQueryUpdate(node("TRQ"));
    ASSERT_TRUE(idle());
    EXPECT_EQ(record("TRQ").m_currentValue, -12.5);
    EXPECT_EQ(lines(), "?TRQ|");

    // [Indirect] GAIN=SPD, ACC: read again in order, the marks ended by the reads.
    ASSERT_TRUE(driver.setValue("ACC", "75"));
    record("GAIN").m_currentValue = 1.5;
    screen.OnParamChange(node("GAIN"));
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(), "GAIN1.50|?SPD|?ACC|");
    EXPECT_EQ(record("ACC").m_currentValue, 75);
    EXPECT_EQ(record("SPD").m_dependencyMark + record("ACC").m_dependencyMark, 0);

    // MODE=*: every other readable parameter; EXTRA is the tree's own, unknown to the driver.
    record("MODE").m_currentText = "MANUAL";
    screen.OnParamChange(node("MODE"));
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(), "MODEMANUAL|?SPD|?ACC|?GAIN|?DIR|?OFS|?SW|?MM|?EXTRA|?VF|?TRQ|?ALM|");

    // A refused write keeps the value, shows the error and marks the document.
    record("SPD").m_currentValue = 5000;
    marks = 0;
    screen.OnParamChange(node("SPD"));
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(), "SPD5000|");
    EXPECT_EQ(record("SPD").m_status, static_cast<int>(COMM_REPLY_RANGE_OVER));
    EXPECT_EQ(record("SPD").m_referenceValue, 120);
    EXPECT_EQ(status(), "SPD Command Error: Data out of range");
    EXPECT_GE(marks, 2);

    // The command window: the same re-reads, no marks of either kind; a queued row is no error.
    record("GAIN").m_currentValue = 2.25;
    record("SPD").m_dependencyMark = 1;
    marks = 0;
    window->Traffic().OnParamChange(node("GAIN"));
    ASSERT_TRUE(idle());
    EXPECT_EQ(lines(), "GAIN2.25|?SPD|?ACC|");
    EXPECT_EQ(record("SPD").m_dependencyMark, 1);
    EXPECT_EQ(marks, 0);
}

TEST_F(ParamWindows, SilenceIsResumedThreeTimesThenGivenUp)
{
    connect();
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::Silence).always());
    view->Traffic().OnQueryUpdate(node("SPD"));
    using talverin::WM_COMM_ERROR;
    ASSERT_TRUE(waitFor([this] { return received(WM_COMM_ERROR, COMM_EVENT_NO_ECHO, 0x8000) || received(WM_COMM_ERROR, COMM_EVENT_TIMEOUT, 0x8000); },
                        kReplyTimeoutMs / 4));
    EXPECT_EQ(talverin::CurrentDriverQueue().retries(), 4);
    EXPECT_EQ(ZRComm_GetCommandCount(1), 0);
    EXPECT_TRUE(record("SPD").m_status == int(CMD_NO_ECHO) || record("SPD").m_status == int(CMD_REPLY_TIMEOUT));
}

TEST_F(ParamWindows, AbortedReloadedAndLostCommands)
{
    connect();
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::Stall));
    view->Traffic().OnQueryUpdate(node("SPD"));
    view->Traffic().OnQueryUpdate(node("ACC"));
    const CommandId acc = ZRComm_FindCommand(0, "?ACC\r");
    ASSERT_EQ(ZRComm_AbortCommand(acc), COMM_OK);
    ASSERT_TRUE(waitFor([] { return ZRComm_FindCommand(0, "?ACC\r") == 0; })) << "removed once aborted";
    EXPECT_EQ(record("ACC").m_status, int(CMD_ABORTED)) << "no longer queued";

    sim.clearFaults();
    ASSERT_TRUE(idle());

    // Tags that are not the command's node (as after the tree was loaded again): nothing changes.
    ASSERT_TRUE(driver.setValue("SPD", "999"));
    ZRComm_SendCommandText(view->GetSafeHwnd(), "?EXTRA\r", reinterpret_cast<std::intptr_t>(node("ACC")));
    ZRComm_SendCommandText(view->GetSafeHwnd(), "?SPD\r", 12345);
    ASSERT_TRUE(idle());
    EXPECT_EQ(record("SPD").m_currentValue, 100);
    EXPECT_EQ(record("ACC").m_status, int(CMD_ABORTED)) << "the refusal of another command";

    // The line goes while a read waits: leaving the screen does not wait for it.
    sim.injectFault(drivesim::Fault(drivesim::FaultKind::Stall));
    view->Traffic().OnQueryUpdate(node("SPD"));
    sim.hangUp();
    EXPECT_TRUE(view->OnViewSwitch(false, 130));
}

TEST_F(ParamWindows, LeavingCommitsTheOpenEditAndWaitsForIt)
{
    connect();
    windowChecked = true;
    view->Control().ShowTreeItem(0, "Motor");
    auto* list = view->findChild<QTreeView*>(QStringLiteral("1001"));
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0)); // SPD
    QTest::keyClick(list, Qt::Key_F2);
    clock.advance(10);
    plat::qt::PumpAllPending();
    auto* edit = list->findChild<QLineEdit*>(QStringLiteral("1002"));
    ASSERT_TRUE(edit && edit->isVisible());
    edit->setText(QStringLiteral("250"));

    EXPECT_TRUE(view->OnViewSwitch(false, 130));
    EXPECT_EQ(lines(), "SPD250|");
    EXPECT_EQ(record("SPD").m_referenceValue, 250) << "the write was waited for";
    EXPECT_TRUE(!view->isEnabled() && received(talverin::WM_SHOW_COMMAND_WINDOW, 1));
    EXPECT_TRUE(view->OnViewSwitch(true, 131) && view->isEnabled() && received(talverin::WM_SHOW_COMMAND_WINDOW, 0));
}

} // namespace
