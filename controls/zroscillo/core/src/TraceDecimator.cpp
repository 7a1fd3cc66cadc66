#include "zroscillo/TraceDecimator.h"

#include <algorithm>

namespace zroscillo {

void TraceDecimator::render(MonoBitmap& bitmap) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const Column& c = m_columns[i];
        if (!c.pieceStart) {
            const Column& before = m_columns[i - 1];
            bitmap.drawLine(before.x, before.last, c.x, c.first);
        }
        if (c.lowBefore > c.highBefore)
            continue; // a single point
        std::int64_t low = std::min(c.lowBefore, c.last);
        std::int64_t high = std::max(c.highBefore, c.last);
        if (c.last < c.lowBefore)
            low = c.last + 1;
        else if (c.last > c.highBefore)
            high = c.last - 1;
        bitmap.verticalRun(c.x, low, high);
    }
}

void RenderTraceSegments(MonoBitmap& bitmap, const TraceMapper& mapper,
                         std::span<const model::CaptureSample> rows, int channel)
{
    TracePoint last{0, 0, true};
    mapper.forEachPoint(rows, channel, [&](const TracePoint& p) {
        if (!p.move)
            bitmap.drawLine(last.x, last.y, p.x, p.y);
        last = p;
    });
}

void RenderTraceDecimated(MonoBitmap& bitmap, const TraceMapper& mapper,
                          std::span<const model::CaptureSample> rows, int channel)
{
    TraceDecimator decimator;
    mapper.forEachPoint(rows, channel, [&](const TracePoint& p) { decimator.add(p); });
    decimator.render(bitmap);
}

void RenderTrace(MonoBitmap& bitmap, const TraceMapper& mapper, std::span<const model::CaptureSample> rows,
                 int channel)
{
    if (static_cast<std::int64_t>(rows.size()) > bitmap.width())
        RenderTraceDecimated(bitmap, mapper, rows, channel);
    else
        RenderTraceSegments(bitmap, mapper, rows, channel);
}

} // namespace zroscillo
