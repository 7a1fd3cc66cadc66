#include "screens/oscillo/OscilloValueChecks.h"

#include "screens/oscillo/CaptureCommands.h"
#include "screens/oscillo/OscilloGeometry.h"

#include <model/NumberText.h>

#include <algorithm>
#include <cmath>

namespace talverin {

namespace {

double number(std::string_view text)
{
    const double v = model::ParseLeadingDouble(text);
    return std::isfinite(v) ? v : 0.0;
}

} // namespace

ValueCheck CheckTimeText(std::string_view text)
{
    ValueCheck check;
    check.value = number(text);
    // One decimal as typed: 0.1 is accepted although its double lies a hair below a tenth.
    const int tenths = TruncateSetting(check.value * 10.0);
    if (tenths < 1 || check.value > 500.0)
        check.error = ValueCheck::Time;
    check.low = 0.1;
    check.high = 500.0;
    return check;
}

ValueCheck CheckResolutionText(std::string_view text)
{
    ValueCheck check;
    const double r = number(text);
    const std::int64_t whole = ClampToInt64(r);
    check.value = static_cast<double>(whole);
    if (whole < 1 || whole > 204)
        check.error = ValueCheck::Resolution;
    check.low = 1;
    check.high = 204;
    return check;
}

ValueCheck CheckPositionText(std::string_view text, double timePerDivision, int zoom, int scopeWidth)
{
    ValueCheck check;
    const double p = number(text);
    const double total = timePerDivision * 20.0;
    if (!(total > 0.0) || zoom <= 0) {
        check.error = ValueCheck::Unchecked;
        return check;
    }
    const double pixel = static_cast<double>(scopeWidth) * zoom * p / total + 0.5;
    check.low = 0.0;
    check.high = total - total / zoom;
    check.value = p;
    check.pixel = ClampToInt64(pixel);
    // The bound as the edit shows it: a position typed with one decimal up to the bound is inside.
    if (pixel < 0.0 || p > check.high + 1e-9 * std::max(1.0, check.high))
        check.error = ValueCheck::Position;
    return check;
}

ValueCheck CheckCursorText(std::string_view text, double timePerDivision)
{
    ValueCheck check;
    const double v = number(text);
    const double total = timePerDivision * 20.0;
    check.value = v;
    check.high = total;
    if (ClampToInt64(total) == 0)
        return check;
    if (v < 0.0 || v > total + 1e-9 * total)
        check.error = ValueCheck::Cursor;
    return check;
}

double TriggerPositionFromText(std::string_view text)
{
    return std::clamp(number(text), 0.0, 100.0);
}

double ChannelPositionFromText(std::string_view text)
{
    return std::clamp(number(text), -100.0, 100.0);
}

std::int64_t ZeroCursorValue(double percent)
{
    return 10000 - ClampToInt64(percent) * 100;
}

} // namespace talverin
