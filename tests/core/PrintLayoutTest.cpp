// How report lines fall onto printed pages: the count the print dialog offers and the pages
// that are printed come from this one rule.

#include "report/PrintLayout.h"

#include <gtest/gtest.h>

namespace qavix::report {
namespace {

std::vector<int> sizesOf(const std::vector<PrintPage>& pages) {
    std::vector<int> sizes;
    for (const PrintPage& p : pages) {
        sizes.push_back(p.lineCount);
    }
    return sizes;
}

TEST(PrintLayout, NoLinesIsOneEmptyPage) {
    const auto pages = layoutPrintPages({}, 2, 250, 3000);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].lineCount, 0);
    EXPECT_TRUE(pages[0].lineTops.empty());
}

TEST(PrintLayout, PageTakesLinesWhileTheNextStartsAboveTheUsableHeight) {
    // Lines of 48 + 2: starts at 250, 300, ..., the page ends once the next start reaches
    // 1000, i.e. after 15 lines (250 + 15 * 50 = 1000).
    const std::vector<int> heights(40, 48);
    const auto pages = layoutPrintPages(heights, 2, 250, 1000);
    EXPECT_EQ(sizesOf(pages), (std::vector<int>{15, 15, 10}));
    EXPECT_EQ(pages[1].firstLine, 15);
    EXPECT_EQ(pages[2].firstLine, 30);
    EXPECT_EQ(pages[0].lineTops.front(), 250);
    EXPECT_EQ(pages[0].lineTops.back(), 250 + 14 * 50);
    // Every page starts again at the top.
    EXPECT_EQ(pages[2].lineTops.front(), 250);

    // One unit more of room takes one more line.
    EXPECT_EQ(sizesOf(layoutPrintPages(heights, 2, 250, 1001)), (std::vector<int>{16, 16, 8}));
}

TEST(PrintLayout, LinesOfDifferentHeightsAndEveryLineOnce) {
    const std::vector<int> heights = {100, 300, 50, 50, 400, 10};
    const auto pages = layoutPrintPages(heights, 0, 0, 400);
    EXPECT_EQ(sizesOf(pages), (std::vector<int>{2, 3, 1}));
    int next = 0;
    for (const PrintPage& p : pages) {
        EXPECT_EQ(p.firstLine, next);
        EXPECT_EQ(static_cast<int>(p.lineTops.size()), p.lineCount);
        next += p.lineCount;
    }
    EXPECT_EQ(next, 6);
}

TEST(PrintLayout, LineTallerThanThePageStillPrintsAlone) {
    const auto pages = layoutPrintPages({5000, 5000, 10}, 1, 250, 1000);
    EXPECT_EQ(sizesOf(pages), (std::vector<int>{1, 1, 1}));
}

}  // namespace
}  // namespace qavix::report
