#include "frame/CBankEditDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qavix {

CBankEditDlg::CBankEditDlg(int bank, bool switching, Executor execute, QWidget* parent)
    : QDialog(parent), m_execute(std::move(execute)) {
    setObjectName("CBankEditDlg");
    setWindowTitle("Qavix Bank 編集中です");
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QString("Bank%1が編集中です！！").arg(bank), this);
    text->setFont(QFont("Noto Sans CJK JP", 11, QFont::Bold));
    layout->addWidget(text);
    const char* labels[3] = {"コントローラーへ書き込む", "ファイルへ保存", "破棄する"};
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(labels[i], this);
        layout->addWidget(m_options[i]);
    }
    m_options[Discard]->setChecked(true);
    // A switch or transfer goes on at once; saving to a file is offered when closing.
    m_options[SaveToFile]->setEnabled(!switching);

    auto* buttons = new QHBoxLayout;
    auto* run = new QPushButton("実行", this);
    auto* cancel = new QPushButton("取消し", this);
    buttons->addStretch(1);
    buttons->addWidget(run);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(run, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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
