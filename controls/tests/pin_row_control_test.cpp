// The pin row control as the I/O screen drives it, offscreen: the logic button and its event, the
// Change codes, DisableControl, activation by focus, the badge's pixels, help and the height cut.
#include <component/loader.h>
#include <controls/HelpInfo.h>
#include <controls/ZRCN2Members.h>

#include <platform/clock.h>
#include <platform/qt/pump.h>
#include <platform/qt/window_bridge.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <cstring>
#include <functional>

using comp::InvokeKind;
using comp::Variant;
namespace z = ctl::zrcn2;

namespace {

struct Sink : comp::EventSink {
    std::vector<std::pair<comp::DISPID, std::int32_t>> events; // id, first I4 argument (or 0)
    std::function<void(std::span<const Variant>)> onClick;
    std::function<void(std::span<const Variant>)> onHelp;

    void onEvent(comp::Control&, comp::DISPID id, std::span<const Variant> args) override
    {
        events.emplace_back(id, !args.empty() ? args[0].toI4() : 0);
        if (id == z::ABGCClick && onClick)
            onClick(args);
        if (id == z::CtrlHelp && onHelp)
            onHelp(args);
    }
    std::vector<std::int32_t> changes() const
    {
        std::vector<std::int32_t> c;
        for (auto [id, v] : events)
            if (id == z::Change)
                c.push_back(v);
        return c;
    }
    int count(comp::DISPID id) const
    {
        return static_cast<int>(std::count_if(events.begin(), events.end(), [id](auto& e) { return e.first == id; }));
    }
};

struct Row {
    std::unique_ptr<comp::Control> control;
    Sink sink;

    Row(QWidget* parent, int pin, QRect geometry)
    {
        control = std::move(comp::Loader::instance().create(ctl::kZRCN2Identity.clsid).control);
        control->setEventSink(&sink);
        control->createWidget(parent)->setGeometry(geometry);
        put(z::Number, Variant::fromI4(pin));
        call(z::SetData, {Variant::fromString("A"), Variant::fromString("abc"), Variant::fromString("1"),
                          Variant::fromI4(0), Variant::fromBool(false)});
    }
    Variant call(comp::DISPID id, std::initializer_list<Variant> args = {})
    {
        auto r = control->invoke(id, InvokeKind::Method, args);
        EXPECT_TRUE(r.ok()) << id;
        return r.value;
    }
    void put(comp::DISPID id, Variant v) { EXPECT_TRUE(control->invoke(id, InvokeKind::PropertyPut, {v}).ok()); }
    Variant get(comp::DISPID id) { return control->invoke(id, InvokeKind::PropertyGet).value; }
    QWidget* child(int id) { return control->widget()->findChild<QWidget*>(QString::number(id)); }
    QLineEdit* box(int id) { return static_cast<QLineEdit*>(child(id)); }
};

class PinRowGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 100);
        first = std::make_unique<Row>(&window, 3, QRect(0, 0, 300, 30));
        second = std::make_unique<Row>(&window, 28, QRect(0, 30, 300, 30));
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { plat::qt::PumpAllPending(); }

    QWidget window;
    std::unique_ptr<Row> first, second;
};

} // namespace

TEST_F(PinRowGuiTest, LogicButtonTakesTheHostsSettingOrKeepsItsOwn)
{
    auto* button = static_cast<QAbstractButton*>(first->child(999));
    ASSERT_NE(button, nullptr);
    // Refused: Setten stays and no Change.
    first->sink.onClick = [](std::span<const Variant> a) { *a[2].toPtrBool() = 0; };
    button->click();
    EXPECT_EQ(first->get(z::Setten), Variant::fromString("A"));
    EXPECT_TRUE(first->sink.changes().empty());
    // Accepted; a host that fills all 64 bytes without a terminator gives at most 63.
    first->sink.onClick = [](std::span<const Variant> a) {
        EXPECT_EQ(a[0].toString(), "A");
        EXPECT_EQ(*a[2].toPtrBool(), 1);
        std::memset(a[1].toUnknown(), 'B', 64);
    };
    button->click();
    EXPECT_EQ(first->get(z::Setten), Variant::fromString(std::string(63, 'B')));
    EXPECT_EQ(first->sink.changes(), std::vector<std::int32_t>{1});
    EXPECT_EQ(first->call(z::GetModifyFlg), Variant::fromBool(true));
}

TEST_F(PinRowGuiTest, TypingAndLeavingTheBoxesGiveTheirChangeCodes)
{
    QLineEdit* name = first->box(1000);
    QLineEdit* data = first->box(1001);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "abc"); // typed upper case: same function ignoring case
    EXPECT_EQ(name->text(), "ABC");
    EXPECT_EQ(first->call(z::GetModifyFlg), Variant::fromBool(false));
    data->setFocus(); // leaves the function box with another text
    QTest::keyClicks(data, "x");
    EXPECT_EQ(first->call(z::GetModifyFlg), Variant::fromBool(true));
    first->child(999)->setFocus();
    EXPECT_EQ(first->sink.changes(), (std::vector<std::int32_t>{2, 2, 2, 66, 3, 67}));
    EXPECT_EQ(first->get(z::Name), Variant::fromString("ABC"));
    // Text set by the host is kept as given.
    first->put(z::Name, Variant::fromString("lower"));
    EXPECT_EQ(name->text(), "lower");
}

