#include "screens/channel/ChannelStep.h"

#include <model/NumberText.h>
#include <model/RangeList.h>
#include <model/ZRParamData.h>

#include <algorithm>

namespace talverin {

bool HasStepPanel(const model::CZRParamData& record)
{
    return record.m_stepMode != 0 && !record.IsTextValued();
}

double StepValue(model::CZRParamData& record, double value, int button)
{
    double v = value;
    switch (button) {
    case kStepCoarseDown: v = value - record.m_stepCoarse; break;
    case kStepMediumDown: v = value - record.m_stepMedium; break;
    case kStepFineDown: v = value - record.m_stepFine; break;
    case kStepReset: v = record.m_defaultValue; break;
    case kStepFineUp: v = value + record.m_stepFine; break;
    case kStepMediumUp: v = value + record.m_stepMedium; break;
    case kStepCoarseUp: v = value + record.m_stepCoarse; break;
    default: return value;
    }
    model::CRangeList range;
    range.Parse(record.m_range);
    // An empty range or a wildcard item bounds nothing.
    if (range.IsEmpty() || record.m_range.find('*') != std::string::npos)
        return v;
    if (record.m_range.find('/') == std::string::npos)
        return std::clamp(v, range.Minimum(), range.Maximum());
    if (button == kStepReset)
        return v;

    const auto& items = range.Entries();
    const int count = static_cast<int>(items.size());
    const int held = std::clamp(record.SelectAlternative(0, value), 0, count - 1);
    const auto& current = items[static_cast<std::size_t>(held)];
    if (v >= current.low && v <= current.high)
        return v;
    if (button > kStepReset) {
        for (int i = held + 1; i < count; ++i) {
            if (items[static_cast<std::size_t>(i)].high > v)
                return items[static_cast<std::size_t>(i)].low;
        }
        return items.back().high;
    }
    for (int i = held - 1; i >= 0; --i) {
        if (items[static_cast<std::size_t>(i)].low < v)
            return items[static_cast<std::size_t>(i)].high;
    }
    return items.front().low;
}

std::string StepText(model::CZRParamData& record, std::string_view editorText, int button)
{
    return record.FormatValue(StepValue(record, model::ParseLeadingDouble(editorText), button));
}

std::array<std::string, kStepButtonCount> StepCaptions(const model::CZRParamData& record)
{
    std::array<std::string, kStepButtonCount> captions;
    captions[kStepCoarseDown] = record.FormatValue(-record.m_stepCoarse);
    captions[kStepMediumDown] = record.FormatValue(-record.m_stepMedium);
    captions[kStepFineDown] = record.FormatValue(-record.m_stepFine);
    captions[kStepFineUp] = record.FormatValue(record.m_stepFine);
    captions[kStepMediumUp] = record.FormatValue(record.m_stepMedium);
    captions[kStepCoarseUp] = record.FormatValue(record.m_stepCoarse);
    return captions;
}

bool StepResetEnabled(const model::CZRParamData& record)
{
    const std::string& letters = record.m_attributes;
    return !(letters.find('W') != std::string::npos && letters.find('R') == std::string::npos);
}

} // namespace talverin
