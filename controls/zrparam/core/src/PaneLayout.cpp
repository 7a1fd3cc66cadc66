#include "zrparam/PaneLayout.h"

#include <algorithm>

namespace zrparam {

namespace {

int atLeast0(int v)
{
    return std::max(v, 0);
}

// The help pane under the list, filling the height below it.
PaneRect helpUnder(const PaneRect& list, int cy)
{
    return {list.x, list.bottom() + PaneLayout::kGap, list.w, atLeast0(cy - list.bottom() - PaneLayout::kGap)};
}

} // namespace

Panes PaneLayout::Create(int cx, int cy, int style)
{
    Panes p;
    if (Stacked(style)) {
        p.tree = {0, 0, cx, cy / 2};
        p.list = {0, cy / 2 + kGap, cx, atLeast0(cy - cy / 2 - kGap)};
    } else {
        p.tree = {0, 0, cx / 2, cy};
        p.list = {cx / 2 + kGap, 0, atLeast0(cx / 2 - kGap), cy};
    }
    p.help = {p.list.x, p.list.y, p.list.w, p.list.h / 2};
    return p;
}

Panes PaneLayout::Relayout(int cx, int cy, int style, const Panes& current)
{
    Panes p = current;
    if (Stacked(style)) {
        // The list keeps its height; the tree takes the rest above the gap.
        const int listHeight = std::clamp(current.list.h, 0, atLeast0(cy - kGap));
        p.tree = {0, 0, cx, cy - listHeight - kGap};
        p.list = {0, cy - listHeight, cx, listHeight};
        return p;
    }
    const int treeWidth = std::clamp(current.tree.w, 0, atLeast0(cx - kGap));
    p.tree = {0, 0, treeWidth, cy};
    p.list = {treeWidth + kGap, 0, atLeast0(cx - treeWidth - kGap), cy};
    if (HelpShown(style)) {
        int help = current.help.h;
        if (help < 2 || help >= cy)
            help = cy / 2;
        p.list.h = atLeast0(cy - help - kGap);
        p.help = {p.list.x, cy - help, p.list.w, help};
    }
    return p;
}

Panes PaneLayout::KeepListWidth(int listNeeds, int cx, int cy, int style, const Panes& current)
{
    if (Stacked(style) || current.list.w >= listNeeds || current.tree.w <= kEdgeMargin)
        return current;
    const int treeWidth = std::max(kEdgeMargin, cx - kGap - listNeeds);
    if (treeWidth >= current.tree.w)
        return current;
    Panes p = current;
    p.tree.w = treeWidth;
    p.list.x = treeWidth + kGap;
    p.list.w = atLeast0(cx - p.list.x);
    if (HelpShown(style))
        p.help = helpUnder(p.list, cy);
    return p;
}

SplitterDrag PaneLayout::DragAt(int style, int x, const Panes& current)
{
    return Stacked(style) || x - kGap < current.tree.right() ? kTreeListDrag : kListHelpDrag;
}

std::optional<Panes> PaneLayout::Drag(SplitterDrag drag, int style, int x, int y, int cx, int cy,
                                      const Panes& current)
{
    const bool alongX = drag == kTreeListDrag && !Stacked(style);
    const int pos = alongX ? x : y;
    const int extent = alongX ? cx : cy;
    if (drag == kNoDrag || pos <= kEdgeMargin || extent - pos <= kEdgeMargin)
        return std::nullopt;
    Panes p = current;
    if (Stacked(style)) {
        p.tree = {0, 0, cx, y};
        p.list = {0, y + kGap, cx, cy - y - kGap};
    } else if (drag == kTreeListDrag) {
        p.tree = {0, 0, x, cy};
        p.list = {x + kGap, current.list.y, cx - x - kGap, current.list.h};
        if (HelpShown(style))
            p.help = helpUnder(p.list, cy);
    } else {
        p.list.h = y - p.list.y;
        if (HelpShown(style))
            p.help = helpUnder(p.list, cy);
    }
    return p;
}

bool PaneLayout::ClosesHelp(int style, const Panes& current)
{
    return HelpShown(style) && current.help.h <= kSmallestHelp;
}

bool PaneLayout::NorthSouthCursor(int style, int x, const Panes& current)
{
    if (Stacked(style))
        return true; // the one splitter lies across
    return HelpShown(style) && x >= current.tree.right() + kGap;
}

Panes PaneLayout::SetSizes(int treeWidth, int listHeight, int cx, int cy, int style, const Panes& current)
{
    Panes p = current;
    treeWidth = std::clamp(treeWidth, 0, atLeast0(cx - kGap));
    p.tree = {0, current.tree.y, treeWidth, current.tree.h};
    p.list = {treeWidth + kGap, current.list.y, atLeast0(cx - treeWidth - kGap), current.list.h};
    if (HelpShown(style)) {
        p.list.h = std::clamp(listHeight, 0, atLeast0(cy - p.list.y - kGap));
        p.help = helpUnder(p.list, cy);
    }
    return p;
}

} // namespace zrparam
