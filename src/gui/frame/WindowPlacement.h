#pragma once
// Where the main window opens: the saved rectangle, kept on the screen that will show it.
// A rectangle saved on a larger screen or at a smaller scale factor would leave the status
// bar (or the whole window) out of sight; the frame's own minimum size must give way too.

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

}  // namespace qavix
