// Where a pin row puts its parts for a client height H, and the font heights it uses. The widths
// of "DDDDD" (a) and "99999.99" (b) in the edit font come from the widget, which measures them.
#pragma once

#include <QRect>

namespace zrcn2 {

// A row's height is a multiple of 3: a taller request is cut down (31 -> 30).
int CutRowHeight(int height);

struct PinRowLayout {
    int height = 0;
    int badgeSize = 0;        // H - 2
    int editFontHeight = 0;   // H - 6, "MS Gothic", fixed pitch
    int numberFontHeight = 0; // badge size - 7
    int buttonFontHeight = 0; // badge size, "Century Gothic"
    QRect badge;              // the square (1, 1) - (H - 1, H - 1)
    QRect button;             // (H + 1, 1), (H - 4) x (H - 2)
    QRect nameBox;            // x 2H - 3 .. a + 2H + 1, y 1 .. H - 1
    QRect dataBox;            // x a + 2H + 1 .. a + 2H + 1 + b + 4
    QRect nameOnly;           // a badge-only row's frame: from the button's place to the value box's end

    // Font heights only (they decide a and b).
    static PinRowLayout fonts(int height);
    // Everything, from H and the two widths in the edit font.
    static PinRowLayout compute(int height, int widthDDDDD, int width99999);
};

// The badge's ellipse: the square less the inset, at the top left, or shifted by the inset while
// the badge is held down.
inline constexpr int kBadgeInset = 2;
QRect BadgeEllipse(const PinRowLayout& layout, bool pressed);

} // namespace zrcn2
