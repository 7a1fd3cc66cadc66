// The CN2 pin row control as the I/O editor screen calls it. Both background colours of the
// row's boxes are offered: the function box (NameBackColor) and the value box (DataBackColor).
#pragma once

#include "controlhost/ControlWrapper.h"

namespace talverin {

class CZRCN2 : public ControlWrapper {
public:
    using ControlWrapper::ControlWrapper;

    static ControlSite* Create(QWidget* parent, const QRect& rect, int id, QString* error = nullptr);

    plat::LONG GetViewMode() const;
    std::string GetSetten() const;
    void SetSetten(const char* value) const;
    void SetData(const char* value) const;
    std::string GetName() const;
    void SetName(const char* value) const;
    plat::LONG GetNumberBackColor() const;
    void SetNumberBackColor(plat::LONG colour) const;
    plat::LONG GetNameBackColor() const;
    void SetNameBackColor(plat::LONG colour) const;
    plat::LONG GetDataBackColor() const;
    void SetDataBackColor(plat::LONG colour) const;
    // lpBuffer: the caller's character buffer of dwBufferSize bytes.
    plat::LONG Export(char* lpBuffer, plat::LONG dwBufferSize, plat::BOOL bNumberAdd) const;
    plat::LONG Import(const char* lpStrData, plat::BOOL bNumberAdd) const;
    plat::LONG SetModifyFlg(plat::BOOL bModify) const;
    plat::BOOL GetModifyFlg() const;
    void SetStatus(plat::LONG lngStatus) const;
    plat::LONG DisableControl(plat::LONG dwMode) const;
    plat::LONG GetState() const;
};

} // namespace talverin
