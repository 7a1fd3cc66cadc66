#include "controlhost/CZROSCILLO.h"

#include <controls/ZROSCILLOMembers.h>

namespace talverin {

namespace m = ctl::zroscillo;

ControlSite* CZROSCILLO::Create(QWidget* parent, const QRect& rect, int id, QString* error)
{
    return createSite(ctl::kZROSCILLOIdentity.clsid, parent, rect, id, error);
}

void CZROSCILLO::SetBackColor(plat::LONG c) const { put(m::BackColor, i4(c)); }
void CZROSCILLO::SetGraphColorNormalLine(plat::LONG c) const { put(m::GraphColorNormalLine, i4(c)); }
plat::LONG CZROSCILLO::GetBitmapWidth() const { return get(m::BitmapWidth).toI4(); }
void CZROSCILLO::SetZoomLineColor(plat::LONG c) const { put(m::ZoomLineColor, i4(c)); }
plat::LONG CZROSCILLO::SetScopeMode(plat::LONG res, plat::LONG recTime) const { return call(m::SetScopeMode, {i4(res), i4(recTime)}).toI4(); }
plat::LONG CZROSCILLO::SetChannelData(short ch, float zoom, plat::LONG pos, plat::LONG colour) const
{
    return call(m::SetChannelData, {i2(ch), r4(zoom), i4(pos), i4(colour)}).toI4();
}
void CZROSCILLO::ShowChannel(short ch, plat::BOOL visible) const { call(m::ShowChannel, {i2(ch), b(visible)}); }
plat::LONG CZROSCILLO::AddGuideLine(plat::LONG id, plat::BOOL horz, plat::LONG colour, plat::LONG pos, plat::BOOL show) const
{
    return call(m::AddGuideLine, {i4(id), b(horz), i4(colour), i4(pos), b(show)}).toI4();
}
plat::LONG CZROSCILLO::LockPosition(plat::BOOL lock) const { return call(m::LockPosition, {b(lock)}).toI4(); }
plat::LONG CZROSCILLO::ScrollPosition(plat::LONG x, plat::LONG y) const { return call(m::ScrollPosition, {i4(x), i4(y)}).toI4(); }
plat::LONG CZROSCILLO::SetZoom(plat::LONG ch, float zoom) const { return call(m::SetZoom, {i4(ch), r4(zoom)}).toI4(); }
plat::LONG CZROSCILLO::MoveChannelPos(short ch, plat::LONG x, plat::LONG y) const
{
    return call(m::MoveChannelPos, {i2(ch), i4(x), i4(y)}).toI4();
}
plat::LONG CZROSCILLO::SetHorzZoom(plat::LONG zoom, plat::LONG showPos) const { return call(m::SetHorzZoom, {i4(zoom), i4(showPos)}).toI4(); }
plat::LONG CZROSCILLO::UpdateOscilloData(void* data, plat::LONG count, plat::LONG time, plat::LONG res) const
{
    return call(m::UpdateOscilloData, {unk(data), i4(count), i4(time), i4(res)}).toI4();
}
plat::LONG CZROSCILLO::SetGuidLine(plat::LONG id, plat::LONG pos, plat::BOOL show) const
{
    return call(m::SetGuidLine, {i4(id), i4(pos), b(show)}).toI4();
}
plat::LONG CZROSCILLO::SaveBitmapFile(const char* file, plat::LONG wx, plat::LONG wy, std::intptr_t mode) const
{
    return call(m::SaveBitmapFile, {str(file), i4(wx), i4(wy), iptr(mode)}).toI4();
}
plat::BOOL CZROSCILLO::LockPaint(plat::BOOL lock) const { return toBOOL(call(m::LockPaint, {b(lock)})); }
void CZROSCILLO::Redraw(plat::BOOL now) const { call(m::Redraw, {b(now)}); }
plat::LONG CZROSCILLO::DrawMode(plat::LONG mode) const { return call(m::DrawMode, {i4(mode)}).toI4(); }

} // namespace talverin
