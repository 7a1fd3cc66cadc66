// Drawing of a pin row: its own face (background, border, badge, frames, a badge-only row's
// function text) and the pieces the logic button shares with it.
#pragma once

#include <platform/types.h>
#include <zrcn2/PinRowLayout.h>

#include <QFont>

class CZRCN2Ctrl;
class QPainter;

// A 1-pixel sunken frame on the edges of r in shades of colour (a resolved COLORREF).
void DrawSunkenFrame(QPainter& p, const QRect& r, plat::COLORREF colour);
// A dotted focus rectangle on the edges of r.
void DrawFocusRect(QPainter& p, const QRect& r);

struct RowFonts {
    QFont edit;   // "MS Gothic", H - 6, fixed pitch
    QFont number; // "MS Gothic", badge size - 7
};
RowFonts MakeRowFonts(const zrcn2::PinRowLayout& layout);

// The row's face into a client area of `size`, as the control's window shows it under its
// children.
void PaintRow(QPainter& p, const QSize& size, const CZRCN2Ctrl& ctrl, const zrcn2::PinRowLayout& layout,
              const RowFonts& fonts, bool badgePressed);
