// Plain values the driver model's test interface takes and gives.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace drivesim {

enum class PinSide { Input, Output };

// One CN2 pin. An unassigned pin has an empty function, logic 0 and an empty value.
struct PinState {
    std::string function;   // "" or a number text 0..31 ("FN")
    bool logic = false;     // inputs: AB (1 = B contact); outputs: GC
    std::string value;      // inputs: NW, outputs: ST; "" or a number text of up to 8 characters
    // Not part of the setting: inputs the electrical level at the connector, outputs whether the
    // assigned function is on. Kept when the setting changes.
    bool level = false;

    bool assigned() const { return !function.empty(); }
    bool operator==(const PinState&) const = default;
};

struct AlarmEntry {
    int code = 0;           // 1..255
    std::string text;       // "OVERLOAD"
    bool operator==(const AlarmEntry&) const = default;
};

// The oscilloscope settings in the forms its query commands answer.
struct ScopeSettings {
    std::array<std::string, 4> sources{"VF", "TRQ", "", ""};   // "" = no source ("-1")
    std::array<std::string, 4> levels{"0", "0", "", ""};       // "" for a channel without source
    char trigger = 'A';                                        // 'A'..'D'
    int edge = 0;                                              // 0 rising, 1 falling
    std::string position = "50.0";                             // trigger position, percent
    std::string recordTime = "200.0";                          // ms
    int samples = 201;                                         // rows of a capture
    bool operator==(const ScopeSettings&) const = default;
};

// A test signal: the sample i of n (0 <= i < n) in the source's scaled units (value x 10^decimals).
using Signal = std::function<long long(int i, int n)>;

} // namespace drivesim