TEST_F(PinRowGuiTest, DisableControlTakesTheRowOutOfTheTabOrder)
{
    first->call(z::DisableControl, {Variant::fromI4(14)});
    for (int id : {999, 1000, 1001})
        EXPECT_FALSE(first->child(id)->isEnabled()) << id;
    EXPECT_FALSE(first->control->widget()->focusPolicy() & Qt::TabFocus);
    first->call(z::DisableControl, {Variant::fromI4(0)});
    for (int id : {999, 1000, 1001})
        EXPECT_TRUE(first->child(id)->isEnabled()) << id;
    EXPECT_TRUE(first->control->widget()->focusPolicy() & Qt::TabFocus);
    // Tab from the value box leaves the row for the next one, which starts at its button.
    first->child(1001)->setFocus();
    QTest::keyClick(first->child(1001), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), second->child(999));
}

TEST_F(PinRowGuiTest, ActivationFollowsTheFocusWithinTheWindowOnly)
{
    first->child(1001)->setFocus();
    EXPECT_EQ(first->sink.count(z::ShowToolBars), 1);
    // Another window takes the focus: nothing.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(first->sink.count(z::ShowToolBars), 1);
    EXPECT_TRUE(first->sink.changes().empty());
    // The next row in the same window: the first is deactivated (changed: 255), the second activated.
    QTest::keyClicks(first->box(1001), "7");
    second->child(999)->setFocus();
    EXPECT_EQ(first->sink.changes(), (std::vector<std::int32_t>{3, 67, 255}));
    EXPECT_EQ(second->sink.count(z::ShowToolBars), 1);
    first->child(999)->setFocus();
    EXPECT_EQ(second->sink.changes(), std::vector<std::int32_t>{0});
}

TEST_F(PinRowGuiTest, BadgePixelsAndRefusedFunctionText)
{
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);
    first->put(z::NumberBackColor, Variant::fromI4(0xF0F0F0));
    const QPoint inBadge(5, 14); // left inside the circle, away from the number
    EXPECT_EQ(first->control->widget()->grab().toImage().pixelColor(inBadge), QColor(0xF0, 0xF0, 0xF0));
    first->put(z::Data, Variant::fromString("2")); // changed: blue
    EXPECT_EQ(first->control->widget()->grab().toImage().pixelColor(inBadge), QColor(96, 96, 255));
    first->call(z::SetStatus, {Variant::fromI4(static_cast<std::int32_t>(0x80010000u))});
    // The boxes take the new colours with the repaint timer.
    clock.advance(49);
    plat::qt::PumpAllPending();
    EXPECT_EQ(first->box(1000)->palette().color(QPalette::Text), QColor(0, 0, 0));
    clock.advance(1);
    plat::qt::PumpAllPending();
    EXPECT_EQ(first->box(1000)->palette().color(QPalette::Text), QColor(255, 96, 96));
    EXPECT_EQ(first->box(1001)->palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_EQ(first->call(z::GetState), Variant::fromI4(static_cast<std::int32_t>(0x80010000u)));
}

TEST_F(PinRowGuiTest, ExportNeedsRoomForTheTerminatingZero)
{
    first->call(z::Import, {Variant::fromString("30,2,0,5,1,1f"), Variant::fromBool(true)});
    EXPECT_EQ(first->box(1000)->text(), "5");
    char buffer[16];
    auto exportInto = [&](void* b, int size) {
        std::memset(buffer, '#', sizeof buffer);
        return first->call(z::Export, {Variant::fromUnknown(b), Variant::fromI4(size), Variant::fromBool(true)}).toI4();
    };
    EXPECT_EQ(exportInto(buffer, 13), 0x40000011); // "30,2,P,5,1,1f" is 13 long
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(exportInto(nullptr, 64), 0x40000011);
    EXPECT_EQ(exportInto(buffer, 14), 0);
    EXPECT_STREQ(buffer, "30,2,P,5,1,1f");
    // WM_USER+1 repaints and answers 1.
    EXPECT_EQ(plat::SendMessage(plat::qt::HandleFromObject(first->control->widget()), plat::WM_USER + 1, 0, 0), 1);
}

TEST_F(PinRowGuiTest, HelpAndContextMenusNameTheChild)
{
    int helpId = -1;
    first->sink.onHelp = [&](std::span<const Variant> a) {
        helpId = static_cast<ctl::HelpInfo*>(a[0].toUnknown())->iCtrlId;
        *a[1].toPtrBool() = 1;
    };
    first->child(1000)->setFocus();
    QTest::keyClick(first->child(1000), Qt::Key_F1);
    EXPECT_EQ(helpId, 1000);
    QTest::mouseClick(first->child(1001), Qt::RightButton);
    QTest::keyClick(first->child(1000), Qt::Key_F10, Qt::ShiftModifier);
    plat::qt::PumpAllPending();
    std::vector<std::int32_t> fields;
    for (auto [id, v] : first->sink.events)
        if (id == z::RButtonDown)
            fields.push_back(v);
    EXPECT_EQ(fields, (std::vector<std::int32_t>{1001, 1000}));
    // The height is cut to a multiple of 3; the width is kept.
    EXPECT_EQ(first->control->filterGeometry(QRect(0, 0, 300, 31), QRect()), QRect(0, 0, 300, 30));
}
