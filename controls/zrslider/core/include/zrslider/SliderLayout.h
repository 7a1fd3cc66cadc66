// Where the slider draws: the window's outline polygon, the thumbs (a rectangular thumb that
// sticks out is pushed back and its clip side recorded), the groove, the range fill and the
// distance text's rectangle, and the shades of the back colour. Pure geometry, no painting.
#pragma once

#include "zrslider/SliderModel.h"

#include <QPolygon>
#include <QRect>

#include <cstdint>
#include <optional>
#include <string>

namespace zrslider {

// Each component: dark = c - c/4, darkest = c/3, light = c + c/4 (at most 255); grey, for locked
// thumbs and a disabled control, is the red component + 32 (at most 255) in all three.
struct Shades {
    std::uint32_t dark, darkest, light, grey;
};
Shades ShadesOf(std::uint32_t backColor);

// The window's outline (winding fill), or nothing: Arrow 255 and shapes that do not fit the
// direction have no outline.
std::optional<QPolygon> RegionPolygon(int width, int height, bool vertical, int arrow);

struct ThumbShape {
    bool rectangle = false;
    QPolygon triangle;
    QRect rect;
    std::int64_t point = 0; // the thumb point: the tip, or the rectangle's centre
};
// The thumb of `c` at zoom x pixel + offset. On a horizontal bar a rectangular thumb of an
// enabled control and an unlocked cursor that sticks out is pushed back inside; its clip side
// is set (0 when it fits).
ThumbShape LayoutThumb(const SliderModel& model, CursorRecord& c);

// The groove's corners: dark from `a` up to `b` and across to `c`, light down to `d` and back to `a`.
struct Groove {
    QPoint a, b, c, d;
};
Groove GrooveOf(int width, int height, bool vertical, int half);

// The range fill between two thumbs on a horizontal bar (negative x becomes 0).
QRect RangeFill(const ThumbShape& first, const ThumbShape& second, int height);
// The rectangle of the distance text: from the first thumb point to the second (rectangular
// thumbs: + h/2 each), the full height.
QRect RangeTextRect(const ThumbShape& first, const ThumbShape& second, int height, int half);
// (second value - first value) x 0.1 with one decimal.
std::string RangeDistanceText(std::int64_t first, std::int64_t second);

} // namespace zrslider
