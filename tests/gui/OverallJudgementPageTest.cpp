// The overall ON/OFF judgement page against the built-in emulator: its first read and
// layout, the checks while typing, on an arrangement change and on write, and what the
// controller holds after a write.

#include <gtest/gtest.h>

#include "MeasurementPageSupport.h"
#include "pages/CView009.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// Two sensors of 40 and 32 beams, judged separately; fixed blanking on for CH2 only.
const char* const kSeparate = "127 = 02\n128 = 000100\n129 = 000A000B000C\n130 = 000500060007\n";
const char* const kTogether = "127 = 01\n128 = 000000\n129 = 0014000B000C\n130 = 001E00060007\n";

struct OverallPageFixture : MeasurementPageFixture {
    void show(const char* scenario) {
        start(scenario);
        page = pane->page<CView009>(nav::kViewPage009);
        pane->select(ItemKind::OverallJudgement);
    }

    CView009* page = nullptr;
};

TEST_F(OverallPageFixture, FirstShowingReadsAndLaysOutOneRowPerSensor) {
    show(kSeparate);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_EQ(page->arrangementBox()->currentText(), "センサ個別処理");
    EXPECT_EQ(page->rowBox(0)->title(), "CH1");
    EXPECT_TRUE(page->rowBox(1)->isVisible());
    EXPECT_FALSE(page->rowBox(2)->isVisible());
    EXPECT_EQ(page->blockedBox(0)->text(), "5");
    EXPECT_EQ(page->blockedBox(1)->text(), "6");
    EXPECT_EQ(page->incidentBox(1)->text(), "11");
    EXPECT_FALSE(page->blankingButton(0)->isEnabled());
    EXPECT_TRUE(page->blankingButton(1)->isEnabled());
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(state.commBusy());
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(OverallPageFixture, TogetherTheFirstRowTakesAllBeams) {
    show(kTogether);
    EXPECT_EQ(page->rowBox(0)->title(), "総合");
    EXPECT_FALSE(page->rowBox(1)->isVisible());
    EXPECT_EQ(page->blockedBox(0)->text(), "30");

    typeOver(page->blockedBox(0), "72");
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(page->blockedBox(0)->palette().color(QPalette::Base), kChangedFieldColour);
    EXPECT_TRUE(writeOn());

    typeOver(page->blockedBox(0), "73");
    EXPECT_EQ(host.messages(), std::vector<std::string>{"総合遮光光軸数の値が大きすぎます"});
    EXPECT_EQ(page->blockedBox(0)->palette().color(QPalette::Base), kInvalidFieldColour);
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());

    // The stored value typed back makes the page clean again.
    typeOver(page->blockedBox(0), "30");
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(OverallPageFixture, ArrangementChangeIsCheckedAndUndoneWhenRowsDoNotFit) {
    show(kTogether);
    typeOver(page->blockedBox(0), "72");
    // Separately the first row would hold at most 40, but the change is checked against the
    // total it had; the stored counts then come back into the boxes.
    choose(page->arrangementBox(), kSeparateIndex);
    EXPECT_EQ(page->arrangementBox()->currentIndex(), kSeparateIndex);
    EXPECT_EQ(page->rowBox(0)->title(), "CH1");
    EXPECT_TRUE(page->rowBox(1)->isVisible());
    EXPECT_EQ(page->blockedBox(0)->text(), "30");
    EXPECT_TRUE(writeOn());

    typeOver(page->blockedBox(0), "41");
    EXPECT_EQ(host.messages().back(), "CH1遮光光軸数の値が大きすぎます");
    typeOver(page->incidentBox(1), "0");
    EXPECT_EQ(host.messages().back(),
              "CH2入光光軸数の値が小さすぎます。\n1 以上の値を入力してください");
    // Back to together: CH1 fits the total now, but CH2's row is checked no more.
    choose(page->arrangementBox(), kTogetherIndex);
    EXPECT_EQ(page->arrangementBox()->currentIndex(), kTogetherIndex);

    typeOver(page->blockedBox(0), "x");
    const size_t before = host.messages().size();
    choose(page->arrangementBox(), kSeparateIndex);
    // The message names the row as the arrangement being tried would.
    EXPECT_EQ(host.messages().size(), before + 1);
    EXPECT_EQ(host.messages().back(), "CH1遮光光軸数の値が無効です");
    EXPECT_EQ(page->arrangementBox()->currentIndex(), kTogetherIndex);
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());
}

