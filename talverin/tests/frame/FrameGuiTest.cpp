// The main frame with stand-in screens: switching by command, Ctrl+n and the keypad, the veto and
// the switch guard, menu merging, posted commands its rules drop, a screen that cannot be made,
// the status pane, and the placements and bar layout across a restart.
#include "FrameFixture.h"

#include "common/CommandIds.h"
#include "common/WidgetHelpers.h"
#include "frame/CCommandBar.h"
#include "frame/CConnectionBar.h"
#include "frame/FrameCommandRules.h"
#include "screens/CViewBase.h"
#include "screens/terminal/CTerminalDlg.h"

#include <platform/messages.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/virtual_keys.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QtTest/QTest>

using namespace talverin;

namespace {

// A screen whose answers the test sets: veto, capture state, merged menus.
class StandIn : public CViewBase {
public:
    explicit StandIn(int id, QWidget* parent) : CViewBase(id, parent)
    {
        if (id == VIEW_OSCILLO) {
            m_function = new QMenu(QStringLiteral("Function(&W)"), this);
            m_execute = new QMenu(QStringLiteral("Execute(&S)"), this);
            m_popup = new QMenu(QStringLiteral("Export"), this);
        } else if (id == VIEW_TERMINAL) {
            m_popup = new QMenu(QStringLiteral("Terminal popup"), this);
            m_items = {new QAction(QStringLiteral("Clear"), this), new QAction(QStringLiteral("Save record"), this)};
        }
    }
    bool OnViewSwitch(bool entered, int) override { return entered || !m_veto; }
    CapturePhase CaptureState() const override { return m_capture; }
    bool HandleHookKey(const plat::qt::KeyInput& key) override
    {
        m_keys.push_back({key.vk, key.down});
        return false;
    }
    QMenu* FunctionMenu() const override { return m_function; }
    QMenu* ExecuteMenu() const override { return m_execute; }
    QMenu* ExportMenu() const override { return ViewId() == VIEW_OSCILLO ? m_popup : nullptr; }
    QMenu* PopupMenu() const override { return m_popup; }
    const QList<QAction*>& MenuActions() const override { return m_items; }

    bool m_veto = false;
    CapturePhase m_capture = CapturePhase::Initial;
    std::vector<std::pair<plat::UINT, bool>> m_keys; // what the frame's hook offered: key, down

private:
    QMenu* m_function = nullptr;
    QMenu* m_execute = nullptr;
    QMenu* m_popup = nullptr;
    QList<QAction*> m_items;
};

class FrameGui : public apptest::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_TRUE(Start());
        const std::pair<int, plat::UINT> screens[] = {{VIEW_OSCILLO, ID_VIEW_OSCILLO}, {VIEW_IO, ID_VIEW_IO},
                                                      {VIEW_PARAM, ID_VIEW_PARAM},     {VIEW_CHANNEL, ID_VIEW_CHANNEL},
                                                      {VIEW_TERMINAL, ID_VIEW_TERMINAL}};
        for (const auto& [id, command] : screens)
            frame().Screens().Register({id, QStringLiteral("Screen %1").arg(id), command, 0,
                                        [id = id](QWidget* p) -> CViewBase* { return new StandIn(id, p); }});
    }
    // A key pressed with Ctrl, offered to the hook chain as the frame's; true when swallowed.
    bool Key(plat::UINT vk, QObject* target = nullptr)
    {
        plat::qt::KeyInput key;
        key.vk = vk;
        key.modifiers = Qt::ControlModifier;
        key.target = target ? target : &frame();
        return plat::qt::KeyboardHookChain::instance().offer(key);
    }
    int current() { return int(plat::SendMessage(frame().GetSafeHwnd(), WM_GET_CURRENT_VIEW, 0, 0)); }
    StandIn* view(int id) { return static_cast<StandIn*>(frame().GetView(id)); }
    void Post(plat::UINT id)
    {
        plat::PostMessage(frame().GetSafeHwnd(), plat::WM_COMMAND, id, 0);
        plat::qt::PumpAllPending();
    }
    // The checked screen commands of the View menu.
    std::vector<plat::UINT> Checked()
    {
        frame().UpdateBars();
        std::vector<plat::UINT> ids;
        for (QAction* a : frame().ViewMenu()->actions())
            if (a->isChecked() && plat::qt::CommandTable::commandOf(a) >= ID_VIEW_OSCILLO &&
                plat::qt::CommandTable::commandOf(a) <= ID_VIEW_TERMINAL)
                ids.push_back(plat::qt::CommandTable::commandOf(a));
        return ids;
    }
    QStringList Bar()
    {
        QStringList titles;
        for (QAction* a : frame().menuBar()->actions())
            titles << a->text();
        return titles;
    }
};

} // namespace

