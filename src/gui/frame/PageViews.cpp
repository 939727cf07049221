#include "frame/PageViews.h"

#include "monitor/CView002.h"
#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView013.h"
#include "pages/PageRegistry.h"

namespace qavix {

void installPageViews(CSplitterView& splitter, const PageContext& context) {
    auto* commandDlg = new CCommandDlg(context.state, context.registry);
    splitter.installView(nav::kViewCommandDlg, commandDlg);
    splitter.installView(nav::kViewPage001, new CView001(context));
    auto* graph = new CView002(context);
    splitter.installView(nav::kViewPage002, graph);
    commandDlg->addPageControls(CView002::kPageIndex, graph->commandControls());
    splitter.installView(nav::kViewPage013, new CView013(context));
}

}  // namespace qavix