TEST_F(OverallPageFixture, WrittenCountsAndSwitchesAreWhatTheControllerHolds) {
    show(kSeparate);
    typeOver(page->blockedBox(1), "20");
    typeOver(page->incidentBox(0), "40");
    choose(page->fixBox(0), 1);
    EXPECT_TRUE(page->blankingButton(0)->isEnabled());
    ASSERT_TRUE(writeOn());
    clickWrite();
    EXPECT_EQ(pane->log.waits.back(), "close");
    EXPECT_TRUE(host.messages().empty());
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(model.working().anyPageEdited());

    GeneralBlock held = controllerHolds(overallJudgementReads());
    EXPECT_EQ(held.allOnOffCnf, kArrangementSeparate);
    EXPECT_EQ(held.allOff, (std::array<int32_t, 3>{5, 20, 7}));
    EXPECT_EQ(held.allOn, (std::array<int32_t, 3>{40, 11, 12}));
    EXPECT_EQ(held.fixCnf, (std::array<int32_t, 3>{1, 1, 0}));

    // Together, the first row's switch goes to every sensor.
    choose(page->arrangementBox(), kTogetherIndex);
    choose(page->fixBox(0), 0);
    EXPECT_FALSE(page->blankingButton(0)->isEnabled());
    clickWrite();
    held = controllerHolds(overallJudgementReads());
    EXPECT_EQ(held.allOnOffCnf, kArrangementTogether);
    EXPECT_EQ(held.fixCnf, (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(held.allOff, (std::array<int32_t, 3>{5, 20, 7}));  // hidden rows kept
    EXPECT_EQ(page->fixBox(1)->currentIndex(), 0);
    EXPECT_FALSE(writeOn());
}

// This page's start setting waits 500 ms, as its reads do; every other page's 1500 ms.
TEST_F(OverallPageFixture, OnlyThisPagesStartSettingCarriesTheShortTimeout) {
    show(kSeparate);
    int settingPages = 0;
    for (int view = nav::kViewPage001; view <= nav::kViewPage017; ++view) {
        auto* setting = dynamic_cast<SettingPage*>(pane->right->splitterView()->view(view));
        if (setting == nullptr) {
            continue;
        }
        ++settingPages;
        SCOPED_TRACE(setting->objectName().toStdString());
        EXPECT_EQ(setting->startSettingTimeoutMs(),
                  setting->pageIndex() == nav::kPageOverallJudgement ? 500 : 1500);
    }
    EXPECT_GE(settingPages, 7);
    for (const PageRead& r : overallJudgementReads()) {
        EXPECT_EQ(r.timeoutMs, 500);
    }
}

TEST_F(OverallPageFixture, InvalidCountIsRefusedOnWriteAndNothingIsSent) {
    show(kSeparate);
    typeOver(page->blockedBox(0), "12");
    page->incidentBox(1)->setText("33");  // as a paste that bypassed the typing check would
    EXPECT_FALSE(page->writePage());
    EXPECT_EQ(host.messages(), std::vector<std::string>{"CH2入光光軸数の値が大きすぎます"});
    EXPECT_EQ(QApplication::focusWidget(), page->incidentBox(1));
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(cancelOn());
    EXPECT_EQ(controllerHolds(overallJudgementReads()).allOff[0], 5);

    clickCancel();
    EXPECT_EQ(page->blockedBox(0)->text(), "5");
    EXPECT_EQ(page->incidentBox(1)->text(), "11");
    EXPECT_EQ(page->editState().field(0), FieldState::Unchanged);
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(OverallPageFixture, BlankingButtonsOpenTheChosenBlankingPage) {
    show(kSeparate);
    QTest::mouseClick(page->blankingButton(1), Qt::LeftButton);
    EXPECT_EQ(state.currentPage, nav::kPageBlanking);
    EXPECT_EQ(state.blankingChannel, 1);
    EXPECT_EQ(pane->right->currentPageIndex(), nav::kPageBlanking);

    pane->select(ItemKind::OverallJudgement);
    state.user.blanking = 1;
    choose(page->arrangementBox(), kTogetherIndex);
    choose(page->fixBox(0), 1);
    QTest::mouseClick(page->blankingButton(0), Qt::LeftButton);
    EXPECT_EQ(pane->right->currentPageIndex(), nav::kPageBeamDesignation);
    EXPECT_EQ(state.blankingChannel, 4);
}

}  // namespace
}  // namespace qavix::test
