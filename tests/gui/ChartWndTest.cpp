// The level chart's gestures driven with mouse and key events on an offscreen window whose
// client matches the core geometry tests (800 × 400: baseline 370, 1.79 pixels per unit).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "GuiTestSupport.h"
#include "monitor/CChartWnd.h"
#include "monitor/CLegendDlg.h"
#include "monitor/DisplayColours.h"

namespace qavix::test {
namespace {

using chart::ThresholdPair;

struct ChartFixture : ::testing::Test {
    void SetUp() override {
        chart = std::make_unique<CChartWnd>(state);
        chart->resize(800, 400);
        build(10, 10);
        chart->show();
        settle();
    }
    void build(int items, int visible, int channel = 0) {
        chart->buildItems(channel, {items, 0, 0}, items);
        chart->setVisibleBars(visible);
        for (int b = 0; b < items; ++b) {
            chart->setThresholds(0, b, {100, 80});
            chart->setValue(b, 0);
        }
    }
    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        sendMouse(chart.get(), type, pos, button);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
        mouse(QEvent::MouseButtonPress, from, button);
        mouse(QEvent::MouseMove, QPoint((from.x() + to.x()) / 2, (from.y() + to.y()) / 2), button);
        mouse(QEvent::MouseMove, to, button);
        mouse(QEvent::MouseButtonRelease, to, button);
    }
    // Middle of bar `bar` on screen (its left edges: 46, 120, 194, 268, 342, 415, ...).
    int xOf(int bar) const {
        const chart::BarSpan s = chart::barSpan(chart->frame(), bar - chart->firstVisible());
        return (s.left + s.right) / 2;
    }
    int yOf(double value) const { return chart::valueToY(chart->frame(), value); }

