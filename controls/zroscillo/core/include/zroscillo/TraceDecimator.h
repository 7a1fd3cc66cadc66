// A trace with more rows than pixel columns, drawn at the cost of its width: per column (and per
// piece between gaps) the first and last mapped row and the range of the others. Drawn as one
// vertical run per column joined to the next column by the original segment, it gives exactly
// the pixels of the row-by-row polyline: inside a column the segments cover the range of its
// points, leaving out only the column's last point when no earlier point reached it.
#pragma once

#include "zroscillo/MonoBitmap.h"
#include "zroscillo/TraceMapper.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace zroscillo {

class TraceDecimator {
public:
    // Points in drawing order (inline: it runs once per row).
    void add(const TracePoint& p)
    {
        if (!p.move && !m_columns.empty()) {
            Column& c = m_columns.back();
            if (c.x == p.x) {
                // A repeated point draws nothing and so must not widen the range; without
                // branches, as noisy rows would mispredict them.
                const bool differs = p.y != c.last;
                const std::int64_t low = std::min(c.lowBefore, c.last);
                const std::int64_t high = std::max(c.highBefore, c.last);
                c.lowBefore = differs ? low : c.lowBefore;
                c.highBefore = differs ? high : c.highBefore;
                c.last = p.y;
                return;
            }
        }
        m_columns.push_back(Column{p.x, p.y, p.y, kNone, -kNone, p.move || m_columns.empty()});
    }
    void render(MonoBitmap& bitmap) const;
    std::size_t columns() const { return m_columns.size(); }

private:
    static constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
    struct Column {
        std::int64_t x;
        std::int64_t first, last;
        std::int64_t lowBefore, highBefore; // range of the points before the last (empty: low > high)
        bool pieceStart;
    };
    std::vector<Column> m_columns;
};

// Draws channel `channel` of `rows` into `bitmap` (which is not cleared): row by row when the
// rows are no more than the columns, through the decimator otherwise.
void RenderTrace(MonoBitmap& bitmap, const TraceMapper& mapper, std::span<const model::CaptureSample> rows,
                 int channel);
// Row by row, each segment on its own.
void RenderTraceSegments(MonoBitmap& bitmap, const TraceMapper& mapper,
                         std::span<const model::CaptureSample> rows, int channel);
// Through the decimator whatever the row count.
void RenderTraceDecimated(MonoBitmap& bitmap, const TraceMapper& mapper,
                          std::span<const model::CaptureSample> rows, int channel);

} // namespace zroscillo
