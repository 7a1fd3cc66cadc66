// The data store's part of the report fill: parameter, pin and channel program tokens.
#include "model/DataFile.h"
#include "model/ReportFill.h"

#include "model/NumberText.h"
#include "model/StringSplitter.h"

#include <cstdio>

namespace model {

namespace {

std::string orEmptyField(const std::string& text)
{
    return text.empty() ? std::string(kReportEmptyField) : HtmlEscape(text);
}

// A logic field: "&nbsp;" when empty, "<zero>(0)" for "0", "<one>(1)" for "1", else as stored.
std::string logicField(const std::string& logic, const char* zero, const char* one)
{
    if (logic.empty())
        return std::string(kReportEmptyField);
    if (logic == "0")
        return std::string(zero) + "(0)";
    if (logic == "1")
        return std::string(one) + "(1)";
    return HtmlEscape(logic);
}

std::string listNumber(std::size_t index)
{
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04zu", index);
    return text;
}

// The mnemonic of a program line: its text up to the first digit, TAB, '+' or '-'.
std::string mnemonicOf(const std::string& line)
{
    return line.substr(0, line.find_first_of("0123456789\t+-"));
}

} // namespace

std::string CDataFile::GetChannelRowTemplate() const
{
    const std::string row = GetProfileString("Setting", "ChannelListHtml", "", m_settingsPath);
    return row.empty() ? std::string(kDefaultChannelRowTemplate) : row;
}

int CDataFile::WriteChannelReport(ReportText& report, int channel)
{
    if (ReplaceReportToken(report, "##CH-NO##", FormatInt(channel)) < 0)
        return -1;
    if (report.text.find("##CH-PROG##") == std::string::npos)
        return 0;

    const std::string rowTemplate = GetChannelRowTemplate();
    // The rows grow as long as the program is: a row is never cut to a fixed buffer.
    std::string rows;
    {
        SharedLock lock(m_dataMutex.get());
        const CChannelProgram* program = nullptr;
        if (m_channelArray && channel >= 0 && static_cast<std::size_t>(channel) < m_channelArray->size())
            program = (*m_channelArray)[static_cast<std::size_t>(channel)].get();
        if (program) {
            StringSplitter fields;
            for (std::size_t i = 0; i < program->m_lines.size(); ++i) {
                const std::string& line = program->m_lines[i].text;
                const int count = fields.Split(line, '\t', StringSplitter::kRemoveSpaces | StringSplitter::kCollapseSpaces);
                const std::string command = count > 1 ? fields.Token(0) + fields.Token(1) : fields.Token(0);
                std::string explanation;
                if (count > 2 && !fields.Token(2).empty()) {
                    explanation = HtmlEscape(fields.Token(2));
                } else {
                    // The label of the parameter the line's mnemonic names comes from the unit file.
                    const CZRParamData* record = FindParameter(mnemonicOf(line));
                    explanation = record && !record->m_label.empty() ? record->m_label : HtmlEscape(command);
                }
                ReportText row{rowTemplate, ReportText::kUnlimited};
                ReplaceReportToken(row, "##LISTNO##", listNumber(i));
                ReplaceReportToken(row, "##CMD##", HtmlEscape(command));
                ReplaceReportToken(row, "##EXP##", explanation);
                rows += row.text;
                rows.push_back('\n');
            }
        }
    }
    return ReplaceReportToken(report, "##CH-PROG##", rows) < 0 ? -1 : 0;
}

int CDataFile::WriteParameterReport(ReportText& report)
{
    SharedLock lock(m_dataMutex.get());
    auto fillRecord = [&report](const CZRParamData& record) {
        if (record.m_name.empty())
            return true;
        const std::string& name = record.m_name;
        return ReplaceReportToken(report, "##" + name + "##", HtmlEscape(record.GetValueText())) >= 0
               && ReplaceReportToken(report, "##" + name + "-INIT##", record.GetDisplayText()) >= 0
               && ReplaceReportToken(report, "##" + name + "-UNIT##", record.m_unit) >= 0
               && ReplaceReportToken(report, "##" + name + "-NAME##", record.m_label) >= 0;
    };
    if (m_parameterList) {
        for (const auto& record : *m_parameterList) {
            if (!fillRecord(*record))
                return -1;
        }
    }
    // Parameters that only the tree defines.
    if (m_treeList) {
        for (const auto& node : *m_treeList) {
            if (node->m_record && !fillRecord(*node->m_record))
                return -1;
        }
    }
    if (!m_pinArray)
        return 0;
    const std::size_t slots = std::min<std::size_t>(m_pinArray->size(), kPinCount);
    for (std::size_t slot = 0; slot < slots && slot < CN2PinRecord::kLastInputPin; ++slot) {
        const CN2PinRecord* pin = (*m_pinArray)[slot].get();
        if (!pin)
            continue;
        const std::string prefix = "##PI" + FormatInt(pin->m_io);
        if (ReplaceReportToken(report, prefix + "-FN##", orEmptyField(pin->m_function)) < 0
            || ReplaceReportToken(report, prefix + "-AB##", logicField(pin->m_logic, "A", "B")) < 0
            || ReplaceReportToken(report, prefix + "-NW##", orEmptyField(pin->m_value)) < 0)
            return -1;
    }
    for (std::size_t slot = CN2PinRecord::kLastInputPin; slot < slots; ++slot) {
        const CN2PinRecord* pin = (*m_pinArray)[slot].get();
        if (!pin)
            continue;
        // The outputs show like the inputs: the logic field gets the P/N names, empty fields a
        // space.
        const std::string prefix = "##PO" + FormatInt(pin->m_io);
        if (ReplaceReportToken(report, prefix + "-FN##", orEmptyField(pin->m_function)) < 0
            || ReplaceReportToken(report, prefix + "-GC##", logicField(pin->m_logic, "P", "N")) < 0
            || ReplaceReportToken(report, prefix + "-ST##", orEmptyField(pin->m_value)) < 0)
            return -1;
    }
    return 0;
}

} // namespace model
