#include "zrparam/StepRules.h"

#include <model/NumberText.h>
#include <model/RangeList.h>
#include <model/StringSplitter.h>

#include <vector>

namespace zrparam {

namespace {

constexpr unsigned kItemFlags = model::StringSplitter::kRemoveSpaces | model::StringSplitter::kRemoveTabs
                                | model::StringSplitter::kCollapseSpaces;

std::vector<std::string> rangeItems(const std::string& range)
{
    model::StringSplitter items;
    const int count = items.Split(range, '/', kItemFlags);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(items.Token(i));
    return out;
}

model::CRangeList itemRange(const std::string& item)
{
    model::CRangeList range;
    range.Parse(item);
    return range;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Chooses alternative j: a number becomes the value, a text the host's to store.
StepResult choose(CZRParamData& record, const std::string& item, int j)
{
    StepResult out;
    out.stepped = 1;
    if (model::IsNumericText(item)) {
        record.m_currentValue = itemRange(item).Minimum();
        record.m_currentText.clear();
        record.SelectCurrentAlternative(1);
    } else {
        record.m_currentValue = model::kNoValue;
        out.textChosen = true;
        out.text = item.starts_with('*') ? std::string() : item;
        out.index = j;
    }
    return out;
}

} // namespace

StepResult StepRules::StepToNextValue(CZRParamData& record)
{
    if (record.m_range.starts_with('*'))
        return {};
    const std::vector<std::string> items = rangeItems(record.m_range);
    const int n = static_cast<int>(items.size());
    if (n < 2) {
        if (record.m_defaultText.empty() && !record.IsTextValued()) {
            double value = record.m_currentValue + record.m_stepFine;
            const model::CRangeList range = itemRange(record.m_range);
            // Past the maximum it wraps to the minimum; below the minimum it is raised to it.
            if (!range.IsEmpty() && !range.Contains(value))
                value = range.Minimum();
            record.m_currentValue = value;
            record.SelectCurrentAlternative(1);
        }
        StepResult out;
        out.stepped = 1;
        return out;
    }
    const std::string current = record.GetValueText();
    for (int i = 0; i < n; ++i) {
        const std::string item = trimmed(items[static_cast<std::size_t>(i)]);
        const int j = i + 1 < n ? i + 1 : 0;
        if (model::IsNumericText(item)) {
            if (!record.IsTextValued()) {
                const model::CRangeList range = itemRange(item);
                if (!range.Contains(record.m_currentValue))
                    continue;
            }
            return choose(record, trimmed(items[static_cast<std::size_t>(j)]), j);
        }
        if (item == current)
            return choose(record, trimmed(items[static_cast<std::size_t>(j)]), j);
    }
    return {};
}

double StepRules::StepOf(const CZRParamData& record, int button)
{
    switch (button) {
    case kMinusCoarse: return -record.m_stepCoarse;
    case kMinusMedium: return -record.m_stepMedium;
    case kMinusFine: return -record.m_stepFine;
    case kPlusFine: return record.m_stepFine;
    case kPlusMedium: return record.m_stepMedium;
    case kPlusCoarse: return record.m_stepCoarse;
    default: return 0.0;
    }
}

PresetResult StepRules::PresetStep(const CZRParamData& record, int button, std::string_view editorText)
{
    PresetResult out;
    out.alternative = record.m_alternative;
    double v = model::ParseLeadingDouble(editorText.substr(0, 23));
    if (button == kReset) {
        v = record.m_defaultValue;
        out.alternative = 0;
    } else {
        v += StepOf(record, button);
        if (record.m_range.find('/') != std::string::npos) {
            const std::vector<std::string> items = rangeItems(record.m_range);
            const int n = static_cast<int>(items.size());
            const int s = record.m_alternative < 0 ? 0 : record.m_alternative;
            if (s >= n)
                return out;
            std::vector<model::CRangeList> ranges;
            for (const std::string& item : items)
                ranges.push_back(itemRange(item));
            int found = -1;
            for (int i = 0; i < n && found < 0; ++i)
                found = ranges[static_cast<std::size_t>(i)].Contains(v) ? i : -1;
            if (found < 0 && button > kReset) {
                found = n - 1;
                for (int i = s; i < n; ++i) {
                    if (ranges[static_cast<std::size_t>(i)].Maximum() > v) {
                        found = i;
                        v = ranges[static_cast<std::size_t>(i)].Minimum();
                        break;
                    }
                }
                if (v >= ranges[static_cast<std::size_t>(found)].Maximum())
                    v = ranges[static_cast<std::size_t>(found)].Maximum();
            } else if (found < 0) {
                found = 0;
                for (int i = s; i >= 0; --i) {
                    if (ranges[static_cast<std::size_t>(i)].Minimum() < v) {
                        found = i;
                        v = ranges[static_cast<std::size_t>(i)].Maximum();
                        break;
                    }
                }
                if (v <= ranges[static_cast<std::size_t>(found)].Minimum())
                    v = ranges[static_cast<std::size_t>(found)].Minimum();
            }
            out.alternative = found;
        } else {
            const model::CRangeList range = itemRange(record.m_range);
            if (!range.IsEmpty())
                v = v < range.Minimum() ? range.Minimum() : (v > range.Maximum() ? range.Maximum() : v);
        }
    }
    out.changed = true;
    out.value = v;
    out.text = record.FormatValue(v);
    return out;
}

PresetCaptions StepRules::Captions(const CZRParamClass& node)
{
    PresetCaptions out;
    const std::string& letters = node.m_attributes;
    out.resetEnabled = !(letters.find('W') != std::string::npos && letters.find('R') == std::string::npos);
    const CZRParamData* record = node.m_record;
    for (int b = 0; b < kPresetButtons; ++b) {
        if (b == kReset) {
            out.captions[static_cast<std::size_t>(b)] = "Reset";
            continue;
        }
        const double step = record ? StepOf(*record, b) : 0.0;
        std::string text = record ? record->FormatValue(step) : std::string("0");
        if (!text.starts_with('-'))
            text.insert(0, "+");
        out.captions[static_cast<std::size_t>(b)] = text;
    }
    return out;
}

} // namespace zrparam
