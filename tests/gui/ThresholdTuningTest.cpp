// Threshold tuning on the graph page against the built-in emulator: a dragged threshold
// written and read back, cancel, the batch dialog's preview and undo, its zero reset and
// teach, and beams without a zero point.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "PageTestSupport.h"
#include "comm/WriteJournal.h"
#include "frame/PageTable.h"
#include "journal/JournalReader.h"
#include "model/PageEditState.h"
#include "monitor/CBatchDlg.h"
#include "monitor/CThresholdTuning.h"
#include "monitor/CView002.h"
#include "monitor/ChartGeometry.h"

namespace qavix::test {
namespace {

using chart::ThresholdPair;
using nav::ItemKind;

// One request as the emulator logged it: id, start, count and the frame, whose header
// names the operation after the unit and sequence characters.
struct Logged {
    int id = 0;
    int start = 0;
    int count = 0;
    std::string payload;
    std::string op() const { return payload.size() >= 5 ? payload.substr(3, 2) : std::string(); }
};

struct TuningFixture : EmulatorPageFixture {
    // Opens the graph page, or with `sensorItem` 1..3 that sensor's graph (extended mode).
    void open(const std::string& sensors, int sensorItem = 0) {
        state.extendedMode = sensorItem != 0;
        // The tree grows its sensor items from what was read.
        connectRead("--sensors " + sensors + logOption(), false);
        page = pane->page<CView002>(nav::kViewPage002);
        if (sensorItem != 0) {
            pane->select(ItemKind::SensorGraph, 0, sensorItem);
        } else {
            pane->select(ItemKind::LevelGraph);
        }
        tuning = dynamic_cast<CThresholdTuning*>(findTuning());
        ASSERT_NE(tuning, nullptr);
    }
    QObject* findTuning() const { return page->findChild<CThresholdTuning*>(); }
    std::vector<Logged> requests() const {
        std::ifstream in(log);
        std::vector<Logged> out;
        for (std::string line; std::getline(in, line);) {
            std::istringstream s(line);
            Logged l;
            s >> l.id >> l.start >> l.count >> l.payload;
            out.push_back(l);
        }
        return out;
    }
    CChartWnd* chart() const { return page->chart(); }
    void mouse(QEvent::Type type, QPoint pos) { sendMouse(chart(), type, pos); }
    void drag(int bar, double fromValue, double toValue) {
        const chart::BarSpan s = chart::barSpan(chart()->frame(), bar - chart()->firstVisible());
        const int x = (s.left + s.right) / 2;
        mouse(QEvent::MouseButtonPress, {x, chart::valueToY(chart()->frame(), fromValue)});
        mouse(QEvent::MouseMove, {x, chart::valueToY(chart()->frame(), toValue)});
        mouse(QEvent::MouseButtonRelease, {x, chart::valueToY(chart()->frame(), toValue)});
    }
    // Runs the batch dialog with `act` once it is shown.
    void batch(const std::function<void(CBatchDlg&)>& act) {
        tuning->setBatchDriver(act);
        page->commandControls()->batchButton()->click();
        tuning->setBatchDriver({});
    }

