#include "monitor/CChartWnd.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "monitor/ChartAccessible.h"
#include "monitor/DisplayColours.h"

namespace qavix {

namespace {

// A tooltip stays put while the pointer moves less than this within the same bar.
constexpr int kTooltipSlack = 5;
constexpr int kTooltipOffsetX = 1;
constexpr int kTooltipOffsetY = 20;

size_t at(int i) {
    return static_cast<size_t>(i);
}

}  // namespace

CChartWnd::CChartWnd(AppState& state, QWidget* parent) : QWidget(parent), m_state(state) {
    installChartAccessibility();
    setObjectName("CChartWnd");
    setAccessibleName(tr("受光レベルグラフ"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName("chartScroll");
    m_scroll->setAccessibleName(tr("光軸スクロール"));
    m_scroll->hide();
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int v) {
        m_first = chart::clampFirstVisible(itemCount(), m_visible, v);
        hideTooltip();
        update();
    });
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(kRepaintIntervalMs);
    connect(&m_repaintTimer, &QTimer::timeout, this, [this] {
        if (m_repaintPending) {
            m_repaintPending = false;
            update();
            m_repaintTimer.start();
        }
    });
}

void CChartWnd::buildItems(int channel, const std::array<int, kChannelCount>& beamCounts,
                           int itemCount) {
    m_bars.build(channel, beamCounts, itemCount, userColour(kColorNyukou));
    m_active = m_wholeSensor && m_mode == Mode::Edit ? &m_wholeSensorDrag : nullptr;
    m_p.rubberActive = false;
    m_p.finishedSelection = false;
    m_first = 0;
    m_hovered = -1;
    m_visible = std::clamp(m_visible, 1, std::max(this->itemCount(), 1));
    updateScrollBar();
    update();
}

void CChartWnd::setVisibleBars(int count) {
    m_visible = std::clamp(count, 1, std::max(itemCount(), 1));
    updateScrollBar();
    update();
}

void CChartWnd::setFirstVisible(int first) {
    m_first = chart::clampFirstVisible(itemCount(), m_visible, first);
    m_scroll->setValue(m_first);
    update();
}

void CChartWnd::updateScrollBar() {
    const chart::ScrollRange r = chart::scrollRange(itemCount(), m_visible);
    m_first = std::min(m_first, r.maximumFirst);
    const QSignalBlocker block(m_scroll);
    m_scroll->setRange(0, r.maximumFirst);
    m_scroll->setPageStep(r.pageStep);
    m_scroll->setSingleStep(1);
    m_scroll->setValue(m_first);
    m_scroll->setVisible(r.needed);
    const int h = m_scroll->sizeHint().height();
    m_scroll->setGeometry(0, height() - h, width(), h);
}

int CChartWnd::clientHeight() const {
    return height() - (m_scroll->isVisibleTo(this) ? m_scroll->sizeHint().height() : 0);
}

void CChartWnd::setScaleStep(int step) {
    m_scaleStep = std::clamp(step, chart::kMinScaleStep, chart::kMaxScaleStep);
    update();
}

void CChartWnd::setPercentAxis(bool on) {
    m_percent = on;
    update();
}

void CChartWnd::setViewMode() {
    const auto clear = [this](int s) {
        m_p.selected[at(s)].fill(false);
        m_p.marked[at(s)].fill(false);
    };
    if (channel() >= kChannelCount) {
        for (int s = 0; s < kChannelCount; ++s) {
            clear(s);
        }
    } else {
        clear(channel());
    }
    m_p.clearSelection();
    m_mode = Mode::View;
    m_active = nullptr;
    m_buttonDown = false;
    unsetCursor();
    update();
}

void CChartWnd::setEditMode() {
    m_mode = Mode::Edit;
    m_editSignalled = false;
    m_buttonDown = false;
    m_active = m_wholeSensor ? &m_wholeSensorDrag : nullptr;
    update();
}

void CChartWnd::setDesignationMode() {
    m_p.clearSelection();
    m_mode = Mode::Designation;
    m_active = nullptr;
    m_buttonDown = false;
    m_p.pressedBar = -1;
    update();
}

bool CChartWnd::marked(int sensor, int beam) const {
    return m_p.marked.at(at(sensor)).at(at(beam));
}

bool CChartWnd::selected(int sensor, int beam) const {
    return m_p.selected.at(at(sensor)).at(at(beam));
}

void CChartWnd::refresh() {
    if (m_repaintTimer.isActive()) {
        m_repaintPending = true;
        return;
    }
    update();
    m_repaintTimer.start();
}

void CChartWnd::hideTooltip() {
    m_hovered = -1;
    if (QToolTip::isVisible()) {
        QToolTip::hideText();
    }
}

chart::ChartFrame CChartWnd::frame() const {
    chart::ChartFrame f;
    f.width = width();
    f.height = clientHeight();
    f.itemCount = itemCount();
    f.visibleBars = m_visible;
    f.firstVisible = m_first;
    f.percentAxis = m_percent;
    f.scaleStep = m_scaleStep;
    return f;
}

ChartPaint CChartWnd::paintParameters() const {
    ChartPaint paint;
    paint.frame = frame();
    paint.colours.on = userColour(kColorOn);
    paint.colours.off = userColour(kColorOff);
    paint.colours.selected = userColour(kColorSpare);
    paint.colours.blankBack = userColour(kColorBlankBack);
    const int shown = chart::barsOnScreen(paint.frame);
    paint.bars.reserve(at(shown));
    const bool allSelected = gesture() == Gesture::WholeSensor;
    for (int k = 0; k < shown; ++k) {
        const int bar = m_first + k;
        const ChartBars::Item& item = *m_bars.item(bar);
        ChartBar b;
        b.value = item.value;
        b.colour = item.colour;
        b.blankBackground = item.blankBackground;
        int sensor = 0;
        int beam = 0;
        if (beamOfBar(bar, sensor, beam)) {
            b.thresholds = thresholds(sensor, beam);
            b.marked = marked(sensor, beam);
            b.selected = allSelected || selected(sensor, beam);
        }
        paint.bars.push_back(b);
    }
    for (const chart::XLabel& l : chart::xLabels(paint.frame)) {
        paint.xLabelTexts.push_back(beamLabel(l.bar));
    }
    if (m_p.rubberActive) {
        paint.rubberBand = m_p.rubber;
    }
    return paint;
}

QImage CChartWnd::renderImage(qreal devicePixelRatio) const {
    const ChartPaint paint = paintParameters();
    const qreal dpr = std::max<qreal>(devicePixelRatio, 1.0);
    QImage image(QSize(paint.frame.width, paint.frame.height) * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    paintChart(image, paint);
    return image;
}

void CChartWnd::paintEvent(QPaintEvent*) {
    ++m_repaints;
    // Straight into the window: the back buffer of the window system already shows a live
    // update whole, so an image of our own would only be allocated and copied once more.
    QPainter p(this);
    paintChart(p, paintParameters());
}

void CChartWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateScrollBar();
}

bool CChartWnd::barInBand(int bar, int y) const {
    const chart::ThresholdPair t = barThresholds(bar);
    return chart::insideBand(frame(), t.on, t.off, y);
}

void CChartWnd::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (m_mode == Mode::Designation) {
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
            m_designateMarking = event->button() == Qt::LeftButton;
            m_p.pressedBar = chart::barAt(frame(), pos.x()).value_or(-1);
            m_buttonDown = true;
        }
        return;
    }
    if (m_mode != Mode::Edit || event->button() != Qt::LeftButton) {
        return;
    }
    m_buttonDown = true;
    pressEdit(pos);
    update();
}

