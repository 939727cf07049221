#pragma once
// The tree's seventeen 16-pixel images, drawn once.

#include <QIcon>

namespace qavix {

QIcon treeImage(int index);

}  // namespace qavix
