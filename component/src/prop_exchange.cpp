#include "component/prop_exchange.h"

#include <limits>

namespace comp {

PropExchange::PropExchange(Mode mode, PropertyBag* bag) : m_mode(mode), m_bag(bag)
{
    if (mode != Mode::Reset && bag == nullptr)
        m_mode = Mode::Reset;
}

template <class T, class Default, class ToVariant, class Read>
void PropExchange::exchangeValue(std::string_view name, T& value, const Default& defaultValue,
                                 ToVariant toVariant, Read read)
{
    switch (m_mode) {
    case Mode::Save:
        m_bag->set(name, toVariant(value));
        return;
    case Mode::Reset:
        value = defaultValue;
        return;
    case Mode::Load:
        break;
    }
    const Variant* stored = m_bag->find(name);
    if (!stored) {
        value = defaultValue;
    } else if (std::optional<T> usable = read(*stored)) {
        value = std::move(*usable);
    } else {
        value = defaultValue;
        m_rejected.emplace_back(name);
    }
}

void PropExchange::exchangeVersion(std::uint32_t& version, std::uint32_t defaultVersion)
{
    std::int32_t v = static_cast<std::int32_t>(version);
    exchange("_Version", v, static_cast<std::int32_t>(defaultVersion));
    version = static_cast<std::uint32_t>(v);
}

void PropExchange::exchange(std::string_view name, std::int32_t& value, std::int32_t defaultValue)
{
    exchangeValue(name, value, defaultValue, Variant::fromI4,
                  [](const Variant& v) -> std::optional<std::int32_t> {
                      if (v.type() == VarType::I4) return v.toI4();
                      if (v.type() == VarType::I2) return v.toI2();
                      return std::nullopt;
                  });
}

void PropExchange::exchange(std::string_view name, std::int16_t& value, std::int16_t defaultValue)
{
    exchangeValue(name, value, defaultValue, Variant::fromI2,
                  [](const Variant& v) -> std::optional<std::int16_t> {
                      if (v.type() == VarType::I2) return v.toI2();
                      // A wider integer is taken when it fits.
                      if (v.type() == VarType::I4 && v.toI4() >= std::numeric_limits<std::int16_t>::min()
                          && v.toI4() <= std::numeric_limits<std::int16_t>::max())
                          return static_cast<std::int16_t>(v.toI4());
                      return std::nullopt;
                  });
}

void PropExchange::exchange(std::string_view name, std::string& value, std::string_view defaultValue)
{
    exchangeValue(name, value, defaultValue, [](const std::string& v) { return Variant::fromString(v); },
                  [](const Variant& v) -> std::optional<std::string> {
                      if (v.type() == VarType::BStr) return v.toString();
                      return std::nullopt;
                  });
}

} // namespace comp
