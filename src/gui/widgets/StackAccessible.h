#pragma once
// What a screen reader is told of a stack of pages: the page shown, not those behind it.
// Qt offers every page of a stack, and the item views on hidden pages call their cells
// showing (and the current one focused), so pages the user cannot see would be read out.

namespace qavix {

// Makes every QStackedWidget offer only its shown page. Call before the first window is
// built: Qt keeps the description it made first for each widget. Safe to call again.
void installStackAccessibility();

}  // namespace qavix
