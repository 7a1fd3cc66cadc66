// The data store's life cycle, its lists and the shared block. The settings file is in
// DataFileSettings.cpp, the unit definition loader in DataFileDefinition.cpp.
#include "model/DataFile.h"

#include "model/NumberText.h"

#include <platform/language.h>
#include <platform/text.h>

namespace model {

namespace {

void resetToDefault(CZRParamData& record)
{
    record.m_treeUseCount = 0;
    record.m_currentValue = record.m_defaultValue;
    record.m_referenceValue = record.m_defaultValue;
    record.m_currentText = record.m_defaultText;
    record.m_referenceText = record.m_defaultText;
}

} // namespace

void StartMenuItem::Parse(std::string_view value)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos || comma == 0) {
        m_number = 0;
        m_caption = std::string(value);
        return;
    }
    m_number = ParseLeadingInt(value.substr(0, comma));
    m_caption = plat::Trim(value.substr(comma + 1));
}

CDataFile::CDataFile()
{
    std::string name;
    FormatSharedMutexName(name);
    m_dataMutex = std::make_unique<plat::NamedMutex>(plat::NamedMutex::create(name));
    m_oscilloMutex = std::make_unique<plat::NamedMutex>(plat::NamedMutex::create(name + kOscilloMutexSuffix));

    // Full-size arrays from the start: every screen and control indexes pin slots 0-49 and
    // channels 0-255 without checking the size first.
    ensureArrays();
    m_pinDefaultTexts.assign(kPinCount, ",,,");

    // A block that exists already (a control created it before us) is opened and kept.
    FormatSharedMemoryName(name);
    m_mapping = plat::NamedMemory::create(name, sizeof(SharedDataHeader));
    if (m_mapping.valid() && m_mapping.size() < sizeof(SharedDataHeader))
        m_mapping.close();
}

CDataFile::~CDataFile()
{
    Close();
    m_oscilloMutex.reset();
}

void CDataFile::ensureArrays()
{
    if (!m_parameterList)
        m_parameterList = std::make_unique<ParamDataList>();
    if (!m_treeList)
        m_treeList = std::make_unique<ParamTreeList>();
    if (!m_channelArray)
        m_channelArray = std::make_unique<ChannelArray>();
    if (m_channelArray->size() < kChannelCount)
        m_channelArray->resize(kChannelCount);
    if (!m_pinArray)
        m_pinArray = std::make_unique<PinArray>();
    if (m_pinArray->size() < kPinCount)
        m_pinArray->resize(kPinCount);
}

void CDataFile::publishNull()
{
    if (!m_view)
        return;
    SharedLock lock(m_dataMutex.get());
    // Another store of this process may have published since; its addresses stay.
    if (m_view->m_dataFile != reinterpret_cast<std::uintptr_t>(this))
        return;
    m_view->m_treeList = 0;
    m_view->m_channelArray = 0;
    m_view->m_pinArray = 0;
    m_view->m_oscilloData = 0;
    m_view->m_dataFile = 0;
}

void CDataFile::Close()
{
    // The controls may still paint while the program shuts down: they must find null addresses
    // in the block before the lists behind them go.
    publishNull();
    ClearAll(0);
    {
        SharedLock lock(m_oscilloMutex.get());
        m_oscillo.ClearSamples();
    }
    {
        SharedLock lock(m_dataMutex.get());
        m_pinArray.reset();
        m_channelArray.reset();
        m_treeList.reset();
        m_parameterList.reset();
    }
    m_dataMutex.reset();
    m_view = nullptr;
    m_mapping.close();
    m_documentPath.clear();
    m_settingsPath.clear();
    m_unitFilePath.clear();
}

