#pragma once
// Where the main window opens: the saved rectangle, kept on the screen that will show it.
// A rectangle saved on a larger screen or at a smaller scale factor would leave the status
// bar (or the whole window) out of sight; the frame's own minimum size must give way too.
// Also how wide the navigation tree opens.

namespace qavix {

struct PlacementRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PlacementRect& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

struct PlacementSize {
    int width = 0;
    int height = 0;
};

// The frame's minimum size on a screen whose free area is `available`.
PlacementSize minimumOnScreen(PlacementSize minimum, const PlacementRect& available);

// `saved` (left, top, width, height) made to fit `available`: no larger than it, at least
// the minimum that fits, and moved inside it.
PlacementRect clampToScreen(const PlacementRect& saved, PlacementSize minimum,
                            const PlacementRect& available);

// The size of a first start: `preferred`, as far as the screen allows, centred on it.
PlacementRect firstStart(PlacementSize preferred, PlacementSize minimum,
                         const PlacementRect& available);

// What decides the navigation tree's width when the window opens.
struct TreePaneWidths {
    int client = 0;       // the splitter's width (the client area)
    int labels = 0;       // the tree's labels shown whole, every branch open
    int maximum = 0;      // the pane's own maximum width
    int saved = -1;       // the width the user left at the last close; -1 when none
    int divisor = 5;      // a first start gives the tree this share of the client (1/divisor)
    int maxPercent = 40;  // never more than this share of the client
};

// The narrowest the tree may be: its labels whole, as far as the share limit allows. The
// page beside it gives way first when the window is too narrow for both.
int treePaneMinimum(const TreePaneWidths& w);

// The tree's width: the saved one, else a share of the client; never so narrow that the
// labels are cut (as far as the share limit allows) and never wider than the pane can be,
// since a column wider than its pane leaves an empty band beside it.
int treePaneWidth(const TreePaneWidths& w);

}  // namespace qavix
