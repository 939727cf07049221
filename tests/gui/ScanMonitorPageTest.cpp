// The scan monitor page and its command bar against the built-in emulator: the intervals
// the line rate allows, the channel and beam choices, the samples box, 2000 samples through
// two wraps, a silent line and a lost reply, and the clear button.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>

#include "PageTestSupport.h"
#include "frame/PageTable.h"
#include "model/ScanChartGeometry.h"
#include "model/ScanHistory.h"
#include "monitor/CMonitor.h"
#include "monitor/CView004.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

struct ScanPageFixture : EmulatorPageFixture {
    // `baud` is the rate of the active port as the settings dialog would leave it; the
    // built-in emulator answers at once whatever the rate.
    void open(const std::string& simOptions, int baud) {
        connect(simOptions);
        LinkSettings s = link->settings();
        s.blocks[0][0] = baud;
        link->setSettings(s);
        ASSERT_EQ(link->request(72, 1, 0, 3), kRequestOk);  // beam counts
        ASSERT_EQ(link->request(80), kRequestOk);           // connected sensors
        pane->log.now = [this] { return clock; };
        pane->select(ItemKind::ScanMonitor);
        page = pane->page<CView004>(nav::kViewPage004);
        bar = pane->page<CMonitor>(nav::kViewMonitor);
        ASSERT_TRUE(page->isVisible());
        ASSERT_TRUE(bar->isVisible());
    }
    void typeSamples(const QString& text) {
        auto* edit = bar->samplesBox()->findChild<QLineEdit*>();
        edit->selectAll();
        // One key event per character with its text, as an input method delivers them
        // (full-width digits have no key code).
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // One timer firing, 25 ms after the last on the page's clock.
    void tick() {
        clock += std::chrono::milliseconds(25);
        page->tick();
    }

    std::chrono::system_clock::time_point clock{std::chrono::seconds(1700000000)};
    CView004* page = nullptr;
    CMonitor* bar = nullptr;
};

TEST_F(ScanPageFixture, SlowLinesOfferOnlyIntervalsTheyCanKeepUpWith) {
    open("--sensors 40", 9600);
    EXPECT_EQ(itemsOf(bar->intervalCombo()), (QStringList{"125ms", "150ms", "175ms", "200ms"}));
    EXPECT_EQ(bar->intervalCombo()->currentIndex(), 0);
    bar->startStop();
    EXPECT_EQ(page->timerPeriodMs(), 125);
    bar->startStop();

    // After the port is set to 115200 baud the next showing offers 25 ms, keeping the choice.
    bar->intervalCombo()->setCurrentIndex(2);
    LinkSettings s = link->settings();
    s.blocks[0][0] = 115200;
    link->setSettings(s);
    pane->select(ItemKind::BasicInfo);
    pane->select(ItemKind::ScanMonitor);
    EXPECT_EQ(bar->intervalCombo()->itemText(0), "25ms");
    EXPECT_EQ(bar->intervalCombo()->count(), 8);
    EXPECT_EQ(bar->intervalCombo()->currentText(), "175ms");
}

TEST_F(ScanPageFixture, ChannelsBeamsAndSamplesBox) {
    open("--sensors 40,32", 115200);
    EXPECT_EQ(itemsOf(bar->channelCombo()), (QStringList{"CH1", "CH2", "全CH"}));
    EXPECT_EQ(itemsOf(bar->beamsCombo()), (QStringList{"40", "30", "20", "10"}));
    EXPECT_EQ(page->chart()->rows().count(), 40);
    EXPECT_EQ(page->chart()->samplesShown(), 60);

    choose(bar->channelCombo(), 2);
    EXPECT_EQ(page->channel(), kAllChannels);
    EXPECT_EQ(page->chart()->rows().count(), 72);
    // The rows carry their beams' names down the left side, the cells take the rest.
    ScanChart* chart = page->chart();
    const std::vector<int>& named = chart->labelledRows();
    ASSERT_FALSE(named.empty());
    EXPECT_EQ(named.front(), 0);
    EXPECT_EQ(chart->rowLabel(0), "CH1-1");
    EXPECT_EQ(chart->rowLabel(40), "CH2-1");
    EXPECT_NE(std::find(named.begin(), named.end(), 40), named.end());
    EXPECT_GE(chart->viewport()->x(), chart->labelWidth());
    EXPECT_GE(chart->viewport()->width() + chart->labelWidth(),
              chart->width() - chart->verticalScrollBar()->width() - 2 * chart->frameWidth());
    EXPECT_EQ(bar->beamsCombo()->itemText(0), "72");
    EXPECT_EQ(page->chart()->rowsShown(), 72);

    bar->samplesBox()->setFocus();
    typeSamples(QString::fromUtf8("５０"));
    EXPECT_EQ(bar->samplesBox()->value(), 50);
    EXPECT_EQ(bar->samplesBox()->text(), "50");
    EXPECT_EQ(page->chart()->samplesShown(), 50);
    EXPECT_EQ(state.viewSample, 50);
    typeSamples("5");
    EXPECT_EQ(bar->samplesBox()->text(), "10");
    EXPECT_EQ(page->chart()->samplesShown(), 10);
    typeSamples("2000");
    EXPECT_EQ(bar->samplesBox()->text(), "1000");
    EXPECT_EQ(page->chart()->samplesShown(), 1000);
    typeSamples("abc");  // refused as typed; the number stays
    EXPECT_EQ(bar->samplesBox()->value(), 1000);
}

TEST_F(ScanPageFixture, TwoThousandSamplesAt25msWrapTwiceAndTooltipsKeepCounting) {
    open("--sensors 40,32", 115200);
    emit bar->channelCombo()->activated(2);
    ASSERT_EQ(bar->intervalCombo()->currentText(), "25ms");
    QTest::mouseClick(bar->startButton(), Qt::LeftButton);
    ASSERT_TRUE(page->running());
    EXPECT_EQ(page->timerPeriodMs(), 25);
    EXPECT_EQ(bar->startButton()->text(), "STOP");
    EXPECT_FALSE(bar->clearButton()->isEnabled());
    EXPECT_FALSE(bar->channelCombo()->isEnabled());
    EXPECT_FALSE(bar->samplesBox()->isEnabled());
    EXPECT_TRUE(link->worker().pollingSuspended());
    EXPECT_TRUE(state.continuousMonitoring());
    EXPECT_TRUE(state.treeMustStay());
    EXPECT_EQ(pane->log.commandsAllowed, std::vector<bool>{false});
    EXPECT_FALSE(page->chart()->horizontalScrollBar()->isEnabled());
    // The tree keeps the page while sampling runs.
    pane->select(ItemKind::BasicInfo);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->running());

