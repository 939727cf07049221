#include "files/CBankExportDlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "files/BankDialogButtons.h"
#include "files/BankDialogRules.h"
#include "state/AppState.h"

namespace qavix {

namespace {
const char* const kSourceLabels[kBankCount + 1] = {
    QT_TRANSLATE_NOOP("qavix::CBankExportDlg", "現在の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankExportDlg", "Bank 1 の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankExportDlg", "Bank 2 の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankExportDlg", "Bank 3 の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankExportDlg", "Bank 4 の設定")};
constexpr int kTitleWidth = 360;
}  // namespace

CBankExportDlg::CBankExportDlg(BankFileHost& banks, bool savingEdits, QWidget* parent)
    : QDialog(parent), m_banks(banks) {
    setObjectName("CBankExportDlg");
    setWindowTitle(tr("Qavix Bank 設定 エクスポート 処理"));
    AppState* state = banks.appState();
    const bool dataReady = state == nullptr || state->dataReady;
    const int selected = banks.model().selectedSet();
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(tr("エクスポート元"), this);
    auto* radios = new QHBoxLayout(box);
    const bankrules::SetFlags enabled =
        bankrules::exportSources(banks.model(), dataReady, savingEdits);
    for (int s = 0; s <= kBankCount; ++s) {
        m_sources[s] = new QRadioButton(tr(kSourceLabels[s]), box);
        m_sources[s]->setObjectName(QString("source%1").arg(s));
        m_sources[s]->setEnabled(enabled[static_cast<size_t>(s)]);
        m_group.addButton(m_sources[s], s);
        radios->addWidget(m_sources[s]);
    }
    if (dataReady || selected == kCurrentSet) {
        m_sources[selected]->setChecked(true);
    }
    layout->addWidget(box);

    auto* form = new QFormLayout;
    m_title = new QLineEdit(this);
    m_title->setObjectName("title");
    m_title->setMaxLength(kMaxTitleLength);
    m_title->setMinimumWidth(kTitleWidth);
    if (state != nullptr) {
        m_title->setText(state->exportTitle);
    }
    form->addRow(tr("タイトル"), m_title);
    layout->addLayout(form);

    auto* run = bankDialogButton(tr("実行"), "run", state, this);
    auto* cancel = bankDialogButton(tr("取消し"), "cancel", state, this);
    layout->addLayout(runCancelRow(run, cancel));
    connect(run, &QToolButton::clicked, this, &CBankExportDlg::execute);
    connect(cancel, &QToolButton::clicked, this, &QDialog::reject);
}

void CBankExportDlg::execute() {
    const int source = m_group.checkedId();
    if (source < 0 || !m_sources[source]->isEnabled()) {
        m_banks.inform(tr(kNoSourceMessage));
        return;
    }
    if (AppState* state = m_banks.appState()) {
        state->exportTitle = m_title->text();
    }
    if (m_banks.exportTo(source, m_title->text(), this)) {
        accept();
    }
}

}  // namespace qavix
