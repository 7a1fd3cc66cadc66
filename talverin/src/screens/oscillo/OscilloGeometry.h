// The arithmetic of the oscilloscope screen's horizontal zoom and scroll, its time cursors A and B,
// the trigger position cursor (13) and the trigger level cursor (14). Cursor values are 64-bit;
// every double is clamped before it becomes an integer, and a width, scale or range of 0 never
// divides (the caller keeps the value it had).
#pragma once

#include <cstdint>
#include <optional>

namespace talverin {

// The full range of the trigger position cursor: 1,000,000 for the whole record.
inline constexpr std::int64_t kTriggerRange = 1000000;

// A double as a 64-bit value, truncated toward zero; NaN gives 0, the ends saturate.
std::int64_t ClampToInt64(double value);

struct CursorRange {
    std::int64_t min = 0;
    std::int64_t max = 0;
    bool operator==(const CursorRange&) const = default;
};

// ---- The POS. slider (1038, pixels of the zoomed scope) and edit (ms) ----

// The POS. edit for a scroll of v pixels: TIME x v x 20 / zoom / scope width ms, one decimal.
// None for a zoom or width of 0.
std::optional<double> ScrollPositionMs(double timePerDivision, std::int64_t v, int zoom, int scopeWidth);

struct SliderSetting {
    std::int64_t max = 0;
    std::int64_t value = 0;
    bool operator==(const SliderSetting&) const = default;
};
// Timer 1000: zoom 1 gives 0 ... 100 at 0; else the maximum becomes width x (zoom - 1) and the
// value is rescaled from the old maximum (kept when the old maximum was 0).
SliderSetting RerangePositionSlider(int zoom, int scopeWidth, std::int64_t oldMax, std::int64_t oldValue);

// ---- Trigger position cursor 13 of slider 1128 ----

// Its maximum for a zoom: 1,000,000 / zoom (zoom 16: 62,500).
std::int64_t TriggerCursorMax(int zoom);
// The visible part after a scroll of v pixels: min = v x 1,000,000 / bitmap width, max = min +
// 1,000,000 / zoom, kept within 1,000,000. None for a bitmap width of 0 (not painted yet).
std::optional<CursorRange> VisibleTriggerRange(std::int64_t v, std::int64_t bitmapWidth, int zoom);
// The cursor dragged: (pixel + scroll - cursor size) x 100 / (width x zoom), plus 0.05 when the
// cursor is above its minimum, at most 100. None for a width or zoom of 0.
std::optional<double> TriggerPercentFromCursor(std::int64_t pixel, std::int64_t scroll, std::int64_t cursorSize,
                                               int scopeWidth, int zoom, bool aboveMinimum);

// Cursor 13 over the part of the record on the screen. The trigger position is a percent of the
// whole record and no zoom or scroll changes it: the cursor shows it, at the nearer end of the
// range when it lies outside the visible part.
struct TriggerCursorView {
    CursorRange range;
    std::int64_t value = 0; // the value the cursor shows
    bool onScreen = true;   // the position lies within the range
    bool operator==(const TriggerCursorView&) const = default;
};
// `visible` from VisibleTriggerRange; none (not painted yet) takes 0 ... TriggerCursorMax(zoom).
TriggerCursorView TriggerCursorOnScreen(double percent, std::optional<CursorRange> visible, int zoom);

// ---- Time cursors A (9) and B (10) of slider 1126, tenths of a millisecond ----

// The visible time: TIME x 20 / zoom ms.
double VisibleTimeMs(double timePerDivision, int zoom);
// Absolute times count from the record's start (POS x 10 ... (POS + visible) x 10); relative
// ones from the left edge of the visible part (0 ... visible x 10).
CursorRange TimeCursorRange(bool absolute, double positionMs, double visibleMs);
// Scrolled with a guide line shown: offset = visible x v / width, (offset ... visible + offset) x 10.
std::optional<CursorRange> ScrolledTimeCursorRange(double visibleMs, std::int64_t v, int scopeWidth);
// A cursor time in ms as the slider's value.
std::int64_t TimeCursorValue(double ms);

struct TimeCursorPair {
    double a = 0.0; // ms
    double b = 0.0;
    bool operator==(const TimeCursorPair&) const = default;
};
// Between relative and absolute times (a guide line of A or B shown or not): the POS. time added
// on the way to absolute, taken off on the way back.
TimeCursorPair ShiftTimeCursors(TimeCursorPair times, double positionMs, bool toAbsolute);
// TIME or zoom changed. With a guide line shown the times stay (the lines move); with both hidden
// the cursors keep their pixels and the times follow the visible time, starting from an edit that
// moved more than 0.1 from its kept time.
TimeCursorPair RescaleTimeCursors(TimeCursorPair kept, TimeCursorPair edits, bool guideShown, double oldVisibleMs,
                                  double newVisibleMs);

// ---- POS on a TIME change ----

// The position rescaled to a new time base: trunc((p x new / old + 0.05) x 10) x 0.1; an old time
// of 0 keeps it.
double RescalePosition(double positionMs, double oldTime, double newTime);

// ---- Trigger level cursor 14 of slider 1129 ----

struct LevelCursorInput {
    double zeroPercent = 0.0;   // P: the channel's zero position, +100 top ... -100 bottom
    double scale = 1.0;         // S: value per division (0 counts as 1)
    std::int64_t factor = 1;    // F
    bool boolean = false;
    int decimals = 0;
    double level = 0.0;         // L
    std::int64_t zeroPixel = 0; // the zero line's pixel on the slider
    std::int64_t usableHeight = 0; // the slider's client height less twice the cursor size
};
// A vertical slider counts from its top: the range goes from the value at the top to the one at
// the bottom.
struct LevelCursorSetting {
    std::int64_t top = 0;
    std::int64_t bottom = 0;
    std::int64_t value = 0;
    std::int64_t pixel = 0;
    bool operator==(const LevelCursorSetting&) const = default;
};
// Top F x (1 - P / 100) x S x 10 + e, bottom -(F x (1 + P / 100) x S x 10 + e), value F x L and
// pixel = zero pixel - L x usable / (S x 20); e = 5 / F with decimals, 1.75 without, 0 for yes/no.
LevelCursorSetting PlaceLevelCursor(const LevelCursorInput& in);

} // namespace talverin
