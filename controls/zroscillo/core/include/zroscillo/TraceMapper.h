// Where a channel's sample rows land in its trace image: row -> x for the sweep (oldest at the
// left) and the roll (newest at the right edge), value -> y from the zero line and the scale,
// truncated toward zero. An absent value (model::IsNoValue), NaN or infinity is a gap: the pen
// lifts and the next valid row begins with a move. The sweep's first row is its start point even
// when it holds the absent marker.
#pragma once

#include <model/OscilloData.h>
#include <model/ZRParamData.h>

#include <algorithm>

#include <cmath>
#include <cstdint>
#include <span>

namespace zroscillo {

struct TraceSettings {
    std::int64_t bitmapWidth = 0;
    int height = 0;
    double timeFactor = 1.0;
    std::int32_t samplesPerScreen = 0;
    double scale = 0.0; // value units per division
    std::int32_t zeroPosition = 0; // -10000 bottom, 0 middle, 10000 top
    bool roll = false;
};

struct TracePoint {
    std::int64_t x;
    std::int64_t y;
    bool move; // begins a new piece (the pen was up)
};

class TraceMapper {
public:
    explicit TraceMapper(const TraceSettings& settings);

    // False when nothing can be drawn: no samples per screen, a scale of 0 or not finite.
    bool drawable() const { return m_drawable; }
    std::int64_t zeroLine() const { return m_zeroLine; }
    std::int64_t y(double value) const
    {
        // Held within four screen heights before the conversion: a huge value or a tiny scale
        // would not fit an integer.
        const double scaled = value * m_yPerUnit;
        const double limit = 4.0 * m_s.height;
        const double offset = std::clamp(std::isnan(scaled) ? 0.0 : scaled + 0.5, -limit, limit);
        return m_zeroLine - static_cast<std::int64_t>(offset);
    }
    // x of `row` among `rows` rows. Sweep: row i at i x width x factor / samples. Roll: the newest
    // row at the right edge, each older one a sample to the left.
    std::int64_t x(std::size_t row, std::size_t rows) const
    {
        const double k = m_s.roll ? static_cast<double>(m_s.samplesPerScreen) - static_cast<double>(rows) + 1.0
                                        + static_cast<double>(row)
                                  : static_cast<double>(row);
        return truncated(k * m_xPerRow + 0.5);
    }
    static bool isGap(double value) { return model::IsNoValue(value) || !std::isfinite(value); }
    // Coordinates far outside any image, and still exact to the pixel.
    static std::int64_t truncated(double v)
    {
        return static_cast<std::int64_t>(std::clamp(v, -2147483647.0, 2147483647.0));
    }

    // Calls f(TracePoint) for the rows of channel `channel` (1-4) in drawing order. Fewer than 2
    // rows, or nothing drawable: no call.
    template <class F>
    void forEachPoint(std::span<const model::CaptureSample> rows, int channel, F&& f) const;

private:
    TraceSettings m_s;
    bool m_drawable;
    std::int64_t m_zeroLine;
    // Per row and per value unit, so a row costs multiplications only.
    double m_xPerRow;
    double m_yPerUnit;
};

template <class F>
void TraceMapper::forEachPoint(std::span<const model::CaptureSample> rows, int channel, F&& f) const
{
    const std::size_t n = rows.size();
    if (n < 2 || !m_drawable || channel < 1 || channel > 4)
        return;
    const int c = channel - 1;
    auto visit = [&](std::size_t i, bool first, bool& penDown) {
        const double v = rows[i].m_value[c];
        // The start row takes no gap test; only a value that has no position lifts the pen there.
        if (first ? !std::isfinite(v) : isGap(v)) {
            penDown = false;
            return;
        }
        f(TracePoint{x(i, n), y(v), !penDown});
        penDown = true;
    };
    bool penDown = false;
    if (!m_s.roll) {
        for (std::size_t i = 0; i < n; ++i)
            visit(i, i == 0, penDown);
    } else {
        for (std::size_t i = n; i-- > 0;)
            visit(i, i == n - 1, penDown);
    }
}

} // namespace zroscillo
