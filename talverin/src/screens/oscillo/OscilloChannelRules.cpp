#include "screens/oscillo/OscilloChannelRules.h"

#include "screens/oscillo/OscilloGeometry.h"
#include "screens/oscillo/OscilloText.h"

#include <model/NumberChecks.h>
#include <model/NumberText.h>
#include <model/RangeList.h>
#include <model/ZRParamData.h>

#include <platform/text.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace talverin {

namespace {

constexpr std::size_t kMaxAlternatives = 7;

// Decimals kept to what a definition can sensibly carry; 10^d must stay far from overflow.
int decimalsOf(const model::CZRParamData& record)
{
    return std::clamp(record.GetDecimals(), 0, 9);
}

} // namespace

ChannelScale ChannelScaleFor(const model::CZRParamData& record)
{
    ChannelScale scale;
    const int decimals = decimalsOf(record);
    scale.boolean = record.IsBoolean() != 0;
    std::int64_t magnitude = kUnboundedScale;
    model::CRangeList range;
    range.Parse(record.m_range);
    if (record.m_range != "*" && !range.IsEmpty()) {
        const double larger = std::max(std::fabs(range.Minimum()), std::fabs(range.Maximum()));
        magnitude = ClampToInt64(larger * static_cast<double>(model::PowerOfTen(decimals)));
    }
    const std::int64_t quarter = magnitude / 4;
    if (scale.boolean) {
        scale.factor = 100;
        scale.decimals = 2;
        scale.min = -magnitude * 100;
        scale.max = magnitude * 100;
        scale.defaultText = quarter == 0 ? "1.00" : model::FormatFixed(static_cast<double>(quarter), 2);
    } else if (decimals > 0) {
        scale.factor = model::PowerOfTen(decimals);
        scale.decimals = decimals;
        scale.min = -magnitude;
        scale.max = magnitude;
        scale.defaultText = model::FormatFixed(static_cast<double>(quarter) / static_cast<double>(scale.factor), decimals);
    } else {
        scale.min = -magnitude;
        scale.max = magnitude;
        scale.defaultText = model::FormatInt(std::max<std::int64_t>(quarter, 1));
    }
    return scale;
}

std::optional<double> GetChannelStep(const model::CZRParamData& record)
{
    if (record.m_range == "*")
        return std::nullopt;
    model::CRangeList range;
    range.Parse(record.m_range);
    std::vector<model::CRangeList::Entry> alternatives = range.Entries();
    if (alternatives.size() > kMaxAlternatives)
        alternatives.resize(kMaxAlternatives);
    if (alternatives.empty())
        return std::nullopt;

    const int decimals = decimalsOf(record);
    double maximum = std::numeric_limits<double>::lowest();
    for (const auto& alternative : alternatives)
        maximum = std::max({maximum, alternative.low, alternative.high});
    const double unit = std::pow(10.0, -decimals);
    if (decimals == 0 && maximum >= 1)
        return 1.0;
    if (decimals > 0 && maximum >= 0)
        return unit;

    double step = std::numeric_limits<double>::max();
    bool found = false;
    for (const auto& alternative : alternatives) {
        double bound = std::numeric_limits<double>::max();
        for (double b : {alternative.low, alternative.high})
            if (b >= 0 && b < bound)
                bound = b;
        if (bound >= step)
            continue;
        step = alternative.interval != 0 ? bound + unit : bound;
        found = true;
    }
    return found ? std::optional<double>(step) : std::nullopt;
}

std::string DefaultScaleFromStep(const model::CZRParamData& record)
{
    const std::optional<double> step = GetChannelStep(record);
    const int decimals = decimalsOf(record);
    if (decimals == 0) {
        std::string text = step ? model::FormatTruncated(*step) : std::string("1");
        if (record.IsBoolean())
            text += ".00";
        return text;
    }
    if (step)
        return record.FormatValue(*step);
    return "0." + std::string(static_cast<std::size_t>(decimals - 1), '0') + "1";
}

ScaleValue FitScaleValue(double value, const ChannelScale& scale)
{
    const double factor = scale.factor > 0 ? static_cast<double>(scale.factor) : 1.0;
    const double low = static_cast<double>(scale.min) / factor;
    const double high = static_cast<double>(scale.max) / factor;
    ScaleValue fitted;
    fitted.value = std::isnan(value) ? 0.0 : std::clamp(value, std::min(low, high), std::max(low, high));
    std::string text = CutDecimals(model::FormatFixed(fitted.value, scale.decimals + 2), scale.decimals);
    if (scale.decimals == 0 && !text.empty() && text.back() == '.')
        text.pop_back();
    fitted.text = text;
    fitted.value = model::ParseLeadingDouble(fitted.text);
    return fitted;
}

SourceMatch MatchSourceReply(const std::vector<std::string>& items, std::string_view reply)
{
    std::string text;
    for (char c : reply)
        if (c != '\r')
            text += c;
    if (text.empty() || text.find("-1") != std::string::npos)
        return {};
    const auto indexOf = [&items](std::string_view name) -> int {
        for (std::size_t i = 1; i < items.size(); ++i)
            if (items[i] == name)
                return static_cast<int>(i);
        return -1;
    };
    if (const int i = indexOf(text); i > 0)
        return {SourceMatch::Select, i, {}};
    const std::size_t cut = text.find_first_of("0123456789-");
    if (cut != std::string::npos && cut > 0) {
        if (const int i = indexOf(std::string_view(text).substr(0, cut)); i > 0)
            return {SourceMatch::Select, i, {}};
    }
    return {SourceMatch::Add, 0, text};
}

std::optional<int> MatchDroppedSource(const std::vector<std::string>& items, std::string_view dropped)
{
    const std::size_t first = dropped.find(',');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = dropped.find(',', first + 1);
    const std::string_view name =
        dropped.substr(first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    if (name.empty())
        return std::nullopt;
    for (std::size_t i = 1; i < items.size(); ++i)
        if (plat::EqualsNoCase(items[i], name))
            return static_cast<int>(i);
    return std::nullopt;
}

} // namespace talverin
