#pragma once
// What the program's own file dialogs share, whatever the desktop and whether or not the
// program is installed: Qt's own dialog, dates in the Japanese form, and the program's file
// types called by their names. The names come from the shared-mime-info entry the program
// installs, a copy of which is in the resources: without it the desktop's type database
// guesses from the contents (a bank file's "##" header reads as a MATLAB file).

#include <QString>
#include <QStringList>
#include <vector>

class QFileDialog;

namespace qavix {

struct OwnFileType {
    QString mimeType;
    QString name;  // the Japanese comment, else the plain one
    QStringList globs;
};

// The types of the resource's MIME entry (empty when it cannot be read).
const std::vector<OwnFileType>& ownFileTypes();
// The name of the program's type a file name matches, or empty.
QString ownFileTypeName(const QString& fileName);

void prepareFileDialog(QFileDialog& dialog);

}  // namespace qavix
