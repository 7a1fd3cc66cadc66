#include "component/prop_exchange.h"

#include <limits>

namespace comp {

PropExchange::PropExchange(Mode mode, PropertyBag* bag) : m_mode(mode), m_bag(bag)
{
    if (mode != Mode::Reset && bag == nullptr)
        m_mode = Mode::Reset;
}

void PropExchange::exchangeVersion(std::uint32_t& version, std::uint32_t defaultVersion)
{
    std::int32_t v = static_cast<std::int32_t>(version);
    exchange("_Version", v, static_cast<std::int32_t>(defaultVersion));
    version = static_cast<std::uint32_t>(v);
}

void PropExchange::exchange(std::string_view name, std::int32_t& value, std::int32_t defaultValue)
{
    switch (m_mode) {
    case Mode::Save:
        m_bag->set(name, Variant::fromI4(value));
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
    } else if (stored->type() == VarType::I4) {
        value = stored->toI4();
    } else if (stored->type() == VarType::I2) {
        value = stored->toI2();
    } else {
        value = defaultValue;
        m_rejected.emplace_back(name);
    }
}

void PropExchange::exchange(std::string_view name, std::int16_t& value, std::int16_t defaultValue)
{
    switch (m_mode) {
    case Mode::Save:
        m_bag->set(name, Variant::fromI2(value));
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
    } else if (stored->type() == VarType::I2) {
        value = stored->toI2();
    } else if (stored->type() == VarType::I4 && stored->toI4() >= std::numeric_limits<std::int16_t>::min()
               && stored->toI4() <= std::numeric_limits<std::int16_t>::max()) {
        value = static_cast<std::int16_t>(stored->toI4());
    } else {
        value = defaultValue;
        m_rejected.emplace_back(name);
    }
}

void PropExchange::exchange(std::string_view name, std::string& value, std::string_view defaultValue)
{
    switch (m_mode) {
    case Mode::Save:
        m_bag->set(name, Variant::fromString(value));
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
    } else if (stored->type() == VarType::BStr) {
        value = stored->toString();
    } else {
        value = defaultValue;
        m_rejected.emplace_back(name);
    }
}

} // namespace comp
