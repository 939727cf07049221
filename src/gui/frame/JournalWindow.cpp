#include "frame/JournalWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "files/FileIo.h"
#include "journal/JournalCsv.h"
#include "pages/SaveFileDialog.h"

namespace qavix {

namespace {

// Spreadsheet programs take a CSV for UTF-8 only with the byte order mark.
constexpr const char* kUtf8Mark = "\xEF\xBB\xBF";

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

QString statusText(const journal::JournalEntry& entry) {
    if (!entry.finished()) {
        return JournalWindow::tr("未完了");
    }
    switch (entry.end->result) {
        case journal::Result::Ok:
            return JournalWindow::tr("完了");
        case journal::Result::Refused:
            return JournalWindow::tr("拒否");
        case journal::Result::Failed:
            return JournalWindow::tr("途中で失敗");
    }
    return {};
}

QString targetText(const std::string& target) {
    if (target == journal::targetName(0)) {
        return JournalWindow::tr("現在値");
    }
    for (int bank = 1; bank <= kBankCount; ++bank) {
        if (target == journal::targetName(bank)) {
            return JournalWindow::tr("Bank%1").arg(bank);
        }
    }
    return text(target);
}

QString fingerprintText(const Fingerprint& f) {
    return f.known() ? text(f.shortForm()) : QStringLiteral("-");
}

QTableWidget* makeTable(const QStringList& headers, QWidget* parent) {
    auto* t = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->setVisible(false);
    t->horizontalHeader()->setStretchLastSection(true);
    t->setTabKeyNavigation(false);
    return t;
}

void setRow(QTableWidget* table, int row, const QStringList& values) {
    for (int c = 0; c < values.size(); ++c) {
        table->setItem(row, c, new QTableWidgetItem(values[c]));
    }
}

}  // namespace

QString journalOperationText(journal::Operation operation) {
    using journal::Operation;
    switch (operation) {
        case Operation::PageWrite:
            return JournalWindow::tr("ページ書込み");
        case Operation::BankWrite:
            return JournalWindow::tr("Bank書込み");
        case Operation::BankCopy:
            return JournalWindow::tr("Bankコピー");
        case Operation::BankErase:
            return JournalWindow::tr("Bank消去");
        case Operation::BankImport:
            return JournalWindow::tr("インポート");
        case Operation::ClockSet:
            return JournalWindow::tr("時計設定");
        case Operation::ZeroReset:
            return JournalWindow::tr("ゼロリセット");
        case Operation::Teaching:
            return JournalWindow::tr("ティーチング");
        case Operation::BatchThreshold:
            return JournalWindow::tr("しきい値一括設定");
        case Operation::Reset:
            return JournalWindow::tr("リセット");
        case Operation::FleetRestore:
            return JournalWindow::tr("バックアップからの復元");
    }
    return text(journal::operationName(operation));
}

QString journalOperationText(journal::Operation operation, const std::string& detail,
                             const nav::PageTitles& titles) {
    QString what = journalOperationText(operation);
    if (!detail.empty()) {
        what += QStringLiteral(" (%1)").arg(text(
            operation == journal::Operation::PageWrite ? nav::shownTitle(titles, detail) : detail));
    }
    return what;
}

JournalWindow::JournalWindow(std::string folder, journal::JournalFilter controller, QWidget* parent)
    : QDialog(parent), m_folder(std::move(folder)), m_controller(std::move(controller)) {
    setObjectName("JournalWindow");
    setWindowTitle(tr("変更履歴"));
    resize(900, 600);

    auto* folderLabel = new QLabel(tr("変更履歴のフォルダ: %1").arg(text(m_folder)), this);
    folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status = new QLabel(this);
    m_status->setObjectName("journalStatus");

    auto* userLabel = new QLabel(tr("ユーザー"), this);
    m_user = new QComboBox(this);
    m_user->setObjectName("userFilter");
    m_user->setAccessibleName(userLabel->text());
    userLabel->setBuddy(m_user);
    m_sinceOn = new QCheckBox(tr("この日から"), this);
    m_sinceOn->setObjectName("sinceOn");
    m_since = new QDateEdit(QDate::currentDate(), this);
    m_since->setObjectName("since");
    m_since->setCalendarPopup(true);
    m_since->setDisplayFormat("yyyy-MM-dd");
    // The size the style suggests leaves no room for the popup's arrow beside the date.
    m_since->setMinimumWidth(m_since->sizeHint().width() +
                             m_since->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_since->setEnabled(false);
    m_since->setAccessibleName(m_sinceOn->text());
    auto* reloadButton = new QPushButton(tr("更新"), this);
    reloadButton->setObjectName("reloadButton");

    auto* filters = new QHBoxLayout();
    filters->addWidget(userLabel);
    filters->addWidget(m_user, 1);
    filters->addSpacing(12);
    filters->addWidget(m_sinceOn);
    filters->addWidget(m_since);
    filters->addStretch(1);
    filters->addWidget(reloadButton);

    m_writes = makeTable(
        {tr("日時"), tr("操作"), tr("対象"), tr("結果"), tr("ユーザー"), tr("ホスト"), tr("理由")},
        this);
    m_writes->setObjectName("journalWrites");
    m_writes->setAccessibleName(tr("変更履歴"));
    m_detail = new QLabel(this);
    m_detail->setObjectName("journalDetail");
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fields = makeTable({tr("項目"), tr("変更前"), tr("変更後")}, this);
    m_fields->setObjectName("journalFields");
    m_fields->setAccessibleName(tr("変更した項目"));

    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_detail);
    lowerLayout->addWidget(m_fields, 1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_writes);
    split->addWidget(lower);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    m_export = new QPushButton(tr("CSV保存..."), this);
    m_export->setObjectName("exportButton");
    auto* close = new QPushButton(tr("閉じる"), this);
    close->setObjectName("closeButton");
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_export);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel);
    layout->addLayout(filters);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(m_user, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(m_sinceOn, &QCheckBox::toggled, this, [this](bool on) {
        m_since->setEnabled(on);
        reload();
    });
    connect(m_since, &QDateEdit::dateChanged, this, [this] { reload(); });
    connect(reloadButton, &QPushButton::clicked, this, [this] { reload(); });
    connect(m_writes, &QTableWidget::itemSelectionChanged, this, [this] { showSelected(); });
    connect(m_export, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    reload();
}

void JournalWindow::fillUsers(const std::vector<journal::JournalEntry>& all) {
    std::set<std::string> users;
    for (const journal::JournalEntry& e : all) {
        users.insert(e.first().user);
    }
    const QString chosen = m_user->currentIndex() > 0 ? m_user->currentText() : QString();
    const QSignalBlocker quiet(m_user);
    m_user->clear();
    m_user->addItem(tr("すべて"));
    for (const std::string& u : users) {
        m_user->addItem(text(u));
    }
    const int again = chosen.isEmpty() ? 0 : m_user->findText(chosen);
    m_user->setCurrentIndex(std::max(again, 0));
}

void JournalWindow::reload() {
    journal::JournalFilter filter = m_controller;
    const journal::JournalListing all = journal::readJournal(m_folder, filter);
    fillUsers(all.entries);
    if (m_user->currentIndex() > 0) {
        filter.user = m_user->currentText().toStdString();
    }
    if (m_sinceOn->isChecked()) {
        filter.since =
            static_cast<std::time_t>(QDateTime(m_since->date(), QTime(0, 0)).toSecsSinceEpoch());
    }
    const journal::JournalListing listing =
        filter.user.empty() && !filter.since ? all : journal::readJournal(m_folder, filter);

    m_shown.assign(listing.entries.rbegin(), listing.entries.rend());
    m_writes->setRowCount(static_cast<int>(m_shown.size()));
    const nav::PageTitles titles = nav::pageTitles();
    for (size_t i = 0; i < m_shown.size(); ++i) {
        const journal::JournalEntry& e = m_shown[i];
        const journal::Record& r = e.first();
        const QString operation = journalOperationText(r.operation, r.detail, titles);
        setRow(m_writes, static_cast<int>(i),
               {text(r.time), operation, targetText(r.target), statusText(e), text(r.user),
                text(r.host), text(r.reason)});
    }
    m_writes->resizeColumnsToContents();

    QString status = tr("%n 件", nullptr, static_cast<int>(m_shown.size()));
    if (!listing.error.empty()) {
        status = tr("変更履歴を読めません: %1").arg(text(listing.error));
    } else if (listing.damagedLines > 0) {
        status += tr("（記録として読めない行が %1 行あります）").arg(listing.damagedLines);
    }
    m_status->setText(status);
    m_export->setEnabled(!m_shown.empty());
    if (!m_shown.empty()) {
        m_writes->selectRow(0);
    }
    showSelected();
}

void JournalWindow::showSelected() {
    const int row = m_writes->currentRow();
    m_fields->setRowCount(0);
    if (row < 0 || row >= static_cast<int>(m_shown.size()) || m_writes->selectedItems().isEmpty()) {
        m_detail->clear();
        return;
    }
    const journal::JournalEntry& e = m_shown[static_cast<size_t>(row)];
    const journal::Record& r = e.first();
    QStringList lines;
    lines << tr("%1@%2, %3 %4, %5 号機 %6")
                 .arg(text(r.user), text(r.host), text(r.program), text(r.version), text(r.port))
                 .arg(r.unit);
    lines << tr("コントローラ: %1 %2, ID %3, シリアルNo. %4")
                 .arg(text(r.controller.type), text(r.controller.version), text(r.controller.id),
                      text(r.controller.serial));
    lines << tr("設定フィンガープリント: %1 -> %2")
                 .arg(fingerprintText(r.fingerprintBefore), fingerprintText(e.fingerprintAfter()));
    if (e.end && !e.end->message.empty()) {
        lines << text(e.end->message);
    }
    m_detail->setText(lines.join('\n'));
    const std::vector<bankfile::FieldChange>& changes = e.changes();
    m_fields->setRowCount(static_cast<int>(changes.size()));
    for (size_t i = 0; i < changes.size(); ++i) {
        setRow(m_fields, static_cast<int>(i),
               {text(changes[i].name), text(changes[i].before), text(changes[i].after)});
    }
    m_fields->resizeColumnsToContents();
}

QString JournalWindow::saveCsv(const QString& path) const {
    std::string bytes = kUtf8Mark;
    for (const std::string& line : journal::journalCsvLines(m_shown)) {
        bytes += line;
        bytes += "\r\n";
    }
    const fileio::WriteResult result = fileio::writeFileAtomic(path.toStdString(), bytes);
    return result.ok ? QString() : text(result.error);
}

void JournalWindow::exportCsv() {
    const QString path =
        askSaveFile(this, {tr("変更履歴の保存"), csvFileFilters(), "csv", "journal.csv", true});
    if (path.isEmpty()) {
        return;
    }
    const QString error = saveCsv(path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, "Qavix", error);
    }
}

}  // namespace qavix
