#include "controlhost/CZRCN2.h"

#include <controls/ZRCN2Members.h>

namespace talverin {

namespace m = ctl::zrcn2;

ControlSite* CZRCN2::Create(QWidget* parent, const QRect& rect, int id, QString* error)
{
    return createSite(ctl::kZRCN2Identity.clsid, parent, rect, id, error);
}

plat::LONG CZRCN2::GetViewMode() const { return get(m::ViewMode).toI4(); }
std::string CZRCN2::GetSetten() const { return get(m::Setten).toString(); }
void CZRCN2::SetSetten(const char* v) const { put(m::Setten, str(v)); }
void CZRCN2::SetData(const char* v) const { put(m::Data, str(v)); }
std::string CZRCN2::GetName() const { return get(m::Name).toString(); }
void CZRCN2::SetName(const char* v) const { put(m::Name, str(v)); }
plat::LONG CZRCN2::GetNumberBackColor() const { return get(m::NumberBackColor).toI4(); }
void CZRCN2::SetNumberBackColor(plat::LONG c) const { put(m::NumberBackColor, i4(c)); }
plat::LONG CZRCN2::GetNameBackColor() const { return get(m::NameBackColor).toI4(); }
void CZRCN2::SetNameBackColor(plat::LONG c) const { put(m::NameBackColor, i4(c)); }
plat::LONG CZRCN2::GetDataBackColor() const { return get(m::DataBackColor).toI4(); }
void CZRCN2::SetDataBackColor(plat::LONG c) const { put(m::DataBackColor, i4(c)); }
plat::LONG CZRCN2::Export(char* buffer, plat::LONG size, plat::BOOL numberAdd) const
{
    return call(m::Export, {unk(buffer), i4(size), b(numberAdd)}).toI4();
}
plat::LONG CZRCN2::Import(const char* line, plat::BOOL numberAdd) const { return call(m::Import, {str(line), b(numberAdd)}).toI4(); }
plat::LONG CZRCN2::SetModifyFlg(plat::BOOL modify) const { return call(m::SetModifyFlg, {b(modify)}).toI4(); }
plat::BOOL CZRCN2::GetModifyFlg() const { return toBOOL(call(m::GetModifyFlg)); }
void CZRCN2::SetStatus(plat::LONG status) const { call(m::SetStatus, {i4(status)}); }
plat::LONG CZRCN2::DisableControl(plat::LONG mode) const { return call(m::DisableControl, {i4(mode)}).toI4(); }
plat::LONG CZRCN2::GetState() const { return call(m::GetState).toI4(); }

} // namespace talverin
