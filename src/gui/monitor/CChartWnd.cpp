#include "monitor/CChartWnd.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

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

// Screen readers see the chart as a chart, with the bars it shows as its description.
class ChartAccessible : public QAccessibleWidget {
  public:
    explicit ChartAccessible(CChartWnd* chart) : QAccessibleWidget(chart, QAccessible::Chart) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Description) {
            return QAccessibleWidget::text(t);
        }
        const auto* chart = static_cast<const CChartWnd*>(widget());
        if (chart->itemCount() == 0) {
            return QString();
        }
        const int last = std::min(chart->firstVisible() + chart->visibleBars(), chart->itemCount());
        return QString("%1 〜 %2 / %3%4")
            .arg(chart->beamLabel(chart->firstVisible()), chart->beamLabel(last - 1))
            .arg(chart->itemCount())
            .arg(chart->percentAxis() ? " (%)" : "");
    }
};

QAccessibleInterface* chartAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("qavix::CChartWnd") && object->isWidgetType()) {
        return new ChartAccessible(static_cast<CChartWnd*>(object));
    }
    return nullptr;
}

}  // namespace

CChartWnd::CChartWnd(AppState& state, QWidget* parent) : QWidget(parent), m_state(state) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(chartAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setObjectName("CChartWnd");
    setAccessibleName("受光レベルグラフ");
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (auto& sensor : m_thresholds) {
        sensor.fill(chart::ThresholdPair{kInitialOn, kInitialOff});
    }
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setObjectName("chartScroll");
    m_scroll->setAccessibleName("光軸スクロール");
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
    m_channel = channel;
    m_beamCounts = beamCounts;
    const QColor incident = userColour(kColorNyukou);
    m_items.assign(at(std::max(itemCount, 0)), Item{});
    for (int bar = 0; bar < this->itemCount(); ++bar) {
        Item& item = m_items[at(bar)];
        int sensor = 0;
        int beam = bar;
        beamOfBar(bar, sensor, beam);
        item.label = QString::number(beam + 1);
        item.colour = incident;
    }
    m_gesture = m_wholeSensor && m_mode == Mode::Edit ? Gesture::WholeSensor : Gesture::None;
    m_rubberActive = false;
    m_finishedSelection = false;
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

void CChartWnd::setValue(int bar, int value) {
    if (bar >= 0 && bar < itemCount()) {
        m_items[at(bar)].value = value;
    }
}

int CChartWnd::value(int bar) const {
    return bar >= 0 && bar < itemCount() ? m_items[at(bar)].value : 0;
}

void CChartWnd::setColour(int bar, const QColor& colour) {
    if (bar >= 0 && bar < itemCount()) {
        m_items[at(bar)].colour = colour;
    }
}

QColor CChartWnd::colour(int bar) const {
    return bar >= 0 && bar < itemCount() ? m_items[at(bar)].colour : QColor();
}

void CChartWnd::setBlankBackground(int bar, bool on) {
    if (bar >= 0 && bar < itemCount()) {
        m_items[at(bar)].blankBackground = on;
    }
}

bool CChartWnd::blankBackground(int bar) const {
    return bar >= 0 && bar < itemCount() && m_items[at(bar)].blankBackground;
}

bool CChartWnd::beamOfBar(int bar, int& sensor, int& beam) const {
    if (bar < 0 || bar >= itemCount()) {
        return false;
    }
    if (m_channel < kChannelCount) {
        sensor = std::max(m_channel, 0);
        beam = bar;
        return bar < kMaxBeams;
    }
    int first = 0;
    for (int s = 0; s < kChannelCount; ++s) {
        const int count = std::clamp(m_beamCounts[at(s)], 0, kMaxBeams);
        if (bar < first + count) {
            sensor = s;
            beam = bar - first;
            return true;
        }
        first += count;
    }
    return false;
}

QString CChartWnd::beamLabel(int bar) const {
    int sensor = 0;
    int beam = 0;
    if (!beamOfBar(bar, sensor, beam)) {
        return QString();
    }
    return QString("CH%1-%2").arg(sensor + 1).arg(m_items[at(bar)].label);
}

chart::ThresholdPair CChartWnd::thresholds(int sensor, int beam) const {
    return m_thresholds.at(at(sensor)).at(at(beam));
}

void CChartWnd::setThresholds(int sensor, int beam, chart::ThresholdPair t) {
    m_thresholds.at(at(sensor)).at(at(beam)) = t;
}

chart::ThresholdPair CChartWnd::barThresholds(int bar) const {
    int sensor = 0;
    int beam = 0;
    return beamOfBar(bar, sensor, beam) ? thresholds(sensor, beam) : chart::ThresholdPair{};
}

void CChartWnd::setTuningData(const SettingsData& set) {
    for (int s = 0; s < kChannelCount; ++s) {
        m_zero[at(s)] = set.channel(s).zero;
        m_hys[at(s)] = set.channel(s).hys;
    }
}

void CChartWnd::setScaleStep(int step) {
    m_scaleStep = std::clamp(step, chart::kMinScaleStep, chart::kMaxScaleStep);
    update();
}

void CChartWnd::setPercentAxis(bool on) {
    m_percent = on;
    update();
}

void CChartWnd::clearSelection() {
    m_selected = BeamFlags{};
    m_finishedSelection = false;
    m_rubberActive = false;
    m_rubber = QRect();
}

void CChartWnd::setViewMode() {
    const auto clear = [this](int s) {
        m_selected[at(s)].fill(false);
        m_marked[at(s)].fill(false);
    };
    if (m_channel >= kChannelCount) {
        for (int s = 0; s < kChannelCount; ++s) {
            clear(s);
        }
    } else {
        clear(m_channel);
    }
    clearSelection();
    m_mode = Mode::View;
    m_gesture = Gesture::None;
    m_buttonDown = false;
    unsetCursor();
    update();
}

void CChartWnd::setEditMode() {
    m_mode = Mode::Edit;
    m_editSignalled = false;
    m_buttonDown = false;
    m_gesture = m_wholeSensor ? Gesture::WholeSensor : Gesture::None;
    update();
}

void CChartWnd::setDesignationMode() {
    clearSelection();
    m_mode = Mode::Designation;
    m_gesture = Gesture::None;
    m_buttonDown = false;
    m_pressedBar = -1;
    update();
}

bool CChartWnd::marked(int sensor, int beam) const {
    return m_marked.at(at(sensor)).at(at(beam));
}

bool CChartWnd::selected(int sensor, int beam) const {
    return m_selected.at(at(sensor)).at(at(beam));
}

bool CChartWnd::designated(int bar) const {
    return bar >= 0 && bar < itemCount() && m_items[at(bar)].designated;
}

void CChartWnd::setDesignated(int bar, bool on) {
    if (bar >= 0 && bar < itemCount()) {
        m_items[at(bar)].designated = on;
    }
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
    const bool allSelected = m_gesture == Gesture::WholeSensor;
    for (int k = 0; k < shown; ++k) {
        const int bar = m_first + k;
        const Item& item = m_items[at(bar)];
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
    if (m_rubberActive) {
        paint.rubberBand = m_rubber;
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

void CChartWnd::forEachSensorBar(const std::function<void(int, int, int)>& f) const {
    for (int bar = 0; bar < itemCount(); ++bar) {
        int sensor = 0;
        int beam = 0;
        if (beamOfBar(bar, sensor, beam)) {
            f(bar, sensor, beam);
        }
    }
}

void CChartWnd::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (m_mode == Mode::Designation) {
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
            m_designateMarking = event->button() == Qt::LeftButton;
            m_pressedBar = chart::barAt(frame(), pos.x()).value_or(-1);
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

void CChartWnd::pressEdit(const QPoint& pos) {
    const chart::ChartFrame f = frame();
    const auto bar = chart::barAt(f, pos.x());
    const bool inBand = bar && barInBand(*bar, pos.y());
    const double under = chart::yToValue(f, pos.y());
    m_pressedBar = inBand ? *bar : -1;
    if (inBand) {
        m_grabOffset = under - barThresholds(*bar).on;
    }
    if (m_gesture == Gesture::WholeSensor) {
        forEachSensorBar([&](int, int s, int b) { m_selected[at(s)][at(b)] = inBand; });
        return;
    }
    if (inBand) {
        int sensor = 0;
        int beam = 0;
        beamOfBar(*bar, sensor, beam);
        if (!m_finishedSelection) {
            m_gesture = Gesture::DragBeam;
        } else if (selected(sensor, beam)) {
            m_gesture = Gesture::Selection;
        } else {
            clearSelection();
            m_gesture = Gesture::None;
            m_pressedBar = -1;
        }
        return;
    }
    if (m_finishedSelection) {
        clearSelection();
        m_gesture = Gesture::None;
        return;
    }
    m_rubberActive = true;
    m_rubber = QRect(pos, pos);
    m_gesture = Gesture::Selection;
}

void CChartWnd::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const chart::ChartFrame f = frame();
    if (m_mode == Mode::Designation) {
        m_hovered = chart::barAt(f, pos.x()).value_or(-1);
    }
    if (m_mode == Mode::Edit) {
        if (m_buttonDown) {
            moveEdit(pos);
        }
        const auto bar = chart::barAt(f, pos.x());
        const bool draggable = (bar && barInBand(*bar, pos.y())) ||
                               (m_buttonDown && m_pressedBar >= 0 && !m_rubberActive);
        if (draggable) {
            setCursor(Qt::SizeVerCursor);
        } else {
            unsetCursor();
        }
    }
    showTooltip(pos, event->globalPosition().toPoint());
}

void CChartWnd::moveEdit(const QPoint& pos) {
    if (m_rubberActive) {
        m_rubber.setBottomRight(pos);
        selectRubberBand();
        update();
        return;
    }
    if (m_pressedBar < 0) {
        return;
    }
    applyDrag(pos.y());
    update();
}

void CChartWnd::selectRubberBand() {
    const chart::ChartFrame f = frame();
    const QRect band = m_rubber.normalized();
    m_selected = BeamFlags{};
    const int base = chart::baseline(f);
    for (int k = 0; k < chart::barsOnScreen(f); ++k) {
        const int bar = m_first + k;
        int sensor = 0;
        int beam = 0;
        if (!beamOfBar(bar, sensor, beam)) {
            continue;
        }
        const chart::BarSpan span = chart::barSpan(f, k);
        const chart::ThresholdPair t = thresholds(sensor, beam);
        const int top = std::min(
            {chart::valueToY(f, value(bar)), chart::valueToY(f, t.on), chart::valueToY(f, t.off)});
        const QRect rect(QPoint(span.left, top), QPoint(span.right - 1, base));
        m_selected[at(sensor)][at(beam)] = rect.intersects(band);
    }
}

void CChartWnd::applyDrag(int y) {
    const double target = chart::yToValue(frame(), y) - m_grabOffset;
    std::vector<int> bars;
    if (m_gesture == Gesture::DragBeam) {
        bars.push_back(m_pressedBar);
    } else {
        forEachSensorBar([&](int bar, int s, int b) {
            if (m_selected[at(s)][at(b)]) {
                bars.push_back(bar);
            }
        });
    }
    if (bars.empty()) {
        return;
    }
    const int delta = static_cast<int>(std::lround(target)) - barThresholds(bars.front()).on;
    if (delta == 0) {
        return;
    }
    for (int bar : bars) {
        int sensor = 0;
        int beam = 0;
        beamOfBar(bar, sensor, beam);
        const chart::ThresholdPair now = thresholds(sensor, beam);
        const chart::ThresholdPair next =
            m_percent ? chart::ratioRule(now, m_zero[at(sensor)][at(beam)], m_hys[at(sensor)],
                                         now.on + delta, true)
                      : chart::dragAbsolute(now, now.on + delta, m_wholeSensor);
        setBarThresholds(bar, next);
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
    const Item& item = m_items[at(bar)];
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
    const auto markSelected = [this] {
        for (int s = 0; s < kChannelCount; ++s) {
            for (int b = 0; b < kMaxBeams; ++b) {
                m_marked[at(s)][at(b)] = m_marked[at(s)][at(b)] || m_selected[at(s)][at(b)];
            }
        }
    };
    switch (m_gesture) {
        case Gesture::WholeSensor:
            markSelected();
            break;
        case Gesture::DragBeam: {
            int sensor = 0;
            int beam = 0;
            if (beamOfBar(m_pressedBar, sensor, beam)) {
                m_marked[at(sensor)][at(beam)] = true;
            }
            m_gesture = Gesture::None;
            break;
        }
        case Gesture::Selection:
            if (m_rubberActive) {
                m_rubberActive = false;
                m_rubber = QRect();
                m_finishedSelection =
                    std::any_of(m_selected.begin(), m_selected.end(), [](const auto& sensor) {
                        return std::find(sensor.begin(), sensor.end(), true) != sensor.end();
                    });
            } else {
                markSelected();
                clearSelection();
            }
            m_gesture = Gesture::None;
            break;
        case Gesture::None:
            break;
    }
    m_grabOffset = 0.0;
    m_pressedBar = -1;
}

void CChartWnd::finishDesignation(const QPoint& pos) {
    const auto released = chart::barAt(frame(), pos.x());
    if (m_pressedBar < 0 || !released) {
        m_pressedBar = -1;
        return;
    }
    const int from = std::min(m_pressedBar, *released);
    const int to = std::max(m_pressedBar, *released);
    for (int bar = from; bar <= to; ++bar) {
        setDesignated(bar, m_designateMarking);
        if (m_designateMarking) {
            setColour(bar, userColour(kColorSpare));
        } else {
            const chart::ThresholdPair t = barThresholds(bar);
            setColour(bar, stateColour(chart::barState(value(bar), t.on, t.off, false)));
        }
    }
    m_pressedBar = -1;
    update();
    emit designationChanged();
}

void CChartWnd::showTooltip(const QPoint& pos, const QPoint& global) {
    if (pos.y() < chart::kTooltipEdge || pos.y() > clientHeight() - chart::kTooltipEdge) {
        hideTooltip();
        return;
    }
    const auto bar = chart::barAt(frame(), pos.x());
    const bool idle = !m_buttonDown || m_rubberActive;
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
        sensor + 1, m_items[at(*bar)].label.toStdString(), value(*bar), t.on, t.off, m_percent));
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
