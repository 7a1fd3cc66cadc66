#include "zroscillo/TraceMapper.h"

#include <model/ZRParamData.h>

#include <algorithm>
#include <cmath>

namespace zroscillo {

namespace {

// Coordinates far outside any image, and still exact to the pixel.
constexpr double kCoordinateLimit = 2147483647.0;

std::int64_t truncated(double v)
{
    return static_cast<std::int64_t>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

} // namespace

TraceMapper::TraceMapper(const TraceSettings& settings)
    : m_s(settings),
      m_drawable(settings.samplesPerScreen != 0 && settings.scale != 0.0 && std::isfinite(settings.scale)
                 && std::isfinite(settings.timeFactor) && settings.height > 0),
      m_zeroLine(truncated((10000.0 - settings.zeroPosition) * settings.height * 0.00005))
{
}

bool TraceMapper::isGap(double value)
{
    return model::IsNoValue(value) || !std::isfinite(value);
}

std::int64_t TraceMapper::y(double value) const
{
    // Held within four screen heights before the conversion: a huge value or a tiny scale
    // would not fit an integer.
    const double limit = 4.0 * m_s.height;
    const double offset = std::clamp(m_s.height * value / (m_s.scale * 20) + 0.5, -limit, limit);
    return m_zeroLine - static_cast<std::int64_t>(offset);
}

std::int64_t TraceMapper::x(std::size_t row, std::size_t rows) const
{
    // Sweep: row i at i x width x factor / samples. Roll: the newest row at the right edge, each
    // older one a sample to the left.
    const double k = m_s.roll ? static_cast<double>(m_s.samplesPerScreen) - static_cast<double>(rows) + 1.0
                                    + static_cast<double>(row)
                              : static_cast<double>(row);
    return truncated(k * static_cast<double>(m_s.bitmapWidth) * m_s.timeFactor / m_s.samplesPerScreen + 0.5);
}

} // namespace zroscillo
