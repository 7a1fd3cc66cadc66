// The range checks the oscilloscope screen's value edits run when they lose the focus. Each
// takes the edit's text and what the check depends on and says whether the value is accepted,
// the value to apply, and for a refusal which message with which bounds.
#pragma once

#include <cstdint>
#include <string_view>

namespace talverin {

struct ValueCheck {
    enum Error {
        None,
        Time,        // "HORIZONAL/TIME setting is out of range..."
        Resolution,  // "HORIZONAL/RES. setting is out of range..."
        Position,    // "HORIZONAL/POS setting is out of range..." (low, high)
        Cursor,      // "AB cursor setting is out of range..." (high)
        Unchecked,   // nothing can be checked now (no time base): nothing changes, no message
    } error = None;
    double value = 0.0;       // the value to apply when accepted
    std::int64_t pixel = 0;   // POS.: the POS. slider's value
    double low = 0.0;         // bounds for the message
    double high = 0.0;

    bool accepted() const { return error == None; }
};

// TIME(ms): 0.1 ... 500.
ValueCheck CheckTimeText(std::string_view text);
// RES.: 1 ... 204 after truncation; the value is the truncated one.
ValueCheck CheckResolutionText(std::string_view text);
// POS.: with T = time x 20 and zoom z, the pixel w x z x p / T + 0.5 must not be negative and p at
// most T - T / z. A time base of 0 checks nothing.
ValueCheck CheckPositionText(std::string_view text, double timePerDivision, int zoom, int scopeWidth);
// Cursor A or B: 0 ... T ms; anything when T truncates to 0.
ValueCheck CheckCursorText(std::string_view text, double timePerDivision);
// The trigger position: any text, a non-number as 0, kept to 0 ... 100.
double TriggerPositionFromText(std::string_view text);
// A channel's zero position: kept to -100 ... 100; its zero cursor value 10000 - trunc(v) x 100.
double ChannelPositionFromText(std::string_view text);
std::int64_t ZeroCursorValue(double percent);

} // namespace talverin
