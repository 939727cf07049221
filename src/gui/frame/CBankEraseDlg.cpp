#include "frame/CBankEraseDlg.h"

#include <QLabel>
#include <QVBoxLayout>

#include "files/BankDialogButtons.h"
#include "files/BankDialogRules.h"

namespace qavix {

CBankEraseDlg::CBankEraseDlg(CBankManager& banks, QWidget* parent)
    : QDialog(parent), m_banks(banks) {
    setObjectName("CBankEraseDlg");
    setWindowTitle(tr("Qavix Bank 消去 処理"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("指定されたバンクの内容を消去します。"), this));
    layout->addWidget(
        new QLabel(tr("消去したい Bank No. を選択し、実行ボタンを押してください。"), this));
    auto* row = new QHBoxLayout;
    const bankrules::SetFlags offered = bankrules::eraseOffered(banks.model().selectedSet());
    for (int b = 1; b <= kBankCount; ++b) {
        auto* box = new QCheckBox(QString("Bank %1").arg(b), this);
        box->setObjectName(QString("bank%1").arg(b));
        box->setEnabled(offered[static_cast<size_t>(b)]);
        m_boxes[b - 1] = box;
        row->addWidget(box);
    }
    layout->addLayout(row);
    auto* run = bankDialogButton(tr("実行"), "run", banks.appState(), this);
    auto* cancel = bankDialogButton(tr("取消し"), "cancel", banks.appState(), this);
    layout->addLayout(runCancelRow(run, cancel));
    connect(run, &QToolButton::clicked, this, &CBankEraseDlg::execute);
    connect(cancel, &QToolButton::clicked, this, &QDialog::reject);
}

void CBankEraseDlg::execute() {
    std::vector<int> ticked;
    for (int b = 1; b <= kBankCount; ++b) {
        if (m_boxes[b - 1]->isEnabled() && m_boxes[b - 1]->isChecked()) {
            ticked.push_back(b);
        }
    }
    if (ticked.empty()) {
        reject();
        return;
    }
    // A failed erase has shown its message; the dialog stays for another try or 取消し.
    if (m_banks.erase(ticked)) {
        accept();
    }
}

}  // namespace qavix
