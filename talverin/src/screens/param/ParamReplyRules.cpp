#include "screens/param/ParamReplyRules.h"

#include <model/DriverText.h>
#include <model/NumberText.h>
#include <model/StringSplitter.h>

#include <zrcomm/zrcomm_api.h>

#include <strings.h>

namespace talverin {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool beginsNumber(std::string_view value)
{
    return !value.empty() && (isDigit(value[0]) || value[0] == '-' || value[0] == '+');
}

std::string_view cutAt(std::string_view text, char c)
{
    const auto at = text.find(c);
    return at == std::string_view::npos ? text : text.substr(0, at);
}

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// A value the driver sent, as a record keeps texts (UTF-8, at most kMaxTextValue characters).
std::string valueText(std::string_view value)
{
    return model::CapValueText(model::DriverTextToUtf8(value));
}

} // namespace

bool IsLibraryError(std::uint32_t state)
{
    return state >= COMM_ERR_ALREADY_OPEN && state <= COMM_ERR_INVALID_ARG;
}

bool CommandNamesParameter(std::string_view command, std::string_view name)
{
    if (name.empty())
        return false;
    if (!command.empty() && command[0] == '?')
        return cutAt(command.substr(1), '\r') == name;
    return command.substr(0, name.size()) == name;
}

std::string ChooseReadValue(std::string_view name, std::string_view reply)
{
    const std::size_t n = name.size();
    if (reply.size() < n)
        return {};
    std::string_view value = reply.substr(n);
    if (!value.empty() && value.find('\r') != std::string_view::npos) {
        model::StringSplitter lines;
        if (lines.Split(reply, '\r', model::StringSplitter::kAll) >= 2) {
            const std::string* match = nullptr;
            int matches = 0;
            for (const std::string& line : lines.Tokens()) {
                if (line.size() > n && line.compare(0, n, name) == 0 && (isDigit(line[n]) || line[n] == '-')) {
                    match = &line;
                    ++matches;
                }
            }
            if (matches == 1)
                return std::string(cutAt(*match, ';').substr(n));
        }
    }
    // A reply that does not give the name gives no value: its text after n characters could be
    // anything (an error text, several lines) and would land in the record.
    if (reply.substr(0, n) != name)
        return {};
    return std::string(cutAt(cutAt(value, '\r'), ';'));
}

void StoreReadValue(model::CZRParamData& record, std::string_view value, ParamWindowKind kind)
{
    record.m_status = 0;
    if (kind == ParamWindowKind::Screen)
        record.m_dependencyMark = 0;
    // No value for the name (an empty or cut reply): the record keeps what it has.
    if (value.empty())
        return;

    if (kind == ParamWindowKind::CommandWindow) {
        if (!record.m_defaultText.empty() || !beginsNumber(value)) {
            record.m_currentText = record.m_referenceText = valueText(value);
        } else {
            record.m_currentValue = model::ParseLeadingDouble(value);
            record.m_referenceValue = record.m_currentValue;
        }
        return;
    }

    if (record.IsTextValued()) {
        record.m_currentText = record.m_referenceText = valueText(value);
    } else if (beginsNumber(value)) {
        record.m_currentValue = record.m_referenceValue = model::ParseLeadingDouble(value);
    } else if (!record.m_range.empty() && record.m_range[0] == '*') {
        // A free-text answer turns the parameter text-valued; the reference follows, so the
        // value just read does not count as changed and is not written back.
        record.m_currentText = record.m_referenceText = valueText(value);
        record.m_currentValue = record.m_referenceValue = model::kNoValue;
    }
}

void StoreWrittenValue(model::CZRParamData& record, ParamWindowKind kind)
{
    record.m_treeUseCount = 0;
    record.m_referenceValue = record.m_currentValue;
    const bool texts = kind == ParamWindowKind::Screen ? record.IsTextValued() : !record.m_defaultText.empty();
    if (texts)
        record.m_referenceText = record.m_currentText;
    record.m_status = 0;
}

bool ShowsCommandError(int status, ParamWindowKind kind)
{
    const auto s = static_cast<std::uint32_t>(status);
    if (kind == ParamWindowKind::CommandWindow)
        return s != 0 && s != 1; // 1: still queued, not an error
    return (s & 0x40000000u) != 0 || s == CMD_SEND_FAILED || s == CMD_NO_ECHO || s == CMD_REPLY_TIMEOUT;
}

DependentReads ChooseDependents(const model::CZRParamData& written, const model::CDataFile::ParamTreeList* tree,
                                ParamWindowKind kind)
{
    DependentReads reads;
    if (written.m_dependents) {
        if (kind == ParamWindowKind::Screen && written.m_dependencyMark != 0) {
            reads.clearMarkOnly = true;
            return reads;
        }
        for (model::CZRParamClass* node : *written.m_dependents) {
            if (node)
                reads.nodes.push_back(node);
        }
        return reads;
    }
    if (written.m_allDependents != 1 || !tree)
        return reads;
    reads.everyParameter = true;
    for (const auto& node : *tree) {
        const model::CZRParamData* record = node ? node->m_record : nullptr;
        if (record && !record->m_name.empty() && !equalsIgnoringCase(record->m_name, written.m_name)
            && record->m_attributes.find('R') != std::string::npos)
            reads.nodes.push_back(node.get());
    }
    return reads;
}

} // namespace talverin
