#include "zrcn2/PinRowModel.h"

#include <model/CN2PinRecord.h>

namespace zrcn2 {

std::string_view ClipText(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Back off continuation bytes so that a multi-byte character is kept whole or dropped.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 'a' + 'A');
        if (x != y)
            return false;
    }
    return true;
}

void PinRowModel::setName(std::string_view text)
{
    m_name = text;
    m_nameBox = text;
}

void PinRowModel::setData(std::string_view text)
{
    m_data = text;
    m_dataBox = text;
}

void PinRowModel::setBoxText(Box box, std::string_view text)
{
    (box == Box::Name ? m_nameBox : m_dataBox) = text;
}

bool PinRowModel::changed() const
{
    if (!fullRow())
        return false;
    return m_setten != m_baseSetten || !EqualNoCase(m_nameBox, m_baseName) || m_dataBox != m_baseData;
}

bool PinRowModel::refreshModified()
{
    m_modified = changed();
    return m_modified;
}

bool PinRowModel::setModifyFlg(bool modify)
{
    m_modified = modify;
    m_name = ClipText(m_nameBox, kBaselineTextMax);
    m_data = ClipText(m_dataBox, kBaselineTextMax);
    m_setten = ClipText(m_setten, kBaselineTextMax);
    const bool differs = m_setten != m_baseSetten || m_name != m_baseName || m_data != m_baseData
                         || m_status != m_baseStatus;
    if (differs && !modify) {
        m_baseSetten = m_setten;
        m_baseName = m_name;
        m_baseData = m_data;
        m_baseStatus = m_status;
    }
    return differs;
}

bool PinRowModel::setAll(std::string_view setten, std::string_view name, std::string_view data,
                         std::uint32_t status, bool modify, bool* differed)
{
    if (EqualNoCase(setten, m_setten) && EqualNoCase(name, m_name) && EqualNoCase(data, m_data)
        && status == m_status && modify == changed())
        return false;
    m_setten = setten;
    setName(name);
    setData(data);
    m_status = status;
    const bool d = setModifyFlg(modify);
    if (differed)
        *differed = d;
    return true;
}

std::string PinRowModel::exportLine(bool withNumbers)
{
    model::CN2PinRecord record;
    record.m_pin = m_number;
    record.m_io = model::CN2PinRecord::PinToBitIndex(m_number);
    record.m_logic = m_setten;
    record.m_function = ClipText(m_nameBox, kExportTextMax);
    record.m_value = ClipText(m_dataBox, kExportTextMax);
    record.m_status = m_status;
    std::string line = record.Format(withNumbers ? 1 : 0);
    if (m_status == 0 && changed())
        m_status = kStatusChanged;
    return line;
}

void PinRowModel::importLine(std::string_view line, bool withNumbers)
{
    model::CN2PinRecord record;
    // A line without numbers keeps the row's pin, which also decides how a logic digit reads.
    record.m_pin = m_number;
    record.m_io = model::CN2PinRecord::PinToBitIndex(m_number);
    record.Parse(line, withNumbers ? 1 : 0);
    if (withNumbers)
        m_number = record.m_pin;
    m_setten = record.m_logic;
    setName(record.m_function);
    setData(record.m_value);
    m_status = record.m_status;
}

bool PinRowModel::leaveBox(Box box)
{
    std::string& property = box == Box::Name ? m_name : m_data;
    const std::string text(ClipText(box == Box::Name ? m_nameBox : m_dataBox, kLeaveTextMax));
    if (text == property)
        return false;
    property = text;
    return true;
}

bool PinRowModel::deactivate()
{
    m_name = ClipText(m_nameBox, kLeaveTextMax);
    m_data = ClipText(m_dataBox, kLeaveTextMax);
    return changed();
}

} // namespace zrcn2
