#pragma once
// What the program's own file dialogs share, whatever the desktop and whether or not the
// program is installed: Qt's own dialog, dates in the form of the program's language, and
// the program's file types called by their names in it. The names come from the shared-mime-info
// entry the program installs, a copy of which is in the resources: without it the desktop's type
// database guesses from the contents (a bank file's "##" header reads as a MATLAB file).

#include <QString>
#include <QStringList>
#include <vector>

class QFileDialog;

namespace qavix {

struct OwnFileType {
    QString mimeType;
    QString name;  // the comment in the program's language, else the plain (English) one
    QStringList globs;
};

// The language of the dialogs ("ja" unless told), set at start-up before any dialog opens:
// the type names are read once.
void useFileDialogLanguage(const QString& language);

// The types of the resource's MIME entry (empty when it cannot be read).
const std::vector<OwnFileType>& ownFileTypes();
// The name of the program's type a file name matches, or empty.
QString ownFileTypeName(const QString& fileName);

void prepareFileDialog(QFileDialog& dialog);

}  // namespace qavix
