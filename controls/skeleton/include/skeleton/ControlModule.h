// The module object every control plug-in holds once: its class factory, registration into the
// component registry, the count of live controls, and the start and end of the module with its
// extras. A plug-in defines one module object and names it in TALVERIN_CONTROL_MODULE
// (ModuleExports.h), which exports the entry points.
#pragma once

#include <component/member_info.h>
#include <component/plugin_api.h>

#include <atomic>
#include <functional>

namespace ctl {

class ControlModule {
public:
    using MakeControl = std::function<comp::Control*(ControlModule&)>;

    ControlModule(const comp::ClassInfo& info, MakeControl make);
    virtual ~ControlModule() = default;
    ControlModule(const ControlModule&) = delete;
    ControlModule& operator=(const ControlModule&) = delete;

    const comp::ClassInfo& classInfo() const { return m_info; }

    // DllGetClassObject: the factory for the module's one class id, else CLASS_E_CLASSNOTAVAILABLE.
    comp::HRESULT getClassObject(const comp::Guid* clsid, comp::ClassFactory** factory);
    // DllCanUnloadNow: S_OK when no control of the module is alive, else S_FALSE.
    comp::HRESULT canUnloadNow() const;
    // DllRegisterServer: the type library first (SELFREG_E_TYPELIB on failure, and no class is
    // written), then the class (SELFREG_E_CLASS); S_OK.
    comp::HRESULT registerServer();
    // DllUnregisterServer: the same two steps and codes, removing.
    comp::HRESULT unregisterServer();
    // Module start (after the application object exists) and end. A start whose extras cannot be
    // made fails as a whole; ending a module that did not start does nothing.
    comp::HRESULT moduleInit();
    void moduleExit();

    bool registering() const { return m_registering; }
    bool started() const { return m_started; }
    int objectCount() const { return m_objects.load(); }

    // The plug-in file this module was loaded from.
    static std::string modulePath();

    // Kept by every control of the module for the unload answer.
    void objectCreated() { ++m_objects; }
    void objectDestroyed() { --m_objects; }

protected:
    // The module extras: false when one cannot be made.
    virtual bool initInstance() { return true; }
    virtual void exitInstance() {}
    // Which registration calls set the `registering` flag (it makes the end skip the extras).
    void setRegisteringFlags(bool onRegister, bool onUnregister)
    {
        m_flagOnRegister = onRegister;
        m_flagOnUnregister = onUnregister;
    }

private:
    class Factory : public comp::ClassFactory {
    public:
        explicit Factory(ControlModule& module) : m_module(module) {}
        comp::HRESULT createInstance(comp::Control** out) noexcept override;

    private:
        ControlModule& m_module;
    };

    const comp::ClassInfo& m_info;
    MakeControl m_make;
    Factory m_factory;
    std::atomic<int> m_objects{0};
    bool m_registering = false;
    bool m_flagOnRegister = false;
    bool m_flagOnUnregister = false;
    bool m_started = false;
};

} // namespace ctl
