// Sample rows to trace pixels: the mapping, gaps, the line rule, and the per-column drawing
// against the row-by-row one.
#include <zroscillo/TraceDecimator.h>

#include <model/ZRParamData.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using zroscillo::MonoBitmap;
using zroscillo::TraceMapper;
using zroscillo::TracePoint;
using zroscillo::TraceSettings;

namespace {

TraceSettings screen(bool roll = false)
{
    TraceSettings s;
    s.bitmapWidth = 641;
    s.height = 441;
    s.samplesPerScreen = 100;
    s.scale = 1.0;
    s.roll = roll;
    return s;
}

std::vector<model::CaptureSample> rowsOf(std::initializer_list<double> values)
{
    std::vector<model::CaptureSample> rows;
    for (double v : values)
        rows.push_back({{v, 0, 0, 0}});
    return rows;
}

std::vector<TracePoint> pointsOf(const TraceMapper& m, const std::vector<model::CaptureSample>& rows)
{
    std::vector<TracePoint> out;
    m.forEachPoint(rows, 1, [&](const TracePoint& p) { out.push_back(p); });
    return out;
}

} // namespace

TEST(TraceMapperTest, RowsAndValuesToPixels)
{
    const TraceMapper sweep(screen());
    EXPECT_EQ(sweep.zeroLine(), 220);
    EXPECT_EQ(sweep.y(1.0), 198);      // 220 - trunc(22.05 + 0.5)
    EXPECT_EQ(sweep.y(-1.0), 241);     // 220 - trunc(-22.05 + 0.5): toward zero, -21
    EXPECT_EQ(sweep.y(-0.05), 220);    // -1.1025 + 0.5 truncates to 0, not -1
    EXPECT_EQ(sweep.y(1e300), 220 - 4 * 441);  // held within four heights
    EXPECT_EQ(sweep.x(1, 2), 6);       // trunc(6.41 + 0.5)
    EXPECT_TRUE(TraceMapper::isGap(model::kNoValue));
    EXPECT_TRUE(TraceMapper::isGap(std::nan("")));
    EXPECT_TRUE(TraceMapper::isGap(-std::numeric_limits<double>::infinity()));

    // A gap in row 0 is still the start point; later gaps lift the pen until the next value.
    const double gap = model::kNoValue;
    auto pts = pointsOf(sweep, rowsOf({gap, 1.0, gap, gap, 1.0, 2.0}));
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_EQ(pts[0].y, 220);
    EXPECT_TRUE(pts[0].move);
    EXPECT_FALSE(pts[1].move);
    EXPECT_TRUE(pts[2].move);
    EXPECT_EQ(pts[2].x, 26); // row 4
    EXPECT_FALSE(pts[3].move);
    // A start row without a position (NaN) begins the trace at the next row.
    pts = pointsOf(sweep, rowsOf({std::nan(""), 1.0, 2.0}));
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_TRUE(pts[0].move);

    // Roll: the newest row at the right edge, drawn first, older rows a sample apart.
    const TraceMapper roll(screen(true));
    pts = pointsOf(roll, rowsOf({1.0, 2.0, 3.0}));
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_EQ(pts[0].x, 641);
    EXPECT_EQ(pts[0].y, sweep.y(3.0));
    EXPECT_EQ(pts[1].x, 635); // trunc(99 x 6.41 + 0.5)
    EXPECT_EQ(pts[2].x, 628);

    // Nothing to draw: one row, no samples per screen, a scale of 0.
    EXPECT_TRUE(pointsOf(sweep, rowsOf({1.0})).empty());
    TraceSettings s = screen();
    s.samplesPerScreen = 0;
    EXPECT_TRUE(pointsOf(TraceMapper(s), rowsOf({1.0, 2.0})).empty());
    s = screen();
    s.scale = 0.0;
    EXPECT_TRUE(pointsOf(TraceMapper(s), rowsOf({1.0, 2.0})).empty());
}

TEST(TraceRenderTest, PerColumnRunsGiveTheSamePixelsAsTheSegments)
{
    std::mt19937 random(2718);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    struct Case {
        const char* what;
        std::size_t rows;
        std::int64_t width;
        double factor;
        bool roll;
        double gapShare;
    };
    const Case cases[] = {
        {"many rows, sweep", 100000, 641, 1000.0, false, 0.001},
        {"many rows, roll", 50000, 641, 500.0, true, 0.01},
        {"zoomed, steep spikes", 20000, 2564, 4000.0, false, 0.05},
        {"half the screen", 3000, 641, 0.5 * 3000 / 100, false, 0.2},
        {"backwards in time", 5000, 641, -50.0, false, 0.0},
        {"more columns than rows", 300, 641, 3.0, false, 0.1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TraceSettings s = screen(c.roll);
        s.bitmapWidth = c.width;
        s.timeFactor = c.factor / (static_cast<double>(c.rows) / s.samplesPerScreen);
        s.scale = 0.37;
        std::vector<model::CaptureSample> rows(c.rows);
        double v = 0.0;
        for (auto& r : rows) {
            v += (unit(random) - 0.5) * 0.4;
            const double u = unit(random);
            r.m_value[0] = u < c.gapShare ? model::kNoValue : u > 0.995 ? v * 40.0 : v;
        }
        const TraceMapper mapper(s);
        auto segments = MonoBitmap::make(c.width, s.height);
        auto decimated = MonoBitmap::make(c.width, s.height);
        ASSERT_TRUE(segments && decimated);
        zroscillo::RenderTraceSegments(*segments, mapper, rows, 1);
        zroscillo::RenderTraceDecimated(*decimated, mapper, rows, 1);
        EXPECT_TRUE(*segments == *decimated);
    }
}

TEST(TraceRenderTest, LinesLeaveOutTheirLastPointAndImagesHaveLimits)
{
    auto image = MonoBitmap::make(641, 441);
    ASSERT_TRUE(image);
    zroscillo::RenderTrace(*image, TraceMapper(screen()), rowsOf({0.0, 1.0}), 1);
    EXPECT_TRUE(image->test(0, 220));
    EXPECT_TRUE(image->test(3, 209));
    EXPECT_FALSE(image->test(6, 198));
    // Clipped however far away the ends lie.
    image->drawLine(-4000000000, 5, 4000000000, 5);
    EXPECT_TRUE(image->test(0, 5) && image->test(640, 5));

    EXPECT_EQ(MonoBitmap::make(-1, 10), nullptr);
    EXPECT_EQ(MonoBitmap::make(10, 0), nullptr);
    EXPECT_EQ(MonoBitmap::make(MonoBitmap::kMaxWidth + 1, 1), nullptr);
    EXPECT_EQ(MonoBitmap::make(std::int64_t{1} << 28, 641), nullptr);
    auto empty = MonoBitmap::make(0, 441);
    ASSERT_TRUE(empty);
    empty->drawLine(0, 0, 10, 10);
    EXPECT_FALSE(empty->test(0, 0));
}
