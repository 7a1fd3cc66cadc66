#include "zroscillo/ScopeModel.h"

#include "zroscillo/BitmapFile.h"
#include "zroscillo/TraceDecimator.h"

#include <platform/qt/colors.h>
#include <platform/text.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace zroscillo {

namespace {

constexpr std::uint32_t kCrossColor = 0xFFFF00; // COLORREF: cyan

// COLORREF (or a system colour) -> 0xRRGGBB as the image stores it.
std::uint32_t rgbOf(std::uint32_t colorRef)
{
    const std::uint32_t c = plat::ResolveColorRef(colorRef);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Lines as the system draws them: from the first point up to, not including, the second, each
// clipped to the face's width x height.
class Canvas {
public:
    Canvas(QImage& image, int width, int height)
        : m_image(image), m_width(std::min(width, image.width())), m_height(std::min(height, image.height()))
    {
    }

    void fill(std::uint32_t colorRef)
    {
        const QRgb v = 0xFF000000u | rgbOf(colorRef);
        for (int y = 0; y < m_height; ++y)
            std::fill_n(reinterpret_cast<QRgb*>(m_image.scanLine(y)), m_width, v);
    }
    void horizontal(std::int64_t x0, std::int64_t x1, std::int64_t y, std::uint32_t colorRef)
    {
        if (y < 0 || y >= m_height)
            return;
        const auto from = static_cast<int>(std::max<std::int64_t>(x0, 0));
        const auto to = static_cast<int>(std::min<std::int64_t>(x1, m_width));
        if (from < to)
            std::fill(reinterpret_cast<QRgb*>(m_image.scanLine(static_cast<int>(y))) + from,
                      reinterpret_cast<QRgb*>(m_image.scanLine(static_cast<int>(y))) + to, 0xFF000000u | rgbOf(colorRef));
    }
    void vertical(std::int64_t x, std::int64_t y0, std::int64_t y1, std::uint32_t colorRef, bool dotted = false)
    {
        if (x < 0 || x >= m_width)
            return;
        const QRgb v = 0xFF000000u | rgbOf(colorRef);
        const auto from = static_cast<int>(std::max<std::int64_t>(y0, 0));
        const auto to = static_cast<int>(std::min<std::int64_t>(y1, m_height));
        for (int y = from; y < to; ++y)
            if (!dotted || (y - y0) % 2 == 0)
                reinterpret_cast<QRgb*>(m_image.scanLine(y))[x] = v;
    }

private:
    QImage& m_image;
    int m_width;
    int m_height;
};

// The first k >= 0 whose line k x width / step - scroll may lie right of 0.
std::int64_t firstStep(std::int64_t scroll, std::int64_t step, std::int64_t width)
{
    if (scroll <= 0)
        return 0;
    const __int128 k = static_cast<__int128>(scroll) * step / width - 1;
    return static_cast<std::int64_t>(std::max<__int128>(k, 0));
}

std::int64_t roundedCoordinate(double v)
{
    return static_cast<std::int64_t>(std::clamp(v, -2147483647.0, 2147483647.0));
}

} // namespace

void ScopeModel::invalidateTraces(int from, int to)
{
    for (int c = from; c <= to; ++c)
        channels[static_cast<std::size_t>(c)].cacheValid = false;
}

void ScopeModel::setScopeMode(std::int32_t recordTime, int clientWidth)
{
    invalidateTraces();
    bitmapWidth = zoomedWidth(clientWidth, zoomHorz);
    if (recordTime != 0)
        timeFactor = static_cast<double>(lastRecordTime) / recordTime;
}

void ScopeModel::addGuideLine(std::int32_t id, bool horizontal, std::uint32_t color, std::int32_t position, bool shown)
{
    auto& slot = guides[static_cast<std::size_t>(id)];
    if (!slot)
        slot = std::make_unique<GuideLineRecord>();
    *slot = GuideLineRecord{id, color, shown, horizontal, position};
}

std::int64_t ScopeModel::guideY(std::int32_t position, int height) const
{
    // While a file is written the position is taken from the window to the picture's height.
    if (!m_saving.active || m_saving.windowHeight <= 0)
        return position;
    return roundedCoordinate(static_cast<double>(position) / m_saving.windowHeight * height + 0.5);
}

std::int64_t ScopeModel::guideX(std::int32_t position, int width) const
{
    if (!m_saving.active || m_saving.bitmapWidth <= 0)
        return position;
    return roundedCoordinate(static_cast<double>(m_saving.scroll + position) / static_cast<double>(m_saving.bitmapWidth)
                                 * width
                             + 0.5);
}

bool ScopeModel::drawFace(QImage& target, int w, int h, SampleSource& source)
{
    if (h <= 20 || w <= 20)
        return true;
    Canvas canvas(target, w, h);
    canvas.fill(backColor);

    if (zoomHorz != 100) {
        const std::int64_t step = static_cast<std::int64_t>(zoomHorz) * 20 / 100;
        if (step > 0 && bitmapWidth > 0) {
            for (std::int64_t k = firstStep(scrollX, step, bitmapWidth);; ++k) {
                const auto x = static_cast<std::int64_t>(static_cast<__int128>(k) * bitmapWidth / step) - scrollX;
                if (x >= w)
                    break;
                canvas.vertical(x, 0, h, zoomLineColor, zoomLineDotted);
            }
        }
    }
    const int rowStep = (h - 1) / 20;
    for (int y = 0; y <= h; y += rowStep)
        canvas.horizontal(0, w, y, gridColor);
    if (bitmapWidth > 0) {
        for (std::int64_t k = firstStep(scrollX, 20, bitmapWidth);; ++k) {
            const auto x = static_cast<std::int64_t>(static_cast<__int128>(k) * bitmapWidth / 20) - scrollX;
            if (x > w)
                break;
            canvas.vertical(x, 0, h, gridColor);
        }
    } else {
        canvas.vertical(-static_cast<std::int64_t>(scrollX), 0, h, gridColor);
    }
    canvas.vertical(bitmapWidth - scrollX - 1, 0, h, gridColor);
    canvas.horizontal(1, w - 1, h / 2, kCrossColor);
    canvas.vertical(w / 2, 1, h - 1, kCrossColor);

    bool ok = true;
    const int last = std::min(channelCount, 4);
    source.withRows([&](std::span<const model::CaptureSample> rows) {
        for (int c = 1; c <= last; ++c)
            if (channels[static_cast<std::size_t>(c)].visible && !drawChannel(c, target, w, h, rows))
                ok = false;
    });

    for (const auto& g : guides) {
        if (!g || !g->shown)
            continue;
        if (g->horizontal)
            canvas.horizontal(0, w, guideY(g->position, h), g->color);
        else
            canvas.vertical(guideX(g->position, w), 0, h, g->color);
    }
    return ok;
}

bool ScopeModel::drawChannel(int c, QImage& target, int w, int h, std::span<const model::CaptureSample> rows)
{
    ChannelRecord& ch = channels[static_cast<std::size_t>(c)];
    if (!ch.cacheValid) {
        ch.trace.reset();
        ch.trace = MonoBitmap::make(bitmapWidth, h);
        if (!ch.trace)
            return false;
        ch.cacheValid = true;
        TraceSettings s;
        s.bitmapWidth = bitmapWidth;
        s.height = h;
        s.timeFactor = timeFactor;
        s.samplesPerScreen = samplesPerScreen;
        s.scale = ch.scale;
        s.zeroPosition = ch.zeroPosition;
        s.roll = drawMode != 0;
        RenderTrace(*ch.trace, TraceMapper(s), rows, c);
    }
    ch.trace->overlay(target, w, h, scrollX, rgbOf(ch.color));
    if (const auto& g = guides[static_cast<std::size_t>(c)]; g && g->shown)
        Canvas(target, w, h).horizontal(0, w, guideY(g->position, h), ch.color);
    return true;
}

std::int64_t ScopeModel::saveBitmapFile(const std::string& path, int w, int h, std::uintptr_t panelAddress,
                                        int windowHeight, SampleSource& source)
{
    if (w <= 0 || h <= 0 || w > kMaxFileSide || h > kMaxFileSide)
        return 0;
    std::optional<Panel> panel;
    if (panelAddress) {
        panel = ReadPanel(panelAddress, kMaxFileSide);
        if (!panel)
            return 0;
    }
    const std::int64_t total = static_cast<std::int64_t>(w) + (panel ? panel->width : 0);
    if (total > kMaxFileSide || total * h > kMaxFilePixels)
        return 0;

    // Whatever happens below, the face goes back to what it showed.
    struct Restore {
        ScopeModel& m;
        std::int64_t bitmapWidth;
        std::int32_t scrollX, scrollY, zoom;
        bool done = false;
        void now()
        {
            if (done)
                return;
            done = true;
            m.bitmapWidth = bitmapWidth;
            m.scrollX = scrollX;
            m.scrollY = scrollY;
            m.zoomHorz = zoom;
            m.invalidateTraces();
            m.m_saving = {};
        }
        ~Restore() { now(); }
    } restore{*this, bitmapWidth, scrollX, scrollY, zoomHorz};

    m_saving = {true, windowHeight, scrollX, bitmapWidth};
    bitmapWidth = w;
    scrollX = 0;
    scrollY = 0;
    zoomHorz = 100;
    invalidateTraces();
    QImage image(static_cast<int>(total), h, QImage::Format_RGB32);
    if (image.isNull())
        return 0;
    image.fill(0xFF000000u);
    drawFace(image, w, h, source);
    if (panel)
        DrawPanel(image, w, *panel);
    restore.now();

    const std::string bytes = EncodeBitmapFile(image);
    if (!plat::WriteFileAtomic(path, bytes))
        return 0;
    return static_cast<std::int64_t>(bytes.size());
}

QRect ScopeModel::filterGeometry(const QRect& requested, const QRect& current, bool locked)
{
    if (locked || requested.size() == current.size())
        return current;
    int w = requested.width();
    int h = requested.height();
    if (w > 0 && h > 0) {
        w = w - w % 20 + 1;
        h = h - h % 20 + 1;
    }
    return QRect(requested.topLeft(), QSize(w, h));
}

} // namespace zroscillo
