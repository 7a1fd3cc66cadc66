#include "platform/qt/colors.h"

#include <array>

namespace plat {

namespace {

// Light-theme values for the Win32 system colour indices 0-30 (as 0xRRGGBB for reading ease).
constexpr std::array<std::uint32_t, 31> kSystemRgb = {
    0xC8C8C8, // 0 scroll bar
    0x000000, // 1 desktop
    0x99B4D1, // 2 active caption
    0xBFCDDB, // 3 inactive caption
    0xF0F0F0, // 4 menu
    0xFFFFFF, // 5 window
    0x646464, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0x000000, // 9 caption text
    0xB4B4B4, // 10 active border
    0xF4F7FC, // 11 inactive border
    0xABABAB, // 12 application workspace
    0x0078D7, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xF0F0F0, // 15 button face
    0xA0A0A0, // 16 button shadow
    0x6D6D6D, // 17 grey text
    0x000000, // 18 button text
    0x000000, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x696969, // 21 3D dark shadow
    0xE3E3E3, // 22 3D light
    0x000000, // 23 tooltip text
    0xFFFFE1, // 24 tooltip background
    0x000000, // 25 (unused)
    0x0066CC, // 26 hot-tracked item
    0xB9D1EA, // 27 active caption gradient
    0xD7E4F2, // 28 inactive caption gradient
    0x3399FF, // 29 menu highlight
    0xF0F0F0, // 30 menu bar
};

} // namespace

COLORREF GetSysColor(int index)
{
    if (index < 0 || index >= static_cast<int>(kSystemRgb.size()))
        return 0;
    const std::uint32_t rgb = kSystemRgb[static_cast<std::size_t>(index)];
    return RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
}

COLORREF ResolveColorRef(COLORREF color)
{
    if ((color & 0xFF000000u) == SYSTEM_COLOR_FLAG)
        return GetSysColor(static_cast<int>(color & 0xFFu));
    return color & 0x00FFFFFFu;
}

QColor ColorFromColorRef(COLORREF color)
{
    const COLORREF c = ResolveColorRef(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF ColorRefFromColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return RGB(static_cast<BYTE>(rgb.red()), static_cast<BYTE>(rgb.green()),
               static_cast<BYTE>(rgb.blue()));
}

} // namespace plat
