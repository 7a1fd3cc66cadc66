// Dispatch members and events of the terminal edit control. 3 has no member; Refresh has the
// stock id -550.
#pragma once

#include "controls/ids.h"

namespace ctl::zrtermed {

using comp::MemberKind;
using T = comp::VarType;

enum Dispid : comp::DISPID {
    LocalEcho = 1, EnterOnCharEnabled = 2, ReadOnly = 4, AddChar = 5, AddString = 6, Clear = 7,
    GetTextLength = 8, GetText = 9, Refresh = comp::DISPID_REFRESH,
};

enum EventId : comp::DISPID { KeyEnter = 1, OnChar = 2, PasteEvent = 3, CutEvent = 4, CopyEvent = 5, ClearEvent = 6 };

inline constexpr comp::MemberInfo kMembers[] = {
    {LocalEcho, "LocalEcho", MemberKind::Property, T::Bool},
    {EnterOnCharEnabled, "EnterOnCharEnabled", MemberKind::Property, T::Bool},
    {ReadOnly, "ReadOnly", MemberKind::Property, T::Bool},
    {AddChar, "AddChar", MemberKind::Method, T::I4, {T::I4}},
    {AddString, "AddString", MemberKind::Method, T::I4, {T::BStr, T::Bool}},
    {Clear, "Clear", MemberKind::Method, T::I4, {T::Bool, T::Bool}},
    {GetTextLength, "GetTextLength", MemberKind::Method, T::I4},
    {GetText, "GetText", MemberKind::Method, T::I4, {T::Unknown, T::I4}},
    {Refresh, "Refresh", MemberKind::Method, T::Empty},
};

inline constexpr comp::EventInfo kEvents[] = {
    {KeyEnter, "KeyEnter", {T::BStr}},
    {OnChar, "OnChar", {T::I4}},
    {PasteEvent, "Paste"},
    {CutEvent, "Cut"},
    {CopyEvent, "Copy"},
    {ClearEvent, "Clear"},
};

inline constexpr comp::ClassInfo kClass = makeClassInfo(kZRTERMEDIdentity, kMembers, kEvents);

} // namespace ctl::zrtermed
