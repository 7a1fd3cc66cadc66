// A plug-in for the loader's tests: the sample control under its class id, and counters of the
// module's start and exit.
#include "sample_control.h"

#include <component/plugin_api.h>

namespace {

int g_inits = 0;
int g_exits = 0;

class Factory : public comp::ClassFactory {
public:
    comp::HRESULT createInstance(comp::Control** out) noexcept override
    {
        *out = new sample::SampleControl;
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

EXPORT comp::HRESULT DllCanUnloadNow() { return comp::S_FALSE; }
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