    for (int i = 0; i < 2000; ++i) {
        tick();
    }
    const scan::ScanHistory& h = page->chart()->history();
    EXPECT_EQ(h.samplesTaken(), 2000);
    EXPECT_EQ(h.wraps(), 2);
    EXPECT_EQ(h.counter(), 0);
    // Every stored cell holds a state: no read was lost.
    int empty = 0;
    for (int slot = 0; slot < scan::kHistorySamples; ++slot) {
        for (int row = 0; row < 72; ++row) {
            empty += h.cell(slot, row) == scan::kCellEmpty ? 1 : 0;
        }
    }
    EXPECT_EQ(empty, 0);
    EXPECT_TRUE(page->statusText().contains("サンプル数：2000"))
        << page->statusText().toStdString();
    EXPECT_TRUE(page->statusText().contains("実測間隔：25ms")) << page->statusText().toStdString();

    // Samples 1001..2000 fill the buffer. In the running sweep column 5 of 60 last took
    // slot 965 (sample 1966); row 41 is the first beam of CH2.
    ScanChart* chart = page->chart();
    const std::vector<int> xs = scan::cellEnds(chart->samplesShown(), chart->viewport()->width());
    const std::vector<int> ys = scan::cellEnds(chart->rowsShown(), chart->viewport()->height());
    EXPECT_EQ(chart->toolTipAt(QPoint(xs[5] - 1, 1)).toStdString(), "光軸：CH1-1 サンプル：1966");
    EXPECT_EQ(chart->toolTipAt(QPoint(xs[39] - 1, ys[40] - 1)).toStdString(),
              "光軸：CH2-1 サンプル：2000");
    // Sample 2001 takes slot 0 again and is drawn over column 0 alone.
    tick();
    EXPECT_EQ(chart->lastColumnRect().left(), 0);
    EXPECT_EQ(chart->lastColumnRect().right(), xs[0] - 1);
    EXPECT_EQ(chart->toolTipAt(QPoint(0, 1)).toStdString(), "光軸：CH1-1 サンプル：2001");