    CView002* page = nullptr;
    CThresholdTuning* tuning = nullptr;
};

TEST_F(TuningFixture, DraggedThresholdIsWrittenAndHeldByTheController) {
    open("40");
    page->setDisplayMode(false);
    page->commandControls()->individualButton()->click();
    EXPECT_EQ(chart()->mode(), CChartWnd::Mode::Edit);
    EXPECT_TRUE(state.editInProgress);
    EXPECT_TRUE(pageEdited(model.working(), CView002::kPageEditedFlag));
    EXPECT_TRUE(state.treeMustStay());
    EXPECT_FALSE(page->commandControls()->updateButton()->isEnabled());
    // The tree keeps the page while the edit waits.
    pane->select(ItemKind::LevelList);
    EXPECT_EQ(state.currentPage, CView002::kPageIndex);
    auto* bar = pane->bar();
    auto* write = bar->findChild<QAbstractButton*>("button1044");
    auto* cancel = bar->findChild<QAbstractButton*>("button1024");
    ASSERT_NE(write, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_FALSE(write->isEnabled());
    EXPECT_TRUE(cancel->isEnabled());

    const ThresholdPair before = chart()->thresholds(0, 3);
    const size_t logged = requests().size();
    drag(3, before.on, before.on + 30);
    const ThresholdPair dragged = chart()->thresholds(0, 3);
    EXPECT_EQ(dragged.on, std::min(before.on + 30, 200));
    EXPECT_EQ(dragged.on - dragged.off, before.on - before.off);
    EXPECT_TRUE(chart()->marked(0, 3));
    EXPECT_TRUE(write->isEnabled());
    // Nothing goes out before "書込み".
    EXPECT_EQ(requests().size(), logged);

    write->click();
    settle();
    const int32_t sent = model.working().channel(0).thCnf != 0 ? dragged.on : dragged.off;
    EXPECT_EQ(controllerAxisTh(0, 3), sent);
    EXPECT_EQ(model.working().channel(0).absOnTh[3], dragged.on);
    EXPECT_EQ(chart()->mode(), CChartWnd::Mode::View);
    EXPECT_FALSE(chart()->marked(0, 3));
    EXPECT_FALSE(state.editInProgress);
    EXPECT_FALSE(state.commBusy());
    EXPECT_FALSE(pageEdited(model.working(), CView002::kPageEditedFlag));
    EXPECT_FALSE(write->isEnabled());
    EXPECT_TRUE(page->commandControls()->updateButton()->isEnabled());
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close", "write", "close"}));
}

TEST_F(TuningFixture, SensorGraphWritesTheChannelThresholds) {
    open("40,32", 2);
    ASSERT_TRUE(page->singleChannel());
    page->commandControls()->individualButton()->click();
    const ThresholdPair before = chart()->thresholds(1, 0);
    const int target = before.on < 80 ? before.on + 15 : before.on - 15;
    drag(4, before.on, target);
    const ThresholdPair dragged = chart()->thresholds(1, 0);
    ASSERT_EQ(dragged.on, target);
    // Every beam of the sensor moved with it.
    EXPECT_EQ(chart()->thresholds(1, 31), dragged);
    const size_t logged = requests().size();
    pane->bar()->findChild<QAbstractButton*>("button1044")->click();
    settle();
    std::vector<int> puts;
    const auto lines = requests();
    for (size_t i = logged; i < lines.size(); ++i) {
        if (lines[i].id == 6 || lines[i].id == 7 || lines[i].id == 24) {
            puts.push_back(lines[i].id);
        }
    }
    EXPECT_EQ(puts, (std::vector<int>{6, 7}));
    ASSERT_EQ(link->request(67, 2, 1, 1, 1500), kRequestOk);
    ASSERT_EQ(link->request(68, 2, 1, 1, 1500), kRequestOk);
    EXPECT_EQ(model.working().channel(1).onTh, dragged.on);
    EXPECT_EQ(model.working().channel(1).offTh, dragged.off);
    EXPECT_FALSE(state.editInProgress);
}

TEST_F(TuningFixture, CancelPutsTheWorkingSetsThresholdsBack) {
    open("40");
    page->commandControls()->individualButton()->click();
    const ThresholdPair before = chart()->thresholds(0, 5);
    drag(5, before.on, before.on + 20);
    ASSERT_FALSE(chart()->thresholds(0, 5) == before);
    const size_t logged = requests().size();
    pane->bar()->findChild<QAbstractButton*>("button1024")->click();
    EXPECT_EQ(chart()->thresholds(0, 5), before);
    EXPECT_EQ(chart()->mode(), CChartWnd::Mode::View);
    EXPECT_FALSE(state.editInProgress);
    EXPECT_FALSE(pageEdited(model.working(), CView002::kPageEditedFlag));
    EXPECT_EQ(requests().size(), logged);
}

TEST_F(TuningFixture, BatchPreviewFollowsTheSliderAndUndoes) {
    open("40");
    const ChannelRecord& ch = model.working().channel(0);
    const ThresholdPair original = chart()->thresholds(0, 2);
    batch([&](CBatchDlg& d) {
        EXPECT_EQ(d.windowTitle(), "しきい値設定グラフモード一括設定");
        EXPECT_EQ(d.onButton()->isChecked(), ch.thCnf != 0);
        EXPECT_FALSE(d.writeButton()->isEnabled());
        EXPECT_EQ(d.cancelButton()->text(), "閉じる");

        d.moveSlider(101);
        EXPECT_EQ(d.percent(), 110);
        EXPECT_EQ(d.percentEdit()->text(), "110%");
        EXPECT_TRUE(d.writeButton()->isEnabled());
        EXPECT_EQ(d.cancelButton()->text(), "取消し");
        EXPECT_EQ(chart()->thresholds(0, 2),
                  chart::ratioRule(original, ch.zero[2], ch.hys, 110, d.onReference()));

        d.typePercent("115");
        EXPECT_EQ(d.percent(), 115);
        EXPECT_EQ(d.slider()->value(), 101);
        d.typePercent("abc");
        EXPECT_EQ(d.percent(), 115);
        EXPECT_EQ(d.percentEdit()->text(), "115%");
        d.typePercent("5000%");
        EXPECT_EQ(d.percent(), 1000);
        EXPECT_EQ(d.slider()->value(), 190);

        // Undo: the chart and the dialog are as they opened, and it stays open.
        d.cancelOrClose();
        EXPECT_EQ(chart()->thresholds(0, 2), original);
        EXPECT_EQ(d.cancelButton()->text(), "閉じる");
        EXPECT_FALSE(d.writeButton()->isEnabled());
        EXPECT_TRUE(d.isVisible());
        d.cancelOrClose();
    });
    EXPECT_FALSE(tuning->batchOpen());
    EXPECT_EQ(chart()->thresholds(0, 2), original);
    EXPECT_FALSE(state.commBusy());
}

TEST_F(TuningFixture, SwitchingTheReferenceShowsTheOtherThresholdsPercentage) {
    open("40");
    batch([&](CBatchDlg& d) {
        const bool on = d.onReference();
        d.moveSlider(60);
        const int other = on ? d.resultingOff() : d.resultingOn();
        d.chooseReference(!on);
        EXPECT_EQ(d.onReference(), !on);
        EXPECT_EQ(d.percent(), other);
        // Choosing the active reference again changes nothing.
        d.chooseReference(!on);
        EXPECT_EQ(d.percent(), other);
        d.reject();
    });
}

TEST_F(TuningFixture, ZeroResetOfAllSensorsGoesCh1First) {
    open("40,32");
    page->selectChannel(3);
    const size_t before = requests().size();
    batch([](CBatchDlg& d) { d.zeroResetButton()->click(); });
    std::vector<int> zeroResets;
    const auto lines = requests();
    for (size_t i = before; i < lines.size(); ++i) {
        if (lines[i].op() == "ZR") {
            zeroResets.push_back(lines[i].start);
        }
    }
    EXPECT_EQ(zeroResets, (std::vector<int>{1, 2}));
    EXPECT_FALSE(tuning->batchOpen());
    EXPECT_FALSE(state.commBusy());
}

// Each way of tuning leaves its own pair of records in the change journal: a drag as the
// page's write with the threshold it moved, a zero reset and the batch setting as what they
// are, with what the controller set itself. The batch setting teaches the chosen reference
// alone, and the page shows what the controller taught.
TEST_F(TuningFixture, EveryWayOfTuningIsJournaledAsItsOwnOperation) {
    open("40");
    WriteJournal journal(dir.file("journal"), writeSource("qavix", "test"));
    link->setJournal(&journal);
    page->setDisplayMode(false);
    page->commandControls()->individualButton()->click();
    const ThresholdPair before = chart()->thresholds(0, 3);
    drag(3, before.on, before.on - 20);
    pane->bar()->findChild<QAbstractButton*>("button1044")->click();
    settle();
    // The batch dialog works on the ratio display.
    page->setDisplayMode(true);
    batch([](CBatchDlg& d) { d.zeroResetButton()->click(); });
    const size_t beforeTeach = requests().size();
    batch([](CBatchDlg& d) {
        d.chooseReference(true);
        d.typePercent("70");
        d.writeButton()->click();
    });
    link->setJournal(nullptr);
    const auto lines = requests();
    std::vector<std::pair<int, int>> taught;  // reference, sensor
    for (size_t i = beforeTeach; i < lines.size(); ++i) {
        if (lines[i].op() == "TR") {
            taught.emplace_back(lines[i].start, lines[i].count);
        }
        EXPECT_NE(lines[i].op(), "ZR");
    }
    EXPECT_EQ(taught, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(chart()->thresholds(0, 0).on, model.working().channel(0).ratioOnTh[0]);

    const journal::JournalListing listing = journal::readJournal(journal.folder());
    ASSERT_EQ(listing.entries.size(), 3u);
    std::vector<journal::Operation> operations;
    for (const journal::JournalEntry& e : listing.entries) {
        EXPECT_EQ(e.status(), "ok") << journal::operationName(e.first().operation);
        operations.push_back(e.first().operation);
    }
    EXPECT_EQ(operations, (std::vector<journal::Operation>{journal::Operation::PageWrite,
                                                           journal::Operation::ZeroReset,
                                                           journal::Operation::BatchThreshold}));
    // The dragged beam's threshold is in the first line of sensor 1's table.
    const std::vector<bankfile::FieldChange>& dragged = listing.entries[0].changes();
    ASSERT_EQ(dragged.size(), 1u);
    EXPECT_EQ(dragged[0].name, "CONTROLLER.AXIS_TH1_1");
    // The batch setting's thresholds are the controller's to compute: the record names what
    // it read back.
    EXPECT_FALSE(listing.entries[2].changes().empty());
}

TEST_F(TuningFixture, BeamsWithoutZeroPointKeepTheirThresholdsAndAreNamedOnce) {
    open("40");
    ChannelRecord& ch = model.working().channel(0);
    ch.zero[1] = 0;
    ch.zero[7] = 0;
    const ThresholdPair kept = chart()->thresholds(0, 1);
    batch([&](CBatchDlg& d) {
        d.moveSlider(50);
        d.moveSlider(80);
        EXPECT_EQ(chart()->thresholds(0, 1), kept);
        EXPECT_FALSE(chart()->thresholds(0, 2) == kept);
        d.reject();
    });
    int named = 0;
    for (const std::string& m : host.messages()) {
        named += m.find("CH1-2, CH1-8") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(named, 1);
}

}  // namespace
}  // namespace qavix::test
