// The received-light graph page against the built-in emulator: the first showing, channel
// choices, display modes, continuous update timed from the emulator's request log, the
// single-channel mode of a sensor item, and the CSV and PNG files.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <fstream>
#include <sstream>

#include "AccessibleNames.h"
#include "PageTestSupport.h"
#include "TempFolder.h"
#include "files/FileIo.h"
#include "frame/PageTable.h"
#include "monitor/CView002.h"
#include "monitor/DisplayColours.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// Lets the page's own events run during a request, as the program's wait does, and can act
// once in the middle of the n-th wait from now.
class PumpingHost : public RecordingHost {
  public:
    void pumpEvents(bool) override {
        QCoreApplication::processEvents();
        if (m_actAfter > 0 && --m_actAfter == 0 && m_action) {
            m_action();
        }
    }
    void actDuringWait(int pumps, std::function<void()> action) {
        m_actAfter = pumps;
        m_action = std::move(action);
    }

  private:
    int m_actAfter = 0;
    std::function<void()> m_action;
};

class RecordingTuning : public GraphTuning {
  public:
    void individualSetting() override { ++individual; }
    void batchSetting() override { ++batch; }
    bool writeThresholds() override { return true; }
    void editsCancelled() override { ++cancelled; }
    int individual = 0;
    int batch = 0;
    int cancelled = 0;
};

constexpr int kStatusCheck = 48;

struct LogLine {
    long long ms = 0;
    int code = 0;
};

struct GraphPageFixture : EmulatorPageFixtureWith<PumpingHost> {
    void connect(const std::string& options, bool extended = false) {
        state.extendedMode = extended;
        connectRead(options + logOption() + " --log-times on", false);
        page = pane->page<CView002>(nav::kViewPage002);
        ASSERT_NE(page, nullptr);
    }
    std::vector<LogLine> logLines() const {
        std::ifstream in(log);
        std::vector<LogLine> out;
        for (std::string line; std::getline(in, line);) {
            std::istringstream s(line);
            LogLine l;
            s >> l.ms >> l.code;
            // The worker's status check before each request is not the page's doing.
            if (l.code != kStatusCheck) {
                out.push_back(l);
            }
        }
        return out;
    }
    std::vector<LogLine> logOf(int code) const {
        std::vector<LogLine> out;
        for (const LogLine& l : logLines()) {
            if (l.code == code) {
                out.push_back(l);
            }
        }
        return out;
    }
    CGraphCommandBar* controls() const { return page->commandControls(); }

    CView002* page = nullptr;
};

TEST_F(GraphPageFixture, FirstShowingLoadsEverythingAndShowsCh1InPercent) {
    connect("--sensors 40,32");
    const size_t before = logLines().size();
    pane->select(ItemKind::LevelGraph);
    EXPECT_TRUE(page->loadedOnce());
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_EQ(page->channel(), 0);
    EXPECT_TRUE(page->ratioDisplay());
    EXPECT_TRUE(page->chart()->percentAxis());
    EXPECT_EQ(page->chart()->itemCount(), 40);
    EXPECT_EQ(page->chart()->visibleBars(), 40);
    EXPECT_EQ(page->chart()->mode(), CChartWnd::Mode::View);
    EXPECT_FALSE(state.commBusy());
    // The full load read both sensors' thresholds but only CH1's levels.
    std::vector<int> load;
    const auto lines = logLines();
    for (size_t i = before; i < lines.size(); ++i) {
        load.push_back(lines[i].code);
    }
    EXPECT_EQ(load, (std::vector<int>{90, 93, 91, 94, 103, 102, 97, 90, 93, 91, 94, 103, 102, 97,
                                      128, 104, 105, 89}));
    // Bars carry the working set's percent levels and thresholds.
    const ChannelRecord& ch = model.working().channel(0);
    EXPECT_EQ(page->chart()->value(7), ch.ratioLevel[7]);
    EXPECT_EQ(page->chart()->thresholds(0, 7).on, ch.ratioOnTh[7]);
    EXPECT_EQ(itemsOf(controls()->visibleCombo()), (QStringList{"40", "30", "20", "10"}));
    // The program installs threshold tuning; without it its buttons stay off.
    EXPECT_TRUE(controls()->updateButton()->isEnabled());
    EXPECT_TRUE(controls()->individualButton()->isEnabled());
    EXPECT_TRUE(controls()->batchButton()->isEnabled());
    page->setTuning(nullptr);
    EXPECT_FALSE(controls()->individualButton()->isEnabled());
    EXPECT_FALSE(controls()->batchButton()->isEnabled());
    // A screen reader hears "表示CH", not "CH1"; "表示光軸数", not "40".
    EXPECT_EQ(dropDownsNotCalledByTheirLabel(pane->right.get()), std::vector<std::string>{});
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(controls()->visibleCombo())->text(QAccessible::Value),
        "40");
}