TEST_F(FrameGui, SwitchesByCommandCtrlDigitAndKeypad)
{
    EXPECT_EQ(current(), VIEW_BLANK) << "without an oscilloscope the blank screen stays";
    EXPECT_EQ(Checked(), std::vector<plat::UINT>{});
    struct Case {
        plat::UINT via; // a command, or a key with Ctrl
        bool keypad;
        int view;
    } cases[] = {{ID_VIEW_PARAM, false, VIEW_PARAM}, {'2', false, VIEW_IO},  {'4', true, VIEW_CHANNEL},
                 {ID_VIEW_TERMINAL, false, VIEW_TERMINAL}, {'1', false, VIEW_OSCILLO}, {'3', true, VIEW_PARAM}};
    for (const Case& c : cases) {
        if (c.via > 0xFF) {
            Post(c.via);
        } else {
            EXPECT_TRUE(Key(c.keypad ? plat::qt::VK_NUMPAD(int(c.via - '0')) : c.via)) << "swallowed";
            plat::qt::PumpAllPending();
        }
        EXPECT_EQ(current(), c.view) << c.via;
        EXPECT_TRUE(app().Caption().contains(QStringLiteral("Screen %1").arg(c.view))) << app().Caption().toStdString();
        EXPECT_EQ(Checked(), std::vector<plat::UINT>{frame().Screens().Find(c.view)->command});
    }
    // Beside the oscilloscope screen the terminal window's Ctrl+C and Ctrl+V are its Copy and
    // Paste; its other keys are its own.
    Post(ID_VIEW_OSCILLO);
    ASSERT_TRUE(frame().TerminalWindow());
    EXPECT_TRUE(Key('V', frame().TerminalWindow()));
    EXPECT_FALSE(Key('A', frame().TerminalWindow()));
    Post(ID_VIEW_PARAM);
    // With the transfer dialog open the hook passes the key on and nothing switches.
    QWidget transfer;
    frame().SetTransferDialog(&transfer);
    EXPECT_FALSE(Key('2'));
    plat::qt::PumpAllPending();
    EXPECT_EQ(current(), VIEW_PARAM);
}

// Typed keys reach the current screen's filter through the frame's hook alone, each press and
// release once; not a screen that is not current, nor a key aimed outside the frame's window.
TEST_F(FrameGui, TypedKeysReachTheCurrentScreensFilterOnce)
{
    Post(ID_VIEW_IO);
    Post(ID_VIEW_PARAM);
    auto* edit = new QLineEdit(view(VIEW_PARAM));
    edit->show();
    frame().show();
    QApplication::setActiveWindow(&frame());
    QLineEdit elsewhere;
    const std::vector<std::pair<plat::UINT, bool>> pressAndRelease = {{'A', true}, {'A', false}};
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(view(VIEW_PARAM)->m_keys, pressAndRelease);
    EXPECT_TRUE(view(VIEW_IO)->m_keys.empty());
    QTest::keyClick(&elsewhere, Qt::Key_A);
    EXPECT_EQ(view(VIEW_PARAM)->m_keys, pressAndRelease) << "another window's key";
    EXPECT_EQ(edit->text(), "a") << "passed on";
}

