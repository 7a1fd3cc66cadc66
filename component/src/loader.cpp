#include "component/loader.h"

#include "component/log.h"
#include "component/plugin_api.h"
#include "component/registry.h"

#include <QCoreApplication>

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <vector>

namespace comp {

namespace {

struct Module {
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    ModuleInitFn init = nullptr;
    ModuleExitFn exit = nullptr;
    DllCanUnloadNowFn canUnload = nullptr;
    bool initialised = false;
    std::string path;
};

CreateResult failure(HRESULT hr, std::string text)
{
    logLine(text + ": " + statusText(hr));
    CreateResult r;
    r.status = hr;
    r.error = std::move(text);
    return r;
}

} // namespace

struct Loader::Impl {
    std::mutex mutex;
    std::map<std::string, Module> modules; // by plug-in path
    std::vector<Module*> initOrder;
};

Loader::Loader() : m_impl(std::make_unique<Impl>()) {}

// The instance is never destroyed: plug-in code may still run in static destructors.
Loader::~Loader() = default;

Loader& Loader::instance()
{
    static Loader* loader = new Loader;
    return *loader;
}

CreateResult Loader::create(std::string_view clsidText)
{
    auto clsid = Guid::fromString(clsidText);
    if (!clsid)
        return failure(REGDB_E_CLASSNOTREG, "\"" + std::string(clsidText) + "\" is not a class id");
    return create(*clsid);
}

CreateResult Loader::create(const Guid& clsid)
{
    const std::string id = clsid.toString();
    const Registry registry(Registry::defaultPath());
    const auto entry = registry.findClass(clsid);
    if (!entry)
        return failure(REGDB_E_CLASSNOTREG, "class " + id + " is not registered in " + registry.path());
    if (entry->path.empty())
        return failure(CO_E_DLLNOTFOUND, "class " + id + " names no plug-in file");
    if (QCoreApplication::instance() == nullptr)
        return failure(CO_E_NOTINITIALIZED, "class " + id + " cannot start before the application");

    Module* module = nullptr;
    {
        std::lock_guard lock(m_impl->mutex);
        Module& m = m_impl->modules[entry->path];
        if (!m.handle) {
            dlerror();
            m.handle = dlopen(entry->path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!m.handle) {
                const char* why = dlerror();
                m_impl->modules.erase(entry->path);
                return failure(CO_E_DLLNOTFOUND, "plug-in " + entry->path + " of class " + id
                                                     + " cannot be loaded: " + (why ? why : "?"));
            }
            m.getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(m.handle, kDllGetClassObject));
            m.init = reinterpret_cast<ModuleInitFn>(dlsym(m.handle, kModuleInit));
            m.exit = reinterpret_cast<ModuleExitFn>(dlsym(m.handle, kModuleExit));
            m.canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(m.handle, kDllCanUnloadNow));
            m.path = entry->path;
        }
        if (!m.getClassObject || !m.init)
            return failure(CO_E_ERRORINDLL, "plug-in " + entry->path + " lacks its entry points");
        if (!m.initialised) {
            const HRESULT hr = m.init();
            if (FAILED(hr))
                return failure(hr, "plug-in " + entry->path + " failed to start");
            m.initialised = true;
            m_impl->initOrder.push_back(&m);
        }
        module = &m;
    }

    ClassFactory* factory = nullptr;
    HRESULT hr = module->getClassObject(&clsid, &factory);
    if (FAILED(hr) || !factory)
        return failure(FAILED(hr) ? hr : CLASS_E_CLASSNOTAVAILABLE,
                       "plug-in " + entry->path + " does not provide class " + id);
    Control* control = nullptr;
    hr = factory->createInstance(&control);
    if (FAILED(hr) || !control)
        return failure(FAILED(hr) ? hr : E_FAIL, "class " + id + " could not make a control");
    CreateResult r;
    r.status = S_OK;
    r.control.reset(control);
    // A new control starts from its defaults; the host may load saved properties over them.
    r.control->resetState();
    return r;
}

bool Loader::shutdown()
{
    std::vector<Module*> order;
    {
        std::lock_guard lock(m_impl->mutex);
        order.swap(m_impl->initOrder);
    }
    bool all = true;
    std::vector<Module*> inUse;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Module& m = **it;
        // A module whose controls still live keeps its state: its exit would pull it from under
        // them. The host destroys its forms (and so their controls) before this.
        if (m.canUnload && m.canUnload() != S_OK) {
            logLine("plug-in " + m.path + " still has live objects at shut-down; its exit is not run");
            inUse.insert(inUse.begin(), &m);
            all = false;
            continue;
        }
        if (m.exit)
            m.exit();
        m.initialised = false;
    }
    if (!inUse.empty()) {
        std::lock_guard lock(m_impl->mutex);
        m_impl->initOrder.insert(m_impl->initOrder.begin(), inUse.begin(), inUse.end());
    }
    return all;
}

} // namespace comp
