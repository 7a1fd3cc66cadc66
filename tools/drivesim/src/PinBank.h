// The CN2 connector: 17 inputs and 8 outputs, each with a function, a logic bit and a value, the
// factory assignment from the unit's [CN2] lines, and the monitor lines of IO0 and IO1.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "drivesim/ModelTypes.h"

namespace drivesim {

class PinBank {
public:
    static constexpr int kInputs = 17;
    static constexpr int kOutputs = 8;

    static bool valid(PinSide side, int io) { return io >= 0 && io < (side == PinSide::Input ? kInputs : kOutputs); }
    // "PI" / "PO", and the keyword of the logic and value fields.
    static const char* word(PinSide side) { return side == PinSide::Input ? "PI" : "PO"; }

    // Takes "[CN2]" lines ("PI0/FN1/AB0/NW0"); false with a reason for a line it cannot use.
    bool setFactory(const std::vector<std::string>& lines, std::string& error);
    // Every pin back to its factory line (or unassigned); levels and states are kept.
    void factoryReset();

    const PinState& pin(PinSide side, int io) const { return slot(side, io); }
    PinState& pin(PinSide side, int io) { return slot(side, io); }

    // Applies one field line ("FN4", "AB1", "NW", ...) to `pin`: the error text, or "".
    static std::string applyField(PinSide side, PinState& pin, const std::string& field);
    // An unassigned pin keeps no logic or value.
    static void settle(PinState& pin);

    void reset(PinSide side, int io);   // "/RS": back to the factory line, or unassigned
    void clear(PinSide side);           // "PI/CL", "PO/CL"

    // "PI2", "FN4", "AB1", "NW0" (unassigned: "FN", "AB0", "NW").
    std::vector<std::string> query(PinSide side, int io) const;
    // The blocks of the assigned pins of one side, each followed by an empty line.
    void dump(PinSide side, std::vector<std::string>& out) const;
    bool anyAssigned(PinSide side) const;
    // IO0 (electrical: input levels, outputs state XOR GC) or IO1 (logical: assigned inputs
    // level XOR AB, assigned outputs their state), four lines.
    std::vector<std::string> monitor(bool logical) const;

private:
    const PinState& slot(PinSide side, int io) const
    {
        return side == PinSide::Input ? m_in.at(static_cast<std::size_t>(io)) : m_out.at(static_cast<std::size_t>(io));
    }
    PinState& slot(PinSide side, int io)
    {
        return side == PinSide::Input ? m_in.at(static_cast<std::size_t>(io)) : m_out.at(static_cast<std::size_t>(io));
    }
    const std::optional<PinState>& factory(PinSide side, int io) const
    {
        return side == PinSide::Input ? m_factoryIn.at(static_cast<std::size_t>(io))
                                      : m_factoryOut.at(static_cast<std::size_t>(io));
    }

    std::array<PinState, kInputs> m_in;
    std::array<PinState, kOutputs> m_out;
    std::array<std::optional<PinState>, kInputs> m_factoryIn;
    std::array<std::optional<PinState>, kOutputs> m_factoryOut;
};

} // namespace drivesim
