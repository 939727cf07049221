#include "frame/PageViews.h"

#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView008.h"
#include "pages/CView009.h"
#include "pages/CView011.h"
#include "pages/CView013.h"
#include "pages/PageRegistry.h"

namespace qavix {

void installPageViews(CSplitterView& splitter, const PageContext& context) {
    splitter.installView(nav::kViewCommandDlg, new CCommandDlg(context.state, context.registry));
    splitter.installView(nav::kViewPage001, new CView001(context));
    splitter.installView(nav::kViewPage013, new CView013(context));
    splitter.installView(nav::kViewPage008, new CView008(context));
    splitter.installView(nav::kViewPage009, new CView009(context));
    splitter.installView(nav::kViewPage011, new CView011(context));
}

}  // namespace qavix
