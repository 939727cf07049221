#include "widgets/FileDialogSetup.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTreeView>
#include <QUrl>
#include <QXmlStreamReader>

namespace qavix {

namespace {

constexpr const char* kMimeResource = ":/mime/qavix-mime.xml";
// The columns of Qt's file list.
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;
constexpr int kColumnPadding = 24;

QString& dialogLanguage() {
    static QString language = QStringLiteral("ja");
    return language;
}

// The dialog's dates and Qt's texts in it follow the program's language, not the desktop's.
QLocale dialogLocale() {
    return dialogLanguage() == QLatin1String("ja") ? QLocale(QLocale::Japanese, QLocale::Japan)
                                                   : QLocale(dialogLanguage());
}

std::vector<OwnFileType> readMimeEntry() {
    std::vector<OwnFileType> types;
    QFile file(kMimeResource);
    if (!file.open(QIODevice::ReadOnly)) {
        return types;
    }
    QXmlStreamReader xml(&file);
    OwnFileType* current = nullptr;
    QString plainName;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("mime-type")) {
            types.push_back({xml.attributes().value("type").toString(), QString(), {}});
            current = &types.back();
            plainName.clear();
        } else if (xml.isStartElement() && current != nullptr &&
                   xml.name() == QLatin1String("comment")) {
            const QString lang = xml.attributes().value("xml:lang").toString();
            const QString text = xml.readElementText();
            if (lang == dialogLanguage()) {
                current->name = text;
            } else if (lang.isEmpty()) {
                plainName = text;
            }
        } else if (xml.isStartElement() && current != nullptr &&
                   xml.name() == QLatin1String("glob")) {
            current->globs << xml.attributes().value("pattern").toString();
        } else if (xml.isEndElement() && current != nullptr &&
                   xml.name() == QLatin1String("mime-type")) {
            if (current->name.isEmpty()) {
                current->name = plainName;
            }
            current = nullptr;
        }
    }
    return types;
}

// Qt's file list as the dialog shows it, with the program's type names and dates.
class FileListModel : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role == Qt::DisplayRole && files != nullptr && index.isValid()) {
            const QModelIndex source = mapToSource(index);
            if (index.column() == kTypeColumn && !files->isDir(source)) {
                // The name is the first column's; this one's display is the type.
                const QString own = ownFileTypeName(files->fileName(source.siblingAtColumn(0)));
                if (!own.isEmpty()) {
                    return own;
                }
            } else if (index.column() == kDateColumn) {
                return dialogLocale().toString(files->lastModified(source), QLocale::ShortFormat);
            }
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

void useFileDialogLanguage(const QString& language) {
    dialogLanguage() = language;
}

const std::vector<OwnFileType>& ownFileTypes() {
    static const std::vector<OwnFileType> types = readMimeEntry();
    return types;
}

QString ownFileTypeName(const QString& fileName) {
    for (const OwnFileType& type : ownFileTypes()) {
        for (const QString& glob : type.globs) {
            // Bank files come from systems whose file names ignore case.
            const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(glob),
                                             QRegularExpression::CaseInsensitiveOption);
            if (pattern.match(fileName).hasMatch()) {
                return type.name;
            }
        }
    }
    return QString();
}

void prepareFileDialog(QFileDialog& dialog) {
    // The desktop's own dialog would name the types and dates its own way.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setLocale(dialogLocale());
    // The list with its columns: the type and the date are what a user goes by.
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setProxyModel(new FileListModel(&dialog));
    // Qt sizes the columns for its own texts; the type names and dates here are longer.
    if (auto* list = dialog.findChild<QTreeView*>("treeView")) {
        const QFontMetrics metrics(list->font());
        QString widestType = QStringLiteral("フォルダ");  // untranslated: a width sample
        for (const OwnFileType& type : ownFileTypes()) {
            if (metrics.horizontalAdvance(type.name) > metrics.horizontalAdvance(widestType)) {
                widestType = type.name;
            }
        }
        const QString sampleDate = dialogLocale().toString(
            QDateTime(QDate(2000, 12, 28), QTime(23, 58)), QLocale::ShortFormat);
        list->header()->resizeSection(kTypeColumn,
                                      metrics.horizontalAdvance(widestType) + kColumnPadding);
        list->header()->resizeSection(kDateColumn,
                                      metrics.horizontalAdvance(sampleDate) + kColumnPadding);
    }
    QList<QUrl> places;
    for (auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::DesktopLocation,
                          QStandardPaths::HomeLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir() &&
            !places.contains(QUrl::fromLocalFile(folder))) {
            places << QUrl::fromLocalFile(folder);
        }
    }
    const QUrl start = QUrl::fromLocalFile(dialog.directory().absolutePath());
    if (!places.contains(start)) {
        places << start;
    }
    dialog.setSidebarUrls(places);
}

}  // namespace qavix
