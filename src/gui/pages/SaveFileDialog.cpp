#include "pages/SaveFileDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

#include "widgets/FileDialogSetup.h"

namespace qavix {

QString saveAsTitle() {
    return QCoreApplication::translate("qavix::SaveFileDialog", "名前を付けて保存");
}

QString reportSaveTitle() {
    return QCoreApplication::translate("qavix::SaveFileDialog", "ファイルの保存");
}

QStringList csvFileFilters() {
    return {QCoreApplication::translate("qavix::SaveFileDialog", "Csv ファイル形式 (.csv) (*.csv)"),
            QStringLiteral("All Supported Files (.csv;.text) (*.csv *.text)"),
            QStringLiteral("All Files (*.*) (*)")};
}

QStringList reportFileFilters() {
    // The report is saved as .TXT; one saved by hand as .txt is the same kind of file.
    return {QStringLiteral("TXT Files (.TXT) (*.TXT *.txt)")};
}

QString askSaveFile(QWidget* parent, const SaveFileRequest& request) {
    QFileDialog dialog(parent, request.title, QDir::currentPath());
    dialog.setObjectName("saveFileDialog");
    prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace qavix
