// The child-window rectangles a screen layout starts from: every descendant with a control id
// (its object name as a number) and its window rectangle, first in screen coordinates, then
// relative to the window.
#pragma once

#include <vector>

class QWidget;

namespace talverin {

struct ChildWindowRecord {
    QWidget* window = nullptr;
    int controlId = 0;
    // Window rectangle, right and bottom exclusive.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The enumeration callback: appends the window's record when its control id is not 0; always
// true (go on).
bool EnumChildProc(QWidget* window, std::vector<ChildWindowRecord>& list);
// Calls EnumChildProc for every descendant of parent, parents before their children.
void EnumChildWindows(QWidget* parent, std::vector<ChildWindowRecord>& list);
// Makes every record's rectangle relative to the window's screen position; returns 1.
int OffsetRectsToWindow(QWidget* window, std::vector<ChildWindowRecord>& list);

} // namespace talverin
