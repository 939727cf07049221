#include "app/DesktopSetup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "files/UserDataFolder.h"

namespace qavix {

namespace {

constexpr int kIconSizes[] = {16, 32, 48, 64, 256};

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int size : kIconSizes) {
        icon.addFile(QString(":/icons/qavix-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QTranslator* installQtTranslations(QCoreApplication& app, const QString& folder,
                                   const QString& language) {
    const QString where =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // Qt's dialogs speak the program's language, not the desktop locale's.
    auto* translator = new QTranslator(&app);
    if (!translator->load("qtbase_" + language, where)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

bool enterUserFolderIfAsked(QStringList& args, QString& error) {
    if (args.removeAll(kUserFolderOption) == 0) {
        return true;
    }
    std::string why;
    if (!enterFolder(userDataFolder(), why)) {
        error = QString::fromStdString(why);
        return false;
    }
    return true;
}

}  // namespace qavix
