#include "frame/PageViews.h"

#include "frame/NavigationTree.h"
#include "monitor/BeamCommandBars.h"
#include "monitor/CListDlg.h"
#include "monitor/CMonitor.h"
#include "monitor/CThresholdTuning.h"
#include "monitor/CView002.h"
#include "monitor/CView003.h"
#include "monitor/CView004.h"
#include "monitor/CView006.h"
#include "monitor/CView007.h"
#include "monitor/CView017.h"
#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView008.h"
#include "pages/CView009.h"
#include "pages/CView010.h"
#include "pages/CView011.h"
#include "pages/CView012.h"
#include "pages/CView013.h"
#include "pages/CView016.h"
#include "pages/PageRegistry.h"
#include "report/CSelectDlg.h"
#include "report/CView005.h"

namespace qavix {

void installPageViews(CSplitterView& splitter, const PageContext& context) {
    auto* commandDlg = new CCommandDlg(context.state, context.registry);
    splitter.installView(nav::kViewCommandDlg, commandDlg);
    splitter.installView(nav::kViewPage001, new CView001(context));
    splitter.installView(nav::kViewPage010, new CView010(context));
    splitter.installView(nav::kViewPage012, new CView012(context));
    auto* graph = new CView002(context);
    splitter.installView(nav::kViewPage002, graph);
    commandDlg->addPageControls(CView002::kPageIndex, graph->commandControls());
    graph->setTuning(new CThresholdTuning(context, *graph));
    auto* levelList = new CView003(context);
    splitter.installView(nav::kViewPage003, levelList);
    splitter.installView(nav::kViewPage013, new CView013(context));
    splitter.installView(nav::kViewPage008, new CView008(context));
    splitter.installView(nav::kViewPage009, new CView009(context));
    splitter.installView(nav::kViewPage011, new CView011(context));
    auto* scanPage = new CView004(context);
    splitter.installView(nav::kViewPage004, scanPage);
    splitter.installView(nav::kViewMonitor, new CMonitor(context.state, context.link, *scanPage));
    auto* settingsList = new CView005(context);
    splitter.installView(nav::kViewPage005, settingsList);
    splitter.installView(nav::kViewSelectDlg, new CSelectDlg(context.state, *settingsList));
    auto* errorLog = new CView006(context);
    splitter.installView(nav::kViewPage006, errorLog);
    auto* listBar = new CListDlg;
    listBar->setSaveHandler(nav::kPageErrorLog, [errorLog] { errorLog->saveCsv(); });
    listBar->setSaveHandler(nav::kPageLevelList, [levelList] { levelList->saveCsv(); });
    listBar->addPageControls(nav::kPageLevelList, levelList->commandControls());
    splitter.installView(nav::kViewListDlg, listBar);
    splitter.installView(nav::kViewPage016, new CView016(context));
    // The beam pages' bars lead back to the page that opened them.
    const auto closeTo = [context](int pageIndex) {
        if (context.closeBeamPage) {
            context.closeBeamPage(pageIndex);
        }
    };
    auto* chartBeams = new CView007(context);
    splitter.installView(nav::kViewPage007, chartBeams);
    splitter.installView(nav::kViewBrkCommand,
                         new CBrkCommand(context.state, *chartBeams, closeTo));
    auto* listBeams = new CView017(context);
    splitter.installView(nav::kViewPage017, listBeams);
    splitter.installView(nav::kViewBrkCmdList, new CBrkCmdList(context.state, *listBeams, closeTo));
}

}  // namespace qavix
