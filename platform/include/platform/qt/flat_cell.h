// The flat owner-drawn cell of the connection bar's buttons and of the controls' owner-drawn
// buttons: fill, centred one-line text, one-pixel two-colour frame. Call it from paintEvent with
// the painter, the cell and the item's state (ODS_* below):
//     plat::qt::DrawFlatCell(text, {&painter, rect(), isEnabled() ? 0u : plat::qt::ODS_DISABLED},
//                            pressed ? 1 : 0, fill, light, shadow, true);
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace plat::qt {

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

} // namespace plat::qt
