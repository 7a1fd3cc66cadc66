#include "component/loader.h"

#include "component/log.h"
#include "component/plugin_api.h"
#include "component/registry.h"

#include <QCoreApplication>

#include <dlfcn.h>
#include <unistd.h>

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

CreateResult failure(HRESULT hr, CreateProblem problem, std::string text, std::string file = {},
                     std::string detail = {})
{
    logLine(text + ": " + statusText(hr));
    CreateResult r;
    r.status = hr;
    r.error = std::move(text);
    r.problem = problem;
    r.file = std::move(file);
    r.detail = std::move(detail);
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
        return failure(REGDB_E_CLASSNOTREG, CreateProblem::NotRegistered,
                       "\"" + std::string(clsidText) + "\" is not a class id");
    return create(*clsid);
}

CreateResult Loader::create(const Guid& clsid)
{
    const std::string id = clsid.toString();
    const Registry registry(Registry::defaultPath());
    const auto entry = registry.findClass(clsid);
    if (!entry)
        return failure(REGDB_E_CLASSNOTREG, CreateProblem::NotRegistered,
                       "class " + id + " is not registered in " + registry.path());
    const std::string& path = entry->path;
    if (path.empty())
        return failure(CO_E_DLLNOTFOUND, CreateProblem::NotRegistered, "class " + id + " names no plug-in file");
    if (QCoreApplication::instance() == nullptr)
        return failure(CO_E_NOTINITIALIZED, CreateProblem::NoApplication,
                       "class " + id + " cannot start before the application");
    auto badPlugin = [&](HRESULT hr, const std::string& what) {
        return failure(hr, CreateProblem::BadPlugin, "plug-in " + path + " " + what, path, what);
    };

    Module* module = nullptr;
    {
        std::lock_guard lock(m_impl->mutex);
        Module& m = m_impl->modules[path];
        if (!m.handle) {
            // A path without a folder is searched for by the dynamic loader: only a named file is
            // known to be missing.
            if (path.find('/') != std::string::npos && ::access(path.c_str(), F_OK) != 0) {
                m_impl->modules.erase(path);
                return failure(CO_E_DLLNOTFOUND, CreateProblem::FileMissing,
                               "plug-in " + path + " of class " + id + " does not exist", path);
            }
            dlerror();
            m.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!m.handle) {
                const char* why = dlerror();
                const std::string detail = why ? why : "?";
                m_impl->modules.erase(path);
                return failure(CO_E_DLLNOTFOUND, CreateProblem::CannotLoad,
                               "plug-in " + path + " of class " + id + " cannot be loaded: " + detail, path, detail);
            }
            m.getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(m.handle, kDllGetClassObject));
            m.init = reinterpret_cast<ModuleInitFn>(dlsym(m.handle, kModuleInit));
            m.exit = reinterpret_cast<ModuleExitFn>(dlsym(m.handle, kModuleExit));
            m.canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(m.handle, kDllCanUnloadNow));
            m.path = path;
        }
        if (!m.getClassObject || !m.init)
            return badPlugin(CO_E_ERRORINDLL, "lacks its entry points");
        if (!m.initialised) {
            const HRESULT hr = m.init();
            if (FAILED(hr))
                return badPlugin(hr, "failed to start");
            m.initialised = true;
            m_impl->initOrder.push_back(&m);
        }
        module = &m;
    }

    ClassFactory* factory = nullptr;
    HRESULT hr = module->getClassObject(&clsid, &factory);
    if (FAILED(hr) || !factory)
        return badPlugin(FAILED(hr) ? hr : CLASS_E_CLASSNOTAVAILABLE, "does not provide class " + id);
    Control* control = nullptr;
    hr = factory->createInstance(&control);
    if (FAILED(hr) || !control)
        return badPlugin(FAILED(hr) ? hr : E_FAIL, "could not make a control of class " + id);
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
