// The oscilloscope without a window: five channel records (index 0 exists and is never drawn),
// sixteen guide-line slots, the colours, zoom, scroll and timing of the face, the face drawing
// into an image (background, zoom lines, grid, centre cross, cached traces ORed in the channel
// colours, guide lines), the picture file, and the size rule. The control maps its members onto
// this class and paints the image it composes.
#pragma once

#include "zroscillo/MonoBitmap.h"
#include "zroscillo/TraceMapper.h"

#include <QImage>
#include <QRect>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace zroscillo {

// The host's sample rows, reached for the channel loop of one face only; an implementation
// holds whatever lock guards the rows while `draw` runs, and hands an empty span when there are
// none.
class SampleSource {
public:
    virtual ~SampleSource() = default;
    virtual void withRows(const std::function<void(std::span<const model::CaptureSample>)>& draw) = 0;
};

struct ChannelRecord {
    std::unique_ptr<MonoBitmap> trace;
    std::uint32_t color = 0; // COLORREF
    double scale = 0.0;
    std::int32_t zeroPosition = 0;
    bool visible = false;
    bool cacheValid = false;
};

struct GuideLineRecord {
    std::int32_t id = 0;
    std::uint32_t color = 0;
    bool shown = false;
    bool horizontal = false; // else vertical
    std::int32_t position = 0;
};

class ScopeModel {
public:
    static constexpr int kChannels = 5;
    static constexpr int kGuideSlots = 16;
    // Largest picture side, and pixel count, that a file is written for.
    static constexpr int kMaxFileSide = 32767;
    static constexpr std::int64_t kMaxFilePixels = std::int64_t{1} << 26;

    static bool validChannel(std::int64_t n) { return n >= 0 && n < kChannels; }
    static bool validGuide(std::int64_t id) { return id >= 0 && id < kGuideSlots; }

    // ---- state the members set -----------------------------------------------------------------
    std::array<ChannelRecord, kChannels> channels;
    std::array<std::unique_ptr<GuideLineRecord>, kGuideSlots> guides;
    std::uint32_t backColor = 0x400000;
    std::uint32_t gridColor = 0x404040;
    std::uint32_t zoomLineColor = 0x402020;
    bool zoomLineDotted = true; // a new zoom-line colour makes the pen solid
    std::int32_t channelCount = 4;
    std::int32_t zoomHorz = 100;
    std::int64_t bitmapWidth = 0;
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    std::int32_t lastRecordTime = 20;
    std::int32_t samplesPerScreen = 0;
    double timeFactor = 1.0;
    std::int32_t drawMode = 0;

    // client width x zoom / 100, in 64 bits.
    static std::int64_t zoomedWidth(std::int64_t clientWidth, std::int64_t zoom) { return clientWidth * zoom / 100; }

    void invalidateTraces(int from = 0, int to = kChannels - 1);
    // SetScopeMode: caches invalid, the bitmap width from the client width, the time factor
    // from the record time (a record time of 0 keeps it).
    void setScopeMode(std::int32_t recordTime, int clientWidth);
    // AddGuideLine: makes the slot's record when it is empty.
    void addGuideLine(std::int32_t id, bool horizontal, std::uint32_t color, std::int32_t position, bool shown);

    // Draws the face into `target` at width x height (the target may be wider). False when a
    // visible channel's trace image could not be made; that trace is left out, the rest drawn.
    // 20 pixels or less either way: nothing is drawn.
    bool drawFace(QImage& target, int width, int height, SampleSource& rows);

    // SaveBitmapFile: the face at width x height, the panel (address, 0 for none) to its right,
    // written to `path` through a temporary file. The file size, or 0 with nothing written and the
    // old file untouched. The face's state is as before whatever the outcome.
    std::int64_t saveBitmapFile(const std::string& path, int width, int height, std::uintptr_t panel,
                                int windowHeight, SampleSource& rows);

    // The size rule for a move or resize: refused while locked or when the size does not change;
    // else each side becomes value - value mod 20 + 1.
    static QRect filterGeometry(const QRect& requested, const QRect& current, bool locked);

private:
    bool drawChannel(int c, QImage& target, int width, int height, std::span<const model::CaptureSample> rows);
    std::int64_t guideY(std::int32_t position, int height) const;
    std::int64_t guideX(std::int32_t position, int width) const;

    struct Saving {
        bool active = false;
        int windowHeight = 0;
        std::int64_t scroll = 0;
        std::int64_t bitmapWidth = 0;
    } m_saving;
};

} // namespace zroscillo
