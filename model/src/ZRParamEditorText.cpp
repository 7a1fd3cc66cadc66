// The record members the parameter editor control uses: its change test, the texts of its cells
// and tree labels, and the lines it exports and drags out.
#include "model/ZRParamClass.h"
#include "model/ZRParamData.h"

namespace model {

int CZRParamData::IsChanged() const
{
    if (IsNoValue(m_currentValue))
        return m_currentText != m_referenceText ? 1 : 0;
    return FormatValue(m_currentValue) != FormatValue(m_referenceValue) ? 1 : 0;
}

int CZRParamData::IsWriteOnlyCommand() const
{
    const bool write = m_attributes.find('W') != std::string::npos;
    const bool read = m_attributes.find('R') != std::string::npos;
    return write && !read && m_range.empty() ? 1 : 0;
}

std::string CZRParamClass::CopyValueText() const
{
    return m_record ? m_record->GetValueText() : std::string();
}

std::string CZRParamClass::CopyDisplayText() const
{
    return m_record ? m_record->GetDisplayText() : std::string();
}

std::string CZRParamClass::GetLabel() const
{
    if (!m_record)
        return std::string();
    const std::string& label = m_label.empty() ? m_record->m_label : m_label;
    if (m_record->m_name.empty())
        return label;
    return m_record->m_name + ":" + label;
}

std::string CZRParamClass::GetExportText() const
{
    return m_record ? m_record->FormatDefinitionLine() : std::string();
}

std::string CZRParamClass::GetDragText() const
{
    if (!m_record)
        return std::string();
    CZRParamData copy(m_record->FormatDefinitionLine());
    copy.m_attributes = m_attributes;
    if (!m_label.empty())
        copy.m_label = m_label;
    return copy.FormatDefinitionLine();
}

} // namespace model
