#include "model/ZRParamClass.h"

#include "model/ZRParamData.h"

namespace model {

CZRParamClass::~CZRParamClass()
{
    SetRecord(nullptr, false);
}

void CZRParamClass::SetRecord(CZRParamData* record, bool borrowed)
{
    if (m_record && !m_borrowed && m_record != record)
        delete m_record;
    m_record = record;
    m_borrowed = borrowed ? 1 : 0;
}

void CZRParamClass::SetFromText(std::string_view definitionLine)
{
    auto* record = new CZRParamData(definitionLine);
    SetRecord(record, false);
    m_attributes = record->m_attributes;
}

std::string CZRParamClass::GetValueText() const
{
    return m_record ? m_record->GetValueText() : std::string();
}

std::string CZRParamClass::GetDisplayText() const
{
    return m_record ? m_record->GetDisplayText() : std::string();
}

int CZRParamClass::GetDecimals() const
{
    return m_record ? m_record->GetDecimals() : 0;
}

bool CZRParamClass::GetWriteCommand(std::string& out) const
{
    out.clear();
    if (!m_record)
        return false;
    out = m_record->m_name + m_record->GetValueText() + "\r";
    return true;
}

bool CZRParamClass::GetReadCommand(std::string& out) const
{
    out.clear();
    if (!m_record)
        return false;
    out = m_record->GetReadCommand();
    return true;
}

} // namespace model
