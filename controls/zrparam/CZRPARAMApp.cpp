#include "CZRPARAMApp.h"

#include "CZRPARAMCtrl.h"

#include <controls/ZRPARAMMembers.h>
#include <skeleton/ModuleExports.h>

namespace {

CZRPARAMApp theApp;

} // namespace

CZRPARAMApp::CZRPARAMApp()
    : ControlModule(ctl::zrparam::kClass, [](ControlModule& m) { return new CZRPARAMCtrl(m); })
{
    setRegisteringFlags(true, true);
}

bool CZRPARAMApp::initInstance()
{
    std::string name;
    model::FormatSharedMutexName(name);
    m_dataMutex = plat::NamedMutex::create(name);
    m_paintSemaphore = plat::NamedSemaphore::create("", 1, 1);
    m_owner = false;
    m_ownList.reset();
    return m_dataMutex.valid() && m_paintSemaphore.valid();
}

void CZRPARAMApp::exitInstance()
{
    if (m_owner) {
        m_block.close();
        model::SharedLock lock(&m_dataMutex);
        m_ownList.reset();
    }
    m_block.close();
    m_owner = false;
    m_dataMutex.close();
    m_paintSemaphore.close();
}

void CZRPARAMApp::AttachSharedBlock()
{
    std::string name;
    model::FormatSharedMemoryName(name);
    // The module's own block goes first, so that a block a data store has taken over since is
    // found as the store's.
    if (m_owner)
        m_block.close();
    plat::NamedMemory block = plat::NamedMemory::open(name);
    if (block.valid() && block.size() >= sizeof(model::SharedDataHeader)) {
        m_block = block;
        model::SharedLock lock(&m_dataMutex);
        m_language = static_cast<plat::LANGID>(header()->m_language & 0xFFFF);
        m_owner = false;
        return;
    }
    m_block = block.valid() ? plat::NamedMemory() : plat::NamedMemory::create(name, sizeof(model::SharedDataHeader));
    model::SharedLock lock(&m_dataMutex);
    if (!m_ownList)
        m_ownList = std::make_unique<zrparam::NodeList>();
    m_language = header() ? static_cast<plat::LANGID>(header()->m_language & 0xFFFF) : 0;
    m_owner = true;
}

const model::SharedDataHeader* CZRPARAMApp::header() const
{
    return m_block.valid() ? static_cast<const model::SharedDataHeader*>(m_block.data()) : nullptr;
}

const zrparam::NodeList* CZRPARAMApp::nodeList() const
{
    if (m_owner)
        return m_ownList.get();
    const model::SharedDataHeader* h = header();
    return h ? reinterpret_cast<const zrparam::NodeList*>(h->m_treeList) : nullptr;
}

CZRPARAMApp& paramModule()
{
    return theApp;
}

PaintGuard::PaintGuard(CZRPARAMApp& module) : m_semaphore(module.m_paintSemaphore)
{
    m_held = m_semaphore.valid() && m_semaphore.wait(0) == plat::WAIT_OBJECT_0;
}

PaintGuard::~PaintGuard()
{
    if (m_held)
        m_semaphore.release();
}

TALVERIN_CONTROL_MODULE(theApp)
