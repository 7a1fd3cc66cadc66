// The data store's part of the report fill: parameter, pin and channel program tokens.
#include "model/DataFile.h"
#include "model/ReportFill.h"

#include "model/NumberText.h"
#include "model/StringSplitter.h"

#include <platform/clock.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <unordered_map>

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

// The parameter and pin tokens of the store's lists, each answered by name when the fill meets
// it. A token takes the value of the first record that has it, in the order the tokens were once
// filled one after another: the [Parameter] records, then the tree's records (parameters only the
// tree defines), then the inputs and the outputs. The caller holds the data mutex.
class ParameterTokens {
public:
    ParameterTokens(const CDataFile::ParamDataList* parameters, const CDataFile::ParamTreeList* tree,
                    const CDataFile::PinArray* pins)
    {
        std::size_t order = 0;
        auto addRecord = [&](const CZRParamData* record) {
            if (record && !record->m_name.empty())
                m_records.try_emplace(record->m_name, Entry{order++, record});
        };
        if (parameters) {
            m_records.reserve(parameters->size());
            for (const auto& record : *parameters)
                addRecord(record.get());
        }
        if (tree) {
            for (const auto& node : *tree)
                addRecord(node->m_record);
        }
        if (pins)
            addPins(*pins);
    }

    std::optional<std::string> operator()(std::string_view token) const
    {
        if (token.size() < 4)
            return std::nullopt;
        const std::string_view inner = token.substr(2, token.size() - 4);
        // "##A-INIT##" is the value of a record named A-INIT or the default of one named A:
        // whichever comes first.
        const Entry* value = find(inner);
        const Entry* field = nullptr;
        Field kind = Field::Value;
        for (const auto& [suffix, which] : kSuffixes) {
            if (inner.size() > suffix.size() && inner.ends_with(suffix)) {
                field = find(inner.substr(0, inner.size() - suffix.size()));
                kind = which;
                break;
            }
        }
        if (field && (!value || field->order < value->order))
            return text(*field->record, kind);
        if (value)
            return text(*value->record, Field::Value);
        const auto pin = m_pins.find(token);
        if (pin != m_pins.end())
            return pin->second;
        return std::nullopt;
    }

private:
    enum class Field { Value, Init, Unit, Name };
    static constexpr std::pair<std::string_view, Field> kSuffixes[] = {
        {"-INIT", Field::Init}, {"-UNIT", Field::Unit}, {"-NAME", Field::Name}};
    struct Entry {
        std::size_t order;
        const CZRParamData* record;
    };

    const Entry* find(std::string_view name) const
    {
        const auto found = m_records.find(name);
        return found == m_records.end() ? nullptr : &found->second;
    }

    static std::string text(const CZRParamData& record, Field field)
    {
        switch (field) {
        case Field::Value: return HtmlEscape(record.GetValueText());
        case Field::Init: return record.GetDisplayText();
        case Field::Unit: return record.m_unit;
        case Field::Name: return record.m_label;
        }
        return {};
    }

    void addPins(const CDataFile::PinArray& pins)
    {
        const std::size_t slots = std::min<std::size_t>(pins.size(), CDataFile::kPinCount);
        for (std::size_t slot = 0; slot < slots && slot < CN2PinRecord::kLastInputPin; ++slot) {
            const CN2PinRecord* pin = pins[slot].get();
            if (!pin)
                continue;
            const std::string prefix = "##PI" + FormatInt(pin->m_io);
            m_pins.try_emplace(prefix + "-FN##", orEmptyField(pin->m_function));
            m_pins.try_emplace(prefix + "-AB##", logicField(pin->m_logic, "A", "B"));
            m_pins.try_emplace(prefix + "-NW##", orEmptyField(pin->m_value));
        }
        for (std::size_t slot = CN2PinRecord::kLastInputPin; slot < slots; ++slot) {
            const CN2PinRecord* pin = pins[slot].get();
            if (!pin)
                continue;
            // The outputs show like the inputs: the logic field gets the P/N names, empty fields
            // a space.
            const std::string prefix = "##PO" + FormatInt(pin->m_io);
            m_pins.try_emplace(prefix + "-FN##", orEmptyField(pin->m_function));
            m_pins.try_emplace(prefix + "-GC##", logicField(pin->m_logic, "P", "N"));
            m_pins.try_emplace(prefix + "-ST##", orEmptyField(pin->m_value));
        }
    }

    std::unordered_map<std::string_view, Entry> m_records;
    std::map<std::string, std::string, std::less<>> m_pins;
};

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
    const ParameterTokens tokens(m_parameterList.get(), m_treeList.get(), m_pinArray.get());
    return FillReportTokens(report, std::cref(tokens), std::nullopt);
}

std::string CDataFile::FillParameterReport(std::string_view templateText)
{
    SharedLock lock(m_dataMutex.get());
    const ParameterTokens tokens(m_parameterList.get(), m_treeList.get(), m_pinArray.get());
    const std::tm now = plat::CurrentLocalTm();
    // Parameter and pin tokens first, then the date: a parameter named YEAR keeps its token.
    return FillReportTokens(
        templateText,
        [&tokens, &now](std::string_view token) {
            std::optional<std::string> value = tokens(token);
            return value ? value : ReportDateToken(token, now);
        },
        "-");
}

} // namespace model
