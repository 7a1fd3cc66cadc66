#include "CZRPARAMCtrl.h"

#include "CZRPARAMApp.h"
#include "ParamBuilder.h"
#include "ParamCommands.h"
#include "ParamList.h"
#include "ParamTree.h"
#include "ParamWindow.h"

#include <controls/ZRPARAMMembers.h>

#include <cstring>

namespace {

using namespace ctl::zrparam;
using comp::Result;
using comp::Variant;

constexpr ctl::PropertySpec kProperties[] = {
    {ShowStyle, true, 64}, // help pane shown, tree beside the list
    {strHelpFolder, false, 0, ""},
};

Result i4(std::int64_t v)
{
    return Result::of(Variant::fromI4(static_cast<std::int32_t>(v)));
}

Result boolean(bool v)
{
    return Result::of(Variant::fromBool(v));
}

Result intPtr(std::intptr_t v)
{
    return Result::of(Variant::fromIntPtr(v));
}

// The defaults a member answers while the control has no window.
Result noWindow(const comp::MemberInfo& m)
{
    switch (m.type) {
    case comp::VarType::I4: return i4(m.id == ListInsertColumn || m.id == ListInsertItem || m.id == ListGetNextItem
                                              || m.id == ExportData || m.id == SetDataChange ? -1 : 0);
    case comp::VarType::Bool: return boolean(false);
    case comp::VarType::IntPtr: return intPtr(0);
    default: return {};
    }
}

} // namespace

CZRPARAMCtrl::CZRPARAMCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}

CZRPARAMCtrl::~CZRPARAMCtrl()
{
    // The window calls back into this object while it goes.
    delete m_window.data();
}

QWidget* CZRPARAMCtrl::makeWidget(QWidget* parent)
{
    auto* window = new ParamWindow(*this, m_access, parent);
    m_window = window;
    m_treeHandle = reinterpret_cast<std::intptr_t>(window->treeHandle());
    m_listHandle = reinterpret_cast<std::intptr_t>(window->listHandle());
    return window;
}

Result CZRPARAMCtrl::dispatch(const comp::MemberInfo& member, comp::InvokeKind kind, std::span<const Variant> args)
{
    // The two handles are the control's own variables, filled when its window is made.
    if (member.id == hWndTreeView || member.id == hWndListView) {
        std::intptr_t& handle = member.id == hWndTreeView ? m_treeHandle : m_listHandle;
        if (kind == comp::InvokeKind::PropertyGet)
            return intPtr(handle);
        handle = args[0].toIntPtr();
        return {};
    }
    return SkeletonControl::dispatch(member, kind, args);
}

void CZRPARAMCtrl::propertyChanged(comp::DISPID id)
{
    if (id == ShowStyle && m_window)
        m_window->OnShowStyleChanged();
    else if (id != strHelpFolder)
        SkeletonControl::propertyChanged(id);
}

void CZRPARAMCtrl::propertiesChanged()
{
    if (m_window)
        m_window->OnShowStyleChanged();
}

Result CZRPARAMCtrl::callMethod(const comp::MemberInfo& member, std::span<const Variant> args)
{
    switch (member.id) {
    case LoadData: {
        DataAccess data(paramModule());
        const zrparam::NodeList* list = data.list();
        return i4(list ? static_cast<std::int64_t>(list->size()) : 0);
    }
    case IsCommomMemoryParent: return boolean(paramModule().ownsBlock());
    case SetReadOnly:
        m_access.mode = static_cast<std::uint32_t>(args[0].toI4());
        m_access.types.clear();
        return i4(0);
    case AddEnableCmdType:
        m_access.types.push_back(args[0].toString());
        return i4(static_cast<std::int64_t>(m_access.types.size()));
    default: break;
    }
    if (!m_window)
        return noWindow(member);
    return callWindowMethod(*m_window, member.id, args);
}

