#include "report/CView005.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <chrono>
#include <ctime>

#include "model/ErrorLog.h"
#include "pages/SaveFileDialog.h"
#include "report/PaperSetupDialog.h"
#include "report/ReportExport.h"
#include "report/ReportPrinter.h"
#include "report/ReportReads.h"
#include "state/UiText.h"

namespace qavix {

namespace {

constexpr int kMargin = 6;
constexpr double kFontPointSize = 10.0;
constexpr const char* kFontFamily = "Noto Sans Mono CJK JP";

std::tm localTime(std::chrono::system_clock::time_point at) {
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

}  // namespace

CView005::CView005(const PageContext& context, QWidget* parent)
    : PageBase("CView005", context, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    m_view = new QPlainTextEdit(this);
    m_view->setObjectName(QString("edit%1").arg(kTextControlId));
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setAccessibleName(tr("設定一覧"));
    QFont font(kFontFamily);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(kFontPointSize);
    m_view->setFont(font);
    // Read-only, yet the text cursor and selection stay for copying with the keyboard.
    m_view->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    layout->addWidget(m_view);
}

CView005::~CView005() = default;

void CView005::pageShown(const QString& /*title*/) {
    if (!m_selectionChosen) {
        setSelection(report::defaultReportSelection(working().general.jointNum));
    }
    if (state().model().selectedSet() == kCurrentSet) {
        readIdentity();
    }
    rebuild();
    m_view->setFocus();
}

bool CView005::readIdentity() {
    setCommBusy(true);
    openWait(false);
    bool ok = true;
    for (const PageRead& r : report::settingsReportReads(working())) {
        if (link().request(r.code, r.arg1, r.start, r.count, r.timeoutMs) != kRequestOk) {
            ok = false;
            break;
        }
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    closeWait();
    setCommBusy(false);
    if (!ok) {
        showMessage(coreText(kErrorLogReadFailed));
    }
    return ok;
}

void CView005::hideEvent(QHideEvent* event) {
    PageBase::hideEvent(event);
    if (holdsCommBusy()) {
        setCommBusy(false);
    }
}

void CView005::setSelection(const report::ReportSelection& selection) {
    m_selection = selection;
    m_selectionChosen = true;
}

void CView005::rebuild() {
    const auto now = context().now ? context().now() : std::chrono::system_clock::now();
    m_lines =
        report::buildSettingsReport(working(), m_selection, state().extendedMode, localTime(now));
    m_text = report::joinReportLines(m_lines);
    m_view->setPlainText(reportLineList(m_lines).join('\n'));
}

void CView005::saveText() {
    const QString path = askSaveFile(
        this, SaveFileRequest{reportSaveTitle(), reportFileFilters(), "TXT", QString()});
    if (!path.isEmpty()) {
        saveTextTo(path);
    }
}

bool CView005::saveTextTo(const QString& path) {
    std::string error;
    if (report::exportReportText(path.toStdString(), m_text, error)) {
        return true;
    }
    showFileNotWritten(false);
    return false;
}

QPrinter& CView005::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setDocName(tr("設定一覧"));
    }
    return *m_printer;
}

void CView005::print() {
    const ReportPrinter report(reportLineList(m_lines));
    QPrinter& p = printer();
    QPrintDialog dialog(&p, this);
    dialog.setObjectName("printDialog");
    dialog.setMinMax(1, report.pageCount(p));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!report.print(p)) {
        showMessage(tr("印刷できません\n%1")
                        .arg(p.outputFileName().isEmpty() ? p.printerName() : p.outputFileName()));
    }
}

void CView005::printPreview() {
    const ReportPrinter report(reportLineList(m_lines));
    QPrintPreviewDialog preview(&printer(), this);
    preview.setObjectName("CPrintPreView");
    preview.setWindowTitle(tr("印刷プレビュー - 設定一覧"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&report](QPrinter* target) { report.print(*target); });
    preview.exec();
    // The preview belonged to this page; it is what the user comes back to.
    m_view->setFocus();
}

void CView005::printSetup() {
    QPrinter& p = printer();
    if (p.outputFormat() == QPrinter::NativeFormat) {
        QPageSetupDialog dialog(&p, this);
        dialog.setObjectName("printSetupDialog");
        dialog.exec();
    } else {
        // No printer installed: the PDF printer stands in, and the system's page set-up
        // does not take it.
        PaperSetupDialog dialog(p, this);
        dialog.exec();
    }
}

}  // namespace qavix
