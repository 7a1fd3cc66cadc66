// The oscilloscope plug-in. Its extras are the data store's two mutexes, opened by name or made
// when the host has not made them yet (so the plug-in also loads without the program); only the
// oscilloscope one is ever taken.
#include "CZROSCILLOCtrl.h"

#include <controls/ZROSCILLOMembers.h>
#include <skeleton/ModuleExports.h>

#include <model/SharedData.h>
#include <platform/named_objects.h>

namespace {

class CZROSCILLOApp : public ctl::ControlModule {
public:
    CZROSCILLOApp()
        : ControlModule(ctl::zroscillo::kClass, [](ControlModule& m) { return new CZROSCILLOCtrl(m); })
    {
        setRegisteringFlags(true, false);
    }

    plat::NamedMutex m_dataMutex;
    plat::NamedMutex m_oscilloMutex;

protected:
    bool initInstance() override
    {
        std::string name;
        model::FormatSharedMutexName(name);
        m_dataMutex = plat::NamedMutex::create(name);
        m_oscilloMutex = plat::NamedMutex::create(name + model::kOscilloMutexSuffix);
        return m_dataMutex.valid() && m_oscilloMutex.valid();
    }
    void exitInstance() override
    {
        m_dataMutex.close();
        m_oscilloMutex.close();
    }
};

CZROSCILLOApp theApp;

} // namespace

TALVERIN_CONTROL_MODULE(theApp)
