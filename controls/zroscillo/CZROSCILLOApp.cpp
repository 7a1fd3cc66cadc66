// The oscilloscope plug-in. Its extras are the data store's two mutexes, opened by name or made
// when the host has not made them yet (so the plug-in also loads without the program).
#include "CZROSCILLOApp.h"

#include "CZROSCILLOCtrl.h"

#include <controls/ZROSCILLOMembers.h>
#include <skeleton/ModuleExports.h>

#include <model/SharedData.h>

namespace {

CZROSCILLOApp theApp;

} // namespace

CZROSCILLOApp::CZROSCILLOApp()
    : ControlModule(ctl::zroscillo::kClass, [](ControlModule& m) { return new CZROSCILLOCtrl(m); })
{
    setRegisteringFlags(true, false);
}

bool CZROSCILLOApp::initInstance()
{
    std::string name;
    model::FormatSharedMutexName(name);
    m_dataMutex = plat::NamedMutex::create(name);
    m_oscilloMutex = plat::NamedMutex::create(name + model::kOscilloMutexSuffix);
    return m_dataMutex.valid() && m_oscilloMutex.valid();
}

void CZROSCILLOApp::exitInstance()
{
    m_block.close();
    m_dataMutex.close();
    m_oscilloMutex.close();
}

void CZROSCILLOApp::attachSharedBlock()
{
    std::string name;
    model::FormatSharedMemoryName(name);
    m_block.close();
    m_block = plat::NamedMemory::open(name);
}

std::span<const model::CaptureSample> CZROSCILLOApp::sampleRows() const
{
    if (!m_block.valid() || m_block.size() < sizeof(model::SharedDataHeader))
        return {};
    const auto* header = static_cast<const model::SharedDataHeader*>(m_block.data());
    const auto* data = reinterpret_cast<const model::OscilloDataBlock*>(header->m_oscilloData);
    if (!data)
        return {};
    return data->m_samples;
}

CZROSCILLOApp& oscilloModule()
{
    return theApp;
}

TALVERIN_CONTROL_MODULE(theApp)
