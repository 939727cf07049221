#pragma once
// What the program sets up once it is a desktop application: its icon, Qt's own dialogs
// in the interface's language, and (when started from the desktop) its working folder.

#include <QIcon>
#include <QStringList>

class QCoreApplication;
class QTranslator;

namespace qavix {

// The program's icon at every size it is drawn in.
QIcon applicationIcon();

// Loads Qt's translations (colour, file and print dialogs, standard buttons) into
// `language` from `folder` (empty: Qt's translations folder). The translator belongs to
// `app`; null when the translations are not installed, as for English, Qt's own language.
QTranslator* installQtTranslations(QCoreApplication& app, const QString& folder = QString(),
                                   const QString& language = QStringLiteral("ja"));

// The option that the desktop entry passes: work in the per-user data folder.
constexpr const char* kUserFolderOption = "--user-folder";

// Removes kUserFolderOption from `args` and, when it was there, enters the per-user data
// folder. False (with `error`) when that folder cannot be made or entered.
bool enterUserFolderIfAsked(QStringList& args, QString& error);

}  // namespace qavix
