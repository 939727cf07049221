#pragma once
// The greyed look of a button's picture. The style greys a disabled icon by mapping its
// greys between black and the window colour, which leaves a dark picture as dark as ever:
// a bar button that cannot be used would still look ready, only its label greyed.

#include <QIcon>

namespace qavix {

// `icon` with a disabled look of its own: grey, light and faint, whatever its colours.
QIcon withGreyedDisabledLook(const QIcon& icon);

}  // namespace qavix
