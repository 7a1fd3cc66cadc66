#include "PinBank.h"

#include "ErrorTexts.h"
#include "ScaledNumber.h"

#include <algorithm>

namespace drivesim {

namespace {
const char* logicWord(PinSide side) { return side == PinSide::Input ? "AB" : "GC"; }
const char* valueWord(PinSide side) { return side == PinSide::Input ? "NW" : "ST"; }

// A value field: a sign, digits and at most one point, 1..8 characters.
bool valueText(const std::string& v)
{
    long long ignored = 0;
    return !v.empty() && v.size() <= 8 && parseScaled(v, 6, ignored);
}

// "PI3" -> side and io; false when it is neither.
bool header(const std::string& text, PinSide& side, int& io)
{
    if (text.rfind("PI", 0) == 0)
        side = PinSide::Input;
    else if (text.rfind("PO", 0) == 0)
        side = PinSide::Output;
    else
        return false;
    return parseIndex(text.substr(2), io) && PinBank::valid(side, io);
}
} // namespace

bool PinBank::setFactory(const std::vector<std::string>& lines, std::string& error)
{
    decltype(m_factoryIn) in;
    decltype(m_factoryOut) out;
    for (const std::string& line : lines) {
        const std::vector<std::string> parts = split(line, '/');
        PinSide side;
        int io = 0;
        if (parts.empty() || !header(parts[0], side, io)) {
            error = "[CN2] " + line + ": no pin PI0..PI16 or PO0..PO7";
            return false;
        }
        PinState pin;
        for (std::size_t i = 1; i < parts.size(); ++i) {
            const std::string why = applyField(side, pin, parts[i]);
            if (!why.empty()) {
                error = "[CN2] " + line + ": " + parts[i] + ": " + why;
                return false;
            }
        }
        settle(pin);
        (side == PinSide::Input ? in.at(static_cast<std::size_t>(io)) : out.at(static_cast<std::size_t>(io))) = pin;
    }
    m_factoryIn = in;
    m_factoryOut = out;
    return true;
}

void PinBank::factoryReset()
{
    for (int io = 0; io < kInputs; ++io)
        reset(PinSide::Input, io);
    for (int io = 0; io < kOutputs; ++io)
        reset(PinSide::Output, io);
}

std::string PinBank::applyField(PinSide side, PinState& pin, const std::string& field)
{
    const auto split = std::find_if(field.begin(), field.end(), [](char c) { return c < 'A' || c > 'Z'; });
    const std::string keyword(field.begin(), split);
    const std::string value(split, field.end());
    if (keyword == "FN") {
        int fn = 0;
        if (!value.empty() && (!parseIndex(value, fn) || fn > 31))
            return errors::kRangeOver;
        pin.function = value.empty() ? std::string() : std::to_string(fn);
    } else if (keyword == logicWord(side)) {
        if (value.empty())
            return errors::kNotOmissible;
        if (value != "0" && value != "1")
            return errors::kRangeOver;
        pin.logic = value == "1";
    } else if (keyword == valueWord(side)) {
        if (!value.empty() && !valueText(value))
            return errors::kRangeOver;
        pin.value = value;
    } else {
        return errors::kUnknownOption;
    }
    return {};
}

void PinBank::settle(PinState& pin)
{
    if (!pin.assigned()) {
        pin.logic = false;
        pin.value.clear();
    }
}

void PinBank::reset(PinSide side, int io)
{
    PinState& p = slot(side, io);
    const bool level = p.level;
    p = factory(side, io).value_or(PinState{});
    p.level = level;
}

void PinBank::clear(PinSide side)
{
    const int count = side == PinSide::Input ? kInputs : kOutputs;
    for (int io = 0; io < count; ++io) {
        PinState& p = slot(side, io);
        p = PinState{{}, false, {}, p.level};
    }
}

std::vector<std::string> PinBank::query(PinSide side, int io) const
{
    const PinState& p = slot(side, io);
    return {word(side) + std::to_string(io), "FN" + p.function,
            std::string(logicWord(side)) + (p.logic ? "1" : "0"), valueWord(side) + p.value};
}

void PinBank::dump(PinSide side, std::vector<std::string>& out) const
{
    const int count = side == PinSide::Input ? kInputs : kOutputs;
    for (int io = 0; io < count; ++io) {
        if (!slot(side, io).assigned())
            continue;
        for (std::string& line : query(side, io))
            out.push_back(std::move(line));
        out.emplace_back();
    }
}

bool PinBank::anyAssigned(PinSide side) const
{
    const auto assigned = [](const PinState& p) { return p.assigned(); };
    return side == PinSide::Input ? std::any_of(m_in.begin(), m_in.end(), assigned)
                                  : std::any_of(m_out.begin(), m_out.end(), assigned);
}

std::vector<std::string> PinBank::monitor(bool logical) const
{
    std::string inputs, outputs;
    for (int io = kInputs - 1; io >= 0; --io) {
        const PinState& p = m_in.at(static_cast<std::size_t>(io));
        const bool bit = logical ? p.assigned() && (p.level != p.logic) : p.level;
        inputs += bit ? '1' : '0';
    }
    for (int io = kOutputs - 1; io >= 0; --io) {
        const PinState& p = m_out.at(static_cast<std::size_t>(io));
        const bool bit = logical ? p.assigned() && p.level : p.level != p.logic;
        outputs += bit ? '1' : '0';
    }
    return {"INPUT  GFEDCBA9876543210", "OUTPUT 76543210", inputs, outputs};
}

} // namespace drivesim