ChartGesture* CChartWnd::pickEditGesture(std::optional<int> bandBar) {
    if (m_active == &m_wholeSensorDrag) {
        return m_active;
    }
    if (!m_p.finishedSelection) {
        return bandBar ? static_cast<ChartGesture*>(&m_beamDrag) : &m_selection;
    }
    int sensor = 0;
    int beam = 0;
    if (bandBar && beamOfBar(*bandBar, sensor, beam) && selected(sensor, beam)) {
        return &m_selection;
    }
    return nullptr;
}

void CChartWnd::pressEdit(const QPoint& pos) {
    const chart::ChartFrame f = frame();
    const auto bar = chart::barAt(f, pos.x());
    const std::optional<int> bandBar = bar && barInBand(*bar, pos.y()) ? bar : std::optional<int>();
    m_p.pressedBar = bandBar.value_or(-1);
    if (bandBar) {
        m_p.grabOffset = chart::yToValue(f, pos.y()) - barThresholds(*bandBar).on;
    }
    m_active = pickEditGesture(bandBar);
    if (m_active == nullptr) {
        // A press beside the selection only drops it.
        m_p.clearSelection();
        m_p.pressedBar = -1;
        return;
    }
    m_active->press(pos, bandBar);
}

void CChartWnd::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const chart::ChartFrame f = frame();
    if (m_mode == Mode::Designation) {
        m_hovered = chart::barAt(f, pos.x()).value_or(-1);
    }
    if (m_mode == Mode::Edit) {
        if (m_buttonDown && m_active != nullptr) {
            m_active->move(pos);
            update();
        }
        const auto bar = chart::barAt(f, pos.x());
        const bool draggable = (bar && barInBand(*bar, pos.y())) ||
                               (m_buttonDown && m_p.pressedBar >= 0 && !m_p.rubberActive);
        if (draggable) {
            setCursor(Qt::SizeVerCursor);
        } else {
            unsetCursor();
        }
    }
    showTooltip(pos, event->globalPosition().toPoint());
}

