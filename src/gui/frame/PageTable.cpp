#include "frame/PageTable.h"

#include "frame/NavigationTree.h"

namespace qavix::nav {

const std::array<const char*, kViewCount> kViewClassNames = {
    "CCommandDlg", "CBrkCommand", "CBrkCmdList", "CListDlg", "CMonitor", "CSelectDlg", "CView001",
    "CView002",    "CView003",    "CView004",    "CView005", "CView006", "CView007",   "CView008",
    "CView009",    "CView010",    "CView011",    "CView012", "CView013", "CView016",   "CView017",
};

std::optional<PageEntry> pageEntry(int pageIndex) {
    auto entry = [](int bar, int view) {
        PageEntry e;
        e.commandBar = bar;
        e.page = view;
        e.commandDlgGetsMode = bar == kViewCommandDlg;
        return e;
    };
    switch (pageIndex) {
        case kPageBasicInfo:
            return entry(kViewCommandDlg, 6);
        case kPageLevelGraph:
            return entry(kViewCommandDlg, 7);
        case kPageLevelList:
            return entry(kViewListDlg, 8);
        case kPageScanMonitor:
            return entry(kViewMonitor, 9);
        case kPageSettingsList: {
            PageEntry e = entry(kViewSelectDlg, 10);
            e.commandDlgGetsMode = true;
            return e;
        }
        case kPageErrorLog:
            return entry(kViewListDlg, 11);
        case kPageBlanking:
            return entry(kViewBrkCommand, 12);
        case kPagePio:
            return entry(kViewCommandDlg, 13);
        case kPageOverallJudgement:
            return entry(kViewCommandDlg, 14);
        case kPageParallelOutput:
            return entry(kViewCommandDlg, 15);
        case kPageGroupJudgement:
            return entry(kViewCommandDlg, 16);
        case kPageOptions:
            return entry(kViewCommandDlg, 17);
        case kPageClock: {
            PageEntry e = entry(kViewCommandDlg, 18);
            e.collapseCommandRow = true;
            return e;
        }
        case kPageSensorOperation:
            return entry(kViewCommandDlg, 19);
        case kPageBeamDesignation:
            return entry(kViewBrkCmdList, 20);
        default:
            return std::nullopt;
    }
}

}  // namespace qavix::nav
