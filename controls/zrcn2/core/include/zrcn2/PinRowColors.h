// The colours a pin row draws with, as COLORREF (0x00BBGGRR) values already resolved from system
// colours by the caller.
#pragma once

#include <cstdint>

namespace zrcn2 {

using ColorRef = std::uint32_t;

inline constexpr ColorRef kChangedBadgeColor = 0xFF6060; // blue: a changed or pending pin
inline constexpr ColorRef kErrorTextColor = 0x6060FF;    // light red: refused field, pin in error
inline constexpr ColorRef kNumberColor = 0x000000;
inline constexpr int kPressedLighter = 32;

// Each component raised by `amount`, at most 255.
ColorRef Lighter(ColorRef color, int amount);

// The badge: NumberBackColor, or blue for status 1 or a changed row; lighter while pressed.
ColorRef BadgeColor(ColorRef numberBack, std::uint32_t status, bool changed, bool pressed);
// The pin number: light red while the status carries an error, else black.
ColorRef NumberColor(std::uint32_t status);
// A box's text: light red when the status carries an error and that box's bit (16 function,
// 17 value), else the box's own text colour.
ColorRef BoxTextColor(bool functionBox, std::uint32_t status, ColorRef normal);

// A sunken frame in shades of C: left and top edges dark (2 x (c / 4)), right and bottom light
// (5 x (c / 4), at most 255), per component.
struct SunkenShades {
    ColorRef dark;
    ColorRef light;
};
SunkenShades SunkenFrameShades(ColorRef color);

} // namespace zrcn2