void CChartWnd::shiftThresholds(const std::vector<int>& bars, int delta) {
    for (int bar : bars) {
        int sensor = 0;
        int beam = 0;
        if (!beamOfBar(bar, sensor, beam)) {
            continue;
        }
        const int on = thresholds(sensor, beam).on + delta;
        setBarThresholds(bar, m_bars.movedTo(sensor, beam, on, m_percent, m_wholeSensor));
    }
    if (!m_editSignalled) {
        m_editSignalled = true;
        emit thresholdsEdited();
    }
}

void CChartWnd::setBarThresholds(int bar, chart::ThresholdPair t) {
    int sensor = 0;
    int beam = 0;
    if (beamOfBar(bar, sensor, beam)) {
        setThresholds(sensor, beam, t);
        recolour(bar);
    }
}

void CChartWnd::recolour(int bar) {
    const chart::ThresholdPair t = barThresholds(bar);
    const ChartBars::Item& item = *m_bars.item(bar);
    setColour(bar, stateColour(chart::barState(item.value, t.on, t.off, item.blankBackground)));
}

void CChartWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_buttonDown) {
        return;
    }
    m_buttonDown = false;
    if (m_mode == Mode::Designation) {
        finishDesignation(event->position().toPoint());
        return;
    }
    if (m_mode == Mode::Edit && event->button() == Qt::LeftButton) {
        releaseEdit();
        unsetCursor();
        update();
    }
}

void CChartWnd::releaseEdit() {
    if (m_active != nullptr && !m_active->release()) {
        m_active = nullptr;
    }
    m_p.grabOffset = 0.0;
    m_p.pressedBar = -1;
}

void CChartWnd::finishDesignation(const QPoint& pos) {
    const auto released = chart::barAt(frame(), pos.x());
    if (m_p.pressedBar < 0 || !released) {
        m_p.pressedBar = -1;
        return;
    }
    const int from = std::min(m_p.pressedBar, *released);
    const int to = std::max(m_p.pressedBar, *released);
    for (int bar = from; bar <= to; ++bar) {
        setDesignated(bar, m_designateMarking);
        if (m_designateMarking) {
            setColour(bar, userColour(kColorSpare));
        } else {
            const chart::ThresholdPair t = barThresholds(bar);
            setColour(bar, stateColour(chart::barState(value(bar), t.on, t.off, false)));
        }
    }
    m_p.pressedBar = -1;
    update();
    emit designationChanged();
}

void CChartWnd::showTooltip(const QPoint& pos, const QPoint& global) {
    if (pos.y() < chart::kTooltipEdge || pos.y() > clientHeight() - chart::kTooltipEdge) {
        hideTooltip();
        return;
    }
    const auto bar = chart::barAt(frame(), pos.x());
    const bool idle = !m_buttonDown || m_p.rubberActive;
    if (m_hovered >= 0 && bar == m_hovered && idle &&
        (pos - m_tooltipAt).manhattanLength() <= kTooltipSlack) {
        return;
    }
    if (!bar) {
        hideTooltip();
        return;
    }
    m_hovered = *bar;
    m_tooltipAt = pos;
    int sensor = 0;
    int beam = 0;
    beamOfBar(*bar, sensor, beam);
    const chart::ThresholdPair t = thresholds(sensor, beam);
    const QString text = QString::fromStdString(chart::tooltipText(
        sensor + 1, m_bars.item(*bar)->label.toStdString(), value(*bar), t.on, t.off, m_percent));
    QToolTip::showText(global + QPoint(kTooltipOffsetX, kTooltipOffsetY), text.trimmed(), this);
}

void CChartWnd::keyPressEvent(QKeyEvent* event) {
    int first = m_first;
    switch (event->key()) {
        case Qt::Key_Left:
            --first;
            break;
        case Qt::Key_Right:
            ++first;
            break;
        case Qt::Key_PageUp:
            first -= m_visible;
            break;
        case Qt::Key_PageDown:
            first += m_visible;
            break;
        case Qt::Key_Home:
            first = 0;
            break;
        case Qt::Key_End:
            first = itemCount();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    setFirstVisible(first);
}

void CChartWnd::hideEvent(QHideEvent* event) {
    hideTooltip();
    QWidget::hideEvent(event);
}

void CChartWnd::leaveEvent(QEvent* event) {
    hideTooltip();
    QWidget::leaveEvent(event);
}

QColor CChartWnd::stateColour(chart::BarState state) const {
    return barStateColour(m_state.user, state);
}

QColor CChartWnd::userColour(int index) const {
    return displayColour(m_state.user, static_cast<ColorIndex>(index));
}

}  // namespace qavix