Result CZRPARAMCtrl::callWindowMethod(ParamWindow& w, comp::DISPID id, std::span<const Variant> args)
{
    ParamList& list = w.list();
    ParamTree& tree = w.tree();
    switch (id) {
    case InsertItem:
        return intPtr(w.builder().InsertItem(args[0].toString(), args[1].toIntPtr(), reinterpret_cast<const void*>(args[2].toIntPtr())));
    case GetNextItem: return intPtr(tree.nextItem(args[0].toI4(), args[1].toIntPtr()));
    case ListDeleteAllItems: w.builder().ListDeleteAllItems(); return {};
    case ListDeleteColumn: return boolean(w.builder().ListDeleteColumn(args[0].toI4()));
    case ListInsertColumn:
        return i4(w.builder().ListInsertColumn(args[0].toI4(), args[1].toString(), args[2].toI4(), args[3].toI4(), args[4].toI4()));
    case ListGetStringWidth:
        return i4(list.fontMetrics().horizontalAdvance(QString::fromStdString(args[0].toString())));
    case GetItemData: return intPtr(reinterpret_cast<std::intptr_t>(tree.itemData(args[0].toIntPtr())));
    case ListInsertItem:
        return i4(w.builder().ListInsertItem(args[0].toI4(), args[1].toString(), args[2].toI4(),
                                   reinterpret_cast<const void*>(args[3].toIntPtr())));
    case ListSetItemText:
        list.rows().setSubItem(args[0].toI4(), args[1].toI4(), QString::fromStdString(args[2].toString()));
        return boolean(true);
    case LoadFile: return i4(w.builder().LoadFile(args[0].toString(), args[1].toString()));
    case ListGetItemPosition: return boolean(w.ListGetItemPosition(args[0].toI4(), args[1].toPtrI4(), args[2].toPtrI4()));
    case ListGetCountParPage: return i4(list.rowsPerPage());
    case ListGetColumnWidth: {
        const int column = args[0].toI4();
        return i4(column >= 0 && column < list.rows().columnCount() ? list.columnWidth(column) : 0);
    }
    case ListGetItemText: {
        // Into the caller's buffer of 1025 bytes: at most 1024 bytes, whole characters only.
        const QByteArray text = list.rows().subItem(args[0].toI4(), args[1].toI4()).toUtf8();
        auto* buffer = static_cast<char*>(args[2].toUnknown());
        qsizetype length = std::min<qsizetype>(text.size(), 1024);
        while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
        if (buffer) {
            std::memcpy(buffer, text.constData(), static_cast<std::size_t>(length));
            buffer[length] = '\0';
        }
        return i4(length);
    }
    case ListGetNextItem: return i4(list.nextItem(args[0].toI4(), args[1].toI4()));
    case ListGetItemData: {
        const ListRow* row = list.rows().row(args[0].toI4());
        return intPtr(reinterpret_cast<std::intptr_t>(row ? row->data : nullptr));
    }
    case HelpNavigate: w.HelpNavigate(args[0].toString()); return i4(0);
    case HelpSetHtml: w.HelpSetHtml(args[0].toString()); return i4(0);
    case ExportData: {
        const long r = w.ExportData(static_cast<char*>(args[0].toUnknown()), args[1].toI4(), args[2].toIntPtr());
        return i4(r);
    }
    case TermWindow: w.TermWindow(); return i4(0);
    case SetDataChange: return i4(w.commands().SetDataChange(args[0].toUnknown()));
    case ShowTreeItem: return intPtr(w.ShowTreeItem(args[1].toString()));
    case SetNextFocus: return boolean(w.SetNextFocus(args[0].toI4()));
    case CtrlSize:
        w.CtrlSize(args[0].toPtrI4(), args[1].toPtrI4(), args[2].toPtrI4(), args[3].toBool());
        return i4(0);
    case InitControl: w.builder().InitControl(); return {};
    case UpdateTreeIcon: w.commands().UpdateTreeIcon(args[0].toIntPtr()); return {};
    default: return Result::error(comp::E_NOTIMPL);
    }
}

// ---- Events -----------------------------------------------------------------------------------

void CZRPARAMCtrl::fireOnParamChange(model::CZRParamClass* node)
{
    fireEvent(OnParamChange, {Variant::fromUnknown(node), Variant::fromI4(0)});
}

void CZRPARAMCtrl::fireQueryUpdate(model::CZRParamClass* node)
{
    fireEvent(QueryUpdate, {Variant::fromUnknown(node), Variant::fromI4(0)});
}

bool CZRPARAMCtrl::fireCtrlHelp(ctl::HelpInfo& info)
{
    std::int32_t handled = 0;
    fireEvent(CtrlHelp, {Variant::fromUnknown(&info), Variant::fromPtrBool(&handled)});
    return handled != 0;
}

void CZRPARAMCtrl::fireItemSelect(bool listItem, int item, int status, model::CZRParamClass* node)
{
    fireEvent(ItemSelect, {Variant::fromBool(listItem), Variant::fromI4(item), Variant::fromI4(status),
                           Variant::fromUnknown(node)});
}

void CZRPARAMCtrl::fireSetStrChange(const std::string& name, const std::string& text, int index,
                                    model::CZRParamData* record)
{
    fireEvent(SetStrChange, {Variant::fromString(name), Variant::fromString(text), Variant::fromI4(index),
                             Variant::fromUnknown(record)});
}

bool CZRPARAMCtrl::fireIsConnected()
{
    std::int32_t connected = 0;
    fireEvent(IsConnected, {Variant::fromPtrBool(&connected)});
    return connected != 0;
}

int CZRPARAMCtrl::showStyle() const
{
    return property(ShowStyle).toI4();
}

void CZRPARAMCtrl::setShowStyle(int style)
{
    invoke(ShowStyle, comp::InvokeKind::PropertyPut, {Variant::fromI4(style)});
}

std::string CZRPARAMCtrl::helpFolder() const
{
    return property(strHelpFolder).toString();
}
