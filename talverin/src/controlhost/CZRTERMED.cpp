#include "controlhost/CZRTERMED.h"

#include <controls/ZRTERMEDMembers.h>

namespace talverin {

namespace m = ctl::zrtermed;

ControlSite* CZRTERMED::Create(QWidget* parent, const QRect& rect, int id, QString* error)
{
    return createSite(ctl::kZRTERMEDIdentity.clsid, parent, rect, id, error);
}

void CZRTERMED::SetReadOnly(plat::BOOL v) const { put(m::ReadOnly, b(v)); }
plat::LONG CZRTERMED::AddString(const char* s, plat::BOOL toBuffer) const { return call(m::AddString, {s ? str(s) : comp::Variant::fromNullString(), b(toBuffer)}).toI4(); }
plat::LONG CZRTERMED::AddString(std::string_view s, plat::BOOL toBuffer) const { return call(m::AddString, {comp::Variant::fromString(s), b(toBuffer)}).toI4(); }
plat::LONG CZRTERMED::Clear(plat::BOOL edit, plat::BOOL buffer) const { return call(m::Clear, {b(edit), b(buffer)}).toI4(); }
plat::LONG CZRTERMED::GetTextLength() const { return call(m::GetTextLength).toI4(); }
plat::LONG CZRTERMED::GetText(char* buf, plat::LONG size) const { return call(m::GetText, {unk(buf), i4(size)}).toI4(); }
void CZRTERMED::Refresh() const { call(m::Refresh); }

} // namespace talverin
