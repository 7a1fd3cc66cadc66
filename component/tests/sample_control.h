// A small control for the layer's own tests: two persisted properties, a method with mixed
// argument kinds, one that throws, one that answers the wrong kind, and an event.
#pragma once

#include <component/control.h>

#include <stdexcept>
#include <string>

namespace sample {

using comp::VarType;

inline constexpr comp::MemberInfo kMembers[] = {
    {1, "Count", comp::MemberKind::Property, VarType::I4},
    {2, "Title", comp::MemberKind::Property, VarType::BStr},
    {3, "Width", comp::MemberKind::Property, VarType::I2},
    // 4 is a reserved position
    {5, "Mix", comp::MemberKind::Method, VarType::I4, {VarType::I2, VarType::R4, VarType::Bool, VarType::Unknown}},
    {6, "Boom", comp::MemberKind::Method, VarType::Empty},
    {7, "Liar", comp::MemberKind::Method, VarType::I4},
    {8, "Fire", comp::MemberKind::Method, VarType::Empty, {VarType::I4}},
};

inline constexpr comp::EventInfo kEvents[] = {
    {1, "Changed", {VarType::I4, VarType::BStr}},
};

inline constexpr comp::ClassInfo kClass = {
    "SAMPLE", "{11111111-2222-3333-4444-555555555555}", "Sample.SampleCtrl.1", "Sample Control",
    "{11111111-2222-3333-4444-666666666666}", "SampleLib", "Sample.hlp", "Sample",
    "{11111111-2222-3333-4444-777777777777}", "_DSample", "{11111111-2222-3333-4444-888888888888}",
    "_DSampleEvents", comp::kRegInsertable | comp::kRegApartment, 0x20191, "Edit,Properties", 4,
    kMembers, kEvents};

class SampleControl : public comp::Control {
public:
    const comp::ClassInfo& classInfo() const override { return kClass; }

    std::int32_t count = 0;
    std::string title;
    std::int16_t width = 0;
    std::int32_t firedEvents = 0;

protected:
    comp::Result dispatch(const comp::MemberInfo& m, comp::InvokeKind kind,
                          std::span<const comp::Variant> args) override
    {
        using comp::Result;
        using comp::Variant;
        const bool put = kind == comp::InvokeKind::PropertyPut;
        switch (m.id) {
        case 1:
            if (put)
                count = args[0].toI4();
            return put ? Result{} : Result::of(Variant::fromI4(count));
        case 2:
            if (put)
                title = args[0].toString();
            return put ? Result{} : Result::of(Variant::fromString(title));
        case 3:
            if (put)
                width = args[0].toI2();
            return put ? Result{} : Result::of(Variant::fromI2(width));
        case 5:
            return Result::of(Variant::fromI4(args[0].toI2() + static_cast<int>(args[1].toR4())
                                              + (args[2].toBool() ? 1000 : 0)));
        case 6: throw std::runtime_error("boom");
        case 7: return Result::of(Variant::fromString("not a long"));
        case 8:
            fireEvent(1, {Variant::fromI4(args[0].toI4()), Variant::fromString("changed")});
            fireEvent(1, {Variant::fromI4(args[0].toI4())}); // wrong shape: dropped
            return Result{};
        }
        return Result::error(comp::E_NOTIMPL);
    }

    void exchangeProperties(comp::PropExchange& px) override
    {
        px.exchange("Count", count, 7);
        px.exchange("Title", title, "untitled");
        px.exchange("Width", width, 3);
    }
};

} // namespace sample
