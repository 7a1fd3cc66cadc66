// The terminal edit control as the terminal screen and the terminal window call it.
#pragma once

#include "controlhost/ControlWrapper.h"

#include <string_view>

namespace talverin {

class CZRTERMED : public ControlWrapper {
public:
    using ControlWrapper::ControlWrapper;

    static ControlSite* Create(QWidget* parent, const QRect& rect, int id, QString* error = nullptr);

    void SetReadOnly(plat::BOOL readOnly) const;
    plat::LONG AddString(const char* lpString, plat::BOOL bBufferAdd) const;
    // The bytes as they are: a NUL among them does not end the text (the box passes it over).
    plat::LONG AddString(std::string_view text, plat::BOOL bBufferAdd) const;
    plat::LONG Clear(plat::BOOL bEditArea, plat::BOOL bBuffreArea) const;
    plat::LONG GetTextLength() const;
    // lpBuf: the caller's buffer of dwBufSize + 1 bytes.
    plat::LONG GetText(char* lpBuf, plat::LONG dwBufSize) const;
    void Refresh() const;
};

} // namespace talverin
