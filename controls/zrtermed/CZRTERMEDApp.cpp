// The terminal edit plug-in. Its one extra is the semaphore (count 1, maximum 1) that every
// instance takes around AddString.
#include "CZRTERMEDCtrl.h"

#include <controls/ZRTERMEDMembers.h>
#include <skeleton/ModuleExports.h>

#include <platform/named_objects.h>

namespace {

class CZRTERMEDApp : public ctl::ControlModule {
public:
    CZRTERMEDApp() : ControlModule(ctl::zrtermed::kClass, [](ControlModule& m) { return new CZRTERMEDCtrl(m); })
    {
        setRegisteringFlags(true, false);
    }

    plat::NamedSemaphore m_addStringSemaphore;

protected:
    bool initInstance() override
    {
        m_addStringSemaphore = plat::NamedSemaphore::create("", 1, 1);
        return m_addStringSemaphore.valid();
    }
    void exitInstance() override { m_addStringSemaphore.close(); }
};

CZRTERMEDApp theApp;

} // namespace

TALVERIN_CONTROL_MODULE(theApp)
