#include "pages/SaveFileDialog.h"

#include <QDir>
#include <QFileDialog>

#include "widgets/FileDialogSetup.h"

namespace qavix {

QString askSaveFile(QWidget* parent, const SaveFileRequest& request) {
    QFileDialog dialog(parent, request.title, QDir::currentPath());
    dialog.setObjectName("saveFileDialog");
    prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace qavix
