// The parameter editor control as the parameter screen and the command window call it.
#pragma once

#include "controlhost/ControlWrapper.h"

namespace talverin {

class CZRPARAM : public ControlWrapper {
public:
    using ControlWrapper::ControlWrapper;

    static ControlSite* Create(QWidget* parent, const QRect& rect, int id, QString* error = nullptr);

    void SetShowStyle(plat::LONG style) const;
    void SetStrHelpFolder(const char* folder) const;
    plat::LONG LoadFile(const char* lpFilename, const char* lpSection) const;
    plat::BOOL IsCommomMemoryParent() const;
    plat::LONG SetDataChange(void* lpCZRParamClass) const;
    // The selected tree item's handle, 0 when the path is not found.
    std::intptr_t ShowTreeItem(plat::LONG lngTopFolder, const char* lpStr) const;
    plat::BOOL SetNextFocus(plat::LONG id) const;
    plat::LONG SetReadOnly(plat::LONG dwMode) const;
    plat::LONG AddEnableCmdType(const char* lpStrType) const;
    void InitControl(plat::LONG dwReserve) const;
    void UpdateTreeIcon(std::intptr_t dwItemRoot) const;
};

} // namespace talverin
