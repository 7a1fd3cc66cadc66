// The entry points every control plug-in exports (by name, C linkage), and the class factory it
// hands out. The loader calls TalverinModuleInit once, after the application object exists, and
// TalverinModuleExit at shutdown; a plug-in is never unloaded before the process ends.
#pragma once

#include "component/control.h"
#include "component/guid.h"
#include "component/status.h"

namespace comp {

class ClassFactory {
public:
    virtual ~ClassFactory() = default;
    // A new control, owned by the caller (the loader resets it before handing it out).
    virtual HRESULT createInstance(Control** out) noexcept = 0;
};

using DllGetClassObjectFn = HRESULT (*)(const Guid* clsid, ClassFactory** factory);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
using ModuleInitFn = HRESULT (*)();
using ModuleExitFn = void (*)();

inline constexpr const char* kDllGetClassObject = "DllGetClassObject";
inline constexpr const char* kDllCanUnloadNow = "DllCanUnloadNow";
inline constexpr const char* kDllRegisterServer = "DllRegisterServer";
inline constexpr const char* kDllUnregisterServer = "DllUnregisterServer";
inline constexpr const char* kModuleInit = "TalverinModuleInit";
inline constexpr const char* kModuleExit = "TalverinModuleExit";

} // namespace comp
