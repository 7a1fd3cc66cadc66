// A plug-in for the loader's tests: the sample control under its class id, and counters of the
// module's start and exit; it can be unloaded while none of its controls lives.
#include "sample_control.h"

#include <component/plugin_api.h>

namespace {

int g_inits = 0;
int g_exits = 0;
int g_live = 0;

class CountedControl : public sample::SampleControl {
public:
    CountedControl() { ++g_live; }
    ~CountedControl() override { --g_live; }
};

class Factory : public comp::ClassFactory {
public:
    comp::HRESULT createInstance(comp::Control** out) noexcept override
    {
        *out = new CountedControl;
        return comp::S_OK;
    }
};

Factory g_factory;

} // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT comp::HRESULT DllGetClassObject(const comp::Guid* clsid, comp::ClassFactory** factory)
{
    *factory = nullptr;
    if (!clsid || *clsid != *comp::Guid::fromString(sample::kClass.clsid))
        return comp::CLASS_E_CLASSNOTAVAILABLE;
    *factory = &g_factory;
    return comp::S_OK;
}

EXPORT comp::HRESULT DllCanUnloadNow() { return g_live == 0 ? comp::S_OK : comp::S_FALSE; }
EXPORT comp::HRESULT DllRegisterServer() { return comp::S_OK; }
EXPORT comp::HRESULT DllUnregisterServer() { return comp::S_OK; }
EXPORT comp::HRESULT TalverinModuleInit()
{
    ++g_inits;
    return comp::S_OK;
}
EXPORT void TalverinModuleExit() { ++g_exits; }
EXPORT int TestPluginInits() { return g_inits; }
EXPORT int TestPluginExits() { return g_exits; }
