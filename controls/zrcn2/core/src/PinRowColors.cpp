#include "zrcn2/PinRowColors.h"

#include "zrcn2/PinRowModel.h"

#include <algorithm>

namespace zrcn2 {

namespace {

ColorRef Pack(unsigned r, unsigned g, unsigned b)
{
    return std::min(r, 255u) | (std::min(g, 255u) << 8) | (std::min(b, 255u) << 16);
}

unsigned Red(ColorRef c) { return c & 0xFF; }
unsigned Green(ColorRef c) { return (c >> 8) & 0xFF; }
unsigned Blue(ColorRef c) { return (c >> 16) & 0xFF; }

} // namespace

ColorRef Lighter(ColorRef c, int amount)
{
    const unsigned a = static_cast<unsigned>(std::max(amount, 0));
    return Pack(Red(c) + a, Green(c) + a, Blue(c) + a);
}

ColorRef BadgeColor(ColorRef numberBack, std::uint32_t status, bool changed, bool pressed)
{
    const ColorRef base = (status == kStatusChanged || changed) ? kChangedBadgeColor : (numberBack & 0xFFFFFF);
    return pressed ? Lighter(base, kPressedLighter) : base;
}

ColorRef NumberColor(std::uint32_t status)
{
    return (status & kStatusError) ? kErrorTextColor : kNumberColor;
}

ColorRef BoxTextColor(bool functionBox, std::uint32_t status, ColorRef normal)
{
    const std::uint32_t bit = functionBox ? kStatusFunctionWrong : kStatusValueWrong;
    return ((status & kStatusError) && (status & bit)) ? kErrorTextColor : normal;
}

SunkenShades SunkenFrameShades(ColorRef c)
{
    // Each shade from its own component (red from red).
    const unsigned r = Red(c) / 4, g = Green(c) / 4, b = Blue(c) / 4;
    return {Pack(2 * r, 2 * g, 2 * b), Pack(5 * r, 5 * g, 5 * b)};
}

} // namespace zrcn2
