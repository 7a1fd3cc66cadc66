// Dialog units to pixels with the base units of a dialog's font: a horizontal unit is a quarter
// of the font's average character width, a vertical unit an eighth of its height. Every dialog,
// screen and control laid out from a template in dialog units places its widgets with these:
//     widget->setGeometry(plat::qt::MapDialogRect(QRect(7, 7, 50, 14), dialog->font()));
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace plat::qt {

// The font's base units in pixels: width = average character width, height = line height.
QSize DialogBaseUnits(const QFont& font);
// A rectangle in dialog units to pixels, each edge rounded half away from zero.
QRect MapDialogRect(const QRect& dialogUnits, const QFont& font);

} // namespace plat::qt
