// The settings panel of a bitmap export drawn and packed the way the scope control's picture
// writer takes it: 348 x 641 pixels, white, the template's frame lines and the filled texts in a
// 7 x 14 fixed-pitch font, each character in its own 7-pixel cell; packed as a 40-byte bitmap
// header with 24-bit rows, bottom row first, from byte 104 (the writer skips 64 bytes after the
// header).
#pragma once

#include "screens/oscillo/OscilloPanel.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace talverin {

inline constexpr int kPanelWidth = 348;
inline constexpr int kPanelHeight = 641;
inline constexpr std::size_t kPanelBitsOffset = 104;

// The frame from the template lines, the texts from the filled ones (same count).
QImage DrawPanel(const std::array<std::string_view, kPanelLineCount>& templateLines,
                 const std::vector<PanelLine>& filled);
// The line height for the panel font: the height of "X" plus a quarter of it.
int PanelLineHeight();

// The packed bitmap; empty for an image that is not 348 x 641.
std::vector<std::uint8_t> PackPanelBitmap(const QImage& panel);

} // namespace talverin
