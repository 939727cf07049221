#include "monitor/ScanChart.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "model/ScanChartGeometry.h"

namespace qavix {

namespace {

// Grid lines only where a cell is wide or tall enough to keep some colour between them;
// with 1000 samples over a few hundred pixels they would hide the states.
constexpr int kMinCellForGrid = 4;
constexpr int kMinimumWidth = 200;
constexpr int kNewestMarkWidth = 2;
constexpr int kMinimumHeight = 120;

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
    setAccessibleName("スキャンモニタ");
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    m_history.reset(0);
    updateScrollBars();
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
    const int previous = m_newestColumn;
    m_newestColumn = column;
    QPainter p(&m_image);
    drawColumn(p, column);
    m_lastColumn = columnRect(column);
    QRect dirty = m_lastColumn;
    // The column that was newest loses its mark.
    if (previous >= 0 && previous != column && previous < m_samplesShown) {
        drawColumn(p, previous);
        dirty |= columnRect(previous);
    }
    viewport()->update(dirty);
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
    QPainter p(&m_image);
    for (int c = 0; c < m_samplesShown; ++c) {
        drawColumn(p, c);
    }
    viewport()->update();
}

void ScanChart::drawColumn(QPainter& p, int column) {
    const QRect area = columnRect(column);
    if (area.width() <= 0) {
        return;
    }
    const int slot = m_columnSlot[static_cast<size_t>(column)];
    if (slot < 0) {
        p.fillRect(area, palette().color(QPalette::Base));
        return;
    }
    p.fillRect(area, m_on);
    const int shownRows = std::min(m_rowsShown, m_rows.count() - m_firstRow);
    for (int r = 0; r < shownRows; ++r) {
        const int top = scan::cellStart(m_rowEnds, r);
        const int bottom = m_rowEnds[static_cast<size_t>(r)];
        const uint8_t cell = m_history.cell(slot, m_firstRow + r);
        if (cell != scan::kCellSet) {
            const QColor& fill = cell == scan::kCellClear ? m_off : palette().color(QPalette::Base);
            p.fillRect(QRect(area.left(), top, area.width(), bottom - top), fill);
        }
    }
    if (shownRows < m_rowsShown) {
        const int top = scan::cellStart(m_rowEnds, std::max(shownRows, 0));
        p.fillRect(QRect(area.left(), top, area.width(), area.bottom() - top + 1),
                   palette().color(QPalette::Base));
    }
    p.setPen(palette().color(QPalette::Dark));
    if (area.width() >= kMinCellForGrid) {
        p.drawLine(area.topLeft(), area.bottomLeft());
        p.drawLine(area.topRight(), area.bottomRight());
    }
    if (viewport()->height() / std::max(m_rowsShown, 1) >= kMinCellForGrid) {
        for (int r = 0; r + 1 < m_rowsShown; ++r) {
            const int y = m_rowEnds[static_cast<size_t>(r)];
            p.drawLine(area.left(), y, area.right(), y);
        }
    }
    // While sampling, the newest column carries a bar on its right edge: in a sweep the
    // newest and the oldest samples stand side by side.
    if (m_running && column == m_newestColumn) {
        // Never wider than the column, so that redrawing the column removes it whole.
        const int width = std::min(kNewestMarkWidth, area.width());
        p.fillRect(QRect(area.right() - width + 1, area.top(), width, area.height()),
                   palette().color(QPalette::WindowText));
    }
}

void ScanChart::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    if (m_image.isNull()) {
        p.fillRect(event->rect(), palette().color(QPalette::Base));
        return;
    }
    // Only the part that changed: while sampling that is one column.
    const QRect r = event->rect();
    const qreal ratio = m_image.devicePixelRatio();
    p.drawImage(QRectF(r), m_image, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
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
    return QString("光軸：CH%1-%2 サンプル：%3").arg(beam->sensor).arg(beam->beam).arg(*number);
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
