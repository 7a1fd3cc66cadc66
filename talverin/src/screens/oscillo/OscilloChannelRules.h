// The rules of the oscilloscope's channels that depend on the driver parameter a channel shows:
// its scale range, factor and default scale, its smallest step, and how a source name the driver
// reports or the user drops is found in the channel's source list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {
class CZRParamData;
}

namespace talverin {

// The magnitude of a parameter whose range is "*" (any value).
inline constexpr std::int64_t kUnboundedScale = 999999999;

struct ChannelScale {
    std::int64_t min = 0;      // the scale slider's range, in factored units
    std::int64_t max = 0;
    std::int64_t factor = 1;   // 100 for yes/no, 10^decimals, else 1
    int decimals = 0;          // digits after the point of the SCALE text (2 for yes/no)
    std::string defaultText;   // a quarter of the magnitude
    bool boolean = false;
};
// From the record's range: "*" gives 999,999,999, else the larger magnitude of its minimum and
// maximum times 10^decimals; a yes/no parameter's range is then multiplied by 100.
ChannelScale ChannelScaleFor(const model::CZRParamData& record);

// The smallest step of the record's values (CViewOscillo::GetChannelStep); none for "*" or when no
// alternative gives one.
std::optional<double> GetChannelStep(const model::CZRParamData& record);
// The SCALE text a level reply of 0 stands for: the smallest step in the record's format ("1" or
// "0.0...1" when there is none), with ".00" after a yes/no parameter's integer.
std::string DefaultScaleFromStep(const model::CZRParamData& record);

// The value of a SCALE edit after its kill-focus rules: limited to the range over the factor and
// written with the scale's decimals (two more formatted, then cut).
struct ScaleValue {
    double value = 0.0;
    std::string text;
};
ScaleValue FitScaleValue(double value, const ChannelScale& scale);

// Where a source the driver reported goes in a list whose entry 0 is the empty "no source" one.
struct SourceMatch {
    enum Kind { None, Select, Add } kind = None; // None: entry 0, the channel without a source
    int index = 0;     // the entry to select (Select)
    std::string text;  // the text to add and select (Add)
    bool operator==(const SourceMatch&) const = default;
};
// Empty or holding "-1": None. The text (CRs dropped) when the list holds it exactly (with case);
// else its name before the first digit or '-' when the list holds that; else Add.
SourceMatch MatchSourceReply(const std::vector<std::string>& items, std::string_view reply);
// A text dropped on a source list: split at commas, its second field looked up without case. The
// entry, or none for a text of one field or a name the list does not hold.
std::optional<int> MatchDroppedSource(const std::vector<std::string>& items, std::string_view dropped);

} // namespace talverin
