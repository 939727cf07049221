#include <gtest/gtest.h>

#include "frame/WindowPlacement.h"

namespace qavix {
namespace {

TEST(WindowPlacement, SavedRectangleIsKeptOnTheScreenThatShowsIt) {
    const PlacementRect screen{0, 0, 1920, 1050};
    const PlacementSize minimum{800, 600};
    // Fits: unchanged.
    EXPECT_EQ(clampToScreen({40, 30, 1000, 750}, minimum, screen),
              (PlacementRect{40, 30, 1000, 750}));
    // Off the right and bottom edges (saved on a larger screen): moved back in.
    EXPECT_EQ(clampToScreen({1500, 900, 1000, 750}, minimum, screen),
              (PlacementRect{920, 300, 1000, 750}));
    // Off the left and top edges.
    EXPECT_EQ(clampToScreen({-300, -50, 1000, 750}, minimum, screen),
              (PlacementRect{0, 0, 1000, 750}));
    // A second screen to the right keeps its own offsets.
    EXPECT_EQ(clampToScreen({1900, 0, 1000, 750}, minimum, {1920, 0, 1280, 1000}),
              (PlacementRect{1920, 0, 1000, 750}));
}

TEST(WindowPlacement, ScreenSmallerThanTheMinimumWinsOverTheMinimum) {
    // 1366 x 768 at scale factor 2: 683 x 384 logical pixels, less the panel.
    const PlacementRect small{0, 0, 683, 360};
    const PlacementSize minimum{800, 600};
    const PlacementRect r = clampToScreen({0, 0, 1000, 750}, minimum, small);
    EXPECT_EQ(r, (PlacementRect{0, 0, 683, 360}));
    const PlacementSize least = minimumOnScreen(minimum, small);
    EXPECT_EQ(least.width, 683);
    EXPECT_EQ(least.height, 360);
    // A saved size below the minimum grows to the minimum where the screen allows.
    EXPECT_EQ(clampToScreen({10, 10, 300, 200}, minimum, {0, 0, 1920, 1050}),
              (PlacementRect{10, 10, 800, 600}));
}

TEST(WindowPlacement, FirstStartIsCentredAndNoLargerThanTheScreen) {
    EXPECT_EQ(firstStart({1100, 760}, {800, 600}, {0, 0, 1920, 1040}),
              (PlacementRect{410, 140, 1100, 760}));
    EXPECT_EQ(firstStart({1100, 760}, {800, 600}, {0, 24, 1024, 744}),
              (PlacementRect{0, 24, 1024, 744}));
}

TEST(WindowPlacement, TreeOpensAsLeftButNeverCutsItsLabelsNorOutgrowsItsPane) {
    TreePaneWidths w;
    w.client = 1100;
    w.labels = 190;
    w.maximum = 220;
    // First start: a fifth of the client, as far as the pane may grow.
    EXPECT_EQ(treePaneWidth(w), 220);
    w.client = 900;
    EXPECT_EQ(treePaneWidth(w), 190);  // a fifth (180) would cut the labels
    // The width the user left.
    w.saved = 205;
    EXPECT_EQ(treePaneWidth(w), 205);
    // Saved narrower than the labels need, or wider than the pane can be (which would
    // leave an empty band beside it).
    w.saved = 150;
    EXPECT_EQ(treePaneWidth(w), 190);
    w.saved = 400;
    EXPECT_EQ(treePaneWidth(w), 220);
    // A small window leaves the page most of the room, labels or not.
    w.client = 400;
    w.saved = 210;
    EXPECT_EQ(treePaneWidth(w), 160);
    w.saved = -1;
    EXPECT_EQ(treePaneWidth(w), 160);
    EXPECT_EQ(treePaneMinimum(w), 160);
    w.client = 900;
    EXPECT_EQ(treePaneMinimum(w), 190);
    w.client = 0;
    EXPECT_EQ(treePaneWidth(w), 0);
    EXPECT_EQ(treePaneMinimum(w), 0);
}

}  // namespace
}  // namespace qavix
