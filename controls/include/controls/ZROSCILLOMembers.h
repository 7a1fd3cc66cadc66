// Dispatch members and events of the oscilloscope control. 4 has no member. Colours are I4
// (0x00BBGGRR). SaveBitmapFile's mode is the address of the caller's panel bitmap (0: none).
#pragma once

#include "controls/ids.h"

namespace ctl::zroscillo {

using comp::MemberKind;
using T = comp::VarType;

enum Dispid : comp::DISPID {
    BackColor = 1, GraphColorNormalLine = 2, ChannelCount = 3, BitmapWidth = 5, ZoomHorz = 6, ZoomLineColor = 7,
    SetScopeMode = 8, SetChannelData = 9, ShowChannel = 10, AddGuideLine = 11, LockPosition = 12,
    ScrollPosition = 13, SetZoom = 14, MoveChannelPos = 15, GetScopeHPosition = 16, GetScopeVPosition = 17,
    SetHorzZoom = 18, UpdateOscilloData = 19, SetGuidLine = 20, SaveBitmapFile = 21, LockPaint = 22,
    Redraw = 23, DrawMode = 24,
};

enum EventId : comp::DISPID { Notify = 1 };

inline constexpr comp::MemberInfo kMembers[] = {
    {BackColor, "BackColor", MemberKind::Property, T::I4},
    {GraphColorNormalLine, "GraphColorNormalLine", MemberKind::Property, T::I4},
    {ChannelCount, "ChannelCount", MemberKind::Property, T::I4},
    {BitmapWidth, "BitmapWidth", MemberKind::Property, T::I4},
    {ZoomHorz, "ZoomHorz", MemberKind::Property, T::I4},
    {ZoomLineColor, "ZoomLineColor", MemberKind::Property, T::I4},
    {SetScopeMode, "SetScopeMode", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {SetChannelData, "SetChannelData", MemberKind::Method, T::I4, {T::I2, T::R4, T::I4, T::I4}},
    {ShowChannel, "ShowChannel", MemberKind::Method, T::Empty, {T::I2, T::Bool}},
    {AddGuideLine, "AddGuideLine", MemberKind::Method, T::I4, {T::I4, T::Bool, T::I4, T::I4, T::Bool}},
    {LockPosition, "LockPosition", MemberKind::Method, T::I4, {T::Bool}},
    {ScrollPosition, "ScrollPosition", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {SetZoom, "SetZoom", MemberKind::Method, T::I4, {T::I4, T::R4}},
    {MoveChannelPos, "MoveChannelPos", MemberKind::Method, T::I4, {T::I2, T::I4, T::I4}},
    {GetScopeHPosition, "GetScopeHPosition", MemberKind::Method, T::I4, {T::I4}},
    {GetScopeVPosition, "GetScopeVPosition", MemberKind::Method, T::I4, {T::I4}},
    {SetHorzZoom, "SetHorzZoom", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {UpdateOscilloData, "UpdateOscilloData", MemberKind::Method, T::I4, {T::Unknown, T::I4, T::I4, T::I4}},
    {SetGuidLine, "SetGuidLine", MemberKind::Method, T::I4, {T::I4, T::I4, T::Bool}},
    {SaveBitmapFile, "SaveBitmapFile", MemberKind::Method, T::I4, {T::BStr, T::I4, T::I4, T::IntPtr}},
    {LockPaint, "LockPaint", MemberKind::Method, T::Bool, {T::Bool}},
    {Redraw, "Redraw", MemberKind::Method, T::Empty, {T::Bool}},
    {DrawMode, "DrawMode", MemberKind::Method, T::I4, {T::I4}},
};

inline constexpr comp::EventInfo kEvents[] = {
    {Notify, "Notify", {T::I4}},
};

inline constexpr comp::ClassInfo kClass = makeClassInfo(kZROSCILLOIdentity, kMembers, kEvents);

} // namespace ctl::zroscillo
