// What a control class declares about itself: its identity, its dispatch members and its events.
// The host calls members only by dispatch id; the tables let the layer check every call's kind and
// argument types before it reaches the control.
#pragma once

#include "component/variant.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace comp {

using DISPID = std::int32_t;

inline constexpr DISPID DISPID_REFRESH = -550; // the stock Refresh method

// How a member is reached (the values of the dispatch flags).
enum class InvokeKind : std::uint8_t { Method = 1, PropertyGet = 2, PropertyPut = 4 };
const char* invokeKindName(InvokeKind kind);

enum class MemberKind : std::uint8_t { Property, Method };

struct ParamList {
    static constexpr std::size_t kMax = 6;
    std::array<VarType, kMax> types{};
    std::uint8_t count = 0;

    constexpr ParamList() = default;
    constexpr ParamList(std::initializer_list<VarType> list)
    {
        for (VarType t : list)
            if (count < kMax)
                types[count++] = t;
    }
    constexpr std::span<const VarType> span() const { return {types.data(), count}; }
};

struct MemberInfo {
    DISPID id;
    std::string_view name;
    MemberKind kind;
    VarType type; // a property's type, a method's result (Empty: void)
    ParamList params{};
};

struct EventInfo {
    DISPID id;
    std::string_view name;
    ParamList params{};
};

// Registration flags of a class entry.
inline constexpr std::uint32_t kRegInsertable = 0x1;
inline constexpr std::uint32_t kRegApartment = 0x2;

struct ClassInfo {
    std::string_view name;      // "ZRCN2"
    std::string_view clsid;     // "{D1AA4539-...}"
    std::string_view progId;    // "ZRCN2.ZRCN2Ctrl.1"
    std::string_view typeName;  // "ZRCN2 Control"
    std::string_view libId;
    std::string_view libName;   // "ZRCN2Lib"
    std::string_view helpFile;  // "ZRCN2.hlp"
    std::string_view coclass;   // "ZRCN2"
    std::string_view dispIid;
    std::string_view dispName;  // "_DZRCN2"
    std::string_view eventIid;
    std::string_view eventName; // "_DZRCN2Events"
    std::uint32_t regFlags;
    std::uint32_t miscStatus;
    std::string_view verbs;     // "Edit,Properties"
    DISPID reservedDispid;      // a position without a member
    std::span<const MemberInfo> members;
    std::span<const EventInfo> events;

    const MemberInfo* findMember(DISPID id) const;
    const MemberInfo* findMember(std::string_view memberName) const;
    const EventInfo* findEvent(DISPID id) const;
};

} // namespace comp
