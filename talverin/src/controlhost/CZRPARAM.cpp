#include "controlhost/CZRPARAM.h"

#include <controls/ZRPARAMMembers.h>

namespace talverin {

using namespace ctl::zrparam;

ControlSite* CZRPARAM::Create(QWidget* parent, const QRect& rect, int id, QString* error)
{
    return createSite(ctl::kZRPARAMIdentity.clsid, parent, rect, id, error);
}

void CZRPARAM::SetShowStyle(plat::LONG style) const { put(ShowStyle, i4(style)); }
void CZRPARAM::SetStrHelpFolder(const char* folder) const { put(strHelpFolder, str(folder)); }
plat::LONG CZRPARAM::LoadFile(const char* f, const char* s) const { return call(ctl::zrparam::LoadFile, {str(f), str(s)}).toI4(); }
plat::BOOL CZRPARAM::IsCommomMemoryParent() const { return toBOOL(call(ctl::zrparam::IsCommomMemoryParent)); }
plat::LONG CZRPARAM::SetDataChange(void* node) const { return call(ctl::zrparam::SetDataChange, {unk(node)}).toI4(); }
std::intptr_t CZRPARAM::ShowTreeItem(plat::LONG top, const char* path) const
{
    return call(ctl::zrparam::ShowTreeItem, {i4(top), str(path)}).toIntPtr();
}
plat::BOOL CZRPARAM::SetNextFocus(plat::LONG id) const { return toBOOL(call(ctl::zrparam::SetNextFocus, {i4(id)})); }
plat::LONG CZRPARAM::SetReadOnly(plat::LONG mode) const { return call(ctl::zrparam::SetReadOnly, {i4(mode)}).toI4(); }
plat::LONG CZRPARAM::AddEnableCmdType(const char* type) const { return call(ctl::zrparam::AddEnableCmdType, {str(type)}).toI4(); }
void CZRPARAM::InitControl(plat::LONG reserve) const { call(ctl::zrparam::InitControl, {i4(reserve)}); }
void CZRPARAM::UpdateTreeIcon(std::intptr_t root) const { call(ctl::zrparam::UpdateTreeIcon, {iptr(root)}); }

} // namespace talverin
