// Dialog units to pixels with the base units of a dialog's font: a horizontal unit is a quarter
// of the font's average character width, a vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace talverin {

QSize DialogBaseUnits(const QFont& font);
QRect MapDialogRect(const QRect& dialogUnits, const QFont& font);

} // namespace talverin
