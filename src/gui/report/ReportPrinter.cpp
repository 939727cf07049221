#include "report/ReportPrinter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace qavix {

namespace {

constexpr const char* kSystemFontFamily = "Noto Sans Mono CJK JP";
constexpr const char* kReportFontResource = ":/fonts/QavixReportMono.otf";
constexpr int kTextFlags = Qt::TextExpandTabs | Qt::TextWordWrap;
constexpr double kPdfMarginMm = 12.0;
constexpr double kHeaderSlant = 0.2;  // horizontal shift per unit of height

int scaled(int units, double scale) {
    return static_cast<int>(std::lround(units * scale));
}

void setPdfMargins(QPagedPaintDevice& device) {
    device.setPageMargins(QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                          QPageLayout::Millimeter);
}

}  // namespace

QString ReportPrinter::fontFamily() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(kReportFontResource);
        const QStringList families =
            id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        return families.isEmpty() ? QString(kSystemFontFamily) : families.first();
    }();
    return family;
}

void ReportPrinter::drawHeader(QPainter& painter, const Geometry& g, const QPaintDevice& device,
                               int pageNumber) const {
    painter.setFont(g.header);
    const QFontMetrics hm(g.header, &device);
    const QString pageText = QString(kPageFormat).arg(pageNumber);
    // The fixed-pitch CJK face has no italic of its own; a slanted upright face keeps the
    // header real text in the PDF, where a synthesised italic may become outlines.
    auto slanted = [&](int x, const QString& text) {
        painter.save();
        painter.translate(x, hm.ascent());
        painter.setTransform(QTransform(1, 0, -kHeaderSlant, 1, 0, 0), true);
        painter.drawText(0, 0, text);
        painter.restore();
    };
    slanted(0, QCoreApplication::translate("qavix::ReportPrinter", kHeaderText));
    const int slantReach = static_cast<int>(std::ceil(kHeaderSlant * hm.ascent()));
    slanted(g.page.width() - hm.horizontalAdvance(pageText) - slantReach, pageText);
    painter.drawLine(0, hm.height(), g.page.width(), hm.height());
}

ReportPrinter::Geometry ReportPrinter::geometryFor(const QPageLayout& layout,
                                                   int resolution) const {
    Geometry g;
    g.scale = static_cast<double>(resolution) / report::kPrintReferenceDpi;
    const QRect area = layout.paintRectPixels(resolution);
    g.page = QRect(0, 0, area.width(), area.height());
    g.header = QFont(fontFamily());
    g.header.setWeight(QFont::Normal);
    g.header.setPixelSize(std::max(1, scaled(report::kPrintHeaderHeight, g.scale)));
    g.body = QFont(fontFamily());
    g.body.setWeight(QFont::Normal);
    g.body.setPointSizeF(kBodyPointSize);
    return g;
}

int ReportPrinter::textLeft(const Geometry& g) const {
    return scaled(report::kPrintTextLeft, g.scale);
}

std::vector<int> ReportPrinter::lineHeights(const Geometry& g, const QPaintDevice& device) const {
    const QFontMetrics fm(g.body, &device);
    const QRect column(textLeft(g), 0, std::max(1, g.page.width() - textLeft(g)), g.page.height());
    std::vector<int> heights;
    heights.reserve(static_cast<size_t>(m_lines.size()));
    for (const QString& line : m_lines) {
        // An empty line still takes the height of one line of text.
        const QString measured = line.isEmpty() ? QStringLiteral(" ") : line;
        heights.push_back(fm.boundingRect(column, kTextFlags, measured).height());
    }
    return heights;
}

std::vector<report::PrintPage> ReportPrinter::pagesFor(const Geometry& g,
                                                       const std::vector<int>& heights,
                                                       const QPaintDevice& device) const {
    const QFontMetrics fm(g.body, &device);
    const int usable = g.page.height() - scaled(report::kPrintBottomReserve, g.scale);
    return report::layoutPrintPages(heights, fm.leading(),
                                    scaled(report::kPrintFirstLineY, g.scale), usable);
}

std::vector<report::PrintPage> ReportPrinter::layout(QPrinter& printer) const {
    const Geometry g = geometryFor(printer.pageLayout(), printer.resolution());
    return pagesFor(g, lineHeights(g, printer), printer);
}

bool ReportPrinter::print(QPrinter& printer) const {
    int first = 1;
    int last = 0;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage();
    }
    return printPages(printer, printer.pageLayout(), printer.resolution(), first, last);
}

QByteArray ReportPrinter::pdf() const {
    // The paper a PDF printer starts with, so the document is the one preparePdf gives.
    QPrinter reference(QPrinter::HighResolution);
    reference.setOutputFormat(QPrinter::PdfFormat);
    setPdfMargins(reference);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(reference.resolution());
        writer.setPageLayout(reference.pageLayout());
        writer.setTitle(QCoreApplication::translate("qavix::ReportPrinter", kHeaderText));
        if (!printPages(writer, reference.pageLayout(), reference.resolution(), 1, 0)) {
            return {};
        }
    }
    return buffer.data();
}

bool ReportPrinter::printPages(QPagedPaintDevice& device, const QPageLayout& layout, int resolution,
                               int first, int last) const {
    const Geometry g = geometryFor(layout, resolution);
    const std::vector<int> heights = lineHeights(g, device);
    const std::vector<report::PrintPage> pages = pagesFor(g, heights, device);
    const int count = static_cast<int>(pages.size());
    first = std::clamp(first, 1, count);
    last = std::clamp(last > 0 ? last : count, first, count);
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const int left = textLeft(g);
    const int width = std::max(1, g.page.width() - left);
    for (int n = first; n <= last; ++n) {
        if (n > first) {
            device.newPage();
        }
        drawHeader(painter, g, device, n);
        painter.setFont(g.body);
        const report::PrintPage& page = pages[static_cast<size_t>(n - 1)];
        for (int i = 0; i < page.lineCount; ++i) {
            const int line = page.firstLine + i;
            const QRect box(left, page.lineTops[static_cast<size_t>(i)], width,
                            heights[static_cast<size_t>(line)]);
            painter.drawText(box, kTextFlags, m_lines.at(line));
        }
    }
    return painter.end();
}

QStringList reportLineList(const report::ReportLines& lines) {
    QStringList list;
    list.reserve(static_cast<int>(lines.size()));
    for (const std::string& line : lines) {
        list << QString::fromStdString(line);
    }
    return list;
}

void ReportPrinter::preparePdf(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setPdfMargins(printer);
}

}  // namespace qavix