    DeviceModel model;
    AppState state{model};
    std::unique_ptr<CChartWnd> chart;
};

TEST_F(ChartFixture, PressOnTheOnLineDragsOnePixelAboveStartsARubberBand) {
    chart->setEditMode();
    QSignalSpy edited(chart.get(), &CChartWnd::thresholdsEdited);
    ASSERT_EQ(yOf(100), 191);

    mouse(QEvent::MouseButtonPress, {xOf(3), 190});
    EXPECT_EQ(chart->gesture(), CChartWnd::Gesture::Selection);  // rubber band
    mouse(QEvent::MouseMove, {xOf(3), 250});
    mouse(QEvent::MouseButtonRelease, {xOf(3), 250});
    EXPECT_EQ(chart->thresholds(0, 3), (ThresholdPair{100, 80}));
    EXPECT_EQ(edited.count(), 0);
    // The band covered bar 3 only; pressing elsewhere outside a band drops that selection.
    EXPECT_TRUE(chart->hasFinishedSelection());
    EXPECT_TRUE(chart->selected(0, 3));
    EXPECT_FALSE(chart->selected(0, 4));
    mouse(QEvent::MouseButtonPress, {xOf(6), 20});
    mouse(QEvent::MouseButtonRelease, {xOf(6), 20});
    EXPECT_FALSE(chart->hasFinishedSelection());

    // Exactly on the line: the beam follows the pointer up and stops at 200.
    drag({xOf(3), 191}, {xOf(3), 0});
    EXPECT_EQ(chart->thresholds(0, 3), (ThresholdPair{200, 180}));
    EXPECT_EQ(chart->thresholds(0, 2), (ThresholdPair{100, 80}));
    EXPECT_TRUE(chart->marked(0, 3));
    EXPECT_FALSE(chart->marked(0, 2));
    EXPECT_EQ(chart->colour(3), displayColour(state.user, kColorSyakou));  // level 0 < OFF
    // Dragging again to the bottom keeps the difference until OFF would go below 0.
    drag({xOf(3), yOf(200)}, {xOf(3), 399});
    EXPECT_EQ(chart->thresholds(0, 3), (ThresholdPair{20, 0}));
    EXPECT_EQ(edited.count(), 1);  // only the first change of the session is announced
}

TEST_F(ChartFixture, RubberBandSelectionMovesTogetherAndIsMarkedOnRelease) {
    chart->setEditMode();
    drag({xOf(2) - 5, 100}, {xOf(4) + 5, 300});
    ASSERT_TRUE(chart->hasFinishedSelection());
    for (int b = 0; b < 10; ++b) {
        EXPECT_EQ(chart->selected(0, b), b >= 2 && b <= 4) << b;
    }
    chart->setThresholds(0, 4, {120, 110});
    // Dragging the band of a selected beam moves every selected beam by the same amount.
    drag({xOf(3), yOf(100)}, {xOf(3), yOf(130)});
    EXPECT_EQ(chart->thresholds(0, 2).on, 130);
    EXPECT_EQ(chart->thresholds(0, 3), (ThresholdPair{130, 110}));
    EXPECT_EQ(chart->thresholds(0, 4), (ThresholdPair{150, 140}));
    EXPECT_EQ(chart->thresholds(0, 5), (ThresholdPair{100, 80}));
    for (int b = 0; b < 10; ++b) {
        EXPECT_EQ(chart->marked(0, b), b >= 2 && b <= 4) << b;
        EXPECT_FALSE(chart->selected(0, b));
    }
    // With a selection, pressing the band of an unselected beam only clears it.
    drag({xOf(7) - 5, 100}, {xOf(8), 300});
    ASSERT_TRUE(chart->selected(0, 8));
    drag({xOf(1), yOf(100)}, {xOf(1), yOf(150)});
    EXPECT_EQ(chart->thresholds(0, 1), (ThresholdPair{100, 80}));
    EXPECT_FALSE(chart->selected(0, 8));

    // View mode forgets marks and selection and ignores the mouse.
    chart->setViewMode();
    EXPECT_FALSE(chart->marked(0, 3));
    drag({xOf(1), yOf(100)}, {xOf(1), yOf(150)});
    EXPECT_EQ(chart->thresholds(0, 1), (ThresholdPair{100, 80}));
}

TEST_F(ChartFixture, WholeSensorDragMovesEveryBeamWithinTheSensorLimits) {
    for (int b = 0; b < 10; ++b) {
        chart->setThresholds(0, b, {60, 50});
    }
    chart->setWholeSensor(true);
    chart->setEditMode();
    EXPECT_EQ(chart->gesture(), CChartWnd::Gesture::WholeSensor);
    drag({xOf(6), yOf(60)}, {xOf(6), yOf(150)});
    for (int b = 0; b < 10; ++b) {
        EXPECT_EQ(chart->thresholds(0, b), (ThresholdPair{100, 90})) << b;
        EXPECT_TRUE(chart->marked(0, b));
    }
    // A press outside the band clears the selection; dragging then changes nothing.
    drag({xOf(6), 20}, {xOf(6), yOf(40)});
    EXPECT_EQ(chart->thresholds(0, 0), (ThresholdPair{100, 90}));
}

TEST_F(ChartFixture, PercentAxisDragAppliesTheRatioRule) {
    SettingsData set;
    set.channel(0).zero.fill(100);
    set.channel(0).zero[1] = 0;  // no zero point: the beam cannot follow
    set.channel(0).hys = 5;
    chart->setTuningData(set);
    chart->setPercentAxis(true);
    chart->setScaleStep(2);
    chart->setThresholds(0, 0, {50, 40});
    chart->setThresholds(0, 1, {50, 40});
    chart->setEditMode();
    drag({xOf(0), yOf(50)}, {xOf(0), yOf(80)});
    EXPECT_EQ(chart->thresholds(0, 0), (ThresholdPair{80, 75}));
    drag({xOf(1), yOf(50)}, {xOf(1), yOf(80)});
    EXPECT_EQ(chart->thresholds(0, 1), (ThresholdPair{50, 40}));
}

TEST_F(ChartFixture, DesignationPicksAndUnpicksARangeInEitherDirection) {
    QSignalSpy changed(chart.get(), &CChartWnd::designationChanged);
    chart->setDesignationMode();
    for (int b = 0; b < 10; ++b) {
        chart->setValue(b, 150);  // incident against 100/80
    }
    drag({xOf(5), 200}, {xOf(2), 250});
    for (int b = 0; b < 10; ++b) {
        EXPECT_EQ(chart->designated(b), b >= 2 && b <= 5) << b;
    }
    EXPECT_EQ(chart->colour(3), displayColour(state.user, kColorSpare));
    EXPECT_EQ(changed.count(), 1);

    chart->setValue(4, 90);
    drag({xOf(4), 200}, {xOf(5), 200}, Qt::RightButton);
    EXPECT_FALSE(chart->designated(4));
    EXPECT_FALSE(chart->designated(5));
    EXPECT_TRUE(chart->designated(3));
    EXPECT_EQ(chart->colour(4), displayColour(state.user, kColorFuantei));
    EXPECT_EQ(chart->colour(5), displayColour(state.user, kColorNyukou));
    EXPECT_EQ(changed.count(), 2);

    // A press beside the bars makes the release do nothing; thresholds never move here.
    drag({10, 200}, {xOf(8), 200});
    EXPECT_FALSE(chart->designated(8));
    drag({xOf(8), yOf(100)}, {xOf(8), yOf(150)});
    EXPECT_EQ(chart->thresholds(0, 8), (ThresholdPair{100, 80}));
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(ChartFixture, ScrollingKeepsTheLastScreenFull) {
    build(128, 10);
    settle();
    EXPECT_EQ(chart->firstVisible(), 0);
    QTest::keyClick(chart.get(), Qt::Key_End);
    EXPECT_EQ(chart->firstVisible(), 118);
    QTest::keyClick(chart.get(), Qt::Key_PageDown);
    EXPECT_EQ(chart->firstVisible(), 118);
    QTest::keyClick(chart.get(), Qt::Key_PageUp);
    EXPECT_EQ(chart->firstVisible(), 108);
    QTest::keyClick(chart.get(), Qt::Key_Left);
    EXPECT_EQ(chart->firstVisible(), 107);
    auto* bar = chart->findChild<QScrollBar*>("chartScroll");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 118);
    EXPECT_EQ(bar->pageStep(), 10);
    EXPECT_EQ(bar->value(), 107);
    // The scroll bar takes its height from the plot.
    EXPECT_EQ(chart->frame().height, 400 - bar->height());

    chart->setVisibleBars(128);
    EXPECT_EQ(chart->firstVisible(), 0);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(chart->frame().height, 400);
}

TEST_F(ChartFixture, AllSensorChartMapsBarsToSensorsAndBeams) {
    chart->buildItems(3, {64, 100, 0}, 128);
    int sensor = -1;
    int beam = -1;
    ASSERT_TRUE(chart->beamOfBar(64, sensor, beam));
    EXPECT_EQ(sensor, 1);
    EXPECT_EQ(beam, 0);
    EXPECT_EQ(chart->beamLabel(64), "CH2-1");
    EXPECT_EQ(chart->beamLabel(63), "CH1-64");
    chart->setThresholds(1, 0, {70, 60});
    EXPECT_EQ(chart->barThresholds(64), (ThresholdPair{70, 60}));
    EXPECT_FALSE(chart->beamOfBar(128, sensor, beam));
}

TEST_F(ChartFixture, RefreshesAreCappedAtOneRepaintPerInterval) {
    settle(60);
    const int before = chart->repaintCount();
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 60; ++i) {
        chart->refresh();
        QCoreApplication::processEvents();
        QTest::qWait(2);
    }
    settle(CChartWnd::kRepaintIntervalMs * 2);
    const int painted = chart->repaintCount() - before;
    EXPECT_GE(painted, 1);
    EXPECT_LE(painted, t.elapsed() / CChartWnd::kRepaintIntervalMs + 2) << t.elapsed();
}

