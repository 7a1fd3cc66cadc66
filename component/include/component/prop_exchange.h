// One pass over a control's persisted properties, in the control's own order: loading them from a
// bag, saving them into one, or giving each its default (the reset state). The control writes
// its exchange once and the three directions follow from it.
#pragma once

#include "component/property_bag.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace comp {

inline constexpr std::uint32_t kPersistVersion = 0x10000; // 1.0

class PropExchange {
public:
    enum class Mode { Load, Save, Reset };

    // Load reads `bag`, Save appends to it; Reset needs none.
    PropExchange(Mode mode, PropertyBag* bag);

    Mode mode() const { return m_mode; }
    bool isLoading() const { return m_mode != Mode::Save; }

    // The version goes first. Loading a bag without one takes the default.
    void exchangeVersion(std::uint32_t& version, std::uint32_t defaultVersion);
    void exchange(std::string_view name, std::int32_t& value, std::int32_t defaultValue);
    void exchange(std::string_view name, std::int16_t& value, std::int16_t defaultValue);
    void exchange(std::string_view name, std::string& value, std::string_view defaultValue);

    // Properties whose stored value could not be used when loading (wrong kind, out of range):
    // they took their defaults.
    const std::vector<std::string>& rejected() const { return m_rejected; }

private:
    // The three directions for one property: `toVariant` makes the saved value, `read` gives the
    // usable value of a stored one, if any.
    template <class T, class Default, class ToVariant, class Read>
    void exchangeValue(std::string_view name, T& value, const Default& defaultValue, ToVariant toVariant,
                       Read read);

    Mode m_mode;
    PropertyBag* m_bag;
    std::vector<std::string> m_rejected;
};

} // namespace comp
