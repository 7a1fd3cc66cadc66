#include "CZRPARAMApp.h"

#include "CZRPARAMCtrl.h"

#include <controls/ZRPARAMMembers.h>
#include <skeleton/ModuleExports.h>

#include <model/SharedData.h>

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
    m_helpHost = new QWidget;
    m_helpHost->setObjectName(QStringLiteral("ZRPARAMHelpHost"));
    return m_dataMutex.valid() && m_paintSemaphore.valid();
}

void CZRPARAMApp::exitInstance()
{
    delete m_helpHost.data();
    m_dataMutex.close();
    m_paintSemaphore.close();
}

CZRPARAMApp& paramModule()
{
    return theApp;
}

TALVERIN_CONTROL_MODULE(theApp)
