// A trace image: one bit per pixel, as wide as the zoomed screen. Lines follow the system's own
// rule that a line's last point is not drawn, so a polyline draws each joint once; the drawing is
// clipped to the image however far outside the points lie. Laying it over the face ORs a colour
// into every pixel whose bit is set.
#pragma once

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

namespace zroscillo {

class MonoBitmap {
public:
    // Larger images are refused (the trace is reported as not made).
    static constexpr std::int64_t kMaxBits = std::int64_t{1} << 31;
    static constexpr std::int64_t kMaxWidth = std::int64_t{1} << 30;

    // nullptr when the size is negative, too large, or the memory cannot be had. A width of 0
    // gives an image without pixels.
    static std::unique_ptr<MonoBitmap> make(std::int64_t width, int height);

    std::int64_t width() const { return m_width; }
    int height() const { return m_height; }

    void clear();
    bool test(std::int64_t x, std::int64_t y) const;
    void set(std::int64_t x, std::int64_t y);
    // From (x0, y0) towards (x1, y1); (x1, y1) itself is not drawn.
    void drawLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
    // Column x from y0 to y1, both drawn.
    void verticalRun(std::int64_t x, std::int64_t y0, std::int64_t y1);

    // ORs `rgb` (0xRRGGBB) into each pixel (x, y) of `target` inside width x height whose bit at
    // (x + scroll, y) is set.
    void overlay(QImage& target, int width, int height, std::int64_t scroll, std::uint32_t rgb) const;

    bool operator==(const MonoBitmap& other) const
    {
        return m_width == other.m_width && m_height == other.m_height && m_words == other.m_words;
    }

private:
    MonoBitmap(std::int64_t width, int height);

    std::int64_t m_width;
    int m_height;
    std::size_t m_wordsPerRow;
    std::vector<std::uint64_t> m_words;
};

} // namespace zroscillo
