// Dispatch members and events of the slider control. 4 has no member. 64-bit values travel as the
// addresses of the caller's variables.
#pragma once

#include "controls/ids.h"

namespace ctl::zrslider {

using comp::MemberKind;
using T = comp::VarType;

enum Dispid : comp::DISPID {
    ViewMode = 1, BorderStyle = 2, RangeBar = 3, Arrow = 5, BackColor = 6, AddCursor = 7, GetValue = 8,
    ShowCursor = 9, SetValue = 10, LockPosition = 11, ShowRange = 12, ChangeRange = 13, GetCursorData = 14,
    GetCursorSize = 15, GetGraphPos = 16, Enabled = 17, GetRangeValue = 18, SetOffset = 19, GetOffset = 20,
    SetZoom = 21, SetGraphPos = 22, ChangeRange2 = 23, SetValue2 = 24, ChangeRangeI64 = 25,
    GetRangeValueI64 = 26, SetValueI64 = 27, GetValueI64 = 28, ChangeRange2I64 = 29, SetValue2I64 = 30,
    EventType = 31,
};

enum EventId : comp::DISPID { OnChanging = 1, OnChanged = 2, OnSliderDblClk = 3, OnChangingI64 = 4, OnChangedI64 = 5 };

inline constexpr comp::MemberInfo kMembers[] = {
    {ViewMode, "ViewMode", MemberKind::Property, T::I4},
    {BorderStyle, "BorderStyle", MemberKind::Property, T::I2},
    {RangeBar, "RangeBar", MemberKind::Property, T::I4},
    {Arrow, "Arrow", MemberKind::Property, T::I4},
    {BackColor, "BackColor", MemberKind::Property, T::I4},
    {AddCursor, "AddCursor", MemberKind::Method, T::I4, {T::I4, T::I4, T::I4, T::I4, T::I4}},
    {GetValue, "GetValue", MemberKind::Method, T::I4, {T::I4}},
    {ShowCursor, "ShowCursor", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {SetValue, "SetValue", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {LockPosition, "LockPosition", MemberKind::Method, T::I4, {T::Bool}},
    {ShowRange, "ShowRange", MemberKind::Method, T::I4, {T::Bool, T::I4, T::I4}},
    {ChangeRange, "ChangeRange", MemberKind::Method, T::I4, {T::I4, T::I4, T::I4, T::I4}},
    {GetCursorData, "GetCursorData", MemberKind::Method, T::Unknown, {T::I4}},
    {GetCursorSize, "GetCursorSize", MemberKind::Method, T::I4},
    {GetGraphPos, "GetGraphPos", MemberKind::Method, T::I4, {T::I4}},
    {Enabled, "Enabled", MemberKind::Method, T::I4, {T::Bool}},
    {GetRangeValue, "GetRangeValue", MemberKind::Method, T::I4, {T::I4, T::PtrI4, T::PtrI4}},
    {SetOffset, "SetOffset", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {GetOffset, "GetOffset", MemberKind::Method, T::I4, {T::I4}},
    {SetZoom, "SetZoom", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {SetGraphPos, "SetGraphPos", MemberKind::Method, T::I4, {T::I2, T::I4}},
    {ChangeRange2, "ChangeRange2", MemberKind::Method, T::I4, {T::I4, T::I4, T::I4, T::I4, T::I4}},
    {SetValue2, "SetValue2", MemberKind::Method, T::I4, {T::I4, T::I4, T::I4}},
    {ChangeRangeI64, "ChangeRangeI64", MemberKind::Method, T::I4, {T::I4, T::Unknown, T::Unknown, T::Unknown}},
    {GetRangeValueI64, "GetRangeValueI64", MemberKind::Method, T::I4, {T::I4, T::Unknown, T::Unknown}},
    {SetValueI64, "SetValueI64", MemberKind::Method, T::I4, {T::I4, T::Unknown}},
    {GetValueI64, "GetValueI64", MemberKind::Method, T::I4, {T::I4, T::Unknown}},
    {ChangeRange2I64, "ChangeRange2I64", MemberKind::Method, T::I4, {T::I4, T::Unknown, T::Unknown, T::Unknown, T::I4}},
    {SetValue2I64, "SetValue2I64", MemberKind::Method, T::I4, {T::I4, T::Unknown, T::I4}},
    {EventType, "EventType", MemberKind::Method, T::Empty, {T::I4}},
};

inline constexpr comp::EventInfo kEvents[] = {
    {OnChanging, "OnChanging", {T::I4, T::I4}},
    {OnChanged, "OnChanged", {T::I4, T::I4}},
    {OnSliderDblClk, "OnSliderDblClk", {T::I4, T::I4, T::I4, T::I4}},
    {OnChangingI64, "OnChangingI64", {T::I4, T::Unknown}},
    {OnChangedI64, "OnChangedI64", {T::I4, T::Unknown}},
};

inline constexpr comp::ClassInfo kClass = makeClassInfo(kZRSLIDERIdentity, kMembers, kEvents);

} // namespace ctl::zrslider
