#pragma once
// The pictures of the monitor command bars' buttons, drawn here so that they stay sharp at
// any screen scale and follow the palette.

#include <QIcon>

namespace qavix {

QIcon startPicture();  // a play triangle
QIcon stopPicture();   // a stop square
QIcon clearPicture();  // an empty chart with a sweep

}  // namespace qavix
