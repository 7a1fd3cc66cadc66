// The command table's update rules, the popup-menu and drag seams, the pump with window timers on
// the manual clock, clipboard text and the font table.
#include "platform/clock.h"
#include "platform/qt/clipboard.h"
#include "platform/qt/command_table.h"
#include "platform/qt/drag.h"
#include "platform/qt/fonts.h"
#include "platform/qt/popup_menu.h"
#include "platform/qt/pump.h"
#include "platform/qt/window_bridge.h"
#include "platform/qt/window_timers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace plat;
using namespace plat::qt;

TEST(CommandTableGuiTest, DisabledCommandsAreDroppedHoweverTheyArrive)
{
    CommandTable table;
    bool connected = false;
    std::vector<UINT> ran;
    table.add(32845, [&] { ran.push_back(32845); connected = true; }, [&](CommandUpdate& u) { u.Enable(!connected); });
    table.add(32826, [&] { ran.push_back(32826); connected = false; }, [&](CommandUpdate& u) { u.Enable(connected); });
    QWidget frame;
    WindowBridge bridge(&frame, [&](HWND, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        return m == WM_COMMAND && table.handleCommandMessage(w, l) ? 0 : 1;
    });
    PostMessage(bridge.hwnd(), WM_COMMAND, 32826, 0); // disconnect while not connected: dropped
    PostMessage(bridge.hwnd(), WM_COMMAND, 32845, 0);
    PostMessage(bridge.hwnd(), WM_COMMAND, 32845, 0); // second connect: disabled by the first
    PumpAllPending();
    EXPECT_EQ(ran, (std::vector<UINT>{32845}));
    EXPECT_EQ(SendMessage(bridge.hwnd(), WM_COMMAND, 32826, 0), 0);
    EXPECT_EQ(SendMessage(bridge.hwnd(), WM_COMMAND, 32826, 0), 1);
    EXPECT_EQ(SendMessage(bridge.hwnd(), WM_COMMAND, 4242, 0), 1); // unknown
    // A control's notification (code > 1) is not checked against the rule.
    EXPECT_EQ(SendMessage(bridge.hwnd(), WM_COMMAND, (5u << 16) | 32826, 0), 0);
    EXPECT_EQ(ran, (std::vector<UINT>{32845, 32826, 32826}));
}

TEST(CommandTableGuiTest, BoundActionsFollowTheRulesBeforeShowingAndAfterEachCommand)
{
    auto table = std::make_unique<CommandTable>();
    UINT screen = 32775;
    table->addRange(32775, 32779, [&](UINT id) { screen = id; },
                    [&](CommandUpdate& u) { u.SetRadio(u.id() == screen); });
    bool visible = false;
    table->add(32854, [&] { visible = !visible; }, [&](CommandUpdate& u) {
        u.SetCheck(visible);
        u.SetText(visible ? QStringLiteral("Hide tool") : QStringLiteral("Show tool"));
    });
    int selfCalls = 0;
    table->add(500, [&] { ++selfCalls; table->add(500, {}, [](CommandUpdate& u) { u.Enable(false); }); });

    QMenu menu;
    std::vector<QAction*> screens;
    for (UINT id = 32775; id <= 32779; ++id) {
        screens.push_back(menu.addAction(QString::number(id)));
        table->bind(id, screens.back());
    }
    QAction* tool = menu.addAction(QStringLiteral("tool"));
    table->bind(32854, tool);
    QAction* once = menu.addAction(QStringLiteral("once"));
    table->bind(500, once);
    QToolBar bar;
    bar.addAction(tool);
    table->attach(&menu);
    table->attach(&bar);
    EXPECT_TRUE(screens[0]->isChecked());
    EXPECT_EQ(tool->text(), QStringLiteral("Show tool"));

    ASSERT_TRUE(table->execute(32777));
    EXPECT_TRUE(screens[2]->isChecked());
    EXPECT_FALSE(screens[0]->isChecked());
    ASSERT_NE(screens[2]->actionGroup(), nullptr);

    visible = true; // changed behind the table's back: the menu shows the truth
    {
        ScopedPopupMenuRunner look([&](QMenu&, const QPoint&) { return nullptr; });
        EXPECT_EQ(table->trackPopupMenu(menu, {}), 0u);
    }
    EXPECT_TRUE(tool->isChecked());
    EXPECT_EQ(tool->text(), QStringLiteral("Hide tool"));

    once->trigger(); // the handler disables its own command
    EXPECT_EQ(selfCalls, 1);
    EXPECT_FALSE(once->isEnabled());
    EXPECT_FALSE(table->execute(500));
    EXPECT_EQ(selfCalls, 1);

    table.reset(); // actions outlive the table: triggering them reaches nothing
    tool->trigger();
    EXPECT_TRUE(visible);
}