int CDataFile::PublishSharedBlock()
{
    if (!m_mapping.valid())
        return 0;
    SharedLock lock(m_dataMutex.get());
    if (!m_view)
        m_view = static_cast<SharedDataHeader*>(m_mapping.data());
    m_view->m_treeList = reinterpret_cast<std::uintptr_t>(m_treeList.get());
    m_view->m_channelArray = reinterpret_cast<std::uintptr_t>(m_channelArray.get());
    m_view->m_pinArray = reinterpret_cast<std::uintptr_t>(m_pinArray.get());
    m_view->m_oscilloData = reinterpret_cast<std::uintptr_t>(&m_oscillo);
    m_view->m_language = plat::GetLanguage();
    m_view->m_dataFile = reinterpret_cast<std::uintptr_t>(this);
    return 1;
}

const SharedDataHeader* CDataFile::GetSharedHeader() const
{
    return m_mapping.valid() ? static_cast<const SharedDataHeader*>(m_mapping.data()) : nullptr;
}

int CDataFile::ResetToDefaults(std::string_view documentPath)
{
    if (!documentPath.empty())
        m_documentPath = std::string(documentPath);
    {
        SharedLock lock(m_dataMutex.get());
        if (m_treeList) {
            for (const auto& node : *m_treeList) {
                if (node->m_record)
                    resetToDefault(*node->m_record);
            }
        }
        if (m_parameterList) {
            for (const auto& record : *m_parameterList)
                resetToDefault(*record);
        }
    }
    ClearChannelPrograms();
    PublishSharedBlock();
    return 1;
}

int CDataFile::ClearIOData()
{
    SharedLock lock(m_dataMutex.get());
    if (!m_pinArray)
        return 1;
    for (auto& slot : *m_pinArray)
        slot.reset();
    m_pinArray->resize(kPinCount);
    return 1;
}

int CDataFile::ClearChannelPrograms()
{
    SharedLock lock(m_dataMutex.get());
    if (!m_channelArray)
        return 1;
    for (auto& slot : *m_channelArray)
        slot.reset();
    m_channelArray->resize(kChannelCount);
    return 1;
}

int CDataFile::ClearParameterLists()
{
    SharedLock lock(m_dataMutex.get());
    // Nodes first: a node deletes only its own record, never one it borrows from the list below.
    if (m_treeList)
        m_treeList->clear();
    if (m_parameterList)
        m_parameterList->clear();
    return 1;
}

int CDataFile::ClearAll(int keepParameters)
{
    ClearIOData();
    ClearChannelPrograms();
    if (keepParameters == 0)
        ClearParameterLists();
    return 1;
}

CChannelProgram* CDataFile::GetChannelProgram(int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return nullptr;
    SharedLock lock(m_dataMutex.get());
    if (!m_channelArray)
        return nullptr;
    if (m_channelArray->size() < kChannelCount)
        m_channelArray->resize(kChannelCount);
    auto& slot = (*m_channelArray)[static_cast<std::size_t>(channel)];
    if (!slot) {
        slot = std::make_unique<CChannelProgram>();
        slot->m_channel = channel;
    }
    return slot.get();
}

CN2PinRecord* CDataFile::GetPinRecord(int pin)
{
    if (pin < 1 || pin > kPinCount)
        return nullptr;
    SharedLock lock(m_dataMutex.get());
    if (!m_pinArray || m_pinArray->size() < static_cast<std::size_t>(pin))
        return nullptr;
    return (*m_pinArray)[static_cast<std::size_t>(pin - 1)].get();
}

CZRParamClass* CDataFile::FindTreeItem(std::string_view name)
{
    SharedLock lock(m_dataMutex.get());
    if (!m_treeList)
        return nullptr;
    CZRParamClass* ioMatch = nullptr;
    for (const auto& node : *m_treeList) {
        if (!node->m_record || node->m_record->m_name != name)
            continue;
        if (!node->IsIoItem())
            return node.get();
        ioMatch = node.get();
    }
    return ioMatch;
}

CZRParamData* CDataFile::FindParameter(std::string_view name)
{
    SharedLock lock(m_dataMutex.get());
    if (!m_parameterList)
        return nullptr;
    for (const auto& record : *m_parameterList) {
        if (record->m_name == name)
            return record.get();
    }
    return nullptr;
}

} // namespace model
