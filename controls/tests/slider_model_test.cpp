// The slider's cursors without a window: conversions both ways at the 64-bit limits, the click
// step, and the drag with its events.
#include <zrslider/SliderModel.h>

#include <gtest/gtest.h>

#include <limits>

using zrslider::EventKind;
using zrslider::SliderEvent;
using zrslider::SliderModel;

namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

struct Bar {
    SliderModel model;
    std::vector<SliderEvent> events;
    Bar(int w, int h, bool vertical = false)
    {
        model.setClientSize(w, h);
        model.setVertical(vertical);
        model.setArrow(vertical ? zrslider::kArrowRight : zrslider::kArrowDown);
        model.setSink([this](const SliderEvent& e) { events.push_back(e); });
    }
};

} // namespace

TEST(SliderModelTest, ValueAndPixelBothWays)
{
    struct Case {
        const char* what;
        int w, h;
        bool vertical;
        std::int64_t min, max, value;
        std::int32_t pixel;         // from the value
        std::int64_t mouse;         // then the mouse at this coordinate
        std::int32_t mousePixel;
        std::int64_t mouseValue;
    };
    const Case cases[] = {
        {"220 x 20", 220, 20, false, 0, 100, 50, 110, 150, 150, 70},
        {"mouse at the ends", 220, 20, false, 0, 100, 0, 10, 5, 10, 0},
        {"mouse past the far end", 220, 20, false, 0, 100, 100, 210, 209, 209, 100},
        {"reversed range", 220, 20, false, 100, 0, 25, 160, 60, 60, 75},
        {"full 64-bit range", 220, 20, false, kMin, kMax, 0, 110, 110, 110, -1},
        {"full range, the top", 220, 20, false, kMin, kMax, kMax, 210, 1000, 209, kMax},
        {"beyond the range saturates", 220, 20, false, 0, 1, kMax, std::numeric_limits<std::int32_t>::max(), 0, 10, 0},
        {"vertical below the minimum", 20, 220, true, 0, 100, -50, -110, 110, 110, 50},
        {"vertical reversed", 20, 220, true, 100, 0, 50, 110, 60, 60, 75},
        {"short bar", 20, 20, false, 0, 100, 50, 10, 15, 10, 0},
        {"no window yet", 0, 0, false, 0, 100, 50, 0, 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bar bar(c.w, c.h, c.vertical);
        auto& cursor = bar.model.addCursor(1, c.value, c.min, c.max, 0xFF);
        EXPECT_EQ(cursor.value, c.value);
        EXPECT_EQ(cursor.pixel, c.pixel);
        bar.model.placeByPixel(cursor, c.mouse);
        EXPECT_EQ(cursor.pixel, c.mousePixel);
        EXPECT_EQ(cursor.value, c.mouseValue);
    }
}

TEST(SliderModelTest, EqualEndsPutTheThumbAtZeroAndKeepTheValue)
{
    Bar bar(220, 20);
    auto& c = bar.model.addCursor(1, 50, 0, 100, 0);
    bar.model.changeRange(c, 7, 7, 9);
    EXPECT_EQ(c.pixel, 0);
    EXPECT_EQ(c.value, 50);
    EXPECT_EQ(c.span, 0u);
}

TEST(SliderModelTest, ClickStepsTheOneFreeCursorByATenth)
{
    struct Case {
        const char* what;
        int arrow;
        std::int64_t value;
        int x;
        std::int64_t after;
    };
    const Case cases[] = {
        {"right of the thumb adds", zrslider::kArrowDown, 50, 150, 60},
        {"left of the thumb subtracts", zrslider::kArrowDown, 50, 40, 40},
        {"held at the maximum", zrslider::kArrowDown, 95, 215, 100},
        // The step would carry the thumb past the click: the click point is taken.
        {"past the click adds to the click", zrslider::kArrowDown, 50, 122, 56},
        {"past the click subtracts to the click", zrslider::kArrowDown, 50, 95, 42},
        {"rectangle: its left edge is the point", zrslider::kArrowRectangle, 50, 123, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bar bar(220, 20);
        bar.model.setArrow(c.arrow);
        bar.model.addCursor(0x40000002, 0, 0, 100, 0); // locked: not free
        bar.model.addCursor(1, c.value, 0, 100, 0);
        EXPECT_FALSE(bar.model.press(c.x, 10));
        EXPECT_EQ(bar.model.find(1)->value, c.after);
        ASSERT_EQ(bar.events.size(), 2u);
        EXPECT_EQ(bar.events[0].kind, EventKind::Changing);
        EXPECT_EQ(bar.events[1].kind, EventKind::Changed);
        EXPECT_EQ(bar.events[1].value, c.after);
    }
    Bar two(220, 20);
    two.model.addCursor(1, 50, 0, 100, 0);
    two.model.addCursor(2, 20, 0, 100, 0);
    EXPECT_FALSE(two.model.press(180, 10));
    EXPECT_EQ(two.model.find(1)->value, 50);
    EXPECT_EQ(two.model.find(2)->value, 20);
    EXPECT_TRUE(two.events.empty());

    // Vertical: no bounds, and the full 64-bit span steps without overflow.
    Bar vertical(20, 220, true);
    auto& c = vertical.model.addCursor(1, kMax - 5, kMin, kMax, 0);
    vertical.model.press(10, 5);
    EXPECT_EQ(c.value, kMax);
}

TEST(SliderModelTest, DragEscapeAndRelease)
{
    Bar bar(220, 20);
    bar.model.addCursor(1, 50, 0, 100, 0);
    bar.model.addCursor(2, 80, 0, 100, 0);
    // A press on cursor 1's thumb starts a drag and puts it on top.
    ASSERT_TRUE(bar.model.press(112, 10));
    EXPECT_EQ(bar.model.cursors().back()->id(), 1);
    bar.model.move(150, 10);
    EXPECT_EQ(bar.model.find(1)->value, 70);
    ASSERT_TRUE(bar.model.escape());
    EXPECT_EQ(bar.model.find(1)->value, 50);
    EXPECT_EQ(bar.model.find(1)->pixel, 110);
    EXPECT_TRUE(bar.model.captured());
    EXPECT_FALSE(bar.model.release(150, 10)); // the drag had ended: nothing fires
    ASSERT_EQ(bar.events.size(), 2u);
    EXPECT_EQ(bar.events[1].kind, EventKind::Changing);
    EXPECT_EQ(bar.events[1].value, 50);

    // Press and release in place: no change, no event.
    bar.events.clear();
    ASSERT_TRUE(bar.model.press(110, 10));
    EXPECT_TRUE(bar.model.release(110, 10));
    EXPECT_TRUE(bar.events.empty());

    // A drag to the end fires Changed with the value at the release.
    ASSERT_TRUE(bar.model.press(110, 10));
    bar.model.move(200, 10);
    EXPECT_TRUE(bar.model.release(300, 10));
    ASSERT_EQ(bar.events.size(), 2u);
    EXPECT_EQ(bar.events[1].kind, EventKind::Changed);
    EXPECT_EQ(bar.events[1].value, 100);

    // A locked thumb takes no drag; a zoomed thumb is hit where it is drawn.
    bar.model.showCursor(2, -2);
    EXPECT_FALSE(bar.model.press(170, 10));
    bar.model.find(1)->zoom = 2; // pixel 209 drawn at 418
    EXPECT_FALSE(bar.model.press(210, 10));
    EXPECT_TRUE(bar.model.doubleClick(415, 3, 1));
    EXPECT_EQ(bar.events.back().kind, EventKind::DoubleClick);
    EXPECT_EQ(bar.events.back().idWord, 1u);
}

TEST(SliderModelTest, ShowCursorModes)
{
    Bar bar(220, 20);
    bar.model.addCursor(1, 0, 0, 10, 0);
    bar.model.addCursor(2, 0, 0, 10, 0);
    EXPECT_EQ(bar.model.showCursor(1, -2), 0x40000001u);
    EXPECT_EQ(bar.model.showCursor(1, 0), 0xC0000001u);
    EXPECT_EQ(bar.model.showCursor(1, 5), 0x40000001u);
    EXPECT_EQ(bar.model.cursors().back()->id(), 2); // a locked cursor keeps its place
    EXPECT_EQ(bar.model.showCursor(1, -9), 1u);
    EXPECT_EQ(bar.model.showCursor(1, 5), 1u);
    EXPECT_EQ(bar.model.cursors().back()->id(), 1);
    EXPECT_EQ(bar.model.showCursor(3, 0), 0u);
}
