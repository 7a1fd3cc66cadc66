// Dispatch members and events of the parameter editor control. Positions are dispatch ids;
// 5 has no member. Tree item handles, node addresses and window handles travel pointer-sized.
#pragma once

#include "controls/ids.h"

namespace ctl::zrparam {

using comp::MemberKind;
using T = comp::VarType;

enum Dispid : comp::DISPID {
    hWndTreeView = 1, hWndListView = 2, ShowStyle = 3, strHelpFolder = 4,
    InsertItem = 6, GetNextItem = 7, ListDeleteAllItems = 8, ListDeleteColumn = 9, ListInsertColumn = 10,
    ListGetStringWidth = 11, GetItemData = 12, ListInsertItem = 13, ListSetItemText = 14, LoadFile = 15,
    ListGetItemPosition = 16, ListGetCountParPage = 17, ListGetColumnWidth = 18, ListGetItemText = 19,
    ListGetNextItem = 20, ListGetItemData = 21, HelpNavigate = 22, HelpSetHtml = 23, LoadData = 24,
    ExportData = 25, IsCommomMemoryParent = 26, TermWindow = 27, SetDataChange = 28, ShowTreeItem = 29,
    SetNextFocus = 30, CtrlSize = 31, SetReadOnly = 32, AddEnableCmdType = 33, InitControl = 34,
    UpdateTreeIcon = 35,
};

enum EventId : comp::DISPID {
    OnParamChange = 1, QueryUpdate = 2, CtrlHelp = 3, ItemSelect = 4, SetStrChange = 5, IsConnected = 6,
};

inline constexpr comp::MemberInfo kMembers[] = {
    {hWndTreeView, "hWndTreeView", MemberKind::Property, T::IntPtr},
    {hWndListView, "hWndListView", MemberKind::Property, T::IntPtr},
    {ShowStyle, "ShowStyle", MemberKind::Property, T::I4},
    {strHelpFolder, "strHelpFolder", MemberKind::Property, T::BStr},
    {InsertItem, "InsertItem", MemberKind::Method, T::IntPtr, {T::BStr, T::IntPtr, T::IntPtr}},
    {GetNextItem, "GetNextItem", MemberKind::Method, T::IntPtr, {T::I4, T::IntPtr}},
    {ListDeleteAllItems, "ListDeleteAllItems", MemberKind::Method, T::Empty},
    {ListDeleteColumn, "ListDeleteColumn", MemberKind::Method, T::Bool, {T::I4}},
    {ListInsertColumn, "ListInsertColumn", MemberKind::Method, T::I4, {T::I4, T::BStr, T::I4, T::I4, T::I4}},
    {ListGetStringWidth, "ListGetStringWidth", MemberKind::Method, T::I4, {T::BStr}},
    {GetItemData, "GetItemData", MemberKind::Method, T::IntPtr, {T::IntPtr}},
    {ListInsertItem, "ListInsertItem", MemberKind::Method, T::I4, {T::I4, T::BStr, T::I4, T::IntPtr}},
    {ListSetItemText, "ListSetItemText", MemberKind::Method, T::Bool, {T::I4, T::I4, T::BStr}},
    {LoadFile, "LoadFile", MemberKind::Method, T::I4, {T::BStr, T::BStr}},
    {ListGetItemPosition, "ListGetItemPosition", MemberKind::Method, T::Bool, {T::I4, T::PtrI4, T::PtrI4}},
    {ListGetCountParPage, "ListGetCountParPage", MemberKind::Method, T::I4},
    {ListGetColumnWidth, "ListGetColumnWidth", MemberKind::Method, T::I4, {T::I4}},
    // The cell text is copied into the caller's character buffer (1025 bytes), so the third slot
    // is an address: a string slot cannot carry text back.
    {ListGetItemText, "ListGetItemText", MemberKind::Method, T::I4, {T::I4, T::I4, T::Unknown}},
    {ListGetNextItem, "ListGetNextItem", MemberKind::Method, T::I4, {T::I4, T::I4}},
    {ListGetItemData, "ListGetItemData", MemberKind::Method, T::IntPtr, {T::I4}},
    {HelpNavigate, "HelpNavigate", MemberKind::Method, T::I4, {T::BStr}},
    {HelpSetHtml, "HelpSetHtml", MemberKind::Method, T::I4, {T::BStr}},
    {LoadData, "LoadData", MemberKind::Method, T::I4, {T::Unknown, T::IntPtr}},
    {ExportData, "ExportData", MemberKind::Method, T::I4, {T::Unknown, T::I4, T::IntPtr}},
    {IsCommomMemoryParent, "IsCommomMemoryParent", MemberKind::Method, T::Bool},
    {TermWindow, "TermWindow", MemberKind::Method, T::I4},
    {SetDataChange, "SetDataChange", MemberKind::Method, T::I4, {T::Unknown}},
    {ShowTreeItem, "ShowTreeItem", MemberKind::Method, T::IntPtr, {T::I4, T::BStr}},
    {SetNextFocus, "SetNextFocus", MemberKind::Method, T::Bool, {T::I4}},
    {CtrlSize, "CtrlSize", MemberKind::Method, T::I4, {T::PtrI4, T::PtrI4, T::PtrI4, T::Bool}},
    {SetReadOnly, "SetReadOnly", MemberKind::Method, T::I4, {T::I4}},
    {AddEnableCmdType, "AddEnableCmdType", MemberKind::Method, T::I4, {T::BStr}},
    {InitControl, "InitControl", MemberKind::Method, T::Empty, {T::I4}},
    {UpdateTreeIcon, "UpdateTreeIcon", MemberKind::Method, T::Empty, {T::IntPtr}},
};

inline constexpr comp::EventInfo kEvents[] = {
    {OnParamChange, "OnParamChange", {T::Unknown, T::I4}},
    {QueryUpdate, "QueryUpdate", {T::Unknown, T::I4}},
    {CtrlHelp, "CtrlHelp", {T::Unknown, T::PtrBool}},
    {ItemSelect, "ItemSelect", {T::Bool, T::I4, T::I4, T::Unknown}},
    {SetStrChange, "SetStrChange", {T::BStr, T::BStr, T::I4, T::Unknown}},
    {IsConnected, "IsConnected", {T::PtrBool}},
};

inline constexpr comp::ClassInfo kClass = makeClassInfo(kZRPARAMIdentity, kMembers, kEvents);

} // namespace ctl::zrparam