// An import or bank copy replacing stored data may bring the page up again meanwhile: it
// then reads nothing and takes the flag down, and the next showing loads as usual.
TEST_F(GraphPageFixture, ShownWhileStoredDataIsReplacedItReadsNothing) {
    connect("--sensors 40");
    state.dataReplaced = true;
    const size_t before = logLines().size();
    pane->select(ItemKind::LevelGraph);
    EXPECT_EQ(logLines().size(), before);
    EXPECT_FALSE(state.dataReplaced);
    EXPECT_FALSE(page->loadedOnce());
    EXPECT_TRUE(pane->log.waits.empty());
    pane->select(ItemKind::ErrorLog);
    pane->select(ItemKind::LevelGraph);
    EXPECT_TRUE(page->loadedOnce());
    EXPECT_GT(logOf(89).size(), 0u);
}

TEST_F(GraphPageFixture, AllChannelsShowAtMost128BarsAcrossTheSensors) {
    connect("--sensors 64,100");
    pane->select(ItemKind::LevelGraph);
    QSignalSpy told(&state, &AppState::shownChannelChanged);
    page->selectChannel(3);
    // The information bar learns which sensors are read.
    ASSERT_EQ(told.count(), 1);
    EXPECT_EQ(told.at(0).at(0).toInt(), levels::kAllChannels);
    EXPECT_EQ(page->channel(), levels::kAllChannels);
    EXPECT_EQ(page->beamTotal(), 128);
    EXPECT_EQ(page->chart()->itemCount(), 128);
    EXPECT_EQ(controls()->visibleCombo()->count(), 13);
    EXPECT_EQ(controls()->visibleCombo()->itemText(0), "128");
    EXPECT_EQ(page->chart()->beamLabel(64), "CH2-1");
    const ChannelRecord& ch2 = model.working().channel(1);
    EXPECT_EQ(page->chart()->value(64), ch2.ratioLevel[0]);
    EXPECT_EQ(page->chart()->value(127), ch2.ratioLevel[63]);
    // "更新" read the levels of both sensors.
    const auto levels = logLines();
    EXPECT_EQ(levels.back().code, 89);
    EXPECT_EQ(levels[levels.size() - 2].code, 89);

    // Choosing a visible-bar count re-divides the chart.
    page->setVisibleBars(20);
    EXPECT_EQ(page->chart()->visibleBars(), 20);
    EXPECT_EQ(state.viewAxis, 20);
}

TEST_F(GraphPageFixture, LevelAtTheOnThresholdIsUnstable) {
    connect("--sensors 40");
    pane->select(ItemKind::LevelGraph);
    ChannelRecord& ch = model.working().channel(0);
    ch.ratioOnTh[3] = 60;
    ch.ratioOffTh[3] = 40;
    ch.ratioLevel[3] = 60;
    ch.ratioLevel[4] = 61;
    ch.ratioOnTh[4] = 60;
    ch.ratioLevel[5] = 39;
    ch.ratioOffTh[5] = 40;
    page->fillChart();
    EXPECT_EQ(page->chart()->colour(3), displayColour(state.user, kColorFuantei));
    EXPECT_EQ(page->chart()->colour(4), displayColour(state.user, kColorNyukou));
    EXPECT_EQ(page->chart()->colour(5), displayColour(state.user, kColorSyakou));
}

TEST_F(GraphPageFixture, AbsoluteDisplayHidesTheScaleAndTheBatchButton) {
    connect("--sensors 40");
    RecordingTuning tuning;
    page->setTuning(&tuning);
    pane->select(ItemKind::LevelGraph);
    page->setScaleIndex(5);
    EXPECT_EQ(page->chart()->scaleStep(), 6);
    EXPECT_TRUE(controls()->batchButton()->isEnabled());
    EXPECT_TRUE(controls()->scaleCombo()->isVisible());

    controls()->absoluteButton()->click();
    EXPECT_FALSE(page->ratioDisplay());
    EXPECT_FALSE(page->chart()->percentAxis());
    EXPECT_FALSE(controls()->scaleCombo()->isVisible());
    EXPECT_FALSE(controls()->batchButton()->isEnabled());
    EXPECT_TRUE(controls()->individualButton()->isEnabled());
    EXPECT_EQ(logLines().back().code, 93);  // levels, then absolute ON and OFF thresholds
    const ChannelRecord& ch = model.working().channel(0);
    EXPECT_EQ(page->chart()->value(2), std::min(ch.absLevel[2], 200));
    EXPECT_EQ(page->chart()->thresholds(0, 2).off, ch.absOffTh[2]);

    controls()->ratioButton()->click();
    EXPECT_TRUE(controls()->scaleCombo()->isVisible());
    EXPECT_EQ(controls()->scaleCombo()->currentIndex(), 5);
    EXPECT_EQ(page->chart()->scaleStep(), 6);
    EXPECT_TRUE(controls()->batchButton()->isEnabled());
    controls()->batchButton()->click();
    controls()->sensitivityButton()->click();
    EXPECT_EQ(tuning.batch, 1);
    EXPECT_EQ(tuning.individual, 1);
}

