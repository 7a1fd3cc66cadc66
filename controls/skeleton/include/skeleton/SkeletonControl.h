// What the five controls share: properties kept by dispatch id with their initial values and
// defaults, the persisted ones exchanged in the control's own order, the module's live-object
// count, and methods that answer E_NOTIMPL ("member not implemented") until a control gives them
// their behaviour.
#pragma once

#include "skeleton/ControlModule.h"

#include <component/control.h>

#include <map>
#include <span>
#include <string>
#include <string_view>

namespace ctl {

// One property of a control: its initial value (which is also its default when persisted). The
// kind comes from the member table. Numbers and BOOLs use `number`, strings `text`.
struct PropertySpec {
    comp::DISPID id;
    bool persisted;
    std::int64_t number;
    std::string_view text = {};
};

class SkeletonControl : public comp::Control {
public:
    // `properties` lists the persisted ones in their persistence order.
    SkeletonControl(ControlModule& module, const comp::ClassInfo& info, std::span<const PropertySpec> properties);
    ~SkeletonControl() override;

    const comp::ClassInfo& classInfo() const override { return m_info; }

    // The stored value of a property (Empty for an id that is not a property).
    comp::Variant property(comp::DISPID id) const;
    std::int32_t propertyI4(comp::DISPID id) const { return property(id).toI4(); }

protected:
    comp::Result dispatch(const comp::MemberInfo& member, comp::InvokeKind kind,
                          std::span<const comp::Variant> args) override;
    void exchangeProperties(comp::PropExchange& px) override;

    // A method call, already checked against the member table.
    virtual comp::Result callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args);
    // After a put changed a property; the default repaints.
    virtual void propertyChanged(comp::DISPID id);

    ControlModule& module() const { return m_module; }
    // Stores a property's value as the control computed it (no change notice); ignored for an
    // id that is not a property or a value of another kind.
    void setProperty(comp::DISPID id, const comp::Variant& value);

private:
    comp::Variant initialValue(const PropertySpec& prop) const;

    ControlModule& m_module;
    const comp::ClassInfo& m_info;
    std::span<const PropertySpec> m_props;
    std::map<comp::DISPID, comp::Variant> m_values;
};

} // namespace ctl