    QTest::mouseClick(bar->startButton(), Qt::LeftButton);
    EXPECT_FALSE(page->running());
    EXPECT_FALSE(page->timerActive());
    EXPECT_EQ(bar->startButton()->text(), "START");
    EXPECT_TRUE(bar->clearButton()->isEnabled());
    EXPECT_TRUE(bar->intervalCombo()->isEnabled());
    EXPECT_FALSE(link->worker().pollingSuspended());
    EXPECT_FALSE(state.continuousMonitoring());
    EXPECT_EQ(pane->log.commandsAllowed, (std::vector<bool>{false, true}));
    EXPECT_TRUE(chart->horizontalScrollBar()->isEnabled());
    // Stopped on the screen of the newest sample (slot 0, sample 2001), then scrolled by one.
    EXPECT_EQ(chart->firstSampleShown(), 0);
    chart->horizontalScrollBar()->setValue(1);
    EXPECT_EQ(chart->columnSlots()[0], 1);
    EXPECT_EQ(chart->toolTipAt(QPoint(0, 1)).toStdString(), "光軸：CH1-1 サンプル：1002");
    // And by keyboard: one sample, or a screen of them.
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_EQ(chart->firstSampleShown(), 2);
    chart->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(chart->firstSampleShown(), 62);

    QTest::mouseClick(bar->clearButton(), Qt::LeftButton);
    EXPECT_EQ(chart->history().samplesTaken(), 0);
    EXPECT_TRUE(chart->toolTipAt(QPoint(0, 1)).isEmpty());
}

