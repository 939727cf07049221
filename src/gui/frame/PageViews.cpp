#include "frame/PageViews.h"

#include "pages/CCommandDlg.h"
#include "pages/CView001.h"
#include "pages/CView010.h"
#include "pages/CView012.h"
#include "pages/CView013.h"
#include "pages/CView016.h"
#include "pages/PageRegistry.h"

namespace qavix {

void installPageViews(CSplitterView& splitter, const PageContext& context) {
    splitter.installView(nav::kViewCommandDlg, new CCommandDlg(context.state, context.registry));
    splitter.installView(nav::kViewPage001, new CView001(context));
    splitter.installView(nav::kViewPage010, new CView010(context));
    splitter.installView(nav::kViewPage012, new CView012(context));
    splitter.installView(nav::kViewPage013, new CView013(context));
    splitter.installView(nav::kViewPage016, new CView016(context));
}

}  // namespace qavix
