#include "frame/CBankEditDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "files/BankDialogButtons.h"

namespace qavix {

CBankEditDlg::CBankEditDlg(int bank, bool switching, Executor execute, const AppState* state,
                           QWidget* parent)
    : QDialog(parent), m_execute(std::move(execute)) {
    setObjectName("CBankEditDlg");
    setWindowTitle(tr("Qavix Bank 編集中です"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(tr("Bank%1が編集中です！！").arg(bank), this);
    text->setFont(QFont("Noto Sans CJK JP", 11, QFont::Bold));
    layout->addWidget(text);
    const char* labels[3] = {QT_TRANSLATE_NOOP("qavix::CBankEditDlg", "コントローラーへ書き込む"),
                             QT_TRANSLATE_NOOP("qavix::CBankEditDlg", "ファイルへ保存"),
                             QT_TRANSLATE_NOOP("qavix::CBankEditDlg", "破棄する")};
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(tr(labels[i]), this);
        layout->addWidget(m_options[i]);
    }
    m_options[Discard]->setChecked(true);
    // A switch or transfer goes on at once; saving to a file is offered when closing.
    m_options[SaveToFile]->setEnabled(!switching);

    // The texture of the user's settings, as on the other bank dialogs.
    auto* run = bankDialogButton(tr("実行"), "run", state, this);
    auto* cancel = bankDialogButton(tr("取消し"), "cancel", state, this);
    layout->addLayout(runCancelRow(run, cancel));
    connect(run, &QToolButton::clicked, this, &QDialog::accept);
    connect(cancel, &QToolButton::clicked, this, &QDialog::reject);
}

void CBankEditDlg::keyPressEvent(QKeyEvent* event) {
    // Enter runs the chosen action, as it did when "実行" was the default push button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CBankEditDlg::accept() {
    if (!m_execute || m_execute(choice())) {
        QDialog::accept();
    }
}

CBankEditDlg::Choice CBankEditDlg::choice() const {
    for (int i = 0; i < 3; ++i) {
        if (m_options[i]->isChecked()) {
            return static_cast<Choice>(i);
        }
    }
    return Discard;
}

}  // namespace qavix
