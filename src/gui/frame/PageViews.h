#pragma once
// The pages and command bars that are built, put in their places of the right pane's page
// table; the other places keep their placeholders.

#include "frame/CSplitterView.h"
#include "pages/PageContext.h"

namespace qavix {

// Creates the built views with `context` (whose registry they share) and installs them.
void installPageViews(CSplitterView& splitter, const PageContext& context);

}  // namespace qavix
