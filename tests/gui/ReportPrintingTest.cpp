// The settings report printed to PDF: header, page numbers and every line, checked in the
// PDF's own text, and the page count of the file against the layout's.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <ctime>

#include "ChildProcess.h"
#include "TempFolder.h"
#include "model/DeviceData.h"
#include "report/CView005.h"
#include "report/PaperSetupDialog.h"
#include "report/ReportPrinter.h"
#include "report/SettingsReport.h"

namespace qavix::test {
namespace {

// The text of a PDF's pages, one string per page ("" when pdftotext fails).
QStringList pdfPages(const QString& pdf) {
    const ProcessResult text =
        runProcess({"pdftotext", "-enc", "UTF-8", "-layout", pdf.toStdString(), "-"});
    if (text.exitCode != 0) {
        return {};
    }
    QStringList pages = QString::fromStdString(text.out).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

// Without white space of either width, so spacing the PDF reader guessed does not count.
QString squeezed(const QString& text) {
    static const QRegularExpression kSpace("[\\s\\x{3000}]+");
    return QString(text).remove(kSpace);
}

SettingsData longSet(int sensors, int beams) {
    SettingsData set;
    set.general.jointNum = sensors;
    for (int c = 0; c < sensors; ++c) {
        ChannelRecord& ch = set.channel(c);
        ch.beamCount = beams;
        for (int b = 0; b < beams; ++b) {
            ch.axisTh[static_cast<size_t>(b)] = (b * 7 + c) % 200;
        }
    }
    return set;
}

std::tm fixedDate() {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 4;
    t.tm_mday = 17;
    t.tm_hour = 9;
    t.tm_min = 5;
    return t;
}

QStringList reportOf(const SettingsData& set, bool extended) {
    return reportLineList(report::buildSettingsReport(
        set, report::defaultReportSelection(set.general.jointNum), extended, fixedDate()));
}

struct PdfFixture : ::testing::Test {
    QString print(const QStringList& lines, QPrinter& printer) {
        const QString path = filePathOf(dir, "report.pdf");
        ReportPrinter::preparePdf(printer, path);
        EXPECT_TRUE(ReportPrinter(lines).print(printer));
        return path;
    }
    const TempDir dir;
};

TEST_F(PdfFixture, EveryPageHasTheHeaderAndItsNumberAndEveryLineIsPrintedInOrder) {
    const QStringList lines = reportOf(longSet(3, 128), true);
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = print(lines, printer);
    const QStringList pages = pdfPages(pdf);
    ASSERT_GT(pages.size(), 2) << "pdftotext found no pages";
    EXPECT_EQ(pages.size(), ReportPrinter(lines).pageCount(printer));

    QString body;
    for (int n = 0; n < pages.size(); ++n) {
        // The text as printed: the report's font gives each glyph one character, so "一"
        // does not come back as the radical "⼀", nor "～" as "〜".
        const QString& page = pages[n];
        EXPECT_TRUE(page.contains("設定一覧")) << "page " << n + 1 << ":\n" << page.toStdString();
        EXPECT_TRUE(page.contains(QString("Page %1").arg(n + 1))) << "page " << n + 1;
        body += squeezed(page);
    }
    int from = 0;
    for (const QString& line : lines) {
        const QString wanted = squeezed(line);
        if (wanted.isEmpty()) {
            continue;
        }
        const int at = body.indexOf(wanted, from);
        ASSERT_GE(at, 0) << "missing or out of order: " << line.toStdString();
        from = at + wanted.size();
    }
}

TEST_F(PdfFixture, PageRangePrintsOnlyThosePages) {
    const QStringList lines = reportOf(longSet(2, 128), false);
    QPrinter printer(QPrinter::HighResolution);
    ASSERT_GE(ReportPrinter(lines).pageCount(printer), 3);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    const QStringList pages = pdfPages(print(lines, printer));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("Page 2"));
}

TEST_F(PdfFixture, NoLinesGiveOnePageWithItsHeader) {
    QPrinter printer(QPrinter::HighResolution);
    EXPECT_EQ(ReportPrinter(QStringList()).pageCount(printer), 1);
    const QStringList pages = pdfPages(print(QStringList(), printer));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("設定一覧")) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains("Page 1"));
}

TEST_F(PdfFixture, PaperSetupWithoutAPrinterChangesTheNextPrint) {
    const QStringList lines = reportOf(longSet(3, 128), true);
    QPrinter printer(QPrinter::HighResolution);
    ReportPrinter::preparePdf(printer, filePathOf(dir, "setup.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    const int portraitPages = ReportPrinter(lines).pageCount(printer);

    PaperSetupDialog cancelled(printer);
    cancelled.paperBox()->setCurrentIndex(cancelled.paperBox()->findData(QPageSize::A5));
    cancelled.reject();
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);

    PaperSetupDialog dialog(printer);
    EXPECT_EQ(dialog.paperBox()->currentData().toInt(), QPageSize::A4);
    dialog.orientationBox()->setCurrentIndex(1);
    dialog.accept();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_GT(ReportPrinter(lines).pageCount(printer), portraitPages);
}

TEST_F(PdfFixture, UnwritablePdfFails) {
    QPrinter printer(QPrinter::HighResolution);
    ReportPrinter::preparePdf(printer, filePathOf(dir, "missing/report.pdf"));
    EXPECT_FALSE(ReportPrinter(QStringList{"x"}).print(printer));
}

}  // namespace
}  // namespace qavix::test
