#pragma once
// The level chart's three edit gestures, each a small handler behind ChartGesture: the drag
// of one beam's thresholds, the rubber band with the drag of what it selected, and the drag
// of every beam of a single-channel sensor. The chart picks the handler when the left
// button goes down and hands it the pointer until the button comes up.

#include <QPoint>
#include <QRect>
#include <array>
#include <optional>
#include <vector>

#include "model/DeviceData.h"

namespace qavix {

class CChartWnd;

enum class ChartGestureKind { None, DragBeam, Selection, WholeSensor };

using BeamFlags = std::array<std::array<bool, kMaxBeams>, kChannelCount>;

// What the gestures work on and leave behind: the selected and the marked (edited) beams,
// the band being drawn and the bar the press grabbed.
struct ChartPointer {
    BeamFlags selected{};
    BeamFlags marked{};
    bool rubberActive = false;
    bool finishedSelection = false;  // a band was drawn and the selection awaits a drag
    QRect rubber;
    int pressedBar = -1;
    double grabOffset = 0.0;  // the pointer's value above the grabbed bar's ON level

    void clearSelection();
    void markSelected();
    bool anySelected() const;
};

class ChartGesture {
  public:
    ChartGesture(CChartWnd& chart, ChartPointer& pointer) : m_chart(chart), m_p(pointer) {}
    virtual ~ChartGesture() = default;
    ChartGesture(const ChartGesture&) = delete;
    ChartGesture& operator=(const ChartGesture&) = delete;

    virtual ChartGestureKind kind() const = 0;
    // The left button went down at `pos`; `bandBar` is the bar whose threshold band it hit.
    virtual void press(const QPoint& pos, std::optional<int> bandBar) = 0;
    // The pointer moved with the button held.
    virtual void move(const QPoint& pos) = 0;
    // The button came up: false when the gesture is over, true when it stays ready.
    virtual bool release() = 0;

  protected:
    // Moves the ON levels of `bars` (the first one grabbed) to follow the pointer at `y`.
    void dragTo(int y, const std::vector<int>& bars);
    std::vector<int> selectedBars() const;

    CChartWnd& m_chart;
    ChartPointer& m_p;
};

// One beam's band dragged as it was pressed.
class BeamDrag : public ChartGesture {
  public:
    using ChartGesture::ChartGesture;
    ChartGestureKind kind() const override { return ChartGestureKind::DragBeam; }
    void press(const QPoint&, std::optional<int>) override {}
    void move(const QPoint& pos) override;
    bool release() override;
};

// A rubber band drawn outside every band selects the beams it touches; a press on a selected
// beam's band then drags the whole selection, which is marked when it is let go.
class SelectionGesture : public ChartGesture {
  public:
    using ChartGesture::ChartGesture;
    ChartGestureKind kind() const override { return ChartGestureKind::Selection; }
    void press(const QPoint& pos, std::optional<int> bandBar) override;
    void move(const QPoint& pos) override;
    bool release() override;

  private:
    void selectInBand();
};

// Single-channel pages: a press on any band takes every beam of the sensor along.
class WholeSensorDrag : public ChartGesture {
  public:
    using ChartGesture::ChartGesture;
    ChartGestureKind kind() const override { return ChartGestureKind::WholeSensor; }
    void press(const QPoint& pos, std::optional<int> bandBar) override;
    void move(const QPoint& pos) override;
    bool release() override;
};

}  // namespace qavix
