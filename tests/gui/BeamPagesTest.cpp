// The beam selection pages against the built-in emulator: which page the user's blanking
// display setting opens, picking on the chart and in the list, the bar's designation
// actions, and what a write leaves in the controller, read back from it.

#include <gtest/gtest.h>

#include <QFile>

#include "PageTestSupport.h"
#include "RequestLog.h"
#include "TempFolder.h"
#include "frame/PageTable.h"
#include "model/OverallJudgement.h"
#include "monitor/BeamCommandBars.h"
#include "monitor/CLegendDlg.h"
#include "monitor/CView007.h"
#include "monitor/CView017.h"
#include "monitor/ChartGeometry.h"
#include "monitor/DisplayColours.h"
#include "pages/CView009.h"
#include "pages/CView016.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

constexpr int kAllTogether = 4;  // what an opening page passes for all sensors

struct BeamPagesFixture : EmulatorPageFixture {
    // `scenario` holds lines of the emulator's current set ("127 = 01").
    void start(const std::string& sensors, int blanking = 0, const std::string& scenario = "") {
        state.extendedMode = true;
        state.user.blanking = blanking;
        connectRead("--sensors " + sensors + logOption() +
                        (scenario.empty() ? std::string() : scenarioOption(scenario)),
                    false);
        chartPage = pane->page<CView007>(nav::kViewPage007);
        listPage = pane->page<CView017>(nav::kViewPage017);
        chartBar = pane->page<CBrkCommand>(nav::kViewBrkCommand);
        listBar = pane->page<CBrkCmdList>(nav::kViewBrkCmdList);
    }
    // Opens a beam page the way the opening pages do, from CH1's sensor page: the table and
    // the sensor (1..3, or 4 for all) in the run state, then the page the blanking display
    // setting chooses, asked of the tree.
    void open(BeamFlagTable table, int channel) {
        pane->select(ItemKind::SensorOperation, kCurrentSet, 1);
        state.beamTable = table;
        state.blankingChannel = channel == kAllTogether ? kAllTogether : channel - 1;
        state.requestPage(state.user.blanking == 1 ? nav::kPageBeamDesignation
                                                   : nav::kPageBlanking);
        settle();
    }
    BeamCommandBar* bar() const {
        return state.user.blanking == 1 ? static_cast<BeamCommandBar*>(listBar) : chartBar;
    }
    BeamPage* page() const {
        return state.user.blanking == 1 ? static_cast<BeamPage*>(listPage) : chartPage;
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    std::vector<std::string> writeAndLog() {  // the beam bar's write button, not CCommandDlg's
        QFile::resize(QString::fromStdString(log), 0);
        click(bar()->writeButton());
        return loggedSettingRequests(log);
    }
    // The flag table of `table` as the controller holds it now, per connected sensor.
    std::vector<std::vector<bool>> controllerFlags(BeamFlagTable table) {
        SettingsData& set = model.working();
        std::vector<std::vector<bool>> out;
        for (const PageRead& r : beams::tableReads(set, table)) {
            const int s = r.arg1 - 1;
            beams::flagTable(set.channel(s), table).fill(0);
            EXPECT_EQ(link->request(r.code, r.arg1, r.start, r.count, r.timeoutMs), kRequestOk);
            std::vector<bool> flags;
            for (int b = 0; b < set.channel(s).beamCount; ++b) {
                flags.push_back(beams::flagTable(set.channel(s), table)[b] != 0);
            }
            out.push_back(flags);
        }
        return out;
    }
    std::vector<std::vector<bool>> pagePicks() const {
        std::vector<std::vector<bool>> out;
        for (int s = 0; s < model.working().general.jointNum; ++s) {
            std::vector<bool> flags;
            for (int b = 0; b < model.working().channel(s).beamCount; ++b) {
                flags.push_back(page()->picks().picked(beams::BeamRef{s, b}));
            }
            out.push_back(flags);
        }
        return out;
    }
    // A left (pick) or right (unpick) drag over chart bars `from` to `to` on screen.
    void dragBars(int from, int to, Qt::MouseButton button = Qt::LeftButton) {
        CChartWnd* chart = chartPage->chart();
        const auto xOf = [chart](int bar) {
            const chart::BarSpan s = chart::barSpan(chart->frame(), bar - chart->firstVisible());
            return (s.left + s.right) / 2;
        };
        const int y = chart->height() / 2;
        sendMouse(chart, QEvent::MouseButtonPress, {xOf(from), y}, button);
        sendMouse(chart, QEvent::MouseMove, {xOf(to), y}, button);
        sendMouse(chart, QEvent::MouseButtonRelease, {xOf(to), y}, button);
    }

    CView007* chartPage = nullptr;
    CView017* listPage = nullptr;
    CBrkCommand* chartBar = nullptr;
    CBrkCmdList* listBar = nullptr;
};

TEST_F(BeamPagesFixture, TheBlankingSettingChoosesChartOrListAndTheBarsFollowTheMode) {
    start("40,32", 0);
    open(BeamFlagTable::Designated, 1);
    EXPECT_EQ(pane->right->splitterView()->currentPage(), chartPage);
    EXPECT_EQ(pane->right->splitterView()->currentCommandBar(), chartBar);
    EXPECT_EQ(chartPage->table(), BeamFlagTable::Designated);
    EXPECT_EQ(chartPage->channel(), 0);
    EXPECT_EQ(chartBar->modeLabel1()->text(), "指定光軸");
    EXPECT_EQ(chartBar->modeLabel2()->text(), "　設定");
    EXPECT_EQ(chartBar->cancelButton()->text(), "閉じる");
    EXPECT_FALSE(chartBar->writeButton()->isEnabled());
    EXPECT_EQ(chartBar->channelCombo()->count(), 3);  // CH1, CH2, 全CH
    EXPECT_EQ(chartPage->chart()->mode(), CChartWnd::Mode::Designation);
    EXPECT_EQ(chartPage->chart()->itemCount(), 40);
    // The legend names the picks after the table.
    CLegendDlg* legend = chartPage->showLegend();
    EXPECT_EQ(legend->entryText(3), "指定光軸");
    legend->close();
    click(chartBar->cancelButton());
    settle();

    state.user.blanking = 1;
    open(BeamFlagTable::FixedBlanking, 2);
    EXPECT_EQ(pane->right->splitterView()->currentPage(), listPage);
    EXPECT_EQ(listPage->table(), BeamFlagTable::FixedBlanking);
    EXPECT_EQ(listBar->modeLabel1()->text(), "ブランキング");
    EXPECT_EQ(listBar->modeLabel2()->text(), "光軸設定");
    EXPECT_EQ(listPage->listModel()->rowCount(), 32);
    EXPECT_EQ(listPage->listModel()->index(4, 0).data().toString(), "5");
    EXPECT_EQ(listPage->listModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole), "設定");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(BeamPagesFixture, IncidentTwiceAddsNothingAndKeepsEarlierPicksThenWritesBothSensors) {
    start("64,80", 0);
    open(BeamFlagTable::Designated, kAllTogether);
    EXPECT_EQ(chartPage->channel(), beams::kAllSensors);
    EXPECT_EQ(chartPage->range().size(), 144);
    EXPECT_EQ(chartPage->chart()->itemCount(), 128);

    // A drag across the sensors' boundary picks beams of both.
    chartPage->setVisibleBars(10);
    chartPage->chart()->setFirstVisible(60);
    dragBars(62, 66);
    EXPECT_TRUE(chartPage->picks().picked(beams::BeamRef{0, 62}));
    EXPECT_TRUE(chartPage->picks().picked(beams::BeamRef{1, 2}));
    EXPECT_TRUE(chartBar->writeButton()->isEnabled());
    EXPECT_EQ(chartBar->cancelButton()->text(), "取消し");
    EXPECT_TRUE(state.editInProgress);
    EXPECT_TRUE(model.working().pageEdited[kEditedBlankingChart - 1]);

    click(chartBar->incidentButton());
    const std::vector<std::vector<bool>> once = pagePicks();
    const int pickedOnce = chartPage->picks().count(chartPage->range());
    EXPECT_GT(pickedOnce, 5);
    click(chartBar->incidentButton());
    EXPECT_EQ(pagePicks(), once);
    for (int b = 62; b <= 63; ++b) {
        EXPECT_TRUE(chartPage->picks().picked(beams::BeamRef{0, b}));
    }

    const std::vector<std::string> sent = writeAndLog();
    ASSERT_EQ(sent.size(), 4U);
    EXPECT_EQ(sent.front(), "SS");
    EXPECT_EQ(sent[1].rfind("PP 5/0:", 0), 0U) << sent[1];
    EXPECT_EQ(sent[2].rfind("PP 5/16:", 0), 0U) << sent[2];
    EXPECT_EQ(sent.back(), "ES");
    EXPECT_EQ(chartBar->cancelButton()->text(), "閉じる");
    EXPECT_FALSE(chartBar->writeButton()->isEnabled());
    EXPECT_FALSE(state.editInProgress);
    EXPECT_FALSE(model.working().pageEdited[kEditedBlankingChart - 1]);
    EXPECT_EQ(controllerFlags(BeamFlagTable::Designated), once);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(BeamPagesFixture, ClearWithAllSensorsClearsEverySensorInTheController) {
    start("40,32", 0);
    open(BeamFlagTable::FixedBlanking, kAllTogether);
    // The legend's blanked-beam box has the colour blanked beams have on the graph page.
    CLegendDlg* legend = chartPage->showLegend();
    EXPECT_EQ(legend->entryText(3), "ブランキング光軸");
    EXPECT_EQ(legend->boxColour(3), displayColour(state.user, kColorBlankBar));
    legend->close();
    dragBars(0, 5);
    dragBars(70, 71);
    writeAndLog();
    const auto written = controllerFlags(BeamFlagTable::FixedBlanking);
    ASSERT_EQ(written.size(), 2U);
    EXPECT_TRUE(written[0][0]);
    EXPECT_TRUE(written[1][31]);

    ASSERT_EQ(chartBar->channelCombo()->currentText(), "全CH");
    click(chartBar->clearButton());
    EXPECT_EQ(chartPage->picks().count(chartPage->range()), 0);
    writeAndLog();
    EXPECT_EQ(controllerFlags(BeamFlagTable::FixedBlanking),
              (std::vector<std::vector<bool>>{std::vector<bool>(40), std::vector<bool>(32)}));
}

TEST_F(BeamPagesFixture, CancelRevertsAndCloseReturnsToTheOpeningSensorPage) {
    start("40,32", 0);
    open(BeamFlagTable::Designated, 1);
    dragBars(0, 3);
    EXPECT_EQ(chartPage->picks().count(chartPage->range()), 4);
    // While picks wait, the tree keeps the page.
    pane->tree->tree()->setCurrentItem(pane->tree->findItem(ItemKind::Clock, kCurrentSet));
    settle();
    EXPECT_EQ(pane->right->splitterView()->currentPage(), chartPage);
    EXPECT_EQ(chartPage->picks().count(chartPage->range()), 4);

    click(chartBar->cancelButton());
    EXPECT_EQ(chartPage->picks().count(chartPage->range()), 0);
    EXPECT_FALSE(chartPage->chart()->designated(0));
    EXPECT_EQ(chartBar->cancelButton()->text(), "閉じる");
    EXPECT_FALSE(state.editInProgress);

    dragBars(1, 1);
    writeAndLog();
    ASSERT_EQ(chartBar->cancelButton()->text(), "閉じる");
    click(chartBar->cancelButton());
    settle();
    EXPECT_EQ(state.currentPage, nav::kPageSensorOperation);
    EXPECT_EQ(pane->right->splitterView()->currentPage()->className(), "CView016");
    EXPECT_EQ(pane->page<CView016>(nav::kViewPage016)->channel(), 1);
}

TEST_F(BeamPagesFixture, ListPicksBySpaceOverAShiftSelectionAndWritesThem) {
    start("40,32", 1);
    open(BeamFlagTable::FixedBlanking, 2);
    QTableView* list = listPage->list();
    list->setFocus();
    list->setCurrentIndex(listPage->listModel()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 3);
    QTest::keyClick(list, Qt::Key_Space);
    for (int b = 0; b < 6; ++b) {
        EXPECT_EQ(listPage->picks().picked(beams::BeamRef{1, b}), b >= 2 && b <= 4) << b;
    }
    EXPECT_EQ(listPage->listModel()->index(3, BeamListModel::kSetting).data(Qt::CheckStateRole),
              Qt::Checked);
    EXPECT_TRUE(model.working().pageEdited[kEditedBeamList - 1]);
    EXPECT_EQ(listBar->cancelButton()->text(), "取消し");

    // The current row is picked now, so Space unpicks the whole selection.
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(listPage->picks().count(listPage->range()), 0);
    QTest::keyClick(list, Qt::Key_Space);
    // A check box changes its own row alone.
    listPage->listModel()->setData(listPage->listModel()->index(31, BeamListModel::kSetting),
                                   Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(listPage->listText().startsWith("光軸番号,受光レベル,設定\n"));

    EXPECT_EQ(writeAndLog(), (std::vector<std::string>{"SS", "PP 18/16:1C000080", "ES"}));
    EXPECT_EQ(listBar->cancelButton()->text(), "閉じる");
    const auto flags = controllerFlags(BeamFlagTable::FixedBlanking);
    EXPECT_EQ(flags, pagePicks());
    EXPECT_TRUE(flags[1][31]);
    // The list bar leads back to a sensor's page.
    click(listBar->cancelButton());
    settle();
    EXPECT_EQ(state.currentPage, nav::kPageSensorOperation);
}

TEST_F(BeamPagesFixture, TheOverallPageOpensAllSensorsTogetherAndIsReturnedTo) {
    // Judged together, fixed blanking on for CH1.
    start("64,80", 1, "127 = 01\n128 = 010000\n");
    pane->select(ItemKind::OverallJudgement);
    auto* overall = pane->page<CView009>(nav::kViewPage009);
    choose(overall->arrangementBox(), kTogetherIndex);
    choose(overall->fixBox(0), 1);
    ASSERT_TRUE(overall->blankingButton(0)->isEnabled());
    click(overall->blankingButton(0));
    settle();
    ASSERT_EQ(pane->right->splitterView()->currentPage(), listPage);
    EXPECT_EQ(listPage->table(), BeamFlagTable::FixedBlanking);
    EXPECT_EQ(listPage->channel(), beams::kAllSensors);
    EXPECT_EQ(listPage->listModel()->rowCount(), 144);
    EXPECT_EQ(listPage->listModel()->index(64, 0).data().toString(), "CH2-1");
    click(listBar->cancelButton());
    settle();
    EXPECT_EQ(state.currentPage, nav::kPageOverallJudgement);
    EXPECT_EQ(pane->right->splitterView()->currentPage(), overall);
}

// Screen readers find every control of both bars and pages by its visible label.
TEST_F(BeamPagesFixture, EveryControlCarriesItsName) {
    start("40,32", 0);
    open(BeamFlagTable::Designated, 1);
    for (QWidget* root : std::initializer_list<QWidget*>{chartBar, listBar, chartPage, listPage}) {
        for (QWidget* w : root->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(w) != nullptr ||
                                 qobject_cast<QComboBox*>(w) != nullptr ||
                                 qobject_cast<QLineEdit*>(w) != nullptr ||
                                 qobject_cast<QAbstractItemView*>(w) != nullptr ||
                                 qobject_cast<CChartWnd*>(w) != nullptr;
            // The combo boxes' pop-up lists and the views' inner parts speak for their owner.
            if (!control || w->window() != root->window() ||
                qobject_cast<QAbstractItemView*>(w->parentWidget()) != nullptr) {
                continue;
            }
            EXPECT_FALSE(w->accessibleName().isEmpty())
                << root->objectName().toStdString() << " " << w->objectName().toStdString();
            EXPECT_NE(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(chartBar->incidentButton()->accessibleName(), "入光光軸");
    EXPECT_EQ(chartBar->cancelButton()->accessibleName(), "閉じる");
}

}  // namespace
}  // namespace qavix::test
