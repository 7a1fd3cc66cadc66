#include "skeleton/ControlModule.h"

#include "controls/ids.h"

#include <component/log.h>
#include <component/registry.h>

#include <platform/paths.h>

#include <QCoreApplication>

#include <new>

namespace ctl {

namespace {

// Any address inside the plug-in tells which file it was loaded from.
void moduleAnchor() {}

} // namespace

ControlModule::ControlModule(const comp::ClassInfo& info, MakeControl make)
    : m_info(info), m_make(std::move(make)), m_factory(*this)
{
}

std::string ControlModule::modulePath()
{
    return plat::GetModuleFileName(reinterpret_cast<const void*>(&moduleAnchor));
}

comp::HRESULT ControlModule::Factory::createInstance(comp::Control** out) noexcept
{
    if (!out)
        return comp::E_POINTER;
    *out = nullptr;
    try {
        *out = m_module.m_make(m_module);
    } catch (const std::bad_alloc&) {
        return comp::E_OUTOFMEMORY;
    } catch (...) {
        return comp::E_FAIL;
    }
    return *out ? comp::S_OK : comp::E_FAIL;
}

comp::HRESULT ControlModule::getClassObject(const comp::Guid* clsid, comp::ClassFactory** factory)
{
    if (!factory)
        return comp::E_POINTER;
    *factory = nullptr;
    const auto own = comp::Guid::fromString(m_info.clsid);
    if (!clsid || !own || *clsid != *own)
        return comp::CLASS_E_CLASSNOTAVAILABLE;
    *factory = &m_factory;
    return comp::S_OK;
}

comp::HRESULT ControlModule::canUnloadNow() const
{
    return m_objects.load() == 0 ? comp::S_OK : comp::S_FALSE;
}

comp::HRESULT ControlModule::registerServer()
{
    if (m_flagOnRegister)
        m_registering = true;
    comp::Registry registry(comp::Registry::defaultPath());
    const std::string path = modulePath();
    const auto libId = comp::Guid::fromString(m_info.libId);
    const auto clsid = comp::Guid::fromString(m_info.clsid);
    const auto dispIid = comp::Guid::fromString(m_info.dispIid);
    const auto eventIid = comp::Guid::fromString(m_info.eventIid);
    if (!libId || !dispIid || !eventIid || path.empty())
        return comp::SELFREG_E_TYPELIB;

    comp::TypeLibEntry lib;
    lib.libId = *libId;
    lib.name = m_info.libName;
    lib.version = kTypeLibVersion;
    lib.lcid = kTypeLibLcid;
    lib.helpFile = m_info.helpFile;
    lib.path = path;
    lib.interfaces = {{*dispIid, std::string(m_info.dispName), "dispatch"},
                      {*eventIid, std::string(m_info.eventName), "events"}};
    if (!registry.writeTypeLib(lib)) {
        comp::logLine(std::string(m_info.name) + ": type library cannot be registered in " + registry.path());
        return comp::SELFREG_E_TYPELIB;
    }

    if (!clsid)
        return comp::SELFREG_E_CLASS;
    comp::ClassEntry entry;
    entry.clsid = *clsid;
    entry.progId = m_info.progId;
    entry.typeName = m_info.typeName;
    entry.path = path;
    entry.miscStatus = m_info.miscStatus;
    entry.insertable = (m_info.regFlags & comp::kRegInsertable) != 0;
    entry.threadingModel = (m_info.regFlags & comp::kRegApartment) ? "Apartment" : "";
    entry.verbs = m_info.verbs;
    entry.typeLib = *libId;
    entry.typeLibVersion = kTypeLibVersion;
    if (!registry.writeClass(entry)) {
        comp::logLine(std::string(m_info.name) + ": class cannot be registered in " + registry.path());
        return comp::SELFREG_E_CLASS;
    }
    return comp::S_OK;
}

comp::HRESULT ControlModule::unregisterServer()
{
    if (m_flagOnUnregister)
        m_registering = true;
    comp::Registry registry(comp::Registry::defaultPath());
    const auto libId = comp::Guid::fromString(m_info.libId);
    const auto clsid = comp::Guid::fromString(m_info.clsid);
    if (!libId || !registry.removeTypeLib(*libId))
        return comp::SELFREG_E_TYPELIB;
    if (!clsid || !registry.removeClass(*clsid))
        return comp::SELFREG_E_CLASS;
    return comp::S_OK;
}

comp::HRESULT ControlModule::moduleInit()
{
    if (m_started)
        return comp::S_OK;
    if (!QCoreApplication::instance())
        return comp::CO_E_NOTINITIALIZED;
    try {
        if (!initInstance()) {
            comp::logLine(std::string(m_info.name) + ": the module's objects cannot be made");
            exitInstance();
            return comp::E_FAIL;
        }
    } catch (...) {
        comp::logLine(std::string(m_info.name) + ": the module failed to start");
        return comp::E_FAIL;
    }
    m_started = true;
    return comp::S_OK;
}

void ControlModule::moduleExit()
{
    if (!m_started)
        return;
    m_started = false;
    if (!m_registering)
        exitInstance();
}

} // namespace ctl
