#pragma once
// Page indexes of the right pane, the one list the navigation tree, the page table, the pages
// and the command bars share. The page map in pages/README.md says which view and class
// each index shows.

namespace qavix::nav {

enum PageIndex : int {
    kPageNavigation = 1,
    kPageBasicInfo = 3,
    kPageLevelGraph = 4,
    kPageLevelList = 5,
    kPageScanMonitor = 6,
    kPageSettingsList = 7,
    kPageErrorLog = 8,
    kPageBlanking = 9,
    kPagePio = 10,
    kPageOverallJudgement = 11,
    kPageParallelOutput = 12,
    kPageGroupJudgement = 13,
    kPageOptions = 14,
    kPageClock = 15,
    kPageSensorOperation = 18,
    kPageBeamDesignation = 19,
};

}  // namespace qavix::nav