TEST_F(GraphPageFixture, ContinuousUpdateWaitsTheIntervalAfterEachReadAndStopsCleanly) {
    // At 9600 baud a reading of 40 percent levels takes about 200 ms on the line.
    connect("--sensors 40 --line-rate 9600");
    pane->log.interval = 100;
    pane->select(ItemKind::LevelGraph);
    const size_t before = logLines().size();
    QSignalSpy told(&state, &AppState::shownChannelChanged);
    controls()->continuousButton()->click();
    EXPECT_TRUE(page->running());
    EXPECT_TRUE(state.continuousMonitoring());
    EXPECT_TRUE(state.commBusy());
    EXPECT_EQ(controls()->continuousButton()->text(), "停止");
    EXPECT_FALSE(controls()->updateButton()->isEnabled());
    EXPECT_FALSE(controls()->saveButton()->isEnabled());
    EXPECT_EQ(pane->log.commandsAllowed, std::vector<bool>{false});
    ASSERT_TRUE(waitUntil([&] { return logOf(89).size() >= 6; }, 8000));

    // Stop in the middle of a read: that read finishes, no other starts.
    host.actDuringWait(3, [&] { controls()->continuousButton()->click(); });
    ASSERT_TRUE(waitUntil([&] { return !page->running(); }, 3000));
    const size_t readsAtStop = logOf(89).size();
    settle(400);
    EXPECT_EQ(logOf(89).size(), readsAtStop);
    EXPECT_FALSE(state.continuousMonitoring());
    EXPECT_FALSE(state.commBusy());
    EXPECT_EQ(controls()->continuousButton()->text(), "連続更新");
    EXPECT_TRUE(controls()->saveButton()->isEnabled());
    EXPECT_EQ(pane->log.commandsAllowed, (std::vector<bool>{false, true}));

    // Only levels were read while running, one reading each interval after the last ended.
    const auto lines = logLines();
    std::vector<long long> starts;
    std::vector<int> others;
    for (size_t i = before; i < lines.size(); ++i) {
        if (lines[i].code == 89) {
            starts.push_back(lines[i].ms);
        } else {
            others.push_back(lines[i].code);
        }
    }
    // Blanking and thresholds once at the start, never again while running.
    EXPECT_EQ(others, (std::vector<int>{97, 128, 91, 94}));
    // The information bar is told the sensor at the start and with every reading.
    ASSERT_GE(told.count(), static_cast<int>(starts.size()));
    EXPECT_EQ(told.at(0).at(0).toInt(), 0);
    ASSERT_GE(starts.size(), 6u);
    for (size_t i = 1; i < starts.size(); ++i) {
        EXPECT_GE(starts[i] - starts[i - 1], 100 + 150) << "reading " << i;
    }
}

TEST_F(GraphPageFixture, LeavingThePageEndsContinuousUpdateAndItsFlags) {
    connect("--sensors 40");
    pane->log.interval = 20;
    pane->select(ItemKind::LevelGraph);
    controls()->continuousButton()->click();
    ASSERT_TRUE(waitUntil([&] { return logOf(89).size() >= 3; }, 5000));
    // The tree refuses to leave while the update runs; the window closing hides the page.
    page->hide();
    EXPECT_FALSE(page->running());
    EXPECT_FALSE(state.continuousMonitoring());
    EXPECT_FALSE(state.commBusy());
    const size_t reads = logOf(89).size();
    settle(200);
    EXPECT_EQ(logOf(89).size(), reads);
    EXPECT_EQ(controls()->continuousButton()->text(), "連続更新");
}

TEST_F(GraphPageFixture, LegendButtonOpensOneLegendWindow) {
    connect("--sensors 40");
    pane->select(ItemKind::LevelGraph);
    auto legends = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            n += qobject_cast<CLegendDlg*>(w) != nullptr && w->isVisible() ? 1 : 0;
        }
        return n;
    };
    controls()->legendButton()->click();
    controls()->legendButton()->click();
    EXPECT_EQ(legends(), 1);
}

