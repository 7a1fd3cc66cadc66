// One parameter of the unit definition as the driver checks it: its letters, decimals and range,
// and what a written value must look like.
#pragma once

#include <string>
#include <vector>

namespace drivesim {

struct ParamValue {
    long long scaled = 0;   // numbers: value x 10^decimals
    std::string text;       // text parameters: the canonical (upper-case) text
    bool operator==(const ParamValue&) const = default;
};

class ParamDef {
public:
    // Number: checked against the range; Text: one of the range's words, or for "*" 2..16
    // letters A-Z (a shorter text, a digit or a '-' would read back as another parameter);
    // Action: takes no value (RESET, END); Move: an action that takes a signed whole number.
    enum class Kind { Number, Text, Action, Move };

    struct RangeItem {
        bool number = true;
        long long low = 0, high = 0;   // scaled; a single value has low == high
        std::string word;              // a text alternative ("ON")
    };

    // From the fields of a [Parameter] line; false with a reason when the line cannot be used.
    bool define(const std::vector<std::string>& fields, std::string& error);

    const std::string& name() const { return m_name; }
    int decimals() const { return m_decimals; }
    Kind kind() const { return m_kind; }
    bool readable() const { return has('R'); }
    bool writable() const { return has('W'); }
    bool transferable() const { return has('T'); }
    bool isAction() const { return m_kind == Kind::Action || m_kind == Kind::Move; }
    const ParamValue& initial() const { return m_initial; }
    // The interval the range spans, for the oscilloscope's level check; false when unbounded.
    bool bounds(long long& low, long long& high) const;

    // Checks a written value (already without blanks and upper-cased): the error text, or ""
    // with `out` set. For actions `out` is left alone.
    std::string check(const std::string& text, ParamValue& out) const;
    // The value as the driver writes it after the name.
    std::string format(const ParamValue& value) const;

private:
    bool has(char letter) const { return m_letters.find(letter) != std::string::npos; }
    bool parseRange(const std::string& text, std::string& error);

    std::string m_letters;
    std::string m_name;
    std::string m_unit;
    int m_decimals = 0;
    Kind m_kind = Kind::Number;
    bool m_anyText = false;
    std::vector<RangeItem> m_range;
    ParamValue m_initial;
};

} // namespace drivesim