TEST_F(FrameGui, VetoAndRulesKeepTheScreenAndReleaseTheGuard)
{
    Post(ID_VIEW_IO);
    const QStringList bar = Bar();
    view(VIEW_IO)->m_veto = true;
    Post(ID_VIEW_PARAM);
    EXPECT_EQ(current(), VIEW_IO);
    EXPECT_EQ(Checked(), std::vector<plat::UINT>{ID_VIEW_IO}) << "the old screen stays checked";
    EXPECT_EQ(Bar(), bar);
    EXPECT_FALSE(app().m_switchGuard.IsBusy());
    view(VIEW_IO)->m_veto = false;
    Post(ID_VIEW_PARAM);
    EXPECT_EQ(current(), VIEW_PARAM) << "the next switch works";

    // Posted screen commands that the rules disable are dropped.
    Post(ID_VIEW_OSCILLO);
    view(VIEW_OSCILLO)->m_capture = CapturePhase::Starting;
    Post(ID_VIEW_PARAM);
    EXPECT_EQ(current(), VIEW_OSCILLO) << "a capture runs";
    view(VIEW_OSCILLO)->m_capture = CapturePhase::NotConnected;
    frame().Connection().m_connectionPhase = talverin::Phase::EnteringTerminal;
    Post(ID_VIEW_PARAM);
    EXPECT_EQ(current(), VIEW_OSCILLO) << "a terminal step runs";
    frame().Connection().m_connectionPhase = talverin::Phase::Idle;
    {
        auto hold = app().m_switchGuard.TryTake();
        Post(ID_VIEW_PARAM);
        EXPECT_EQ(current(), VIEW_OSCILLO) << "the guard is held";
    }

    // A screen that cannot be made: a box names it and the screen stays.
    frame().Screens().Register({VIEW_CHANNEL, QStringLiteral("Broken"), ID_VIEW_CHANNEL, 0, [](QWidget*) {
                                    return static_cast<CViewBase*>(nullptr);
                                }});
    m_boxes.answer(plat::IDOK);
    Post(ID_VIEW_CHANNEL);
    EXPECT_EQ(m_boxes.last().text, "The screen \"Broken\" could not be opened.");
    EXPECT_EQ(current(), VIEW_OSCILLO);
    Post(ID_VIEW_PARAM);
    EXPECT_EQ(current(), VIEW_PARAM);
}

TEST_F(FrameGui, MergesAndTakesOutEachScreensMenus)
{
    const QStringList base = Bar();
    auto fileTitles = [&] {
        QStringList titles;
        for (QAction* a : frame().FileMenu()->actions())
            titles << a->text();
        return titles;
    };
    const int printAt = int(frame().FileMenu()->actions().indexOf(frame().PrintItem()));
    EXPECT_EQ(frame().EditMenu()->actions().size(), 5);

    Post(ID_VIEW_OSCILLO);
    QStringList withScope = base;
    withScope.insert(2, QStringLiteral("Function(&W)"));
    withScope.insert(3, QStringLiteral("Execute(&S)"));
    EXPECT_EQ(Bar(), withScope);
    EXPECT_EQ(fileTitles().at(printAt), QStringLiteral("Screen 130")) << "captioned with the screen's title";
    EXPECT_TRUE(frame().FileMenu()->actions().at(printAt + 1)->isSeparator());

    Post(ID_VIEW_TERMINAL);
    EXPECT_EQ(Bar(), base);
    EXPECT_EQ(fileTitles().at(printAt), QStringLiteral("Screen 183"));
    EXPECT_EQ(view(VIEW_OSCILLO)->ExportMenu()->title(), QStringLiteral("Export")) << "its own title back";
    ASSERT_EQ(frame().EditMenu()->actions().size(), 7);
    EXPECT_EQ(frame().EditMenu()->actions().at(5)->text(), QStringLiteral("Clear"));

    Post(ID_VIEW_PARAM);
    EXPECT_EQ(Bar(), base);
    EXPECT_EQ(frame().EditMenu()->actions().size(), 5);
    EXPECT_EQ(frame().FileMenu()->actions().indexOf(frame().PrintItem()), printAt);
}

