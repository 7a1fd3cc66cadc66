// Where the three panes of the editor lie: beside each other (tree left, list right, the help
// pane under the list) or stacked (tree above list, no help pane), with 4-pixel splitter gaps
// that belong to the control's own window. Creation, re-layout, the splitter drags and CtrlSize.
#pragma once

#include <optional>

namespace zrparam {

struct PaneRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    friend bool operator==(const PaneRect&, const PaneRect&) = default;
};

struct Panes {
    PaneRect tree;
    PaneRect list;
    PaneRect help;
    friend bool operator==(const Panes&, const Panes&) = default;
};

enum ShowStyleBit : int {
    kShowHelp = 0x40,    // the help pane is shown (side by side only)
    kShowStacked = 0x80, // tree above list
};

enum SplitterDrag : int {
    kNoDrag = 0,
    kTreeListDrag = 1, // the tree/list splitter (x beside, y stacked)
    kListHelpDrag = 2, // the list/help splitter
};

class PaneLayout {
public:
    static constexpr int kGap = 4;
    // A splitter stays more than this far from both edges.
    static constexpr int kEdgeMargin = 64;
    // A help pane dragged this small or smaller is closed.
    static constexpr int kSmallestHelp = 16;

    static bool Stacked(int style) { return (style & kShowStacked) != 0; }
    // The help pane is shown only beside the list.
    static bool HelpShown(int style) { return (style & kShowHelp) != 0 && !Stacked(style); }

    // The rectangles at creation for a control of cx x cy: the halves, and the help pane under
    // the list at half its height.
    static Panes Create(int cx, int cy, int style);
    // After a resize or a ShowStyle change: the tree keeps its width (beside) and the list its
    // height (stacked); a help pane keeps its height unless it is below 2 or not below cy.
    static Panes Relayout(int cx, int cy, int style, const Panes& current);

    // Which splitter a button press at x starts.
    static SplitterDrag DragAt(int style, int x, const Panes& current);
    // The panes for the splitter moved to (x, y); nothing when the splitter would come 64 pixels
    // or closer to an edge.
    static std::optional<Panes> Drag(SplitterDrag drag, int style, int x, int y, int cx, int cy,
                                     const Panes& current);
    // After the button is released: whether the help pane is now too small and closes.
    static bool ClosesHelp(int style, const Panes& current);
    // The cursor a move without a drag shows at x: true for north-south, false for west-east.
    static bool NorthSouthCursor(int style, int x, const Panes& current);

    // Beside each other, the list is kept at least `listNeeds` wide (its columns up to the value
    // and its scroll bar) while the tree can give up width down to kEdgeMargin: a narrow host still
    // shows the value it reads.
    static Panes KeepListWidth(int listNeeds, int cx, int cy, int style, const Panes& current);

    // CtrlSize with setFlg 1: the tree width, and the list height when the help pane is shown.
    static Panes SetSizes(int treeWidth, int listHeight, int cx, int cy, int style, const Panes& current);

    // x of the help pane's close button.
    static int CloseButtonX(int helpWidth, int buttonWidth, int scrollBarWidth, int edgeWidth)
    {
        return helpWidth - buttonWidth - scrollBarWidth - edgeWidth;
    }
};

} // namespace zrparam
