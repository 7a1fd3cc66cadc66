#include "skeleton/SkeletonControl.h"

#include <component/log.h>

namespace ctl {

using comp::Variant;
using comp::VarType;

SkeletonControl::SkeletonControl(ControlModule& module, const comp::ClassInfo& info,
                                 std::span<const PropertySpec> properties)
    : m_module(module), m_info(info), m_props(properties)
{
    m_module.objectCreated();
    for (const PropertySpec& prop : m_props)
        m_values[prop.id] = initialValue(prop);
}

SkeletonControl::~SkeletonControl()
{
    m_module.objectDestroyed();
}

Variant SkeletonControl::initialValue(const PropertySpec& prop) const
{
    const comp::MemberInfo* m = m_info.findMember(prop.id);
    switch (m ? m->type : VarType::Empty) {
    case VarType::Bool: return Variant::fromBool(prop.number != 0);
    case VarType::I2: return Variant::fromI2(static_cast<std::int16_t>(prop.number));
    case VarType::I4: return Variant::fromI4(static_cast<std::int32_t>(prop.number));
    case VarType::IntPtr: return Variant::fromIntPtr(static_cast<std::intptr_t>(prop.number));
    case VarType::BStr: return Variant::fromString(prop.text);
    default: return {};
    }
}

Variant SkeletonControl::property(comp::DISPID id) const
{
    auto it = m_values.find(id);
    return it == m_values.end() ? Variant() : it->second;
}

void SkeletonControl::setProperty(comp::DISPID id, const Variant& value)
{
    auto it = m_values.find(id);
    if (it != m_values.end() && it->second.type() == value.type())
        it->second = value;
}

comp::Result SkeletonControl::dispatch(const comp::MemberInfo& member, comp::InvokeKind kind,
                                       std::span<const Variant> args)
{
    if (member.kind == comp::MemberKind::Method)
        return callMethod(member, args);
    auto it = m_values.find(member.id);
    if (it == m_values.end())
        return comp::Result::error(comp::E_NOTIMPL);
    if (kind == comp::InvokeKind::PropertyGet)
        return comp::Result::of(it->second);
    if (!(it->second == args[0])) {
        it->second = args[0];
        propertyChanged(member.id);
    }
    return {};
}

comp::Result SkeletonControl::callMethod(const comp::MemberInfo&, std::span<const Variant>)
{
    return comp::Result::error(comp::E_NOTIMPL);
}

void SkeletonControl::propertyChanged(comp::DISPID)
{
    invalidateControl();
}

void SkeletonControl::exchangeProperties(comp::PropExchange& px)
{
    for (const PropertySpec& prop : m_props) {
        if (!prop.persisted)
            continue;
        const comp::MemberInfo* m = m_info.findMember(prop.id);
        Variant& value = m_values[prop.id];
        switch (m ? m->type : VarType::Empty) {
        case VarType::I4: {
            std::int32_t v = value.toI4();
            px.exchange(m->name, v, static_cast<std::int32_t>(prop.number));
            value = Variant::fromI4(v);
            break;
        }
        case VarType::I2: {
            std::int16_t v = value.toI2();
            px.exchange(m->name, v, static_cast<std::int16_t>(prop.number));
            value = Variant::fromI2(v);
            break;
        }
        case VarType::BStr: {
            std::string v = value.toString();
            px.exchange(m->name, v, prop.text);
            value = Variant::fromString(v);
            break;
        }
        default:
            comp::logLine(std::string(m_info.name) + ": property " + std::to_string(prop.id)
                          + " cannot be persisted");
            break;
        }
    }
}

} // namespace ctl