TEST_F(FrameGui, StatusPaneTakesTheRecordsText)
{
    SetStatusText(nullptr, "Command Error");
    EXPECT_EQ(frame().MessagePane()->text(), "Command Error");
    SetStatusText(nullptr, static_cast<const char*>(nullptr));
    EXPECT_EQ(frame().MessagePane()->text(), "For Help, press F1");

    // Empty text, notice taken back, failure over: the idle text; not so a text b set since (a pin error).
    QWidget a, b;
    const QString idle = "For Help, press F1";
    const std::pair<std::function<void()>, QString> steps[] = {
        {[&] { SetStatusText(&a, QString()); }, idle}, {[&] { SetStatusText(&a, "Low"); }, "Low"},
        {[&] { ClearStatusText(&b, "No"); }, "Low"}, {[&] { ClearStatusText(&b, "Low"); }, idle},
        {[&] { SetStatusError(&a, "No"); }, "No"}, {[&] { ClearStatusError(&b); }, "No"}, {[&] { ClearStatusError(&a); }, idle},
        {[&] { SetStatusError(&a, "No"); }, "No"}, {[&] { SetStatusText(&b, "Pin"); }, "Pin"}, {[&] { ClearStatusError(&a); }, "Pin"}};
    for (const auto& [step, shown] : steps) {
        step();
        EXPECT_EQ(frame().MessagePane()->text(), shown);
    }
}

TEST_F(FrameGui, PlacementsAndBarLayoutSurviveARestart)
{
    // Nine numbers: not used (710 x 526, centred); a narrow frame opens 710 wide.
    SetSetting("Setting", "WinPos", "0,1,-1,-1,-1,-1,100,100,500");
    ASSERT_TRUE(Restart());
    EXPECT_EQ(frame().size(), QSize(710, 526));
    SetSetting("Setting", "WinPos", "0,1,-1,-1,-1,-1,10,20,300,400");
    SetSetting("DockState-Summary", "QtState", "corrupt;");
    SetSetting("DockState-Summary", "Bars", "3");
    ASSERT_TRUE(Restart());
    EXPECT_EQ(frame().geometry().topLeft(), QPoint(10, 20));
    EXPECT_EQ(frame().width(), 710);

    frame().show();
    plat::qt::PumpAllPending(); // the command bar on a row of its own, every button in view
    EXPECT_GT(frame().CommandBar()->y(), frame().ConnectionBar()->y());
    for (int i = 0; i < CCommandBar::kButtonCount; ++i) {
        const OwnerDrawButton& b = *frame().CommandBar()->Button(i);
        EXPECT_TRUE(b.isVisible() && b.width() > b.fontMetrics().horizontalAdvance(b.text())) << i;
    }
    frame().removeToolBarBreak(frame().CommandBar()); // the user moves it up
    frame().Commands().execute(ID_VIEW_CONNECTION_BAR);
    EXPECT_TRUE(frame().ConnectionBar()->isHidden());
    frame().close();
    plat::qt::PumpAllPending();
    const auto saved = ParseWindowPlacement(plat::profile::getString(Settings(), "Setting", "WinPos"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->showCmd, 1);
    EXPECT_TRUE(ParseWindowPlacement(plat::profile::getString(Settings(), "Setting", "TerminalWindow")));
    EXPECT_EQ(plat::profile::getString(Settings(), "DockState-Summary", "Bars"), "3") << "other keys are left";

    ASSERT_TRUE(Restart());
    frame().show();
    plat::qt::PumpAllPending();
    EXPECT_TRUE(frame().ConnectionBar()->isHidden());
    EXPECT_EQ(frame().Commands().state(ID_VIEW_CONNECTION_BAR).checked(), false);
    EXPECT_EQ(frame().CommandBar()->y(), frame().ToolBar()->y()) << "the saved layout wins";
}
