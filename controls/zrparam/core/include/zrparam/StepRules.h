// Stepping a value without typing: Space and double click step to the next allowed value; the
// seven-button preset popup (and Ctrl with the navigation keys) adds a signed step or goes back
// to the default, within the range's alternatives.
#pragma once

#include <model/ZRParamClass.h>
#include <model/ZRParamData.h>

#include <array>
#include <string>
#include <string_view>

namespace zrparam {

using model::CZRParamClass;
using model::CZRParamData;

// Preset buttons by index (button id - 2000).
enum PresetButton : int {
    kMinusCoarse = 0, kMinusMedium = 1, kMinusFine = 2, kReset = 3, kPlusFine = 4, kPlusMedium = 5, kPlusCoarse = 6,
};
inline constexpr int kPresetButtons = 7;

struct StepResult {
    int stepped = 0;         // 1 when the value was stepped (or a text record was left as it is)
    bool textChosen = false; // a text alternative was chosen: the host stores it (SetStrChange)
    std::string text;        // that text ("" for an alternative beginning with '*')
    int index = 0;           // its alternative
};

struct PresetResult {
    bool changed = false; // false: the selected alternative lies outside the range's items
    double value = 0.0;
    int alternative = 0;
    std::string text;     // the value in the record's number format, for the editor
};

struct PresetCaptions {
    std::array<std::string, kPresetButtons> captions; // by button index
    bool resetEnabled = true;                          // not for a write-only node
};

class StepRules {
public:
    // Space / double click. A range of one item adds the fine step, wrapping past the maximum to
    // the minimum and raising a value below the minimum to it. A '/'-range moves to the item after
    // the one that holds the current value (the first after the last).
    static StepResult StepToNextValue(CZRParamData& record);

    // The value the preset button makes of the editor's text. Inside a '/'-range the value keeps
    // to the items: a value between two items moves, in the button's direction, to the next
    // item's nearer bound, and stops at the first and the last item.
    static PresetResult PresetStep(const CZRParamData& record, int button, std::string_view editorText);

    // The captions of the popup for a node: the signed steps in the record's number format.
    static PresetCaptions Captions(const CZRParamClass& node);

    // The signed step of a button (0 for Reset).
    static double StepOf(const CZRParamData& record, int button);
};

} // namespace zrparam
