#include "frame/WindowPlacement.h"

#include <algorithm>

namespace qavix {

PlacementSize minimumOnScreen(PlacementSize minimum, const PlacementRect& available) {
    return {std::min(minimum.width, available.width), std::min(minimum.height, available.height)};
}

PlacementRect clampToScreen(const PlacementRect& saved, PlacementSize minimum,
                            const PlacementRect& available) {
    const PlacementSize least = minimumOnScreen(minimum, available);
    PlacementRect r;
    r.width = std::clamp(saved.width, least.width, available.width);
    r.height = std::clamp(saved.height, least.height, available.height);
    r.left = std::clamp(saved.left, available.left, available.left + available.width - r.width);
    r.top = std::clamp(saved.top, available.top, available.top + available.height - r.height);
    return r;
}

PlacementRect firstStart(PlacementSize preferred, PlacementSize minimum,
                         const PlacementRect& available) {
    PlacementRect r = clampToScreen({0, 0, preferred.width, preferred.height}, minimum, available);
    r.left = available.left + (available.width - r.width) / 2;
    r.top = available.top + (available.height - r.height) / 2;
    return r;
}

namespace {

int shareLimit(const TreePaneWidths& w) {
    return std::max(w.client * w.maxPercent / 100, 0);
}

}  // namespace

int treePaneMinimum(const TreePaneWidths& w) {
    return std::max(std::min(w.labels, shareLimit(w)), 0);
}

int treePaneWidth(const TreePaneWidths& w) {
    const int wanted = w.saved >= 0 ? w.saved : w.client / std::max(w.divisor, 1);
    return std::max(std::min({std::max(wanted, treePaneMinimum(w)), w.maximum, shareLimit(w)}), 0);
}

}  // namespace qavix
