#include "zroscillo/BitmapFile.h"

#include <algorithm>
#include <cstring>

namespace zroscillo {

namespace {

std::int64_t paddedRow(int width)
{
    return (static_cast<std::int64_t>(width) * 3 + 3) / 4 * 4;
}

void put16(std::string& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

template <class T>
T read(const std::uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

} // namespace

std::int64_t BitmapFileSize(int width, int height)
{
    return 54 + paddedRow(width) * height;
}

std::string EncodeBitmapFile(const QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    const std::int64_t row = paddedRow(w);
    const std::int64_t size = BitmapFileSize(w, h);
    std::string out(static_cast<std::size_t>(size), '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(size));
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, static_cast<std::uint32_t>(w));
    put32(out, 22, static_cast<std::uint32_t>(h));
    put16(out, 26, 1);
    put16(out, 28, 24);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));
        char* dst = out.data() + 54 + row * y;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = static_cast<char>(qBlue(line[x]));
            dst[3 * x + 1] = static_cast<char>(qGreen(line[x]));
            dst[3 * x + 2] = static_cast<char>(qRed(line[x]));
        }
    }
    return out;
}

std::int64_t PanelBitsOffset(std::uint32_t headerSize, std::uint16_t bitCount)
{
    const std::int64_t table = bitCount == 0 ? 4 : bitCount == 1 ? 8 : bitCount == 8 ? 1024 : 64;
    return static_cast<std::int64_t>(headerSize) + table;
}

std::optional<Panel> ReadPanel(std::uintptr_t address, int maxSide)
{
    if (!address)
        return std::nullopt;
    const auto* header = reinterpret_cast<const std::uint8_t*>(address);
    const auto headerSize = read<std::uint32_t>(header);
    const auto width = read<std::int32_t>(header + 4);
    const auto height = read<std::int32_t>(header + 8);
    const auto bitCount = read<std::uint16_t>(header + 14);
    const auto compression = read<std::uint32_t>(header + 16);
    if (headerSize != 40 || bitCount != 24 || compression != 0 || width <= 0 || height <= 0 || width > maxSide
        || height > maxSide)
        return std::nullopt;
    Panel p;
    p.width = width;
    p.height = height;
    p.stride = paddedRow(width);
    p.bits = header + PanelBitsOffset(headerSize, bitCount);
    return p;
}

void DrawPanel(QImage& target, int x, const Panel& panel)
{
    const int rows = std::min(panel.height, target.height());
    const int columns = std::min(panel.width, target.width() - x);
    if (columns <= 0 || x < 0)
        return;
    for (int y = 0; y < rows; ++y) {
        // Bottom-up: image row y is the panel's row height - 1 - y.
        const std::uint8_t* src = panel.bits + panel.stride * (panel.height - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y)) + x;
        for (int i = 0; i < columns; ++i)
            dst[i] = qRgb(src[3 * i + 2], src[3 * i + 1], src[3 * i]);
    }
}

} // namespace zroscillo
