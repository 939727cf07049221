#include "model/PageEditState.h"

#include <gtest/gtest.h>

namespace qavix {
namespace {

TEST(PageEditState, TypedThenRestoredValueMakesThePageCleanAgain) {
    WorkingSet w;
    PageEditState page(kEditedOverallJudgement, 3);
    page.setField(1, FieldState::Changed);
    page.settle(true, w);
    EXPECT_TRUE(page.changed());
    EXPECT_TRUE(pageEdited(w, kEditedOverallJudgement));
    EXPECT_EQ(page.buttons(), (CommandButtons{true, true}));

    // The stored value typed back: the edit box still reports "changed", the comparison
    // says the page is the same as the working set.
    page.setField(1, FieldState::Changed);
    page.settle(false, w);
    EXPECT_FALSE(page.changed());
    EXPECT_EQ(page.field(1), FieldState::Unchanged);
    EXPECT_FALSE(pageEdited(w, kEditedOverallJudgement));
    EXPECT_EQ(page.buttons(), (CommandButtons{false, false}));
}

TEST(PageEditState, InvalidFieldKeepsCancelButNotWrite) {
    WorkingSet w;
    PageEditState page(kEditedGroups, 2);
    page.setField(0, FieldState::Invalid);
    page.setField(1, FieldState::Changed);
    page.settle(true, w);
    EXPECT_EQ(page.buttons(), (CommandButtons{false, true}));
    EXPECT_TRUE(pageEdited(w, kEditedGroups));

    // Even when the rest of the page compares equal, an invalid text is an edit.
    page.setField(1, FieldState::Unchanged);
    page.settle(false, w);
    EXPECT_TRUE(page.changed());
    EXPECT_EQ(page.buttons(), (CommandButtons{false, true}));

    page.setField(0, FieldState::Changed);
    page.settle(true, w);
    EXPECT_EQ(page.buttons(), (CommandButtons{true, true}));
}

TEST(PageEditState, EachPageOwnsOnlyItsFlag) {
    WorkingSet w;
    PageEditState ch2(kEditedSensorCh1 + 1, 1);
    PageEditState pio(kEditedPio, 1);
    ch2.markEdited(w);
    pio.markEdited(w);
    EXPECT_TRUE(w.pageEdited[7]);  // flag 8 is the eighth word
    EXPECT_TRUE(w.pageEdited[2]);
    ch2.markClean(w);
    EXPECT_FALSE(w.pageEdited[7]);
    EXPECT_TRUE(w.pageEdited[2]);
    EXPECT_TRUE(w.anyPageEdited());

    // A page without a flag (the clock page) and out-of-range numbers touch nothing.
    WorkingSet clean;
    for (int flag : {static_cast<int>(kNoPageEditedFlag), -1, kPageEditedFlagCount + 1}) {
        PageEditState none(flag, 0);
        none.markEdited(clean);
        EXPECT_FALSE(clean.anyPageEdited()) << flag;
        EXPECT_FALSE(pageEdited(clean, flag));
    }
    PageEditState last(kEditedBlankingChart, 0);
    last.markEdited(clean);
    EXPECT_TRUE(clean.pageEdited[12]);
}

TEST(PageEditState, WriteButtonReadsApplyWithABankSelected) {
    EXPECT_STREQ(writeButtonText(kCurrentSet), "書込み");
    for (int bank = 1; bank <= kBankCount; ++bank) {
        EXPECT_STREQ(writeButtonText(bank), "適用");
    }
}

}  // namespace
}  // namespace qavix
