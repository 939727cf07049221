#pragma once
// The save dialog of the pages' file commands: the title, filters, default suffix and name
// each command gives, in the process's current folder, asking before it replaces a file.

#include <QString>
#include <QStringList>

class QWidget;

namespace qavix {

struct SaveFileRequest {
    QString title;
    QStringList filters;  // "Name (*.ext)", the first one selected
    QString defaultSuffix;
    QString defaultName;
};

// The chosen path, or empty when the user cancelled.
QString askSaveFile(QWidget* parent, const SaveFileRequest& request);

}  // namespace qavix
