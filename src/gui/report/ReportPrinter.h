#pragma once
// The settings report on a printer: the header "設定一覧" with the page number and a rule,
// then the report lines in a fixed-pitch font, paginated by the core's layout rule with
// each line measured on the printer itself.

#include <QByteArray>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <vector>

#include "report/PrintLayout.h"
#include "report/ReportLines.h"

namespace qavix {

class ReportPrinter {
  public:
    static constexpr const char* kHeaderText =
        QT_TRANSLATE_NOOP("qavix::ReportPrinter", "設定一覧");
    static constexpr const char* kPageFormat = "Page %1";
    static constexpr double kBodyPointSize = 9.0;

    explicit ReportPrinter(QStringList lines) : m_lines(std::move(lines)) {}

    // The pages as they fall on `printer` now (its paper, orientation and resolution).
    std::vector<report::PrintPage> layout(QPrinter& printer) const;
    int pageCount(QPrinter& printer) const { return static_cast<int>(layout(printer).size()); }
    // Prints the printer's page range (all pages when none is set). False when the printer
    // cannot be started (a file that cannot be written, no such printer).
    bool print(QPrinter& printer) const;

    // The whole report as a PDF document in memory, on the paper and with the margins of
    // preparePdf, so that a file can be written beside its target, checked and renamed
    // (fileio::writeFileAtomic) instead of in place. Empty when it could not be made.
    QByteArray pdf() const;

    // A printer for a PDF file with the report's margins.
    static void preparePdf(QPrinter& printer, const QString& path);

    // The family the report is printed in: the face built for it (res/make_report_font.py,
    // one character per glyph, so that a PDF's text says "一" and not the radical "⼀")
    // when the program carries it, else the system's fixed-pitch Japanese face.
    static QString fontFamily();

  private:
    struct Geometry {
        double scale = 1.0;
        QRect page;  // the drawing area in device units, origin 0, 0
        QFont header;
        QFont body;
    };
    Geometry geometryFor(const QPageLayout& layout, int resolution) const;
    std::vector<int> lineHeights(const Geometry& g, const QPaintDevice& device) const;
    // The one layout rule, for counting and for printing.
    std::vector<report::PrintPage> pagesFor(const Geometry& g, const std::vector<int>& heights,
                                            const QPaintDevice& device) const;
    int textLeft(const Geometry& g) const;
    // "設定一覧", "Page n" at the right edge, and the rule under them.
    void drawHeader(QPainter& painter, const Geometry& g, const QPaintDevice& device,
                    int pageNumber) const;
    // Pages first..last (1-based, clamped to the report; 0 for last: to the end) on `device`.
    bool printPages(QPagedPaintDevice& device, const QPageLayout& layout, int resolution, int first,
                    int last) const;

    QStringList m_lines;
};

// The report's lines as text for the printer.
QStringList reportLineList(const report::ReportLines& lines);

}  // namespace qavix