TEST_F(GraphPageFixture, SensorItemShowsThatSensorWithItsChannelThresholds) {
    connect("--sensors 40,32", true);
    pane->select(ItemKind::SensorGraph, 0, 2);
    EXPECT_TRUE(page->singleChannel());
    EXPECT_EQ(page->channel(), 1);
    EXPECT_EQ(page->chart()->itemCount(), 32);
    EXPECT_TRUE(page->chart()->wholeSensor());
    EXPECT_FALSE(page->ratioDisplay());
    EXPECT_FALSE(page->chart()->percentAxis());
    EXPECT_FALSE(controls()->channelCombo()->isEnabled());
    const ChannelRecord& ch = model.working().channel(1);
    for (int b : {0, 31}) {
        EXPECT_EQ(page->chart()->thresholds(1, b), (chart::ThresholdPair{ch.onTh, ch.offTh}));
    }
    ASSERT_FALSE(logOf(67).empty());
    // Opened again from the graph item, the page is an all-sensor page again.
    pane->select(ItemKind::LevelGraph);
    EXPECT_FALSE(page->singleChannel());
    EXPECT_TRUE(controls()->channelCombo()->isEnabled());
}

TEST_F(GraphPageFixture, CsvHoldsEveryBeamInAbsoluteValuesAndReplacesOnlyAfterTheQuestion) {
    connect("--sensors 40");
    pane->select(ItemKind::LevelGraph);
    const QString path = filePathOf(dir, "levels.csv");
    page->setSavePathAsker([&](const SaveFileRequest& q) {
        EXPECT_EQ(q.title, "名前を付けて保存");
        EXPECT_TRUE(q.defaultName.startsWith("Th"));
        EXPECT_TRUE(q.defaultName.endsWith(".csv"));
        // The same filters as every level file, the list's and the error log's.
        EXPECT_EQ(q.filters, csvFileFilters());
        return path;
    });
    const size_t readsBefore = logLines().size();
    ASSERT_TRUE(page->saveCsv());
    // Fresh absolute values were read first.
    const auto lines = logLines();
    ASSERT_EQ(lines.size(), readsBefore + 3);
    EXPECT_EQ(lines[readsBefore].code, 88);

    std::string bytes = fileio::readFile(path.toStdString()).bytes;
    const QStringList rows = QString::fromStdString(bytes).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 41);
    EXPECT_TRUE(rows[40].startsWith("40,"));
    EXPECT_TRUE(rows[40].endsWith(","));
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const ChannelRecord& ch = model.working().channel(0);
    EXPECT_EQ(rows[1].toStdString(), "1," + std::to_string(std::min(ch.absLevel[0], 200)) + "," +
                                         std::to_string(ch.absOnTh[0]) + "," +
                                         std::to_string(ch.absOffTh[0]) + ",");

    // Saving again to the same name: Cancel keeps the old file, OK replaces it.
    QFile::remove(path);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    {
        ModalAnswerer cancel(false);
        EXPECT_FALSE(page->saveCsv());
        ASSERT_EQ(cancel.texts().size(), 1u);
    }
    EXPECT_EQ(fileio::readFile(path.toStdString()).bytes, "old");
    {
        ModalAnswerer ok(true);
        EXPECT_TRUE(page->saveCsv());
    }
    bytes = fileio::readFile(path.toStdString()).bytes;
    EXPECT_EQ(QString::fromStdString(bytes).split("\r\n", Qt::SkipEmptyParts).size(), 41);

    // A folder that does not exist gives the question sound, the file message and no file.
    const int beeps = host.beeps();
    EXPECT_FALSE(page->saveCsv(filePathOf(dir, "none/levels.csv")));
    EXPECT_EQ(host.messages().back(), "ファイル,オープンできません");
    EXPECT_EQ(host.beeps(), beeps + 1);
}

TEST_F(GraphPageFixture, ImageIsTheChartAsShown) {
    connect("--sensors 40");
    pane->select(ItemKind::LevelGraph);
    const QString path = filePathOf(dir, "chart.png");
    ASSERT_TRUE(page->saveImage(path));
    QImage image(path);
    ASSERT_FALSE(image.isNull());
    const qreal dpr = page->devicePixelRatioF();
    EXPECT_EQ(image.width(), qRound(page->chart()->width() * dpr));
    EXPECT_EQ(image.height(), qRound(page->chart()->frame().height * dpr));
    EXPECT_EQ(image.pixelColor(image.width() - 5, 2), kChartBackground);
}

}  // namespace
}  // namespace qavix::test
