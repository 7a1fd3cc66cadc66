#include "zrparam/CommitRules.h"

#include <model/NumberText.h>
#include <model/RangeList.h>
#include <model/StringSplitter.h>

#include <algorithm>

namespace zrparam {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Trailing zeros of the fraction at or beyond the record's decimals are dropped; then the text is
// valid when it holds one '.' at most and no more fraction digits than the decimals.
bool fitsDecimals(std::string text, int decimals)
{
    const std::size_t point = text.find('.');
    if (point == std::string::npos)
        return true;
    if (text.find('.', point + 1) != std::string::npos)
        return false;
    std::size_t fraction = text.size() - point - 1;
    const std::size_t keep = static_cast<std::size_t>(std::max(decimals, 0));
    while (fraction > keep && text.back() == '0') {
        text.pop_back();
        --fraction;
    }
    return fraction <= keep;
}

double numberOf(std::string_view text)
{
    std::string bare;
    for (char c : text) {
        if (c != '(' && c != ')')
            bare += c;
    }
    return model::ParseLeadingDouble(bare);
}

// A range of numbers only: word items ("ON/OFF") have no bounds to refuse against.
bool numericRange(std::string_view range)
{
    model::StringSplitter items;
    return (items.ClassifyItems(range) & model::StringSplitter::kItemsText) == 0;
}

} // namespace

std::string CommitRules::TakeTyped(std::string_view editorText)
{
    std::size_t end = 0;
    for (std::size_t chars = 0; end < editorText.size() && chars < kTypedCharacters; ++chars) {
        ++end;
        while (end < editorText.size() && (static_cast<unsigned char>(editorText[end]) & 0xC0) == 0x80)
            ++end;
    }
    std::string_view taken = editorText.substr(0, end);
    while (!taken.empty() && isSpace(taken.front()))
        taken.remove_prefix(1);
    while (!taken.empty() && isSpace(taken.back()))
        taken.remove_suffix(1);
    return std::string(taken);
}

bool CommitRules::IsTextRecord(const CZRParamData& record)
{
    return record.m_range.starts_with('*') || record.IsTextValued();
}

bool CommitRules::IsNumber(std::string_view text)
{
    return model::IsNumericText(text) && std::any_of(text.begin(), text.end(), isDigit);
}

TypedCommit CommitRules::CommitTyped(CZRParamData& record, std::string_view typed)
{
    TypedCommit out;
    if (IsTextRecord(record)) {
        out.textValue = true;
        out.cellText = std::string(typed);
        record.m_currentValue = model::kNoValue;
        return out;
    }
    const int before = record.m_status;
    bool valid = IsNumber(typed);
    if (valid) {
        model::CRangeList range;
        range.Parse(record.m_range);
        const double value = numberOf(typed);
        if (numericRange(record.m_range) && !range.IsEmpty() && (value < range.Minimum() || value > range.Maximum())) {
            out.valid = false;
            out.outOfRange = true;
            out.minimum = range.Minimum();
            out.maximum = range.Maximum();
            out.cellText = record.GetValueText();
            return out;
        }
    }
    if (valid) {
        valid = fitsDecimals(std::string(typed), record.m_decimals);
        record.m_currentValue = numberOf(typed);
    }
    if (valid) {
        const int alternative = record.SelectAlternative(1, record.m_currentValue);
        if (alternative < 0) {
            valid = false;
        }
    }
    out.valid = valid;
    if (!valid) {
        record.m_status = kStatusInvalidValue;
        out.cellText = std::string(typed);
        return out;
    }
    if (record.m_status == kStatusInvalidValue)
        record.m_status = 0;
    out.statusChanged = record.m_status != before;
    out.cellText = record.GetValueText();
    return out;
}

std::string CommitRules::CommitStored(CZRParamData& record)
{
    if (record.m_status == kStatusInvalidValue)
        record.m_status = 0;
    return record.GetValueText();
}

} // namespace zrparam
