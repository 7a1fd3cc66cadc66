// Dialog 130's own widgets (the hosted scope and sliders come from its control template): group
// boxes, labels, edits, push-like radio and check buttons, the source lists, Run and Stop, and the
// hidden marker 1225 at the form's bottom-right corner. Every widget's object name is its control
// id; labels without an id are named "-1". Rectangles are dialog units of the form's font.
#pragma once

class QIcon;
class QWidget;

namespace talverin {

// Creates the widgets on `form` (the hosted controls are made separately, before, so that the
// widgets made here lie above them). Run and Stop carry the Japanese labels for language 1041,
// "Start" and "Stop" otherwise.
void BuildOscilloForm(QWidget* form);

// Bitmaps 168 (falling edge, DOWN) and 170 (rising edge, UP) of the slope buttons.
QIcon EdgeIcon(bool falling);

} // namespace talverin
