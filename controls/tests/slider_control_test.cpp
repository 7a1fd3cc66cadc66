// The slider created by class id and called by dispatch id: a mouse drag with each event type,
// the window outline, the position lock and the 64-bit members' addresses.
#include "event_recorder.h"

#include <component/loader.h>
#include <controls/ZRSLIDERMembers.h>

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <limits>

using comp::InvokeKind;
using comp::Variant;
using namespace ctl::zrslider;

namespace {

Variant I4(std::int64_t v) { return Variant::fromI4(static_cast<std::int32_t>(v)); }
Variant Ptr(void* p) { return Variant::fromUnknown(p); }

struct Slider {
    Slider()
    {
        auto made = comp::Loader::instance().create(ctl::kZRSLIDERIdentity.clsid);
        control = std::move(made.control);
        EXPECT_TRUE(control) << made.error;
        control->resetState();
        control->setEventSink(&events);
        window = control->createWidget(&parent);
        parent.resize(220, 20);
        window->setGeometry(0, 0, 220, 20);
    }
    std::int32_t call(comp::DISPID id, std::initializer_list<Variant> args = {})
    {
        auto r = control->invoke(id, InvokeKind::Method, args);
        EXPECT_TRUE(r.ok()) << id;
        return r.value.toI4();
    }
    QWidget parent;
    EventRecorder events;
    std::unique_ptr<comp::Control> control;
    QWidget* window = nullptr;
};

} // namespace

TEST(SliderControlGuiTest, DragFiresTheEventsOfItsEventType)
{
    struct Case {
        int type;
        std::vector<comp::DISPID> fired;
    } cases[] = {
        {0, {OnChanging, OnChanging, OnChanged}},
        {1, {OnChangingI64, OnChangingI64, OnChangedI64}},
        {2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        Slider s;
        s.parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.parent));
        s.call(AddCursor, {I4(0x15), I4(50), I4(0), I4(100), I4(0xFF)});
        s.call(EventType, {I4(c.type)});
        QTest::mousePress(s.window, Qt::LeftButton, {}, QPoint(110, 10));
        QTest::mouseMove(s.window, QPoint(130, 10));
        QTest::mouseMove(s.window, QPoint(150, 10));
        // Neither moved nor sized while dragging.
        const QRect at = s.window->geometry();
        EXPECT_EQ(s.control->filterGeometry(QRect(0, 0, 300, 20), at), at);
        QTest::mouseRelease(s.window, Qt::LeftButton, {}, QPoint(150, 10));
        EXPECT_EQ(s.call(GetValue, {I4(0x15)}), 70);
        std::vector<comp::DISPID> fired;
        for (const auto& e : s.events.events)
            fired.push_back(e.id);
        EXPECT_EQ(fired, c.fired);
        if (!fired.empty()) {
            EXPECT_EQ(s.events.events.back().args[0], I4(0x15));
            if (c.type == 0)
                EXPECT_EQ(s.events.events.back().args[1], I4(70));
            else
                EXPECT_EQ(s.events.events.back().value64, 70);
        }
        // Escape during a drag brings the start value back; the release then fires nothing.
        s.events.events.clear();
        QTest::mousePress(s.window, Qt::LeftButton, {}, QPoint(150, 10));
        QTest::mouseMove(s.window, QPoint(60, 10));
        QTest::keyClick(s.window, Qt::Key_Escape);
        QTest::mouseRelease(s.window, Qt::LeftButton, {}, QPoint(60, 10));
        EXPECT_EQ(s.call(GetValue, {I4(0x15)}), 70);
        EXPECT_EQ(s.events.events.size(), c.type == 2 ? 0u : 2u);
        // The double click names the cursor by its low 16 bits.
        s.events.events.clear();
        QTest::mouseDClick(s.window, Qt::LeftButton, {}, QPoint(150, 4));
        ASSERT_FALSE(s.events.events.empty());
        EXPECT_EQ(s.events.events.back().id, OnSliderDblClk);
        EXPECT_EQ(s.events.events.back().args[3], I4(4));
    }
}

TEST(SliderControlGuiTest, OutlineLockAnd64BitAddresses)
{
    Slider s;
    s.parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.parent));
    // Arrow 32 (the default) on 220 x 20: the track's trapezoid; 255 clears it.
    EXPECT_EQ(s.window->mask(), QRegion(QPolygon({{0, 0}, {219, 0}, {211, 20}, {9, 20}}), Qt::WindingFill));
    ASSERT_TRUE(s.control->invoke(Arrow, InvokeKind::PropertyPut, {I4(255)}).ok());
    s.window->resize(221, 20);
    EXPECT_TRUE(s.window->mask().isEmpty());

    EXPECT_EQ(s.call(LockPosition, {Variant::fromBool(true)}), 0);
    const QRect at = s.window->geometry();
    EXPECT_EQ(s.control->filterGeometry(QRect(3, 3, 300, 20), at), at);
    EXPECT_EQ(s.call(LockPosition, {Variant::fromBool(false)}), 1);
    EXPECT_EQ(s.control->filterGeometry(QRect(3, 3, 300, 20), at), QRect(3, 3, 300, 20));

    std::int64_t lo = std::numeric_limits<std::int64_t>::min();
    std::int64_t hi = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 1'000'000'000'007;
    s.call(AddCursor, {I4(1), I4(0), I4(0), I4(10), I4(0)});
    EXPECT_EQ(s.call(ChangeRangeI64, {I4(1), Ptr(&lo), Ptr(&hi), Ptr(&value)}), 1);
    std::int64_t got = 0;
    EXPECT_EQ(s.call(GetValueI64, {I4(1), Ptr(&got)}), static_cast<std::int32_t>(value & 0xFFFFFFFF));
    EXPECT_EQ(got, value);
    std::int64_t a = 0, b = 0;
    EXPECT_EQ(s.call(GetRangeValueI64, {I4(1), Ptr(&a), Ptr(&b)}), 1);
    EXPECT_EQ(a, lo);
    EXPECT_EQ(b, hi);
    // A null address writes nothing and gives the missing-cursor answer, except for GetValueI64.
    EXPECT_EQ(s.call(ChangeRangeI64, {I4(1), Ptr(nullptr), Ptr(&hi), Ptr(&value)}), 0);
    EXPECT_EQ(s.call(SetValueI64, {I4(1), Ptr(nullptr)}), -1);
    EXPECT_EQ(s.call(SetValue2I64, {I4(1), Ptr(nullptr), I4(3)}), -1);
    EXPECT_EQ(s.call(GetRangeValueI64, {I4(1), Ptr(&a), Ptr(nullptr)}), 0);
    EXPECT_EQ(s.call(GetValueI64, {I4(1), Ptr(nullptr)}), static_cast<std::int32_t>(value & 0xFFFFFFFF));
    EXPECT_EQ(s.call(GetRangeValue, {I4(1), Variant::fromPtrI4(nullptr), Variant::fromPtrI4(nullptr)}), 0);
    EXPECT_EQ(s.call(GetValueI64, {I4(9), Ptr(&got)}), -1);
    // The host may place a thumb; SetValue takes the placement back.
    EXPECT_EQ(s.call(SetGraphPos, {Variant::fromI2(1), I4(77)}), s.call(GetGraphPos, {I4(1)}));
    EXPECT_EQ(s.call(GetGraphPos, {I4(1)}), 77);
    EXPECT_EQ(s.call(ChangeRange, {I4(1), I4(0), I4(100), I4(40)}), 1);
    s.call(SetValue, {I4(1), I4(50)});
    EXPECT_EQ(s.call(GetGraphPos, {I4(1)}), 110);
}
