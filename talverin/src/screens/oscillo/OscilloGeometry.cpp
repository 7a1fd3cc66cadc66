#include "screens/oscillo/OscilloGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace talverin {

std::int64_t ClampToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exact as a double; anything at or past it saturates.
    constexpr double limit = 9223372036854775808.0;
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::optional<double> ScrollPositionMs(double timePerDivision, std::int64_t v, int zoom, int scopeWidth)
{
    if (zoom <= 0 || scopeWidth <= 0)
        return std::nullopt;
    return timePerDivision * static_cast<double>(v) * 20.0 / zoom / scopeWidth;
}

SliderSetting RerangePositionSlider(int zoom, int scopeWidth, std::int64_t oldMax, std::int64_t oldValue)
{
    if (zoom <= 1)
        return {100, 0};
    SliderSetting s;
    s.max = std::max<std::int64_t>(0, static_cast<std::int64_t>(scopeWidth) * (zoom - 1));
    if (oldMax > 0)
        s.value = ClampToInt64(static_cast<double>(oldValue) * static_cast<double>(s.max) / static_cast<double>(oldMax));
    else
        s.value = oldValue;
    s.value = std::clamp<std::int64_t>(s.value, 0, s.max);
    return s;
}

std::int64_t TriggerCursorMax(int zoom)
{
    return zoom > 0 ? kTriggerRange / zoom : kTriggerRange;
}

std::optional<CursorRange> VisibleTriggerRange(std::int64_t v, std::int64_t bitmapWidth, int zoom)
{
    if (bitmapWidth <= 0 || zoom <= 0)
        return std::nullopt;
    CursorRange r;
    r.min = ClampToInt64(static_cast<double>(v) * static_cast<double>(kTriggerRange) / static_cast<double>(bitmapWidth));
    r.min = std::max<std::int64_t>(r.min, 0);
    const std::int64_t span = kTriggerRange / zoom;
    r.max = r.min + span;
    if (r.max > kTriggerRange) {
        r.max = kTriggerRange;
        r.min = kTriggerRange - span;
    }
    return r;
}

std::optional<double> TriggerPercentFromCursor(std::int64_t pixel, std::int64_t scroll, std::int64_t cursorSize,
                                               int scopeWidth, int zoom, bool aboveMinimum)
{
    const double span = static_cast<double>(scopeWidth) * zoom;
    if (span <= 0)
        return std::nullopt;
    double percent = static_cast<double>(pixel + scroll - cursorSize) * 100.0 / span;
    if (aboveMinimum)
        percent += 0.05;
    return std::min(percent, 100.0);
}

TriggerCursorView TriggerCursorOnScreen(double percent, std::optional<CursorRange> visible, int zoom)
{
    TriggerCursorView v;
    v.range = visible.value_or(CursorRange{0, TriggerCursorMax(zoom)});
    const std::int64_t value = ClampToInt64(percent * 10000.0);
    v.value = std::clamp(value, v.range.min, std::max(v.range.min, v.range.max));
    v.onScreen = v.value == value;
    return v;
}

double VisibleTimeMs(double timePerDivision, int zoom)
{
    return zoom > 0 ? timePerDivision * 20.0 / zoom : timePerDivision * 20.0;
}

CursorRange TimeCursorRange(bool absolute, double positionMs, double visibleMs)
{
    if (absolute)
        return {TimeCursorValue(positionMs), TimeCursorValue(positionMs + visibleMs)};
    return {0, TimeCursorValue(visibleMs)};
}

std::optional<CursorRange> ScrolledTimeCursorRange(double visibleMs, std::int64_t v, int scopeWidth)
{
    if (scopeWidth <= 0)
        return std::nullopt;
    const double offset = visibleMs * static_cast<double>(v) / scopeWidth;
    return CursorRange{TimeCursorValue(offset), TimeCursorValue(visibleMs + offset)};
}

std::int64_t TimeCursorValue(double ms)
{
    // One decimal typed is a few units in the last place off: forgiven before truncating.
    const double tenths = ms * 10.0;
    return ClampToInt64(tenths + std::fabs(tenths) * 1e-12 * (tenths < 0 ? -1 : 1));
}

TimeCursorPair ShiftTimeCursors(TimeCursorPair times, double positionMs, bool toAbsolute)
{
    const double shift = toAbsolute ? positionMs : -positionMs;
    return {times.a + shift, times.b + shift};
}

TimeCursorPair RescaleTimeCursors(TimeCursorPair kept, TimeCursorPair edits, bool guideShown, double oldVisibleMs,
                                  double newVisibleMs)
{
    if (guideShown || oldVisibleMs <= 0.0)
        return kept;
    const double a = std::fabs(edits.a - kept.a) > 0.1 ? edits.a : kept.a;
    const double b = std::fabs(edits.b - kept.b) > 0.1 ? edits.b : kept.b;
    const double ratio = newVisibleMs / oldVisibleMs;
    return {a * ratio, b * ratio};
}

double RescalePosition(double positionMs, double oldTime, double newTime)
{
    if (oldTime == 0.0)
        return positionMs;
    return static_cast<double>(ClampToInt64((positionMs * newTime / oldTime + 0.05) * 10.0)) * 0.1;
}

LevelCursorSetting PlaceLevelCursor(const LevelCursorInput& in)
{
    const double scale = in.scale == 0.0 ? 1.0 : in.scale;
    const double factor = in.factor > 0 ? static_cast<double>(in.factor) : 1.0;
    const double e = in.boolean ? 0.0 : (in.decimals > 0 ? 5.0 / factor : 1.75);
    LevelCursorSetting s;
    s.top = ClampToInt64(factor * (1.0 - in.zeroPercent / 100.0) * scale * 10.0 + e);
    s.bottom = ClampToInt64(-(factor * (1.0 + in.zeroPercent / 100.0) * scale * 10.0 + e));
    s.value = ClampToInt64(factor * in.level);
    s.pixel = in.zeroPixel - ClampToInt64(in.level * static_cast<double>(in.usableHeight) / (scale * 20.0));
    return s;
}

} // namespace talverin