// Counts the layout requests a widget gets.
class LayoutRequests : public QObject {
  public:
    int count = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The counters under the chart change four times a second while sampling: that repaints
// their line and lays nothing out again.
TEST_F(ScanPageFixture, NewCountersDoNotLayThePageOutAgain) {
    open("--sensors 40", 115200);
    bar->startStop();
    ASSERT_TRUE(page->running());
    settle();
    LayoutRequests requests;
    page->installEventFilter(&requests);
    const QString before = page->statusText();
    for (int i = 0; i < 40; ++i) {
        tick();
        QCoreApplication::processEvents();
    }
    EXPECT_NE(page->statusText(), before);
    EXPECT_TRUE(page->statusText().startsWith("サンプル数：")) << page->statusText().toStdString();
    EXPECT_EQ(requests.count, 0);
    bar->startStop();
}

TEST_F(ScanPageFixture, WithoutTheSensorsBeamCountsThereIsNothingToStart) {
    connect("--sensors 40");  // connected, but nothing read yet
    pane->select(ItemKind::ScanMonitor);
    bar = pane->page<CMonitor>(nav::kViewMonitor);
    page = pane->page<CView004>(nav::kViewPage004);
    EXPECT_EQ(itemsOf(bar->channelCombo()), QStringList{"CH1"});
    EXPECT_EQ(page->chart()->rows().count(), 0);
    EXPECT_FALSE(bar->startButton()->isEnabled());

    // Once the counts are known, the next showing offers the sensor's beams.
    ASSERT_EQ(link->request(72, 1, 0, 3), kRequestOk);
    ASSERT_EQ(link->request(80), kRequestOk);
    pane->select(ItemKind::BasicInfo);
    pane->select(ItemKind::ScanMonitor);
    EXPECT_EQ(page->chart()->rows().count(), 40);
    EXPECT_TRUE(bar->startButton()->isEnabled());
}

TEST_F(ScanPageFixture, TheRealTimerSamplesWhileRunning) {
    open("--sensors 40", 115200);
    bar->startStop();
    pane->log.now = nullptr;  // the real clock for the real timer
    EXPECT_TRUE(waitUntil([&] { return page->chart()->history().samplesTaken() >= 10; }, 5000));
    bar->startStop();
    const int64_t taken = page->chart()->history().samplesTaken();
    settle(60);
    EXPECT_EQ(page->chart()->history().samplesTaken(), taken);  // nothing after the stop
}

// A pulled cable: the first sample that gets no answer stops sampling at once, the page
// shows it has stopped, and only then does the resumed polling's status check find the line
// gone and say so, as it does for the other pages.
TEST_F(ScanPageFixture, ALineThatFallsSilentStopsAtOnceBeforeTheStatusCheckSpeaks) {
    // The emulator answers the status check and a few samples, then nothing.
    open("--sensors 40 --instant-timeout on --hang-after 8", 115200);
    CView004 shortWait(pane->context, 20);
    CMonitor shortBar(state, *link, shortWait);
    shortWait.setChannel(0, 40, 60);
    QSignalSpy running(&shortWait, &CView004::runningChanged);
    size_t messagesAtStop = 99;
    QString buttonAtStop;
    QObject::connect(&shortWait, &CView004::runningChanged, [&](bool on) {
        if (!on) {
            messagesAtStop = host.messages().size();
            buttonAtStop = shortBar.startButton()->text();
        }
    });
    shortWait.start(25);
    ASSERT_TRUE(shortWait.running());
    EXPECT_EQ(shortBar.startButton()->text(), "STOP");
    int ticks = 0;
    int lastTaken = 0;
    while (shortWait.running() && ticks < 50) {
        tick();
        shortWait.tick();
        ++ticks;
        if (shortWait.chart()->history().samplesTaken() > 0 &&
            shortWait.chart()->history().samplesTaken() != lastTaken) {
            lastTaken = ticks;
        }
    }
    EXPECT_FALSE(shortWait.running());
    EXPECT_GT(shortWait.chart()->history().samplesTaken(), 0);
    EXPECT_EQ(ticks - lastTaken, 1);  // the first read without an answer stopped
    ASSERT_EQ(running.count(), 2);
    EXPECT_FALSE(running.at(1).at(0).toBool());
    EXPECT_EQ(buttonAtStop, "START");
    EXPECT_EQ(messagesAtStop, 0u);
    EXPECT_EQ(shortBar.startButton()->text(), "START");
    EXPECT_TRUE(shortBar.clearButton()->isEnabled());
    EXPECT_FALSE(state.continuousMonitoring());
    EXPECT_FALSE(shortWait.priorityRaised());
    // The status check found the line dead, as the worker reports a pulled cable, and the
    // program ends: sampling does not start again.
    EXPECT_FALSE(host.messages().empty());
    EXPECT_TRUE(link->programEnding());
}

// A reply lost on a line that still answers costs one sample: the status check finds the
// controller, and sampling goes on.
TEST_F(ScanPageFixture, OneLostReplyCostsOneSampleAndSamplingGoesOn) {
    open("--sensors 40 --instant-timeout on --drop 9", 115200);
    CView004 shortWait(pane->context, 20);
    CMonitor shortBar(state, *link, shortWait);
    shortWait.setChannel(0, 40, 60);
    QSignalSpy told(&state, &AppState::shownChannelChanged);
    shortWait.start(25);
    ASSERT_EQ(told.count(), 1);
    EXPECT_EQ(told.at(0).at(0).toInt(), 0);
    for (int i = 0; i < 40; ++i) {
        tick();
        shortWait.tick();
    }
    EXPECT_TRUE(shortWait.running());
    EXPECT_EQ(shortBar.startButton()->text(), "STOP");
    const int64_t taken = shortWait.chart()->history().samplesTaken();
    EXPECT_LT(taken, 40);
    EXPECT_GE(taken, 30);
    EXPECT_TRUE(host.messages().empty());
    EXPECT_FALSE(link->programEnding());
    EXPECT_TRUE(link->worker().pollingSuspended());
    shortWait.stop();
}

}  // namespace
}  // namespace qavix::test
