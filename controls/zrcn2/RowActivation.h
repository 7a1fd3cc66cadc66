// Which pin row is active: the one holding the focus within its window. A row is activated when
// the focus enters it (ShowToolBars) and deactivated when the focus moves to another widget of the
// same window (Change 255 / 0). Focus that goes to a menu, a message box or another window, or
// that is lost, neither activates nor deactivates a row, so the row is still active when the
// focus comes back.
#pragma once

class PinRowWidget;

class RowActivation {
public:
    static void add(PinRowWidget* row);
    static void remove(PinRowWidget* row);
    // Brings every row's state in line with the current focus: deactivations first.
    static void update();
};
