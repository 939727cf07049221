// The group judgement page against the built-in emulator: the groups read from the
// controller, the choices of each end, the combined refusal of faulty ranges and what the
// controller holds after a write.

#include <gtest/gtest.h>

#include "MeasurementPageSupport.h"
#include "pages/CView011.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

// Group judgement on; group 1 from CH1 beam 1 to CH2 beam 32, group 2 within CH1 (5..10),
// the other groups CH1 beam 1 at both ends. Upper ends first: sixteen beams, sixteen channels.
const char* const kGroups =
    "143 = 02\n"
    "144 = 200A010101010101010101010101010102010101010101010101010101010101\n"
    "145 = 0105010101010101010101010101010101010101010101010101010101010101\n";

struct GroupPageFixture : MeasurementPageFixture {
    void show(const char* scenario = kGroups) {
        start(scenario);
        page = pane->page<CView011>(nav::kViewPage011);
        pane->select(ItemKind::GroupJudgement);
    }
    QStringList rowTexts(int row) const {
        QStringList t;
        for (int c = 0; c < CView011::kColumnCount; ++c) {
            t << page->list()->item(row, c)->text();
        }
        return t;
    }
    void choose(int row, int column, const QString& text) {
        const int at = page->choices(row, column).indexOf(text);
        ASSERT_GE(at, 0) << text.toStdString();
        emit page->cellEditor()->chosen(row, column, at, text);
    }

    CView011* page = nullptr;
};

TEST_F(GroupPageFixture, FirstShowingReadsBothEnds) {
    show();
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    EXPECT_EQ(rowTexts(0), (QStringList{"1", "CH1", "1", "CH2", "32"}));
    EXPECT_EQ(rowTexts(1), (QStringList{"2", "CH1", "5", "CH1", "10"}));
    EXPECT_EQ(rowTexts(15), (QStringList{"16", "CH1", "1", "CH1", "1"}));
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(cancelOn());
    // Channels up to the sensors connected, beams up to the end's own sensor.
    EXPECT_EQ(page->choices(0, CView011::kLowerChannelColumn), (QStringList{"CH1", "CH2"}));
    EXPECT_EQ(page->choices(0, CView011::kLowerBeamColumn).size(), 40);
    EXPECT_EQ(page->choices(0, CView011::kUpperBeamColumn).size(), 32);
    EXPECT_TRUE(page->choices(0, CView011::kNumberColumn).isEmpty());
}

TEST_F(GroupPageFixture, FaultyGroupsAreNamedTogetherAndNothingIsSent) {
    show();
    // Group 3 runs backwards inside CH1; group 11 ends beyond CH2's 32 beams once its upper
    // channel changes from CH1 beam 40.
    choose(2, CView011::kLowerBeamColumn, "10");
    choose(2, CView011::kUpperBeamColumn, "5");
    choose(10, CView011::kUpperBeamColumn, "40");
    choose(10, CView011::kUpperChannelColumn, "CH2");
    EXPECT_EQ(page->list()->item(2, CView011::kLowerBeamColumn)->background().color(),
              kChangedFieldColour);
    ASSERT_TRUE(writeOn());
    clickWrite();
    EXPECT_EQ(host.messages(), std::vector<std::string>{"範囲指定が異常です\n\nＧｒ.03，Ｇｒ.11"});
    EXPECT_TRUE(page->rowMarked(2));
    EXPECT_TRUE(page->rowMarked(10));
    EXPECT_FALSE(page->rowMarked(0));
    EXPECT_EQ(page->list()->item(10, 0)->background().color(), kInvalidFieldColour);
    EXPECT_TRUE(cancelOn());
    EXPECT_EQ(controllerHolds(groupReads()).grpLow[2], 1);

    // Mended, the next check clears the marks and the write goes through.
    choose(2, CView011::kUpperBeamColumn, "12");
    choose(10, CView011::kUpperBeamColumn, "32");
    clickWrite();
    EXPECT_EQ(host.messages().size(), 1u);
    EXPECT_FALSE(page->rowMarked(2));
    EXPECT_FALSE(page->rowMarked(10));
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(GroupPageFixture, WrittenRangesAreWhatTheControllerHolds) {
    show();
    // A group spanning the sensors: lower end CH2 beam 26, upper end CH2 beam 30.
    choose(4, CView011::kLowerChannelColumn, "CH2");
    choose(4, CView011::kLowerBeamColumn, "26");
    choose(4, CView011::kUpperChannelColumn, "CH2");
    choose(4, CView011::kUpperBeamColumn, "30");
    clickWrite();
    EXPECT_TRUE(host.messages().empty());
    const GeneralBlock held = controllerHolds(groupReads());
    EXPECT_EQ(held.grpLow[4], 26);
    EXPECT_EQ(held.grpLow[4 + kGroupCount], 2);
    EXPECT_EQ(held.grpUp[4], 30);
    EXPECT_EQ(held.grpUp[4 + kGroupCount], 2);
    EXPECT_EQ(held.grpUp[0], 32);  // the others as they were

    // Cancel returns to what was written last.
    choose(4, CView011::kUpperBeamColumn, "31");
    clickCancel();
    EXPECT_EQ(rowTexts(4), (QStringList{"5", "CH2", "26", "CH2", "30"}));
    EXPECT_FALSE(cancelOn());
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(GroupPageFixture, ApplyWithABankSelectedChangesOnlyTheBank) {
    start(kGroups);
    page = pane->page<CView011>(nav::kViewPage011);
    pane->selectSet(1);
    pane->select(ItemKind::GroupJudgement, 1);
    ASSERT_EQ(model.selectedSet(), 1);
    EXPECT_EQ(pane->bar()->writeButton()->text(), "適用");
    choose(6, CView011::kUpperChannelColumn, "CH2");
    choose(6, CView011::kUpperBeamColumn, "7");
    clickWrite();
    EXPECT_TRUE(host.messages().empty());
    EXPECT_EQ(model.working().general.grpUp[6], 7);
    EXPECT_EQ(model.working().general.grpUp[6 + kGroupCount], 2);
    EXPECT_EQ(model.storedSet(1).edited, 1);
    EXPECT_FALSE(model.working().pageEdited[kEditedGroups - 1]);
    EXPECT_FALSE(writeOn());
}

}  // namespace
}  // namespace qavix::test
