#include "zroscillo/MonoBitmap.h"

#include <algorithm>
#include <new>

namespace zroscillo {

MonoBitmap::MonoBitmap(std::int64_t width, int height)
    : m_width(width), m_height(height), m_wordsPerRow(static_cast<std::size_t>((width + 63) / 64)),
      m_words(m_wordsPerRow * static_cast<std::size_t>(height), 0)
{
}

std::unique_ptr<MonoBitmap> MonoBitmap::make(std::int64_t width, int height)
{
    if (width < 0 || height <= 0 || width > kMaxWidth || width * height > kMaxBits)
        return nullptr;
    try {
        return std::unique_ptr<MonoBitmap>(new MonoBitmap(width, height));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void MonoBitmap::clear()
{
    std::fill(m_words.begin(), m_words.end(), 0);
}

bool MonoBitmap::test(std::int64_t x, std::int64_t y) const
{
    if (x < 0 || x >= m_width || y < 0 || y >= m_height)
        return false;
    return (m_words[static_cast<std::size_t>(y) * m_wordsPerRow + static_cast<std::size_t>(x >> 6)] >> (x & 63)) & 1;
}

void MonoBitmap::set(std::int64_t x, std::int64_t y)
{
    if (x < 0 || x >= m_width || y < 0 || y >= m_height)
        return;
    m_words[static_cast<std::size_t>(y) * m_wordsPerRow + static_cast<std::size_t>(x >> 6)] |= std::uint64_t{1} << (x & 63);
}

void MonoBitmap::verticalRun(std::int64_t x, std::int64_t y0, std::int64_t y1)
{
    if (x < 0 || x >= m_width)
        return;
    const std::int64_t from = std::max<std::int64_t>(std::min(y0, y1), 0);
    const std::int64_t to = std::min<std::int64_t>(std::max(y0, y1), m_height - 1);
    const std::uint64_t bit = std::uint64_t{1} << (x & 63);
    std::uint64_t* word = m_words.data() + static_cast<std::size_t>(x >> 6);
    for (std::int64_t y = from; y <= to; ++y)
        word[static_cast<std::size_t>(y) * m_wordsPerRow] |= bit;
}

namespace {

// The steps k of a line along its major axis (coordinate start + dir x k) that fall in [0, size).
void clipSteps(std::int64_t start, int dir, std::int64_t size, std::int64_t& first, std::int64_t& last)
{
    if (dir > 0) {
        first = std::max<std::int64_t>(first, -start);
        last = std::min<std::int64_t>(last, size - start);
    } else {
        first = std::max<std::int64_t>(first, start - size + 1);
        last = std::min<std::int64_t>(last, start + 1);
    }
}

} // namespace

void MonoBitmap::drawLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1)
{
    const std::int64_t adx = x1 >= x0 ? x1 - x0 : x0 - x1;
    const std::int64_t ady = y1 >= y0 ? y1 - y0 : y0 - y1;
    const int sx = x1 >= x0 ? 1 : -1;
    const int sy = y1 >= y0 ? 1 : -1;
    const bool xMajor = adx >= ady;
    const std::int64_t major = xMajor ? adx : ady;
    const std::int64_t minor = xMajor ? ady : adx;
    if (major == 0)
        return;
    // Step k puts the minor coordinate at round(k x minor / major), halves away from the start:
    // (2 k minor + major) / (2 major), kept as quotient and remainder.
    std::int64_t first = 0;
    std::int64_t last = major; // exclusive: the end point is not drawn
    if (xMajor)
        clipSteps(x0, sx, m_width, first, last);
    else
        clipSteps(y0, sy, m_height, first, last);
    if (first >= last)
        return;
    const __int128 num = static_cast<__int128>(2) * first * minor + major;
    const std::int64_t twoMajor = 2 * major;
    std::int64_t q = static_cast<std::int64_t>(num / twoMajor);
    std::int64_t r = static_cast<std::int64_t>(num % twoMajor);
    const std::int64_t twoMinor = 2 * minor;
    for (std::int64_t k = first; k < last; ++k) {
        if (xMajor)
            set(x0 + sx * k, y0 + sy * q);
        else
            set(x0 + sx * q, y0 + sy * k);
        r += twoMinor;
        if (r >= twoMajor) {
            r -= twoMajor;
            ++q;
        }
    }
}

void MonoBitmap::overlay(QImage& target, int width, int height, std::int64_t scroll, std::uint32_t rgb) const
{
    const int rows = std::min({m_height, height, target.height()});
    // Target columns [x0, x1) see bitmap columns [x0 + scroll, x1 + scroll) inside [0, width).
    const std::int64_t x0 = std::max<std::int64_t>(0, -scroll);
    const std::int64_t x1 = std::min<std::int64_t>(std::min(width, target.width()), m_width - scroll);
    if (x0 >= x1)
        return;
    const std::int64_t b0 = x0 + scroll;
    const std::int64_t b1 = x1 + scroll;
    for (int y = 0; y < rows; ++y) {
        auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        const std::uint64_t* row = m_words.data() + static_cast<std::size_t>(y) * m_wordsPerRow;
        for (std::int64_t w = b0 >> 6; w <= (b1 - 1) >> 6; ++w) {
            std::uint64_t bits = row[w];
            if (!bits)
                continue;
            const std::int64_t base = w << 6;
            if (base < b0)
                bits &= ~std::uint64_t{0} << (b0 - base);
            if (base + 64 > b1)
                bits &= ~std::uint64_t{0} >> (base + 64 - b1);
            while (bits) {
                const int bit = __builtin_ctzll(bits);
                bits &= bits - 1;
                line[base + bit - scroll] |= rgb;
            }
        }
    }
}

} // namespace zroscillo
