#pragma once
// The tests' one temporary folder (tests/support/TempDir.h) in the program's terms.

#include <QDir>
#include <QFile>
#include <QString>

#include "TempDir.h"

namespace qavix::test {

inline QString pathOf(const TempDir& dir) {
    return QString::fromStdString(dir.str());
}

inline QString filePathOf(const TempDir& dir, const QString& name) {
    return QDir(pathOf(dir)).filePath(name);
}

// What a file holds ("" when it cannot be read).
inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace qavix::test
