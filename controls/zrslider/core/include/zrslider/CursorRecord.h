// One cursor of the slider. The field order is fixed: GetCursorData hands the record's address to
// the host, which may read it by position.
#pragma once

#include <cstdint>

namespace zrslider {

inline constexpr std::uint32_t kHiddenBit = 0x80000000u;
inline constexpr std::uint32_t kLockedBit = 0x40000000u;

struct CursorRecord {
    std::uint32_t idWord = 0; // id in the low 16 bits, hidden and locked bits
    std::int64_t value = 0;
    std::int64_t maximum = 0;
    std::int64_t minimum = 0;
    std::uint64_t span = 0; // |maximum - minimum|
    std::int32_t pixel = 0; // centre of the thumb along the bar
    std::int32_t offset = 0;
    std::int32_t zoom = 1; // drawn at zoom x pixel + offset
    std::int32_t clipSide = 0; // rectangular thumb pushed in from the left (-1) or right (1)
    std::int32_t explicitPosition = 0; // the host placed the pixel (SetGraphPos)
    std::int32_t twoArgument = 0; // the pixel came with the value (SetValue2, ChangeRange2)
    std::uint32_t color = 0; // COLORREF

    std::uint16_t id() const { return static_cast<std::uint16_t>(idWord & 0xFFFF); }
    bool hidden() const { return (idWord & kHiddenBit) != 0; }
    bool locked() const { return (idWord & kLockedBit) != 0; }
    bool free() const { return !hidden() && !locked(); }
    // Where the thumb is drawn (and hit).
    std::int64_t drawnPoint() const { return static_cast<std::int64_t>(zoom) * pixel + offset; }
};

} // namespace zrslider
