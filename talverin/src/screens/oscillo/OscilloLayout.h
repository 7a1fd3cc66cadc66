// The oscilloscope screen's layout: the scope grows with the view from its place in the form and
// keeps a size of 20 n + 1 pixels (20 divisions and the closing line); the four cursor sliders are
// glued around it, the zoom buttons sit right-aligned under it, the HORIZONAL group follows its
// bottom edge and everything else its right edge. Pure: rectangles in, rectangles out.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace talverin {

struct LayoutItem {
    int id = 0;   // labels without an id share -1
    QRect rect;   // in the view's client area
    int key = 0;  // the caller's own index of the window, carried through
};

// size + 1 - size % 20, for a size of at least 1 (anything smaller counts as 1).
int SnapScopeSize(int size);

// The list as the layout walks it: the records of 1047, 1101-1105, 1126-1129 and 1003 moved to the
// head in that order, each in front of the last, so that the scope comes first, then the sliders
// and the zoom buttons, and the ZOOM label after button 1101.
std::vector<LayoutItem> OrderLayoutList(std::vector<LayoutItem> list);

struct LayoutResult {
    bool ok = false;  // false without a scope record
    QRect scope;
    int dx = 0;       // growth of the scope's width and height
    int dy = 0;
    std::vector<LayoutItem> placed; // the list's order, new rectangles
};

// Places every record for a client of `client` size, `origin` being the form's corner (marker
// 1225). The scope never shrinks below its size in the form: a smaller client scrolls instead.
LayoutResult LayOutScreen(const std::vector<LayoutItem>& list, QPoint origin, QSize client);

} // namespace talverin
