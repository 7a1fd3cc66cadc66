// Dispatch members and events of the CN2 pin row control. 17 has no member; Export stays 18.
#pragma once

#include "controls/ids.h"

namespace ctl::zrcn2 {

using comp::MemberKind;
using T = comp::VarType;

enum Dispid : comp::DISPID {
    ViewMode = 1, Number = 2, Setten = 3, Data = 4, Name = 5, NumberBackColor = 6, BorderStyle = 7,
    BackColor = 8, BorderColor = 9, NumberTextColor = 10, SettenBackColor = 11, SettenTextColor = 12,
    NameBackColor = 13, DataBackColor = 14, NameTextColor = 15, DataTextColor = 16,
    Export = 18, Import = 19, SetModifyFlg = 20, GetModifyFlg = 21, SetData = 22, SetStatus = 23,
    DisableControl = 24, GetState = 25,
};

enum EventId : comp::DISPID { RButtonDown = 1, ABGCClick = 2, Change = 3, CtrlHelp = 4, ShowToolBars = 5 };

inline constexpr comp::MemberInfo kMembers[] = {
    {ViewMode, "ViewMode", MemberKind::Property, T::I4},
    {Number, "Number", MemberKind::Property, T::I4},
    {Setten, "Setten", MemberKind::Property, T::BStr},
    {Data, "Data", MemberKind::Property, T::BStr},
    {Name, "Name", MemberKind::Property, T::BStr},
    {NumberBackColor, "NumberBackColor", MemberKind::Property, T::I4},
    {BorderStyle, "BorderStyle", MemberKind::Property, T::I2},
    {BackColor, "BackColor", MemberKind::Property, T::I4},
    {BorderColor, "BorderColor", MemberKind::Property, T::I4},
    {NumberTextColor, "NumberTextColor", MemberKind::Property, T::I4},
    {SettenBackColor, "SettenBackColor", MemberKind::Property, T::I4},
    {SettenTextColor, "SettenTextColor", MemberKind::Property, T::I4},
    {NameBackColor, "NameBackColor", MemberKind::Property, T::I4},
    {DataBackColor, "DataBackColor", MemberKind::Property, T::I4},
    {NameTextColor, "NameTextColor", MemberKind::Property, T::I4},
    {DataTextColor, "DataTextColor", MemberKind::Property, T::I4},
    {Export, "Export", MemberKind::Method, T::I4, {T::Unknown, T::I4, T::Bool}},
    {Import, "Import", MemberKind::Method, T::I4, {T::BStr, T::Bool}},
    {SetModifyFlg, "SetModifyFlg", MemberKind::Method, T::I4, {T::Bool}},
    {GetModifyFlg, "GetModifyFlg", MemberKind::Method, T::Bool},
    {SetData, "SetData", MemberKind::Method, T::I4, {T::BStr, T::BStr, T::BStr, T::I4, T::Bool}},
    {SetStatus, "SetStatus", MemberKind::Method, T::Empty, {T::I4}},
    {DisableControl, "DisableControl", MemberKind::Method, T::I4, {T::I4}},
    {GetState, "GetState", MemberKind::Method, T::I4},
};

inline constexpr comp::EventInfo kEvents[] = {
    {RButtonDown, "RButtonDown", {T::I4, T::IntPtr, T::I4}}, // child id, child window handle, 0
    {ABGCClick, "ABGCClick", {T::BStr, T::Unknown, T::PtrBool}},
    {Change, "Change", {T::I4}},
    {CtrlHelp, "CtrlHelp", {T::Unknown, T::PtrBool}},
    {ShowToolBars, "ShowToolBars", {T::I4}},
};

inline constexpr comp::ClassInfo kClass = makeClassInfo(kZRCN2Identity, kMembers, kEvents);

} // namespace ctl::zrcn2
