#include "files/CBankImportDlg.h"

#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include "files/BankDialogButtons.h"
#include "files/BankDialogRules.h"
#include "files/BankFile.h"
#include "files/BankFileDialogs.h"
#include "files/BankImport.h"
#include "state/AppState.h"

namespace qavix {

namespace {

constexpr int kListWidth = 520;
constexpr int kListHeight = 180;
constexpr int kColumnUnits = 5;  // title one fifth, date and file two fifths each
const char* const kTargetLabels[kBankCount + 1] = {
    QT_TRANSLATE_NOOP("qavix::CBankImportDlg", "現在の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankImportDlg", "Bank 1 の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankImportDlg", "Bank 2 の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankImportDlg", "Bank 3 の設定"),
    QT_TRANSLATE_NOOP("qavix::CBankImportDlg", "Bank 4 の設定")};

// The chosen path without its last four characters (the extension as typed), which a
// listed path must start with to be the chosen file.
bool sameFileAsChosen(const QString& listed, const QString& chosen) {
    const QByteArray a = listed.toUtf8();
    const QByteArray b = chosen.toUtf8();
    if (b.size() < 4) {
        return false;
    }
    const QByteArray stem = b.left(b.size() - 4);
    return a.size() == b.size() && a.startsWith(stem);
}

}  // namespace

CBankImportDlg::CBankImportDlg(BankFileHost& banks, QWidget* parent)
    : QDialog(parent), m_banks(banks), m_folder(banks.startDirectory()) {
    setObjectName("CBankImportDlg");
    setWindowTitle(tr("Qavix Bank 設定 インポート 処理"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(tr("インポート先"), this);
    auto* radios = new QHBoxLayout(box);
    const AppState* state = banks.appState();
    const bankrules::SetFlags enabled =
        bankrules::importTargets(state == nullptr || state->dataReady, banks.model().selectedSet());
    for (int t = 0; t <= kBankCount; ++t) {
        m_targets[t] = new QRadioButton(tr(kTargetLabels[t]), box);
        m_targets[t]->setObjectName(QString("target%1").arg(t));
        m_targets[t]->setEnabled(enabled[static_cast<size_t>(t)]);
        m_group.addButton(m_targets[t], t);
        radios->addWidget(m_targets[t]);
    }
    m_targets[kCurrentSet]->setChecked(true);
    layout->addWidget(box);

    auto* listLabel = new QLabel(tr("インポートファイル"), this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName("fileList");
    m_list->setAccessibleName(tr("インポートファイル"));
    listLabel->setBuddy(m_list);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHeaderLabels({tr("タイトル名"), tr("日付"), tr("ファイル名称")});
    m_list->headerItem()->setTextAlignment(0, Qt::AlignCenter);
    m_list->setMinimumSize(kListWidth, kListHeight);
    const int unit = kListWidth / kColumnUnits;
    m_list->setColumnWidth(0, unit);
    m_list->setColumnWidth(1, 2 * unit);
    m_list->setColumnWidth(2, 2 * unit);
    layout->addWidget(listLabel);
    layout->addWidget(m_list);

    auto* run = bankDialogButton(tr("実行"), "run", state, this);
    auto* cancel = bankDialogButton(tr("取消し"), "cancel", state, this);
    auto* browseButton = bankDialogButton(tr("参照"), "browse", state, this);
    QHBoxLayout* row = runCancelRow(run, cancel);
    row->insertWidget(0, browseButton);
    layout->addLayout(row);
    connect(run, &QToolButton::clicked, this, &CBankImportDlg::execute);
    connect(cancel, &QToolButton::clicked, this, &QDialog::reject);
    connect(browseButton, &QToolButton::clicked, this, &CBankImportDlg::browse);
}

int CBankImportDlg::targetIndex() const {
    return m_group.checkedId();
}

void CBankImportDlg::browse() {
    const QString chosen = chooseBankFileToOpen(this, m_folder);
    // The list is emptied whatever the dialog returns.
    if (chosen.isEmpty()) {
        m_list->clear();
        return;
    }
    listFolderOf(chosen);
}

void CBankImportDlg::listFolderOf(const QString& chosen) {
    m_list->clear();
    const QFileInfo info(chosen);
    m_folder = info.absolutePath();
    QDir folder(m_folder);
    folder.setNameFilters({"*.qbk"});
    folder.setFilter(QDir::Files | QDir::Readable);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    // Without QDir::CaseSensitive the pattern also finds "*.QBK" files from other systems.
    const QFileInfoList files = folder.entryInfoList();
    if (files.isEmpty()) {
        QMessageBox::information(this, tr(kSearchCaption), tr(kNoBankFiles));
        return;
    }
    QTreeWidgetItem* chosenRow = nullptr;
    for (const QFileInfo& f : files) {
        const QString path = folder.filePath(f.fileName());
        const bankfile::TitleAndDate attribute = bankfile::readTitleAndDate(path.toStdString());
        auto* row = new QTreeWidgetItem(m_list, {QString::fromStdString(attribute.title),
                                                 QString::fromStdString(attribute.date), path});
        if (chosenRow == nullptr && sameFileAsChosen(path, chosen)) {
            chosenRow = row;
        }
    }
    if (chosenRow != nullptr) {
        m_list->setCurrentItem(chosenRow);
        m_list->setFocus();
    }
}

void CBankImportDlg::execute() {
    const int target = targetIndex();
    if (target < 0) {
        return;
    }
    DeviceModel& model = m_banks.model();
    if (model.storedSet(target).compatible != 0 && !m_banks.ask(tr(kOverwriteQuestion))) {
        return;
    }
    if (!m_banks.mayLeaveSelectedSet()) {
        return;
    }
    if (model.selectedSet() == kCurrentSet) {
        m_banks.storeWorkingSet();
    }
    QTreeWidgetItem* row = m_list->currentItem();
    if (row == nullptr || !row->isSelected()) {
        m_banks.inform(tr(kNoFileMessage));
        return;
    }
    if (m_banks.importInto(row->text(2), target)) {
        accept();
    }
}

}  // namespace qavix
