// Small helpers every window of the main program uses: the status bar's message, finding a menu
// item by its text, and the flat owner-drawn cells of the connection bar's buttons.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

namespace talverin {

// Shows `text` in the message pane of the main window's status bar; a null text shows the idle
// text "For Help, press F1". `window` is the caller and is not used. Does nothing when the program
// has no main window yet.
void SetStatusText(QWidget* window, const char* text);
void SetStatusText(QWidget* window, const QString& text);

// Position of the first item of a menu or menu bar whose text equals `text` exactly (separators
// count as positions and have an empty text); -1 when no item matches or there is no menu.
int FindMenuItemByText(const QWidget* menu, const QString& text);

// Owner-draw states that DrawFlatCell heeds.
enum DrawItemState : unsigned {
    ODS_SELECTED = 0x0001,
    ODS_GRAYED = 0x0002,
    ODS_DISABLED = 0x0004,
};

// What an owner-drawn control hands its painter: where to draw and the item's state.
struct DrawItemInfo {
    QPainter* painter = nullptr;
    QRect rect;
    unsigned state = 0;
};

// Fills the cell, draws the text on one line centred in the cell moved right and down by `inset`
// (grey when the item is disabled or greyed and `grey` is set), then a one-pixel frame: left and
// top edges in `topLeft`, right and bottom edges in `bottomRight`.
void DrawFlatCell(const QString& text, const DrawItemInfo& item, int inset, const QColor& fill,
                  const QColor& topLeft, const QColor& bottomRight, bool grey);

} // namespace talverin