TEST(PopupMenuGuiTest, ScriptedAnswersTriggerTheChosenItemOnly)
{
    QMenu menu(QStringLiteral("ctx"));
    QAction* copy = menu.addAction(QStringLiteral("&Copy\tCtrl+C"));
    QAction* paste = menu.addAction(QStringLiteral("Paste"));
    paste->setEnabled(false);
    QMenu* sub = menu.addMenu(QStringLiteral("More"));
    QAction* deep = sub->addAction(QStringLiteral("Deep"));
    QAction stranger(QStringLiteral("Stranger"));
    int copies = 0, deeps = 0;
    QObject::connect(copy, &QAction::triggered, [&] { ++copies; });
    QObject::connect(deep, &QAction::triggered, [&] { ++deeps; });

    ScopedPopupMenuRunner outer(PickMenuItem(QStringLiteral("Copy")));
    EXPECT_EQ(RunPopupMenu(menu, {10, 10}), copy);
    {
        ScopedPopupMenuRunner inner(PickMenuItem(QStringLiteral("Deep")));
        EXPECT_EQ(RunPopupMenu(menu, {}), deep);
        ScopedPopupMenuRunner bad([&](QMenu&, const QPoint&) { return &stranger; });
        EXPECT_EQ(RunPopupMenu(menu, {}), nullptr);
        ScopedPopupMenuRunner disabled([&](QMenu&, const QPoint&) { return paste; });
        EXPECT_EQ(RunPopupMenu(menu, {}), nullptr);
    }
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(deeps, 1);
    EXPECT_EQ(outer.menus(), (std::vector<QString>{QStringLiteral("Copy|Paste|More")}));
}

TEST(DragGuiTest, ScriptedDropsAnswerWithinTheSupportedActions)
{
    QWidget source;
    auto* drag = new QDrag(&source);
    auto* mime = new QMimeData;
    mime->setText(QStringLiteral("CH1"));
    drag->setMimeData(mime);
    QString dropped;
    ScopedDragRunner runner([&](QDrag& d, Qt::DropActions) {
        dropped = d.mimeData()->text();
        return Qt::MoveAction;
    });
    EXPECT_EQ(RunDrag(*drag, Qt::CopyAction | Qt::MoveAction), Qt::MoveAction);
    EXPECT_EQ(RunDrag(*drag, Qt::CopyAction), Qt::IgnoreAction); // an answer it did not offer
    EXPECT_EQ(dropped, QStringLiteral("CH1"));
    EXPECT_EQ(runner.drags(), 2);
}

TEST(WindowTimerGuiTest, BridgeTimersRunOnTheManualClockAndGoWithTheBridge)
{
    ManualClock clock;
    ScopedClock use(clock);
    QWidget widget;
    std::vector<WPARAM> fired;
    auto bridge = std::make_unique<WindowBridge>(&widget, [&](HWND, UINT m, WPARAM w, LPARAM) -> LRESULT {
        if (m == WM_TIMER) {
            fired.push_back(w);
            if (w == 1000)
                KillTimer(&widget, 1000); // one shot, as the repaint timer is
        }
        return 0;
    });
    EXPECT_EQ(SetTimer(&widget, 1000, 50), 1000u);
    EXPECT_EQ(SetTimer(&widget, 1001, 500), 1001u);
    QWidget noBridge;
    EXPECT_EQ(SetTimer(&noBridge, 1, 10), 0u);
    PumpAllPending();
    EXPECT_TRUE(fired.empty());
    for (int i = 0; i < 4; ++i) {
        clock.advance(500);
        PumpAllPending();
    }
    EXPECT_EQ(fired, (std::vector<WPARAM>{1000, 1001, 1001, 1001, 1001}));
    const HWND hwnd = bridge->hwnd();
    bridge.reset();
    clock.advance(500);
    PumpAllPending();
    EXPECT_EQ(fired.size(), 5u);
    EXPECT_FALSE(KillTimer(hwnd, 1001));
}

TEST(ClipboardGuiTest, TextRoundTripsAndShiftJisBytesAreDecoded)
{
    ASSERT_TRUE(SetClipboardText("CH 1 \xE2\x86\x92 2"));
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(GetClipboardText(), "CH 1 \xE2\x86\x92 2");
    auto* mime = new QMimeData;
    mime->setData(QStringLiteral("text/plain"), QByteArray("\x83\x65\x83\x58\x83\x67 \x81\xA8")); // "テスト →"
    QGuiApplication::clipboard()->setMimeData(mime);
    EXPECT_EQ(GetClipboardText(), "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 \xE2\x86\x92");
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_EQ(GetClipboardText(), "");
}

TEST(FontTableGuiTest, FacesMapOntoInstalledFamiliesAndJapaneseGetsCjk)
{
    const QString gothic = SubstituteFont(QStringLiteral("MS Gothic"), LANG_ENGLISH_US);
    EXPECT_EQ(SubstituteFont(QString::fromUtf8("ＭＳ ゴシック"), LANG_ENGLISH_US), gothic);
    EXPECT_EQ(SubstituteFont(QStringLiteral("ms gothic"), LANG_ENGLISH_US), gothic);
    // Whatever is installed, the family chosen is one that is.
    for (const char* face : {"MS Gothic", "Arial", "Century Gothic", "Wingdings", "No Such Face"}) {
        const QString family = SubstituteFont(QString::fromLatin1(face), LANG_JAPANESE);
        EXPECT_TRUE(QFontDatabase::families().contains(family) || QFontInfo(QFont(family)).family() == family)
            << face << " -> " << family.toStdString();
    }
    if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK JP"))) {
        EXPECT_EQ(SubstituteFont(QStringLiteral("Arial"), LANG_JAPANESE), QStringLiteral("Noto Sans CJK JP"));
    }
    const QFont cell = MakeFont(QStringLiteral("MS Gothic"), 16, 400, false, true, LANG_ENGLISH_US);
    EXPECT_LE(QFontMetrics(cell).height(), 16);
    EXPECT_EQ(MakeFont(QStringLiteral("Arial"), -12, 700, true).pixelSize(), 12);
    EXPECT_EQ(WingdingsToUnicode(0xDF), QString(QChar(0x2190)));
    EXPECT_EQ(WingdingsToUnicode(0xE0), QString(QChar(0x2192)));
    EXPECT_EQ(WingdingsToUnicode('A'), QStringLiteral("A"));
}
