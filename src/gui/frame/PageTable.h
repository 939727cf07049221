#pragma once
// What the right pane shows for each page index: the command bar in the upper row, the page
// in the lower row, and which mode the command bar is told. Views are numbered in the order
// the right pane creates them (0..5 command bars, 6..20 pages).

#include <array>
#include <optional>

namespace qavix::nav {

constexpr int kCommandBarViewCount = 6;
constexpr int kViewCount = 21;
constexpr int kNoView = -1;
constexpr int kCommandRowHeight = 70;
constexpr int kCollapsedCommandRowHeight = 1;

enum ViewNumber : int {
    kViewCommandDlg = 0,
    kViewBrkCommand = 1,
    kViewBrkCmdList = 2,
    kViewListDlg = 3,
    kViewMonitor = 4,
    kViewSelectDlg = 5,
    kViewPage001 = 6,
    kViewPage002 = 7,
    kViewPage003 = 8,
    kViewPage004 = 9,
    kViewPage005 = 10,
    kViewPage006 = 11,
    kViewPage007 = 12,
    kViewPage008 = 13,
    kViewPage009 = 14,
    kViewPage010 = 15,
    kViewPage011 = 16,
    kViewPage012 = 17,
    kViewPage013 = 18,
    kViewPage016 = 19,
    kViewPage017 = 20,
};

// Class names of the views by view number.
extern const std::array<const char*, kViewCount> kViewClassNames;

struct PageEntry {
    int commandBar = kNoView;  // view shown in row 0
    int page = kNoView;        // view shown in row 1
    // The general command bar is told the page index even when another bar is shown.
    bool commandDlgGetsMode = false;
    bool collapseCommandRow = false;  // the clock page has no command bar row
};

// Empty for page 1 (the navigation view) and for indexes without a page (2, 16, 17).
std::optional<PageEntry> pageEntry(int pageIndex);

}  // namespace qavix::nav
