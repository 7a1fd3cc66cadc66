// The entry points of a control plug-in, exported by name (the only symbols it exports).
#pragma once

#include "skeleton/ControlModule.h"

#define TALVERIN_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

#define TALVERIN_CONTROL_MODULE(module)                                                                  \
    TALVERIN_PLUGIN_EXPORT comp::HRESULT DllCanUnloadNow() { return (module).canUnloadNow(); }          \
    TALVERIN_PLUGIN_EXPORT comp::HRESULT DllGetClassObject(const comp::Guid* clsid,                     \
                                                           comp::ClassFactory** factory)                \
    {                                                                                                    \
        return (module).getClassObject(clsid, factory);                                                 \
    }                                                                                                    \
    TALVERIN_PLUGIN_EXPORT comp::HRESULT DllRegisterServer() { return (module).registerServer(); }      \
    TALVERIN_PLUGIN_EXPORT comp::HRESULT DllUnregisterServer() { return (module).unregisterServer(); }  \
    TALVERIN_PLUGIN_EXPORT comp::HRESULT TalverinModuleInit() { return (module).moduleInit(); }         \
    TALVERIN_PLUGIN_EXPORT void TalverinModuleExit() { (module).moduleExit(); }
