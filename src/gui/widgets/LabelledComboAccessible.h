#pragma once
// A drop-down as a screen reader should hear it: by the label it carries, its entry as its
// value. Qt names a drop-down by its current entry on this platform (a label is meant to be
// found through a relation), so a page with two lists set to "無効" offers two controls
// called "無効" and nothing saying what either sets.

namespace qavix {

// Every drop-down with an accessible name, or a label that names it as its buddy, is
// offered under that name; one with neither keeps its entry as its name. Call before the
// first window is built: Qt keeps the description it made first for each widget. Safe to
// call again.
void installLabelledComboAccessibility();

}  // namespace qavix
