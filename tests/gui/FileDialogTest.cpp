// The program's own file dialogs as a user sees them: a bank file is called by the
// program's own type (not whatever the desktop's type database guesses from its contents)
// and dates are written the Japanese way, in the bank file dialogs and the pages' save
// dialog alike.

#include <gtest/gtest.h>

#include <QAbstractProxyModel>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>

#include "GuiTestSupport.h"
#include "TempFolder.h"
#include "files/BankFileDialogs.h"
#include "pages/SaveFileDialog.h"
#include "widgets/FileDialogSetup.h"

namespace qavix::test {
namespace {

struct ListedFile {
    bool nativeDialog = true;
    QString type;
    QString date;
};

// Opens a dialog with `open`, reads the row of `path` from its file list, and cancels it.
ListedFile listedIn(const std::function<void()>& open, const QString& path) {
    ListedFile seen;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        auto* files = dialog->findChild<QFileSystemModel*>();
        const QModelIndex source = files != nullptr ? files->index(path) : QModelIndex();
        if (!source.isValid()) {
            return;
        }
        QAbstractItemModel* shown = dialog->proxyModel();
        const QModelIndex row =
            shown != nullptr ? dialog->proxyModel()->mapFromSource(source) : source;
        if (shown == nullptr) {
            shown = files;
        }
        seen.nativeDialog = !dialog->testOption(QFileDialog::DontUseNativeDialog);
        seen.type = shown->index(row.row(), 2, row.parent()).data().toString();
        seen.date = shown->index(row.row(), 3, row.parent()).data().toString();
        if (!seen.type.isEmpty() && !seen.date.isEmpty()) {
            dialog->reject();
        }
    });
    probe.start();
    open();
    return seen;
}

bool writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

TEST(FileDialogs, BankFilesGoByTheProgramsOwnTypeAndDatesAreJapanese) {
    const TempDir dir;
    const QString bank = filePathOf(dir, "LINE2.QBK");
    const QString csv = filePathOf(dir, "levels.csv");
    // The header that makes a type database guess a MATLAB file.
    ASSERT_TRUE(writeFile(bank, "## Area Scanner Configuration File\r\n## Ver 2.10\r\n"));
    ASSERT_TRUE(writeFile(csv, "1,2\r\n"));
    QDateTime modified = QFileInfo(bank).lastModified();
    modified.setTime(QTime(modified.time().hour(), modified.time().minute()));

    for (const auto& [what, open] : std::vector<std::pair<std::string, std::function<void()>>>{
             {"import", [&] { chooseBankFileToOpen(nullptr, pathOf(dir)); }},
             {"export", [&] { chooseBankFileToSave(nullptr, pathOf(dir)); }},
         }) {
        SCOPED_TRACE(what);
        const ListedFile seen = listedIn(open, bank);
        EXPECT_FALSE(seen.nativeDialog);
        EXPECT_EQ(seen.type, "Qavix バンクファイル");
        EXPECT_EQ(QDateTime::fromString(seen.date, "yyyy/MM/dd H:mm"), modified)
            << seen.date.toStdString();
    }

    // The pages' save dialog starts in the current folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(pathOf(dir)));
    const ListedFile saved = listedIn(
        [] {
            askSaveFile(nullptr, {"保存", {"Csv ファイル形式 (*.csv)"}, "csv", "levels.csv"});
        },
        csv);
    QDir::setCurrent(before);
    EXPECT_FALSE(saved.nativeDialog);
    EXPECT_TRUE(QDateTime::fromString(saved.date, "yyyy/MM/dd H:mm").isValid())
        << saved.date.toStdString();
}

TEST(FileDialogs, TheOwnTypesComeFromTheShippedMimeEntry) {
    ASSERT_EQ(ownFileTypes().size(), 1u);
    EXPECT_EQ(ownFileTypes()[0].mimeType, "application/x-qavix-bank");
    EXPECT_EQ(ownFileTypeName("a.qbk"), "Qavix バンクファイル");
    EXPECT_EQ(ownFileTypeName("B.Qbk"), "Qavix バンクファイル");
    EXPECT_EQ(ownFileTypeName("a.qbk.csv"), "");
    EXPECT_EQ(ownFileTypeName("qbk"), "");
}

}  // namespace
}  // namespace qavix::test
