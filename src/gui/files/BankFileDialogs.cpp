#include "files/BankFileDialogs.h"

#include <QCoreApplication>

#include <QFileDialog>

#include "widgets/FileDialogSetup.h"

namespace qavix {

namespace {

QString run(QFileDialog& dialog) {
    prepareFileDialog(dialog);
    dialog.setNameFilter(kBankFileFilter);
    dialog.setDefaultSuffix(kBankFileSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString chooseBankFileToOpen(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QCoreApplication::translate("qavix::BankFileDialogs", "インポート"),
                       folder);
    dialog.setObjectName("importFileDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

QString chooseBankFileToSave(QWidget* parent, const QString& folder) {
    QFileDialog dialog(
        parent, QCoreApplication::translate("qavix::BankFileDialogs", "エクスポート"), folder);
    dialog.setObjectName("exportFileDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return run(dialog);
}

}  // namespace qavix
