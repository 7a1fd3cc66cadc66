#include "ParamDef.h"

#include "ErrorTexts.h"
#include "ScaledNumber.h"

#include <algorithm>

namespace drivesim {

namespace {
constexpr long long kMoveLimit = 999'999;

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// "(-300.0)" or "12": the number inside optional parentheses.
bool bound(std::string text, int decimals, long long& out)
{
    if (text.size() >= 2 && text.front() == '(' && text.back() == ')')
        text = text.substr(1, text.size() - 2);
    return parseScaled(text, decimals, out);
}

bool lettersOnly(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}
} // namespace

bool ParamDef::define(const std::vector<std::string>& fields, std::string& error)
{
    auto field = [&](std::size_t i) { return i < fields.size() ? trimmed(fields[i]) : std::string(); };
    m_letters = normalised(field(0));
    m_name = normalised(field(1));
    m_unit = field(3);
    if (m_name.empty() || !lettersOnly(m_name.substr(0, 1))) {
        error = "a parameter needs a name that begins with a letter";
        return false;
    }
    const std::string decimals = field(5);
    if (!decimals.empty() && (!parseIndex(decimals, m_decimals) || m_decimals > 6)) {
        error = m_name + ": decimals must be 0..6";
        return false;
    }
    if (!parseRange(field(7), error))
        return false;
    const std::string initial = normalised(field(4));
    if (m_range.empty() && !m_anyText && initial.empty() && writable() && !readable()) {
        m_kind = m_unit.empty() ? Kind::Action : Kind::Move;
        return true;
    }
    const bool words = m_anyText || std::any_of(m_range.begin(), m_range.end(),
                                                [](const RangeItem& r) { return !r.number; });
    long long number = 0;
    m_kind = words || (m_range.empty() && !initial.empty() && !parseScaled(initial, m_decimals, number))
                 ? Kind::Text
                 : Kind::Number;
    if (m_kind == Kind::Text) {
        m_initial.text = initial;
    } else if (!initial.empty() && !parseScaled(initial, m_decimals, m_initial.scaled)) {
        error = m_name + ": the default \"" + initial + "\" is not a number with " +
                std::to_string(m_decimals) + " decimals";
        return false;
    }
    return true;
}

bool ParamDef::parseRange(const std::string& text, std::string& error)
{
    m_range.clear();
    m_anyText = false;
    for (std::string item : split(normalised(text), '/')) {
        if (item.empty())
            continue;
        if (item == "*") {
            m_anyText = true;
            continue;
        }
        RangeItem r;
        // An interval "a-b": the '-' after the first number (a negative one is parenthesised).
        std::size_t dash = item.front() == '(' ? item.find(')') : 0;
        dash = dash == std::string::npos ? dash : item.find('-', dash + 1);
        if (dash != std::string::npos && dash > 0) {
            if (!bound(item.substr(0, dash), m_decimals, r.low) ||
                !bound(item.substr(dash + 1), m_decimals, r.high) || r.low > r.high) {
                error = m_name + ": the range item \"" + item + "\" is not an interval of numbers with " +
                        std::to_string(m_decimals) + " decimals";
                return false;
            }
        } else if (bound(item, m_decimals, r.low)) {
            r.high = r.low;
        } else {
            r.number = false;
            r.word = item;
        }
        m_range.push_back(r);
    }
    return true;
}

bool ParamDef::bounds(long long& low, long long& high) const
{
    bool any = false;
    for (const RangeItem& r : m_range) {
        if (!r.number)
            continue;
        low = any ? std::min(low, r.low) : r.low;
        high = any ? std::max(high, r.high) : r.high;
        any = true;
    }
    return any;
}

std::string ParamDef::check(const std::string& text, ParamValue& out) const
{
    switch (m_kind) {
    case Kind::Action:
        return text.empty() ? std::string() : errors::kRangeOver;
    case Kind::Move: {
        long long v = 0;
        if (text.empty())
            return errors::kNotOmissible;
        return parseScaled(text, 0, v) && text.find('.') == std::string::npos && v >= -kMoveLimit &&
                       v <= kMoveLimit
                   ? std::string()
                   : errors::kRangeOver;
    }
    case Kind::Text: {
        if (text.empty())
            return errors::kNotOmissible;
        const bool listed = std::any_of(m_range.begin(), m_range.end(),
                                        [&](const RangeItem& r) { return !r.number && r.word == text; });
        const bool free = m_anyText && text.size() >= 2 && text.size() <= 16 && lettersOnly(text);
        if (!listed && !free)
            return errors::kRangeOver;
        out.text = text;
        return {};
    }
    case Kind::Number: {
        long long v = 0;
        if (text.empty())
            return errors::kNotOmissible;
        if (!parseScaled(text, m_decimals, v))
            return errors::kRangeOver;
        const bool inRange = m_range.empty() ||
                             std::any_of(m_range.begin(), m_range.end(), [&](const RangeItem& r) {
                                 return r.number && v >= r.low && v <= r.high;
                             });
        if (!inRange)
            return errors::kRangeOver;
        out.scaled = v;
        return {};
    }
    }
    return errors::kRangeOver;
}

std::string ParamDef::format(const ParamValue& value) const
{
    if (m_kind == Kind::Text)
        return value.text;
    if (isAction())
        return {};
    return formatScaled(value.scaled, m_decimals);
}

} // namespace drivesim
