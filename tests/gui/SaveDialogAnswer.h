#pragma once
// Answers the next save dialog a page opens: records what it offered and chooses a path.

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QString>
#include <QTimer>

namespace qavix::test {

struct SaveDialogSeen {
    QString title;
    QString suffix;
    QString name;  // the file name it proposed
    QStringList filters;
    QStringList shownFilters;  // the filter list as the user reads it
};

// Polls for the save dialog and accepts it with `path` (or cancels when `path` is empty).
// Answers an open or save dialog with `path` as a user does: by typing the name into the
// name box of the dialog's folder. selectFile() with a path of another folder is taken up by
// the file system model later, and an accept() right after it may read an empty name.
inline void chooseFile(QFileDialog* dialog, const QString& path) {
    const QFileInfo file(path);
    dialog->setDirectory(file.absolutePath());
    if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) {
        name->setText(file.fileName());
    } else {
        dialog->selectFile(path);
    }
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it; the override runs
}

class SaveDialogAnswer {
  public:
    explicit SaveDialogAnswer(const QString& path) : m_path(path) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start();
    }
    const SaveDialogSeen& seen() const { return m_seen; }
    bool answered() const { return m_answered; }

  private:
    void answer() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || m_answered) {
            return;
        }
        m_answered = true;
        m_seen = {dialog->windowTitle(),
                  dialog->defaultSuffix(),
                  dialog->selectedFiles().value(0).section('/', -1),
                  dialog->nameFilters(),
                  {}};
        if (const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) {
            for (int i = 0; i < types->count(); ++i) {
                m_seen.shownFilters << types->itemText(i);
            }
        }
        if (m_path.isEmpty()) {
            dialog->reject();
            return;
        }
        chooseFile(dialog, m_path);
    }

    QString m_path;
    QTimer m_timer;
    SaveDialogSeen m_seen;
    bool m_answered = false;
};

}  // namespace qavix::test