TEST_F(ChartFixture, ImageFollowsTheDevicePixelRatio) {
    const QImage one = chart->renderImage(1.0);
    const QImage two = chart->renderImage(2.0);
    EXPECT_EQ(one.size(), QSize(800, 400));
    EXPECT_EQ(two.size(), QSize(1600, 800));
    EXPECT_EQ(two.devicePixelRatio(), 2.0);
    // Background, and a bar's colour at its foot where the shading starts.
    EXPECT_EQ(one.pixelColor(700, 5), kChartBackground);
    chart->setValue(0, 150);
    chart->setColour(0, QColor(30, 200, 30));
    const QImage bar = chart->renderImage(1.0);
    EXPECT_EQ(bar.pixelColor(46, 300), QColor(30, 200, 30));
    EXPECT_NE(bar.pixelColor(60, 300), QColor(30, 200, 30));  // lighter towards a third
}

TEST(LegendDlg, ShowsTheSixColoursAndReusesAnOpenWindow) {
    DeviceModel model;
    AppState state{model};
    state.user.colors[kColorOff] = makeColor(1, 2, 3);
    CLegendDlg* open = nullptr;
    CLegendDlg* first = CLegendDlg::showFor(open, state.user, nullptr);
    ASSERT_EQ(first, open);
    EXPECT_EQ(first->entryText(0), "入光");
    EXPECT_EQ(first->entryText(5), "OFFスレッシュ");
    EXPECT_EQ(first->boxColour(0), displayColour(state.user, kColorNyukou));
    EXPECT_EQ(first->boxColour(5), QColor(1, 2, 3));
    state.user.colors[kColorOff] = makeColor(4, 5, 6);
    EXPECT_EQ(CLegendDlg::showFor(open, state.user, nullptr), first);
    EXPECT_EQ(first->boxColour(5), QColor(4, 5, 6));
    first->close();
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(open, nullptr);
}

}  // namespace
}  // namespace qavix::test
