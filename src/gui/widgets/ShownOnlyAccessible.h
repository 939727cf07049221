#pragma once
// What a screen reader is told of the windows: the parts shown, not those hidden. Qt offers
// every child of a widget, hidden or not, and every page of a stack; the item views among
// them (the lists of pages behind the shown one, the closed drop-downs of a bar's hidden
// controls) call their cells showing, and the current one focused, so what the user cannot
// see would be read out.

namespace qavix {

// Makes every stack offer only its shown page, and every plain container only its children
// that are not hidden. Call before the first window is built: Qt keeps the description it
// made first for each widget. Safe to call again.
void installShownOnlyAccessibility();

}  // namespace qavix
