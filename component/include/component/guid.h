// Class, library and interface identifiers: 128-bit values written "{8-4-4-4-12}" in hexadecimal.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace comp {

struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    // Accepts the text with or without braces, in either letter case; nullopt for anything else.
    static std::optional<Guid> fromString(std::string_view text);
    // Upper case, in braces: "{D1AA4539-6A83-4396-8FF9-2C353052B00F}".
    std::string toString() const;
    bool isNull() const;

    friend bool operator==(const Guid&, const Guid&) = default;
    friend auto operator<=>(const Guid&, const Guid&) = default;
};

} // namespace comp
