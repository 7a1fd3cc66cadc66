#include "controlhost/CZRSLIDER.h"

#include <controls/ZRSLIDERMembers.h>

namespace talverin {

namespace m = ctl::zrslider;

ControlSite* CZRSLIDER::Create(QWidget* parent, const QRect& rect, int id, QString* error)
{
    return createSite(ctl::kZRSLIDERIdentity.clsid, parent, rect, id, error);
}

plat::LONG CZRSLIDER::GetViewMode() const { return get(m::ViewMode).toI4(); }
short CZRSLIDER::GetBorderStyle() const { return get(m::BorderStyle).toI2(); }
void CZRSLIDER::SetBorderStyle(short s) const { put(m::BorderStyle, i2(s)); }
plat::LONG CZRSLIDER::GetRangeBar() const { return get(m::RangeBar).toI4(); }
void CZRSLIDER::SetRangeBar(plat::LONG v) const { put(m::RangeBar, i4(v)); }
void CZRSLIDER::SetArrow(plat::LONG v) const { put(m::Arrow, i4(v)); }
plat::LONG CZRSLIDER::GetBackColor() const { return get(m::BackColor).toI4(); }
void CZRSLIDER::SetBackColor(plat::LONG c) const { put(m::BackColor, i4(c)); }
plat::LONG CZRSLIDER::AddCursor(plat::LONG id, plat::LONG value, plat::LONG vmin, plat::LONG vmax, plat::LONG color) const
{
    return call(m::AddCursor, {i4(id), i4(value), i4(vmin), i4(vmax), i4(color)}).toI4();
}
plat::LONG CZRSLIDER::GetValue(plat::LONG id) const { return call(m::GetValue, {i4(id)}).toI4(); }
plat::LONG CZRSLIDER::ShowCursor(plat::LONG id, plat::LONG mode) const { return call(m::ShowCursor, {i4(id), i4(mode)}).toI4(); }
plat::LONG CZRSLIDER::SetValue(plat::LONG id, plat::LONG v) const { return call(m::SetValue, {i4(id), i4(v)}).toI4(); }
plat::LONG CZRSLIDER::LockPosition(plat::BOOL lock) const { return call(m::LockPosition, {b(lock)}).toI4(); }
plat::LONG CZRSLIDER::ShowRange(plat::BOOL on, plat::LONG id1, plat::LONG id2) const
{
    return call(m::ShowRange, {b(on), i4(id1), i4(id2)}).toI4();
}
plat::LONG CZRSLIDER::ChangeRange(plat::LONG id, plat::LONG lo, plat::LONG hi, plat::LONG v) const
{
    return call(m::ChangeRange, {i4(id), i4(lo), i4(hi), i4(v)}).toI4();
}
plat::LONG CZRSLIDER::GetCursorSize() const { return call(m::GetCursorSize).toI4(); }
plat::LONG CZRSLIDER::GetGraphPos(plat::LONG id) const { return call(m::GetGraphPos, {i4(id)}).toI4(); }
plat::LONG CZRSLIDER::Enabled(plat::BOOL on) const { return call(m::Enabled, {b(on)}).toI4(); }
plat::LONG CZRSLIDER::GetRangeValue(plat::LONG id, plat::LONG* pMin, plat::LONG* pMax) const
{
    return call(m::GetRangeValue, {i4(id), comp::Variant::fromPtrI4(pMin), comp::Variant::fromPtrI4(pMax)}).toI4();
}
plat::LONG CZRSLIDER::SetGraphPos(short id, plat::LONG pos) const { return call(m::SetGraphPos, {i2(id), i4(pos)}).toI4(); }
plat::LONG CZRSLIDER::GetRangeValueI64(plat::LONG id, std::int64_t* pMin, std::int64_t* pMax) const
{
    return call(m::GetRangeValueI64, {i4(id), unk(pMin), unk(pMax)}).toI4();
}
plat::LONG CZRSLIDER::GetValueI64(plat::LONG id, std::int64_t* pValue) const
{
    return call(m::GetValueI64, {i4(id), unk(pValue)}).toI4();
}
plat::LONG CZRSLIDER::ChangeRangeI64(plat::LONG id, std::int64_t* pMin, std::int64_t* pMax, std::int64_t* pVal) const
{
    return call(m::ChangeRangeI64, {i4(id), unk(pMin), unk(pMax), unk(pVal)}).toI4();
}
plat::LONG CZRSLIDER::ChangeRange2I64(plat::LONG id, std::int64_t* pMin, std::int64_t* pMax, std::int64_t* pVal,
                                      plat::LONG graphPos) const
{
    return call(m::ChangeRange2I64, {i4(id), unk(pMin), unk(pMax), unk(pVal), i4(graphPos)}).toI4();
}

} // namespace talverin
