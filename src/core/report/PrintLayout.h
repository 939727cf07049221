#pragma once
// How the printed settings report falls onto pages. The measures are the printer's device
// units of a reference resolution; the printing side scales them to its printer and measures
// each line there, so counting pages and printing them use this one rule.

#include <vector>

namespace qavix::report {

// The measures at the reference resolution (dots per inch).
constexpr int kPrintReferenceDpi = 300;
constexpr int kPrintFirstLineY = 250;     // where every page's first report line starts
constexpr int kPrintBottomReserve = 150;  // kept free below the last line
constexpr int kPrintTextLeft = 200;       // report lines start here
constexpr int kPrintHeaderHeight = 60;    // height of the header font

struct PrintPage {
    int firstLine = 0;
    int lineCount = 0;
    std::vector<int> lineTops;  // y of each of the page's lines, device units
};

// Places lines of the given heights on pages: each page starts at `firstLineY`, the next
// line starts lower by the line's height plus `leading`, and a page takes lines while the
// next one would start above `usableHeight`. A page always takes at least one line, so a
// line taller than the page still prints. No lines: one empty page.
std::vector<PrintPage> layoutPrintPages(const std::vector<int>& lineHeights, int leading,
                                        int firstLineY, int usableHeight);

}  // namespace qavix::report
