// Oscilloscope repaint: four channels of 100,000 rows on a 641 x 641 face, composed off-screen and
// copied once, after new data (every trace image drawn again from the rows) and from the cached
// trace images, against one QPainter polyline of every row per channel into the same image.
// Run: build/release/bin/scope_paint_bench
#include <zroscillo/ScopeModel.h>

#include "TimeReporter.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <map>
#include <random>

namespace {

constexpr int kSide = 641;
constexpr int kRows = 100000;

struct Rows : zroscillo::SampleSource {
    std::vector<model::CaptureSample> rows;
    void withRows(const std::function<void(std::span<const model::CaptureSample>)>& draw) override { draw(rows); }
};

Rows& samples()
{
    static Rows r = [] {
        Rows out;
        out.rows.resize(kRows);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, 0.05);
        for (int c = 0; c < 4; ++c) {
            double v = 0;
            for (int i = 0; i < kRows; ++i) {
                v = 0.98 * v + noise(random);
                out.rows[static_cast<std::size_t>(i)].m_value[c] = std::sin(i * 0.0003 * (c + 1)) * 3.0 + v;
            }
        }
        return out;
    }();
    return r;
}

zroscillo::ScopeModel& scope()
{
    static zroscillo::ScopeModel m = [] {
        zroscillo::ScopeModel s;
        s.bitmapWidth = kSide;
        s.samplesPerScreen = kRows;
        const std::uint32_t colors[] = {0x0000FF, 0x00FF00, 0xFF6060, 0x00FFFF};
        for (int c = 1; c <= 4; ++c) {
            auto& ch = s.channels[static_cast<std::size_t>(c)];
            ch.visible = true;
            ch.scale = 0.5;
            ch.zeroPosition = -6000 + 3000 * c;
            ch.color = colors[c - 1];
        }
        return s;
    }();
    return m;
}

QImage& face()
{
    static QImage img(kSide, kSide, QImage::Format_RGB32);
    return img;
}

QImage& window()
{
    static QImage img(kSide, kSide, QImage::Format_RGB32);
    return img;
}

void repaint()
{
    scope().drawFace(face(), kSide, kSide, samples());
    QPainter(&window()).drawImage(0, 0, face());
}

void BM_RepaintAfterNewData(benchmark::State& state)
{
    for (auto _ : state) {
        scope().invalidateTraces();
        repaint();
    }
}
BENCHMARK(BM_RepaintAfterNewData)->Unit(benchmark::kMillisecond);

void BM_RepaintCached(benchmark::State& state)
{
    repaint();
    for (auto _ : state)
        repaint();
}
BENCHMARK(BM_RepaintCached)->Unit(benchmark::kMillisecond);

void BM_PolylineOfEveryRow(benchmark::State& state)
{
    const Rows& r = samples();
    std::vector<QPolygon> lines(4);
    for (int c = 0; c < 4; ++c) {
        zroscillo::TraceSettings s;
        s.bitmapWidth = kSide;
        s.height = kSide;
        s.samplesPerScreen = kRows;
        s.scale = 0.5;
        s.zeroPosition = -6000 + 3000 * (c + 1);
        const zroscillo::TraceMapper m(s);
        for (int i = 0; i < kRows; ++i)
            lines[static_cast<std::size_t>(c)] << QPoint(static_cast<int>(m.x(static_cast<std::size_t>(i), kRows)),
                                                         static_cast<int>(m.y(r.rows[static_cast<std::size_t>(i)].m_value[c])));
    }
    for (auto _ : state) {
        QPainter p(&face());
        p.fillRect(face().rect(), QColor(0, 0, 0x40));
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int c = 0; c < 4; ++c) {
            p.setPen(QPen(Qt::green, 0));
            p.drawPolyline(lines[static_cast<std::size_t>(c)]);
        }
        p.end();
        QPainter(&window()).drawImage(0, 0, face());
    }
}
BENCHMARK(BM_PolylineOfEveryRow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double polyline = reporter.ms["BM_PolylineOfEveryRow"];
    for (const char* name : {"BM_RepaintAfterNewData", "BM_RepaintCached"}) {
        const double t = reporter.ms[name];
        if (t > 0 && polyline > 0)
            std::printf("%s: %.2f ms per repaint, %.1fx faster than the polyline (%.2f ms)\n", name, t,
                        polyline / t, polyline);
    }
    benchmark::Shutdown();
    return 0;
}
