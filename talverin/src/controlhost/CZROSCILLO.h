// The oscilloscope control as the oscilloscope screen and the main frame call it.
#pragma once

#include "controlhost/ControlWrapper.h"

namespace talverin {

class CZROSCILLO : public ControlWrapper {
public:
    using ControlWrapper::ControlWrapper;

    static ControlSite* Create(QWidget* parent, const QRect& rect, int id, QString* error = nullptr);

    void SetBackColor(plat::LONG colour) const;
    void SetGraphColorNormalLine(plat::LONG colour) const;
    plat::LONG GetBitmapWidth() const;
    void SetZoomLineColor(plat::LONG colour) const;
    plat::LONG SetScopeMode(plat::LONG Resolution, plat::LONG RecTime) const;
    plat::LONG SetChannelData(short nChannel, float fZoomHeight, plat::LONG dwHeightPos, plat::LONG colColor) const;
    void ShowChannel(short nChannel, plat::BOOL bVisible) const;
    plat::LONG AddGuideLine(plat::LONG nID, plat::BOOL bHorz, plat::LONG colColor, plat::LONG lngInitPosition,
                            plat::BOOL bShow) const;
    plat::LONG LockPosition(plat::BOOL bLock) const;
    plat::LONG ScrollPosition(plat::LONG lngXPos, plat::LONG lngYPos) const;
    plat::LONG SetZoom(plat::LONG nChannel, float fZoom) const;
    plat::LONG MoveChannelPos(short nChannel, plat::LONG xPos, plat::LONG yPos) const;
    plat::LONG SetHorzZoom(plat::LONG lngZoom, plat::LONG lngShowPos) const;
    plat::LONG UpdateOscilloData(void* lpCHData, plat::LONG lngDataCount, plat::LONG lngTime, plat::LONG lngRes) const;
    plat::LONG SetGuidLine(plat::LONG nID, plat::LONG lngPosition, plat::BOOL bShow) const;
    // lngMode: 0, or the address of the caller's packed panel bitmap drawn beside the face.
    plat::LONG SaveBitmapFile(const char* lpStrFileName, plat::LONG lngWX, plat::LONG lngWY, std::intptr_t lngMode) const;
    plat::BOOL LockPaint(plat::BOOL bLock) const;
    void Redraw(plat::BOOL bUpdateNow) const;
    plat::LONG DrawMode(plat::LONG mode) const;
};

} // namespace talverin
