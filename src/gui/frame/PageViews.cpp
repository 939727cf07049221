#include "frame/PageViews.h"

#include "monitor/CMonitor.h"
#include "monitor/CView004.h"
#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView013.h"
#include "pages/PageRegistry.h"

namespace qavix {

void installPageViews(CSplitterView& splitter, const PageContext& context) {
    splitter.installView(nav::kViewCommandDlg, new CCommandDlg(context.state, context.registry));
    splitter.installView(nav::kViewPage001, new CView001(context));
    splitter.installView(nav::kViewPage013, new CView013(context));
    auto* scanPage = new CView004(context);
    splitter.installView(nav::kViewPage004, scanPage);
    splitter.installView(nav::kViewMonitor, new CMonitor(context.state, context.link, *scanPage));
}

}  // namespace qavix
