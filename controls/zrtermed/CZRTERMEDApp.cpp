#include "CZRTERMEDApp.h"

#include "CZRTERMEDCtrl.h"

#include <controls/ZRTERMEDMembers.h>
#include <skeleton/ModuleExports.h>

#include <algorithm>

CZRTERMEDApp::CZRTERMEDApp()
    : ControlModule(ctl::zrtermed::kClass, [](ControlModule& m) { return new CZRTERMEDCtrl(m); })
{
    setRegisteringFlags(true, false);
}

bool CZRTERMEDApp::initInstance()
{
    m_addStringSemaphore = plat::NamedSemaphore::create("", 1, 1);
    return m_addStringSemaphore.valid();
}

void CZRTERMEDApp::exitInstance()
{
    m_addStringSemaphore.close();
}

bool CZRTERMEDApp::beginAddString()
{
    if (m_held)
        return false;
    if (m_addStringSemaphore.valid() && m_addStringSemaphore.wait(0) != plat::WAIT_OBJECT_0)
        return false;
    m_held = true;
    return true;
}

bool CZRTERMEDApp::nextPending(PendingText& out)
{
    if (!m_pending.empty()) {
        out = std::move(m_pending.front());
        m_pending.pop_front();
        return true;
    }
    m_held = false;
    if (m_addStringSemaphore.valid())
        m_addStringSemaphore.release();
    return false;
}

void CZRTERMEDApp::forget(const CZRTERMEDCtrl* control)
{
    std::erase_if(m_pending, [control](const PendingText& p) { return p.control == control; });
}

namespace {
CZRTERMEDApp theApp;
} // namespace

TALVERIN_CONTROL_MODULE(theApp)
