// How Tab and Shift+Tab and an arriving focus move among a row's three children: the logic
// button, the function box and the value box, in that order, skipping disabled ones.
#pragma once

#include <array>

namespace zrcn2 {

enum class RowPart { None = -1, Button = 0, Name = 1, Data = 2 };

using EnabledParts = std::array<bool, 3>; // button, function box, value box

// The child that Tab (or Shift+Tab with `backward`) moves to from `from` (None: the focus is not
// in a child: Tab starts at the button, Shift+Tab at the value box). None: the container moves
// on to the next (previous) control.
RowPart NextTabStop(RowPart from, bool backward, const EnabledParts& enabled);

// Where the focus goes when the row itself receives it: the first enabled child; None when none
// is (the focus moves on to a sibling).
RowPart FocusTarget(const EnabledParts& enabled);

} // namespace zrcn2
