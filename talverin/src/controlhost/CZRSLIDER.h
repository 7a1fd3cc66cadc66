// The slider control as the oscilloscope screen calls it. The 64-bit members take the addresses
// of the caller's 64-bit variables.
#pragma once

#include "controlhost/ControlWrapper.h"

namespace talverin {

class CZRSLIDER : public ControlWrapper {
public:
    using ControlWrapper::ControlWrapper;

    static ControlSite* Create(QWidget* parent, const QRect& rect, int id, QString* error = nullptr);

    plat::LONG GetViewMode() const;
    short GetBorderStyle() const;
    void SetBorderStyle(short style) const;
    plat::LONG GetRangeBar() const;
    void SetRangeBar(plat::LONG value) const;
    void SetArrow(plat::LONG value) const;
    plat::LONG GetBackColor() const;
    void SetBackColor(plat::LONG colour) const;
    plat::LONG AddCursor(plat::LONG cursorid, plat::LONG value, plat::LONG vmin, plat::LONG vmax, plat::LONG color) const;
    plat::LONG GetValue(plat::LONG id) const;
    plat::LONG ShowCursor(plat::LONG id, plat::LONG showmode) const;
    plat::LONG SetValue(plat::LONG id, plat::LONG newvalue) const;
    plat::LONG LockPosition(plat::BOOL bLock) const;
    plat::LONG ShowRange(plat::BOOL Enabled, plat::LONG id1, plat::LONG id2) const;
    plat::LONG ChangeRange(plat::LONG id, plat::LONG lngMin, plat::LONG lngMax, plat::LONG lngValue) const;
    plat::LONG GetCursorSize() const;
    plat::LONG GetGraphPos(plat::LONG id) const;
    plat::LONG Enabled(plat::BOOL bEnablle) const;
    plat::LONG GetRangeValue(plat::LONG nID, plat::LONG* pMin, plat::LONG* pMax) const;
    plat::LONG SetGraphPos(short id, plat::LONG pos) const;
    plat::LONG GetRangeValueI64(plat::LONG nID, std::int64_t* pI64Min, std::int64_t* pI64Max) const;
    plat::LONG GetValueI64(plat::LONG id, std::int64_t* pI64Value) const;
    plat::LONG ChangeRangeI64(plat::LONG id, std::int64_t* pI64Min, std::int64_t* pI64Max, std::int64_t* pI64Val) const;
    plat::LONG ChangeRange2I64(plat::LONG id, std::int64_t* pI64Min, std::int64_t* pI64Max, std::int64_t* pI64Val,
                               plat::LONG lngGraphPos) const;
};

} // namespace talverin
