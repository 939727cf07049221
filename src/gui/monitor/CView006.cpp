#include "monitor/CView006.h"

#include <QApplication>
#include <QHeaderView>

#include "files/TextFile.h"
#include "pages/SaveFileDialog.h"
#include "state/UiText.h"
#include "widgets/TableColumns.h"

namespace qavix {

namespace {

constexpr int kListControlId = 1034;
// Each column is a fifth of the page, give or take, so the date and the text get more.
constexpr std::array<int, CView006::kColumnCount> kColumnAdjust = {-84, 80, -60, 90, -26};
constexpr const char* kHeaders[CView006::kColumnCount] = {
    "No.", QT_TRANSLATE_NOOP("qavix::CView006", "日付"),
    QT_TRANSLATE_NOOP("qavix::CView006", "エラーNo."),
    QT_TRANSLATE_NOOP("qavix::CView006", "エラ－内容"),
    QT_TRANSLATE_NOOP("qavix::CView006", "発生シリアルNo.")};
constexpr int kMinimumColumn = 24;
constexpr int kRowPadding = 6;

}  // namespace

CView006::CView006(const PageContext& context, QWidget* parent)
    : PageBase("CView006", context, parent),
      m_weekdays(systemWeekdays()),
      m_rows(emptyErrorLogRows()) {
    m_table = new QTableWidget(kErrorHistoryCount, kColumnCount, this);
    m_table->setObjectName(QString("list%1").arg(kListControlId));
    m_table->setAccessibleName(tr("エラーログ"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + kRowPadding);
    m_table->horizontalHeader()->setSectionsClickable(false);
    m_table->horizontalHeader()->setHighlightSections(false);
    QStringList headers;
    for (const char* h : kHeaders) {
        headers << tr(h);
    }
    m_table->setHorizontalHeaderLabels(headers);
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        showRow(k);
    }
    layOut();
}

std::array<int, CView006::kColumnCount> CView006::columnWidths(int width) {
    std::array<int, kColumnCount> widths{};
    for (size_t c = 0; c < widths.size(); ++c) {
        widths[c] = std::max(kMinimumColumn, width / kColumnCount + kColumnAdjust[c]);
    }
    return widths;
}

void CView006::layOut() {
    // The header row of the list stands where the page's column titles stood, above it.
    // The list reaches down to the page's bottom so all twenty rows show when there is room.
    const int headerHeight = m_table->horizontalHeader()->sizeHint().height();
    const int top = std::max(0, kListTop - headerHeight);
    m_table->setGeometry(0, top, width(), std::max(kListHeight + headerHeight, height() - top));
    // The columns share the list's inside, so no horizontal scroll bar comes for a few pixels.
    const auto widths = columnWidths(m_table->viewport()->width());
    applyFittedColumns(*m_table, std::vector<int>(widths.begin(), widths.end()));
}

void CView006::resizeEvent(QResizeEvent* event) {
    PageBase::resizeEvent(event);
    layOut();
}

void CView006::showRow(int k) {
    const ErrorLogRow& row = m_rows[static_cast<size_t>(k)];
    // The error's text is kept as written (the CSV file holds it so) and shown translated.
    const QString texts[kColumnCount] = {
        QString::fromStdString(row.number), QString::fromStdString(row.date),
        QString::fromStdString(row.code), coreText(row.text.c_str()),
        QString::fromStdString(row.serial)};
    for (int c = 0; c < kColumnCount; ++c) {
        QTableWidgetItem* item = m_table->item(k, c);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            m_table->setItem(k, c, item);
        }
        item->setText(texts[c]);
    }
}

void CView006::pageShown(const QString& /*title*/) {
    readHistory();
    layOut();
    m_table->setFocus();
}

bool CView006::readHistory() {
    setCommBusy(true);
    openWait(false);
    const DeviceModel& model = state().model();
    bool ok = true;
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        if (link().request(code::kReadErrorLog + k) != kRequestOk) {
            ok = false;
            break;
        }
        const auto i = static_cast<size_t>(k);
        m_rows[i] = errorLogRow(k, model.errorHistory[i], m_rows[i], m_weekdays);
        showRow(k);
        // Lets the wait window blink between the reads.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    setCommBusy(false);
    closeWait();
    if (!ok) {
        showMessage(coreText(kErrorLogReadFailed));
    }
    return ok;
}

void CView006::hideEvent(QHideEvent* event) {
    PageBase::hideEvent(event);
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
}

void CView006::saveCsv() {
    const QString path =
        askSaveFile(this, SaveFileRequest{saveAsTitle(), csvFileFilters(), "csv", "Error.csv"});
    if (!path.isEmpty()) {
        saveCsvTo(path);
    }
}

bool CView006::saveCsvTo(const QString& path) {
    const bool written = textfile::writeText(path.toStdString(), errorLogCsv(m_rows)).ok;
    if (!written) {
        showFileNotWritten(false);
    }
    return written;
}

}  // namespace qavix
