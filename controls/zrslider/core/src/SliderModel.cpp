#include "zrslider/SliderModel.h"

#include <algorithm>
#include <limits>

namespace zrslider {

namespace {

using i128 = __int128;

std::int64_t saturate64(i128 v)
{
    constexpr i128 lo = std::numeric_limits<std::int64_t>::min();
    constexpr i128 hi = std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(std::clamp(v, lo, hi));
}

std::int32_t saturate32(i128 v)
{
    constexpr i128 lo = std::numeric_limits<std::int32_t>::min();
    constexpr i128 hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

std::uint64_t spanOf(std::int64_t minimum, std::int64_t maximum)
{
    // Unsigned: the full 64-bit range does not fit a signed difference.
    return maximum >= minimum ? static_cast<std::uint64_t>(maximum) - static_cast<std::uint64_t>(minimum)
                              : static_cast<std::uint64_t>(minimum) - static_cast<std::uint64_t>(maximum);
}

} // namespace

void SliderModel::setClientSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

int SliderModel::halfSize() const
{
    return (m_vertical ? m_width : m_height) / 2;
}

int SliderModel::barLength() const
{
    return m_vertical ? m_height : m_width;
}

CursorRecord* SliderModel::find(std::int64_t id) const
{
    const auto low = static_cast<std::uint16_t>(id & 0xFFFF);
    for (const auto& c : m_cursors)
        if (c->id() == low)
            return c.get();
    return nullptr;
}

CursorRecord& SliderModel::addCursor(std::uint32_t idWord, std::int64_t value, std::int64_t minimum,
                                     std::int64_t maximum, std::uint32_t color)
{
    CursorRecord* c = find(idWord);
    if (!c) {
        m_cursors.push_back(std::make_unique<CursorRecord>());
        c = m_cursors.back().get();
    }
    c->idWord = idWord;
    c->maximum = maximum;
    c->minimum = minimum;
    c->span = spanOf(minimum, maximum);
    c->color = color;
    c->offset = 0;
    c->zoom = 1;
    c->clipSide = 0;
    c->explicitPosition = 0;
    c->twoArgument = 0;
    placeByValue(*c, value);
    return *c;
}

void SliderModel::moveToTop(CursorRecord* c)
{
    auto it = std::find_if(m_cursors.begin(), m_cursors.end(), [c](const auto& p) { return p.get() == c; });
    if (it != m_cursors.end())
        std::rotate(it, it + 1, m_cursors.end());
}

std::uint32_t SliderModel::showCursor(std::int64_t id, int mode)
{
    CursorRecord* c = find(id);
    if (!c)
        return 0;
    switch (mode) {
    case 0: c->idWord |= kHiddenBit; break;
    case 5:
        if (c->locked()) {
            c->idWord &= ~kHiddenBit;
        } else {
            c->idWord &= ~(kHiddenBit | kLockedBit);
            moveToTop(c);
        }
        break;
    case -9: c->idWord &= ~(kHiddenBit | kLockedBit); break;
    case -2: c->idWord |= kLockedBit; break;
    default: break; // -1 and anything else: only the answer
    }
    return c->idWord;
}

void SliderModel::changeRange(CursorRecord& c, std::int64_t minimum, std::int64_t maximum, std::int64_t value) const
{
    c.minimum = minimum;
    c.maximum = maximum;
    c.span = spanOf(minimum, maximum);
    placeByValue(c, value);
}

void SliderModel::refreshPixels() const
{
    for (const auto& c : m_cursors)
        if (!c->explicitPosition && !c->twoArgument)
            placeByValue(*c, c->value);
}

void SliderModel::clearExplicitPositions() const
{
    for (const auto& c : m_cursors)
        c->explicitPosition = 0;
}

void SliderModel::placeByValue(CursorRecord& c, std::int64_t v) const
{
    if (c.maximum == c.minimum) {
        c.pixel = 0;
        return;
    }
    c.value = v;
    const int h = halfSize();
    const i128 run = static_cast<i128>(barLength()) - 2 * h;
    if (run <= 0) {
        c.pixel = h;
        return;
    }
    const i128 fromMin = static_cast<i128>(v) - c.minimum;
    if (!m_vertical) {
        c.pixel = saturate32(h + run * fromMin / (static_cast<i128>(c.maximum) - c.minimum));
        return;
    }
    const i128 pixel = h + run * (fromMin < 0 ? -fromMin : fromMin) / static_cast<i128>(c.span);
    const bool beyondMinimum = c.maximum > c.minimum ? v < c.minimum : v > c.minimum;
    c.pixel = saturate32(beyondMinimum ? -pixel : pixel);
}

void SliderModel::placeByPixel(CursorRecord& c, std::int64_t p) const
{
    const int h = halfSize();
    const int length = barLength();
    const i128 run = static_cast<i128>(length) - 2 * h;
    if (run <= 0 || p <= h) {
        c.pixel = h;
        c.value = c.minimum;
    } else if (p + h >= length - 1) {
        c.pixel = length - h - 1;
        c.value = c.maximum;
    } else {
        c.pixel = static_cast<std::int32_t>(p);
        const i128 t = (static_cast<i128>(p) - h) * static_cast<i128>(c.span) / run;
        c.value = saturate64(c.maximum > c.minimum ? c.minimum + t : c.minimum - t);
    }
}

CursorRecord* SliderModel::hitTest(int x, int y) const
{
    const int h = halfSize();
    for (auto it = m_cursors.rbegin(); it != m_cursors.rend(); ++it) {
        CursorRecord* c = it->get();
        if (c->hidden())
            continue;
        const std::int64_t a = c->drawnPoint();
        bool hit;
        if (m_vertical)
            hit = y >= a - h && y <= a + h;
        else if (c->clipSide == 1)
            hit = x >= m_width - h;
        else if (c->clipSide == -1)
            hit = x <= h;
        else
            hit = x >= a - h && x <= a + h;
        if (hit)
            return c;
    }
    return nullptr;
}

bool SliderModel::press(int x, int y)
{
    if (!m_enabled)
        return false;
    if (CursorRecord* hit = hitTest(x, y)) {
        if (hit->locked())
            return false;
        moveToTop(hit);
        m_drag = hit;
        m_dragStart = *hit;
        m_captured = true;
        return true;
    }
    CursorRecord* only = nullptr;
    int freeCount = 0;
    for (const auto& c : m_cursors) {
        if (c->free()) {
            only = c.get();
            ++freeCount;
        }
    }
    if (freeCount == 1)
        step(*only, x, y);
    return false;
}

void SliderModel::step(CursorRecord& c, int x, int y)
{
    const int h = halfSize();
    const bool rectangle = m_arrow == kArrowRectangle;
    if (!m_vertical) {
        const i128 stride = (static_cast<i128>(c.maximum) - c.minimum) / 10;
        const bool adding = x >= static_cast<i128>(c.pixel) - h;
        const i128 lo = std::min(c.minimum, c.maximum);
        const i128 hi = std::max(c.minimum, c.maximum);
        const i128 v = std::clamp(static_cast<i128>(c.value) + (adding ? stride : -stride), lo, hi);
        placeByValue(c, static_cast<std::int64_t>(v));
        const std::int64_t a = c.drawnPoint();
        const std::int64_t thumbPoint = rectangle ? a - h / 2 : a;
        if (adding ? x < thumbPoint : c.pixel < x)
            placeByPixel(c, x);
    } else {
        // Not held within the range: the host relies on stepping past the ends.
        const i128 stride = static_cast<i128>(c.span / 10);
        const bool adding = y < static_cast<i128>(c.pixel) - h;
        placeByValue(c, saturate64(static_cast<i128>(c.value) + (adding ? stride : -stride)));
        const std::int64_t a = c.drawnPoint();
        const std::int64_t top = rectangle ? a - h / 2 : a - h;
        if (adding ? c.pixel < y : y < top)
            placeByPixel(c, y);
    }
    notify(EventKind::Changing, c, c.value);
    notify(EventKind::Changed, c, c.value);
}

void SliderModel::move(int x, int y)
{
    if (!m_enabled || !m_drag)
        return;
    placeByPixel(*m_drag, m_vertical ? y : x);
    notify(EventKind::Changing, *m_drag, m_drag->value);
}

bool SliderModel::escape()
{
    if (!m_enabled || !m_drag || m_drag->idWord != m_dragStart.idWord)
        return false;
    m_drag->value = m_dragStart.value;
    m_drag->pixel = m_dragStart.pixel;
    CursorRecord* c = m_drag;
    m_drag = nullptr;
    notify(EventKind::Changing, *c, c->value);
    return true;
}

bool SliderModel::release(int x, int y)
{
    CursorRecord* c = m_drag;
    m_drag = nullptr;
    m_captured = false;
    if (!c)
        return false;
    if (m_enabled && (c->idWord != m_dragStart.idWord || c->pixel != m_dragStart.pixel)) {
        placeByPixel(*c, m_vertical ? y : x);
        notify(EventKind::Changed, *c, c->value);
    }
    return true;
}

bool SliderModel::doubleClick(int x, int y, int flags)
{
    const int h = halfSize();
    const int along = m_vertical ? y : x;
    for (auto it = m_cursors.rbegin(); it != m_cursors.rend(); ++it) {
        const std::int64_t a = (*it)->drawnPoint();
        if (along >= a - h && along <= a + h) {
            if (m_sink)
                m_sink(SliderEvent{EventKind::DoubleClick, (*it)->id(), (*it)->value, flags, x, y});
            return true;
        }
    }
    return false;
}

void SliderModel::notify(EventKind kind, const CursorRecord& c, std::int64_t value) const
{
    if (m_sink)
        m_sink(SliderEvent{kind, c.idWord, value});
}

} // namespace zrslider
