#include "platform/qt/dialog_units.h"

#include <QFontMetrics>

namespace plat::qt {

namespace {

int mulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    // Rounded half away from zero.
    return static_cast<int>(product >= 0 ? (product + denominator / 2) / denominator
                                         : (product - denominator / 2) / denominator);
}

} // namespace

QSize DialogBaseUnits(const QFont& font)
{
    const QFontMetrics fm(font);
    const int alphabet = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int x = (alphabet / 26 + 1) / 2;
    return {x > 0 ? x : 1, fm.height() > 0 ? fm.height() : 1};
}

QRect MapDialogRect(const QRect& du, const QFont& font)
{
    const QSize base = DialogBaseUnits(font);
    const int left = mulDiv(du.x(), base.width(), 4);
    const int top = mulDiv(du.y(), base.height(), 8);
    const int right = mulDiv(du.x() + du.width(), base.width(), 4);
    const int bottom = mulDiv(du.y() + du.height(), base.height(), 8);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace plat::qt
