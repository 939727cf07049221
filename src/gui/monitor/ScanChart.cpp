#include "monitor/ScanChart.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <cstring>

#include "model/ScanChartGeometry.h"

namespace qavix {

namespace {

// Grid lines only where a cell is wide or tall enough to keep some colour between them;
// with 1000 samples over a few hundred pixels they would hide the states.
constexpr int kMinCellForGrid = 4;
constexpr int kMinimumWidth = 200;
constexpr int kNewestMarkWidth = 2;
constexpr int kMinimumHeight = 120;
constexpr int kLabelPadding = 4;

// A scroll area reads as a bare panel to a screen reader; the chart says what it is.
QAccessibleInterface* chartAccessible(const QString& key, QObject* object) {
    if (key == QLatin1String(ScanChart::staticMetaObject.className()) && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
    }
    return nullptr;
}

}  // namespace

ScanChart::ScanChart(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool accessibleChart = [] {
        QAccessible::installFactory(chartAccessible);
        return true;
    }();
    Q_UNUSED(accessibleChart);
    setObjectName("scanChart");
    setAccessibleName(tr("スキャンモニタ"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    m_labels = new QWidget(this);
    m_labels->setObjectName("scanRowLabels");
    m_labels->installEventFilter(this);
    setViewportMargins(labelWidth(), 0, 0, 0);
    m_history.reset(0);
    updateScrollBars();
}

int ScanChart::labelWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("CH3-128")) + 2 * kLabelPadding;
}

void ScanChart::setColors(const QColor& on, const QColor& off) {
    m_on = on;
    m_off = off;
    redrawAll();
}

void ScanChart::reset(const scan::ScanRows& rows, int rowsShown, int samplesShown) {
    m_rows = rows;
    m_history.reset(rows.count());
    m_firstSample = 0;
    m_firstRow = 0;
    setShown(rowsShown, samplesShown);
}

void ScanChart::setShown(int rowsShown, int samplesShown) {
    m_rowsShown = rowsShown > 0 ? rowsShown : scan::kDefaultRowsShown;
    m_samplesShown = std::clamp(samplesShown, 1, scan::kHistorySamples);
    updateScrollBars();
    layoutCells();
    redrawAll();
}

void ScanChart::setRunning(bool on) {
    m_running = on;
    if (!on) {
        m_firstSample = scan::firstSampleAfterStop(m_history, m_samplesShown);
    }
    updateScrollBars();
    redrawAll();
}

void ScanChart::appendSample(const SettingsData& set) {
    m_rows.fillColumn(set, m_history.nextColumn());
    const int slot = m_history.append();
    // Stopped, the chart shows slots in order from its scroll position; only the sweep of a
    // running chart has a column waiting for the new sample.
    if (!m_running) {
        redrawAll();
        return;
    }
    if (m_image.isNull() || m_columnEnds.size() != static_cast<size_t>(m_samplesShown)) {
        return;
    }
    const int column = slot % m_samplesShown;
    m_columnSlot[static_cast<size_t>(column)] = slot;
    // The mark of the newest sample lies over the image: moving it only repaints where it
    // was, the column under it stays as drawn.
    QRect dirty = newestMarkRect();
    m_newestColumn = column;
    drawColumn(column);
    m_lastColumn = columnRect(column);
    dirty |= m_lastColumn;
    viewport()->update(dirty);
}

QRect ScanChart::newestMarkRect() const {
    if (!m_running || m_newestColumn < 0 || m_newestColumn >= m_samplesShown ||
        m_columnEnds.size() != static_cast<size_t>(m_samplesShown)) {
        return QRect();
    }
    // Never wider than the column, so that the column's own pixels are all it covers.
    const QRect area = columnRect(m_newestColumn);
    const int width = std::min(kNewestMarkWidth, area.width());
    return QRect(area.right() - width + 1, area.top(), width, area.height());
}

QRect ScanChart::columnRect(int column) const {
    const int x0 = scan::cellStart(m_columnEnds, column);
    const int x1 = m_columnEnds[static_cast<size_t>(column)];
    return QRect(x0, 0, x1 - x0, viewport()->height());
}

void ScanChart::layoutCells() {
    const QSize size = viewport()->size();
    m_columnEnds = scan::cellEnds(m_samplesShown, size.width());
    m_rowEnds = scan::cellEnds(m_rowsShown, size.height());
    const qreal ratio = devicePixelRatioF();
    if (m_image.size() != size * ratio) {
        m_image = QImage(size * ratio, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(ratio);
    }
    placeLabels();
}

void ScanChart::placeLabels() {
    const QRect cells = viewport()->geometry();
    m_labels->setGeometry(cells.left() - labelWidth(), cells.top(), labelWidth(), cells.height());
    std::vector<int> beams;
    const int shownRows = std::min(m_rowsShown, m_rows.count() - m_firstRow);
    for (int r = 0; r < shownRows; ++r) {
        const auto beam = m_rows.beamAt(m_firstRow + r);
        beams.push_back(beam ? beam->beam : 0);
    }
    m_labelled = scan::labelledRows(beams, m_rowEnds, fontMetrics().height());
    m_labels->update();
}

QString ScanChart::rowLabel(int row) const {
    const auto beam = m_rows.beamAt(m_firstRow + row);
    return beam ? QString("CH%1-%2").arg(beam->sensor).arg(beam->beam) : QString();
}

void ScanChart::paintLabels() {
    QPainter p(m_labels);
    p.fillRect(m_labels->rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    const int height = fontMetrics().height();
    for (int r : m_labelled) {
        const int centre = (scan::cellStart(m_rowEnds, r) + m_rowEnds[static_cast<size_t>(r)]) / 2;
        // Beside its row, but never cut by the strip's ends.
        const int top =
            std::clamp(centre - height / 2, 0, std::max(m_labels->height() - height, 0));
        p.drawText(QRect(0, top, m_labels->width() - kLabelPadding, height),
                   Qt::AlignRight | Qt::AlignVCenter, rowLabel(r));
    }
}

bool ScanChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_labels && event->type() == QEvent::Paint) {
        paintLabels();
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void ScanChart::updateScrollBars() {
    QScrollBar* h = horizontalScrollBar();
    const QSignalBlocker blockH(h);
    h->setRange(0, std::max(scan::kHistorySamples - m_samplesShown, 0));
    h->setSingleStep(1);
    h->setPageStep(m_samplesShown);
    m_firstSample = std::min(m_firstSample, h->maximum());
    h->setValue(m_firstSample);
    h->setEnabled(!m_running);
    QScrollBar* v = verticalScrollBar();
    const QSignalBlocker blockV(v);
    v->setRange(0, std::max(m_rows.count() - m_rowsShown, 0));
    v->setSingleStep(1);
    v->setPageStep(std::max(m_rowsShown, 1));
    m_firstRow = std::min(m_firstRow, v->maximum());
    v->setValue(m_firstRow);
    v->setEnabled(!m_running);
}

void ScanChart::redrawAll() {
    // The columns' slots are kept even while there is nothing to draw on, so that a sample
    // appended before the first layout lands in the right column.
    m_columnSlot = m_running ? scan::sweepColumns(m_history, m_samplesShown)
                             : scan::scrolledColumns(m_history, m_samplesShown, m_firstSample);
    const auto newest = m_history.newestSlot();
    m_newestColumn = m_running && newest ? *newest % m_samplesShown : -1;
    if (m_image.isNull() || m_columnEnds.size() != m_columnSlot.size()) {
        return;
    }
    for (int c = 0; c < m_samplesShown; ++c) {
        drawColumn(c);
    }
    placeLabels();
    viewport()->update();
}

namespace {

enum Pattern { kSet, kClear, kEmpty, kGrid, kPatternCount };
using Patterns = std::array<std::vector<QRgb>, kPatternCount>;

// A pixel line of each pattern, `width` wide; with `edges` the cells have a grid line of
// `line` pixels each side (in the grid's colour, the last fill).
Patterns makePatterns(int width, int line, bool edges,
                      const std::array<QRgb, kPatternCount>& fills) {
    Patterns patterns;
    const QRgb grid = fills[kGrid];
    for (int k = 0; k < kPatternCount; ++k) {
        std::vector<QRgb>& pattern = patterns[static_cast<size_t>(k)];
        pattern.assign(static_cast<size_t>(width), fills[static_cast<size_t>(k)]);
        if (edges && k != kEmpty) {
            std::fill_n(pattern.begin(), line, grid);
            std::fill_n(pattern.end() - line, line, grid);
        }
    }
    return patterns;
}

// One column of the image, filled line by line from the patterns.
struct ColumnWriter {
    uchar* pixels;
    qsizetype stride;
    int x0;
    int width;
    int height;
    const Patterns& patterns;

    void copy(int top, int bottom, Pattern k) const {
        const QRgb* from = patterns[static_cast<size_t>(k)].data();
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
            std::memcpy(reinterpret_cast<QRgb*>(pixels + y * stride) + x0, from,
                        static_cast<size_t>(width) * sizeof(QRgb));
        }
    }
};

}  // namespace

// The column's pixels are written straight into the image, each pixel line copied from one
// of four made-up lines (a set cell, a clear one, an empty one, the line between rows), far
// cheaper than a fill and a line per cell through a painter.
void ScanChart::drawColumn(int index) {
    const QRect area = columnRect(index);
    if (area.width() <= 0) {
        return;
    }
    const qreal ratio = m_image.devicePixelRatio();
    const auto device = [ratio](int logical) { return static_cast<int>(logical * ratio); };
    const int x0 = device(area.left());
    const int width = std::min(device(area.left() + area.width()), m_image.width()) - x0;
    const int imageHeight = m_image.height();
    if (width <= 0) {
        return;
    }
    const int line = std::max(device(1), 1);
    const bool edges = area.width() >= kMinCellForGrid && width > 2 * line;
    const Patterns patterns =
        makePatterns(width, line, edges,
                     {m_on.rgb(), m_off.rgb(), palette().color(QPalette::Base).rgb(),
                      palette().color(QPalette::Dark).rgb()});
    // Taken once: each scanLine() call would check the image for sharing again.
    const ColumnWriter column{m_image.bits(), m_image.bytesPerLine(), x0, width, imageHeight,
                              patterns};
    const auto copyLines = [&column](int top, int bottom, Pattern k) {
        column.copy(top, bottom, k);
    };
    const int slot = m_columnSlot[static_cast<size_t>(index)];
    if (slot < 0) {
        copyLines(0, imageHeight, kEmpty);
        return;
    }
    const int shownRows = std::min(m_rowsShown, m_rows.count() - m_firstRow);
    const bool rowLines = viewport()->height() / std::max(m_rowsShown, 1) >= kMinCellForGrid;
    for (int r = 0; r < shownRows; ++r) {
        const int top = device(scan::cellStart(m_rowEnds, r));
        const int bottom = device(m_rowEnds[static_cast<size_t>(r)]);
        const uint8_t cell = m_history.cell(slot, m_firstRow + r);
        const Pattern k = cell == scan::kCellSet     ? kSet
                          : cell == scan::kCellClear ? kClear
                                                     : kEmpty;
        // The line under each row but the last one shown.
        const bool under = rowLines && r + 1 < m_rowsShown;
        copyLines(top, under ? bottom - line : bottom, k);
        if (under) {
            copyLines(bottom - line, bottom, kGrid);
        }
    }
    copyLines(device(scan::cellStart(m_rowEnds, std::max(shownRows, 0))), imageHeight, kEmpty);
}

void ScanChart::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    if (m_image.isNull()) {
        p.fillRect(event->rect(), palette().color(QPalette::Base));
        return;
    }
    // Only the parts that changed: while sampling that is one column and where the mark of
    // the newest sample was (at a wrap, the two ends of the chart).
    const qreal ratio = m_image.devicePixelRatio();
    for (const QRect& r : event->region()) {
        p.drawImage(QRectF(r), m_image,
                    QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
    }
    // While sampling, the newest column carries a bar on its right edge: in a sweep the
    // newest and the oldest samples stand side by side.
    const QRect mark = newestMarkRect();
    if (event->region().intersects(mark)) {
        p.fillRect(mark, palette().color(QPalette::WindowText));
    }
}

void ScanChart::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layoutCells();
    redrawAll();
}

void ScanChart::scrollContentsBy(int /*dx*/, int /*dy*/) {
    m_firstSample = horizontalScrollBar()->value();
    m_firstRow = verticalScrollBar()->value();
    redrawAll();
}

QString ScanChart::toolTipAt(const QPoint& pos) const {
    const int column = scan::cellAt(m_columnEnds, pos.x());
    const int row = scan::cellAt(m_rowEnds, pos.y());
    if (column < 0 || row < 0 || static_cast<size_t>(column) >= m_columnSlot.size()) {
        return QString();
    }
    const int slot = m_columnSlot[static_cast<size_t>(column)];
    const auto beam = m_rows.beamAt(m_firstRow + row);
    const auto number = slot >= 0 ? m_history.sampleNumber(slot) : std::nullopt;
    if (!beam || !number) {
        return QString();
    }
    return tr("光軸：CH%1-%2 サンプル：%3").arg(beam->sensor).arg(beam->beam).arg(*number);
}

bool ScanChart::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport());
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace qavix
