// The option settings page against the built-in emulator: what a switch writes, the bank
// function box of a bank, and the tree following a written measurement switch.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFile>

#include "PageTestSupport.h"
#include "RequestLog.h"
#include "TempFolder.h"
#include "frame/PageTable.h"
#include "pages/CView012.h"
#include "pages/FieldColours.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

struct OptionPageFixture : EmulatorPageFixture {
    // Two sensors with the overall judgement and the parallel outputs on, groups off.
    void SetUp() override {
        state.extendedMode = true;
        connectRead("--sensors 40,32" + scenarioOption("127 = 02\n133 = 02\n143 = 00\n") +
                    logOption());
        page = pane->page<CView012>(nav::kViewPage012);
    }

    CView012* page = nullptr;
};

TEST_F(OptionPageFixture, ShowsTheSwitchesReadFromTheController) {
    pane->select(ItemKind::Options);
    EXPECT_EQ(pane->log.waits, (std::vector<std::string>{"read", "close"}));
    // Factory teach 10 and bank function on; the scenario's measurement switches.
    EXPECT_EQ(page->shown(), (OptionStates{true, true, false, true, true}));
    EXPECT_TRUE(page->box(kOptionBank)->isVisible());
    EXPECT_FALSE(writeOn());
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(OptionPageFixture, TickingGroupJudgementWritesOnlyItsSwitch) {
    pane->select(ItemKind::Options);
    page->box(kOptionGroups)->click();
    EXPECT_TRUE(writeOn());
    QCheckBox* groups = page->box(kOptionGroups);
    EXPECT_TRUE(groups->autoFillBackground());
    EXPECT_EQ(groups->palette().color(groups->backgroundRole()), kChangedFieldColour);
    EXPECT_TRUE(model.working().pageEdited[kEditedOptions - 1]);
    EXPECT_EQ(writeAndLog(), (std::vector<std::string>{"SS", "PP 37/0:02", "ES"}));
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(page->box(kOptionGroups)->autoFillBackground());
    EXPECT_FALSE(model.working().anyPageEdited());
    EXPECT_TRUE(page->box(kOptionGroups)->isEnabled());

    model.working().general.grpCnf = 0;
    ASSERT_EQ(link->request(143), kRequestOk);
    EXPECT_EQ(model.working().general.grpCnf, 2);
}

TEST_F(OptionPageFixture, ClickingABoxBackMakesThePageCleanAgain) {
    pane->select(ItemKind::Options);
    page->box(kOptionTeach)->click();
    page->box(kOptionParallel)->click();
    page->box(kOptionTeach)->click();
    EXPECT_TRUE(writeOn());
    page->box(kOptionParallel)->click();
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(pane->bar()->cancelButton()->isEnabled());
    EXPECT_FALSE(model.working().anyPageEdited());
}

// The tree follows written switches as soon as the write is done, not only when the user
// next moves into it; the option page stays in front with its item selected.
TEST_F(OptionPageFixture, WrittenSwitchesShapeTheTreeAtOnce) {
    pane->select(ItemKind::Options);
    ASSERT_NE(pane->tree->findItem(ItemKind::OverallJudgement, kCurrentSet), nullptr);
    ASSERT_EQ(pane->tree->findItem(ItemKind::GroupJudgement, kCurrentSet), nullptr);
    page->box(kOptionOverall)->click();
    page->box(kOptionGroups)->click();
    EXPECT_EQ(writeAndLog(), (std::vector<std::string>{"SS", "PP 37/0:02", "PP 29/0:00", "ES"}));
    settle();
    EXPECT_EQ(pane->tree->findItem(ItemKind::OverallJudgement, kCurrentSet), nullptr);
    EXPECT_NE(pane->tree->findItem(ItemKind::ParallelOutput, kCurrentSet), nullptr);
    QTreeWidgetItem* groups = pane->tree->findItem(ItemKind::GroupJudgement, kCurrentSet);
    ASSERT_NE(groups, nullptr);
    EXPECT_TRUE(groups->parent()->isExpanded());
    QTreeWidgetItem* options = pane->tree->findItem(ItemKind::Options, kCurrentSet);
    EXPECT_EQ(pane->tree->tree()->currentItem(), options);
    EXPECT_EQ(pane->tree->previousItem(), options);
    EXPECT_EQ(pane->right->splitterView()->currentPage(), page);
    model.working().general.allOnOffCnf = 7;
    ASSERT_EQ(link->request(127), kRequestOk);
    EXPECT_EQ(model.working().general.allOnOffCnf, 0);

    // The new item is there to be chosen.
    pane->select(ItemKind::GroupJudgement);
    EXPECT_EQ(state.currentPage, nav::kPageGroupJudgement);

    // All three off: no folder at all. The bank function off: no bank roots.
    pane->select(ItemKind::Options);
    page->box(kOptionParallel)->click();
    page->box(kOptionGroups)->click();
    page->box(kOptionBank)->click();
    writeAndLog();
    settle();
    EXPECT_EQ(pane->tree->findItem(ItemKind::Measurement, kCurrentSet), nullptr);
    EXPECT_EQ(pane->tree->rootItem(1), nullptr);
    EXPECT_EQ(pane->tree->tree()->currentItem(),
              pane->tree->findItem(ItemKind::Options, kCurrentSet));
}

// A screen reader ticks a box with its toggle action, which is no mouse click.
TEST_F(OptionPageFixture, ABoxToggledByAScreenReaderMarksThePageAsAClickDoes) {
    pane->select(ItemKind::Options);
    auto toggle = [this](int index) {
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(page->box(index));
        ASSERT_NE(box, nullptr);
        QAccessibleActionInterface* actions = box->actionInterface();
        ASSERT_NE(actions, nullptr);
        ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
    };
    toggle(kOptionGroups);
    EXPECT_TRUE(page->box(kOptionGroups)->isChecked());
    EXPECT_TRUE(writeOn());
    EXPECT_TRUE(model.working().pageEdited[kEditedOptions - 1]);

    // A click that puts the box back leaves nothing to write.
    page->box(kOptionGroups)->click();
    EXPECT_FALSE(writeOn());
    EXPECT_FALSE(model.working().anyPageEdited());

    toggle(kOptionGroups);
    toggle(kOptionTeach);
    toggle(kOptionTeach);
    EXPECT_EQ(writeAndLog(), (std::vector<std::string>{"SS", "PP 37/0:02", "ES"}));
    EXPECT_FALSE(model.working().anyPageEdited());
}

TEST_F(OptionPageFixture, CancelPutsTheSwitchesBack) {
    pane->select(ItemKind::Options);
    page->box(kOptionBank)->click();
    page->box(kOptionGroups)->click();
    QTest::mouseClick(pane->bar()->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(page->shown(), (OptionStates{true, true, false, true, true}));
    EXPECT_FALSE(model.working().anyPageEdited());
    EXPECT_FALSE(page->box(kOptionBank)->autoFillBackground());
}

TEST_F(OptionPageFixture, BankHidesTheBankFunctionAndAppliesOffline) {
    pane->selectSet(2);
    pane->select(ItemKind::Options, 2);
    EXPECT_FALSE(page->box(kOptionBank)->isVisible());
    EXPECT_EQ(pane->bar()->writeButton()->text(), "適用");
    page->box(kOptionGroups)->click();
    EXPECT_TRUE(writeAndLog().empty());
    EXPECT_EQ(model.working().general.grpCnf, 2);
    EXPECT_NE(model.storedSet(2).edited, 0);
    // The bank's tree follows what was applied, the option page still in front.
    settle();
    EXPECT_NE(pane->tree->findItem(ItemKind::GroupJudgement, 2), nullptr);
    EXPECT_EQ(pane->tree->tree()->currentItem(), pane->tree->findItem(ItemKind::Options, 2));
    EXPECT_EQ(pane->right->splitterView()->currentPage(), page);
}

}  // namespace
}  // namespace qavix::test
