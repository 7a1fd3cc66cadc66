// The scope's picture file: a 24-bit bitmap file written by hand (file header, 40-byte
// information header with every field not named here 0, rows bottom-up padded to 4 bytes), and
// the information panel the host may hand in as a packed device-independent bitmap in its memory.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <string>

namespace zroscillo {

// 54 + padded row length x height.
std::int64_t BitmapFileSize(int width, int height);
// The whole file for an RGB32 image.
std::string EncodeBitmapFile(const QImage& image);

// Where a packed bitmap's pixel bits begin: the header size plus a colour table of 4 bytes for
// bit count 0, 8 for 1, 1024 for 8 and 64 for any other (the host's panel relies on the last).
std::int64_t PanelBitsOffset(std::uint32_t headerSize, std::uint16_t bitCount);

struct Panel {
    int width = 0;
    int height = 0;
    const std::uint8_t* bits = nullptr; // bottom row first, 3 bytes a pixel (blue, green, red)
    std::int64_t stride = 0;
};
// The panel at `address`: only a 40-byte header, 24 bits, no compression and a positive size no
// larger than `maxSide` each way is taken.
std::optional<Panel> ReadPanel(std::uintptr_t address, int maxSide);
// Copies the panel unscaled with its top-left corner at (x, 0), clipped to the image.
void DrawPanel(QImage& target, int x, const Panel& panel);

} // namespace zroscillo
