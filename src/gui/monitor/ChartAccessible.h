#pragma once
// Screen readers see the level chart as a chart, with the bars it shows as its description.

namespace qavix {

// Installs the accessibility factory for CChartWnd once; later calls do nothing.
void installChartAccessibility();

}  // namespace qavix
