#pragma once
// The pictures of the "連続更新" button: a play triangle while idle, a stop square while
// running, drawn at the screen's pixel ratio so they stay sharp.

#include <QIcon>

namespace qavix {

QIcon playPicture();
QIcon stopPicture();

}  // namespace qavix
