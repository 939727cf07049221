#pragma once
// The save dialog of the pages' file commands: the title, filters, default suffix and name
// each command gives, in the process's current folder, and the texts the file commands
// share (each written once here).

#include <QString>
#include <QStringList>

class QWidget;

namespace qavix {

// The level CSV files of the graph and list pages, the error log's file, the chart picture.
QString saveAsTitle();
// The settings list's text file.
QString reportSaveTitle();

// Filters as the user reads them, each followed by the patterns Qt matches files with
// ("Name (*.ext)"); the dialog shows the names alone, so "All Files (*.*)" also lists files
// without a dot in their name.
QStringList csvFileFilters();
QStringList reportFileFilters();

struct SaveFileRequest {
    QString title;
    QStringList filters;  // as csvFileFilters() gives them, the first one selected
    QString defaultSuffix;
    QString defaultName;
    // The dialog asks before it replaces a file; a page that asks itself turns it off.
    bool confirmOverwrite = true;
};

// The chosen path, or empty when the user cancelled.
QString askSaveFile(QWidget* parent, const SaveFileRequest& request);

}  // namespace qavix
