#pragma once
// The level bar chart: one bar per beam with its level, state colour and ON/OFF threshold
// lines; scrolls when more beams exist than fit, shows a beam's values as a tooltip and,
// depending on the owning page's mode, lets the user drag thresholds (edit mode) or pick
// beams (designation mode). Geometry and rules live in core (monitor/ChartGeometry,
// monitor/BarRules); this class holds the state and turns mouse and keys into gestures.

#include <QImage>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "model/DeviceData.h"
#include "monitor/ChartBars.h"
#include "monitor/ChartGestures.h"
#include "monitor/ChartPainter.h"
#include "state/AppState.h"

namespace qavix {

class CChartWnd : public QWidget {
    Q_OBJECT
  public:
    enum class Mode { View, Edit, Designation };
    using Gesture = ChartGestureKind;
    // The chart's threshold arrays hold these until the page gives its own.
    static constexpr int kInitialOn = 20;
    static constexpr int kInitialOff = 10;
    // Live refreshes are repainted at most this often (25 per second).
    static constexpr int kRepaintIntervalMs = 40;

    CChartWnd(AppState& state, QWidget* parent = nullptr);

    // Items: `channel` 0..2 for one sensor, 3 for all connected sensors one after another;
    // `beamCounts` says how many bars each sensor contributes (for labels and thresholds).
    void buildItems(int channel, const std::array<int, kChannelCount>& beamCounts, int itemCount);
    int channel() const { return m_bars.channel(); }
    int itemCount() const { return m_bars.count(); }
    void setVisibleBars(int count);
    int visibleBars() const { return m_visible; }
    void setFirstVisible(int first);
    int firstVisible() const { return m_first; }

    void setValue(int bar, int value) {
        if (auto* i = m_bars.item(bar)) {
            i->value = value;
        }
    }
    int value(int bar) const { return m_bars.item(bar) ? m_bars.item(bar)->value : 0; }
    void setColour(int bar, const QColor& colour) {
        if (auto* i = m_bars.item(bar)) {
            i->colour = colour;
        }
    }
    QColor colour(int bar) const { return m_bars.item(bar) ? m_bars.item(bar)->colour : QColor(); }
    // The page decides whether a beam's blanking shows above its bar.
    void setBlankBackground(int bar, bool on) {
        if (auto* i = m_bars.item(bar)) {
            i->blankBackground = on;
        }
    }
    bool blankBackground(int bar) const {
        return m_bars.item(bar) && m_bars.item(bar)->blankBackground;
    }

    // Sensor (0..2) and beam (0-based) of a bar; false past the items.
    bool beamOfBar(int bar, int& sensor, int& beam) const {
        return m_bars.beamOfBar(bar, sensor, beam);
    }
    QString beamLabel(int bar) const { return m_bars.beamLabel(bar); }

    chart::ThresholdPair thresholds(int sensor, int beam) const {
        return m_bars.thresholds(sensor, beam);
    }
    void setThresholds(int sensor, int beam, chart::ThresholdPair t) {
        m_bars.setThresholds(sensor, beam, t);
    }
    chart::ThresholdPair barThresholds(int bar) const { return m_bars.barThresholds(bar); }
    // Moves the ON level of each of `bars` by `delta` by the rules of the axis shown and
    // recolours them; the first change since edit mode began is signalled.
    void shiftThresholds(const std::vector<int>& bars, int delta);
    // What a drag on the percent axis needs: each beam's zero point and the sensors' HYS.
    void setTuningData(const SettingsData& set) { m_bars.setTuningData(set); }

    void setScaleStep(int step);
    int scaleStep() const { return m_scaleStep; }
    void setPercentAxis(bool on);
    bool percentAxis() const { return m_percent; }

    // View mode clears the selection and marks of the chart's channel (all sensors for an
    // all-sensor chart); edit mode allows dragging; designation mode picks beams.
    void setViewMode();
    void setEditMode();
    void setDesignationMode();
    Mode mode() const { return m_mode; }
    // Single-channel pages: selection and drags act on every beam of the sensor.
    void setWholeSensor(bool on) { m_wholeSensor = on; }
    bool wholeSensor() const { return m_wholeSensor; }
    Gesture gesture() const { return m_active == nullptr ? Gesture::None : m_active->kind(); }
    bool hasFinishedSelection() const { return m_p.finishedSelection; }

    bool marked(int sensor, int beam) const;
    bool selected(int sensor, int beam) const;
    bool designated(int bar) const { return m_bars.item(bar) && m_bars.item(bar)->designated; }
    void setDesignated(int bar, bool on) {
        if (auto* i = m_bars.item(bar)) {
            i->designated = on;
        }
    }
    int hoveredBar() const { return m_hovered; }

    // Repaints soon, at most kRepaintIntervalMs after the previous one.
    void refresh();
    int repaintCount() const { return m_repaints; }
    void hideTooltip();

    chart::ChartFrame frame() const;
    ChartPaint paintParameters() const;
    // The chart as shown, at `devicePixelRatio` pixels per point.
    QImage renderImage(qreal devicePixelRatio) const;

  signals:
    // The first threshold change since edit mode began: the bar enables "書込み"/"取消し".
    void thresholdsEdited();
    // A designation gesture changed picks.
    void designationChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    int clientHeight() const;
    void updateScrollBar();
    bool barInBand(int bar, int y) const;
    // The handler a press in edit mode starts, none when it only drops a selection.
    ChartGesture* pickEditGesture(std::optional<int> bandBar);
    void pressEdit(const QPoint& pos);
    void releaseEdit();
    void setBarThresholds(int bar, chart::ThresholdPair t);
    void recolour(int bar);
    void finishDesignation(const QPoint& pos);
    void showTooltip(const QPoint& pos, const QPoint& global);
    QColor stateColour(chart::BarState state) const;
    QColor userColour(int index) const;

    AppState& m_state;
    ChartBars m_bars{{kInitialOn, kInitialOff}};
    int m_visible = 1;
    int m_first = 0;
    int m_scaleStep = 2;
    bool m_percent = false;
    Mode m_mode = Mode::View;
    bool m_wholeSensor = false;

    ChartPointer m_p;
    BeamDrag m_beamDrag{*this, m_p};
    SelectionGesture m_selection{*this, m_p};
    WholeSensorDrag m_wholeSensorDrag{*this, m_p};
    ChartGesture* m_active = nullptr;  // none between gestures
    bool m_buttonDown = false;
    bool m_editSignalled = false;
    bool m_designateMarking = true;

    int m_hovered = -1;
    QPoint m_tooltipAt;

    QScrollBar* m_scroll = nullptr;
    QTimer m_repaintTimer;
    bool m_repaintPending = false;
    int m_repaints = 0;
};

}  // namespace qavix
