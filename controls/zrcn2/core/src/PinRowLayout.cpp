#include "zrcn2/PinRowLayout.h"

namespace zrcn2 {

int CutRowHeight(int height)
{
    return height <= 0 ? height : height - height % 3;
}

PinRowLayout PinRowLayout::fonts(int height)
{
    PinRowLayout l;
    l.height = height;
    l.badgeSize = height - 2;
    l.editFontHeight = height - 6;
    l.numberFontHeight = l.badgeSize - 7;
    l.buttonFontHeight = l.badgeSize;
    return l;
}

PinRowLayout PinRowLayout::compute(int height, int a, int b)
{
    PinRowLayout l = fonts(height);
    const int h = height;
    l.badge = QRect(1, 1, h - 2, h - 2);
    l.button = QRect(h + 1, 1, h - 4, h - 2);
    const int nameLeft = 2 * h - 3;
    const int nameRight = a + 2 * h + 1;
    const int dataRight = nameRight + b + 4;
    l.nameBox = QRect(nameLeft, 1, nameRight - nameLeft, h - 2);
    l.dataBox = QRect(nameRight, 1, dataRight - nameRight, h - 2);
    l.nameOnly = QRect(h + 1, 1, dataRight - (h + 1), h - 2);
    return l;
}

QRect BadgeEllipse(const PinRowLayout& layout, bool pressed)
{
    const QRect r = layout.badge.adjusted(0, 0, -kBadgeInset, -kBadgeInset);
    return pressed ? r.translated(kBadgeInset, kBadgeInset) : r;
}

} // namespace zrcn2
