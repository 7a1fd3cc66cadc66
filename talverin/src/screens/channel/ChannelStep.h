// The step panel's arithmetic: a button moves the data value by the parameter's fine, medium or
// coarse step, or back to its default, and keeps it inside the parameter's range. A range of
// '/'-separated alternatives is walked alternative by alternative.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace model {
class CZRParamData;
}

namespace talverin {

// Button indices (the panel's control id - 2000), top to bottom 6 .. 0.
enum StepButton : int {
    kStepCoarseDown = 0, // "-100"
    kStepMediumDown = 1, // "-10"
    kStepFineDown = 2,   // "-1"
    kStepReset = 3,      // "Reset"
    kStepFineUp = 4,     // "+1"
    kStepMediumUp = 5,   // "+10"
    kStepCoarseUp = 6,   // "+100"
    kStepButtonCount = 7,
};

// Only numeric parameters with step mode other than 0 get the panel: a text-valued one has no
// number to step (its Reset would write "0").
bool HasStepPanel(const model::CZRParamData& record);

// The value a button gives from `value` (the editor's number). Reset gives the default. Without
// alternatives the result is clamped to the range's minimum and maximum; with them, a result that
// leaves the alternative holding `value` (the first when none does) moves to the next
// alternative's minimum (stepping up: the first later one whose maximum exceeds it, else the last
// one's maximum) or the previous one's maximum (stepping down: the first earlier one whose minimum
// is below it, else the first one's minimum).
double StepValue(model::CZRParamData& record, double value, int button);
// StepValue of the editor's text (its leading number, 0 when none), in the record's format.
std::string StepText(model::CZRParamData& record, std::string_view editorText, int button);

// The panel's captions by button index: the steps and their negatives in the record's format (no
// '+' sign); kStepReset's entry is empty (the panel keeps its own caption).
std::array<std::string, kStepButtonCount> StepCaptions(const model::CZRParamData& record);
// Reset is offered unless the parameter can be written but not read.
bool StepResetEnabled(const model::CZRParamData& record);

} // namespace talverin
