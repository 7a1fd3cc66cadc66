#include "zrslider/SliderLayout.h"

#include <algorithm>
#include <cstdio>

namespace zrslider {

namespace {

// Drawing coordinates stay far inside what the painter takes.
int clampCoordinate(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, -(1 << 24), 1 << 24));
}

std::uint32_t perComponent(std::uint32_t color, int (*f)(int))
{
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= static_cast<std::uint32_t>(std::min(255, f(static_cast<int>((color >> shift) & 0xFF)))) << shift;
    return out;
}

bool fitsDirection(bool vertical, int arrow)
{
    return vertical ? (arrow == kArrowRight || arrow == kArrowLeft) : (arrow == kArrowDown || arrow == kArrowUp);
}

} // namespace

Shades ShadesOf(std::uint32_t backColor)
{
    Shades s{};
    s.dark = perComponent(backColor, [](int c) { return c - c / 4; });
    s.darkest = perComponent(backColor, [](int c) { return c / 3; });
    s.light = perComponent(backColor, [](int c) { return c + c / 4; });
    const auto grey = static_cast<std::uint32_t>(std::min(255, static_cast<int>(backColor & 0xFF) + 32));
    s.grey = grey | (grey << 8) | (grey << 16);
    return s;
}

std::optional<QPolygon> RegionPolygon(int w, int h, bool vertical, int arrow)
{
    if (arrow == kArrowRectangle || !fitsDirection(vertical, arrow))
        return std::nullopt;
    const int half = (vertical ? w : h) / 2;
    QPolygon p;
    if (!vertical && arrow == kArrowDown)
        p << QPoint(0, 0) << QPoint(w - 1, 0) << QPoint(w - half + 1, h) << QPoint(half - 1, h);
    else if (!vertical)
        p << QPoint(half - 1, 0) << QPoint(w - half + 1, 0) << QPoint(w - 1, h) << QPoint(0, h);
    else if (arrow == kArrowLeft)
        p << QPoint(w, 0) << QPoint(w, h) << QPoint(0, h - half) << QPoint(0, half / 2);
    else
        p << QPoint(0, 0) << QPoint(w, half) << QPoint(w, h - half) << QPoint(0, h);
    return p;
}

ThumbShape LayoutThumb(const SliderModel& model, CursorRecord& c)
{
    const int w = model.width();
    const int h = model.height();
    const int half = model.halfSize();
    const bool vertical = model.vertical();
    const int arrow = model.arrow();
    const int a = clampCoordinate(c.drawnPoint());
    ThumbShape s;
    s.point = a;
    c.clipSide = 0;
    if (fitsDirection(vertical, arrow)) {
        switch (arrow) {
        case kArrowDown: s.triangle << QPoint(a, h - 1) << QPoint(a - half, 0) << QPoint(a + half, 0); break;
        case kArrowUp: s.triangle << QPoint(a, 0) << QPoint(a - half, h - 1) << QPoint(a + half, h - 1); break;
        case kArrowRight: s.triangle << QPoint(0, a - half) << QPoint(w - 1, a) << QPoint(0, a + half); break;
        default: s.triangle << QPoint(w - 1, a - half) << QPoint(0, a) << QPoint(w - 1, a + half); break;
        }
        return s;
    }
    s.rectangle = true;
    int from = a - half / 2;
    int to = a + half / 2;
    if (!vertical && model.enabled() && !c.locked()) {
        const int size = to - from;
        if (from < 0) {
            from = 0;
            to = size;
            c.clipSide = -1;
        } else if (to > w - 1) {
            to = w - 1;
            from = to - size;
            c.clipSide = 1;
        }
    }
    s.point = (from + to) / 2;
    // QRect's right and bottom are inclusive; the far edge - 1 is the last pixel.
    s.rect = vertical ? QRect(QPoint(0, from), QPoint(w - 1, to)) : QRect(QPoint(from, 0), QPoint(to, h - 1));
    return s;
}

Groove GrooveOf(int w, int h, bool vertical, int half)
{
    if (!vertical) {
        const int top = h / 2 - h / 5;
        const int bottom = h / 2 + h / 5;
        return {QPoint(half, bottom), QPoint(half, top), QPoint(w - half - 1, top), QPoint(w - half - 1, bottom)};
    }
    const int left = w / 2 - w / 5;
    const int right = w / 2 + w / 5;
    return {QPoint(left, h - half - 1), QPoint(left, half), QPoint(right, half), QPoint(right, h - half - 1)};
}

QRect RangeFill(const ThumbShape& first, const ThumbShape& second, int h)
{
    const int x1 = std::max(0, static_cast<int>(first.point));
    const int x2 = std::max(0, static_cast<int>(second.point));
    return QRect(QPoint(std::min(x1, x2), h / 2 - h / 5 + 1), QPoint(std::max(x1, x2), h / 2 + h / 5 - 1));
}

QRect RangeTextRect(const ThumbShape& first, const ThumbShape& second, int h, int half)
{
    const int x1 = static_cast<int>(first.point) + (first.rectangle ? half / 2 : 0);
    const int x2 = static_cast<int>(second.point) + (second.rectangle ? half / 2 : 0);
    return QRect(QPoint(std::min(x1, x2), 0), QPoint(std::max(x1, x2), h - 1));
}

std::string RangeDistanceText(std::int64_t first, std::int64_t second)
{
    const auto difference = static_cast<double>(static_cast<__int128>(second) - first);
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", difference * 0.1);
    return text;
}

} // namespace zrslider
