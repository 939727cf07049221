#pragma once
// The tests' one temporary folder (tests/support/TempDir.h) in the program's terms.

#include <QDir>
#include <QString>

#include "TempDir.h"

namespace qavix::test {

inline QString pathOf(const TempDir& dir) {
    return QString::fromStdString(dir.str());
}

inline QString filePathOf(const TempDir& dir, const QString& name) {
    return QDir(pathOf(dir)).filePath(name);
}

}  // namespace qavix::test
