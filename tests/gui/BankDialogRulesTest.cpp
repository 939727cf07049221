// What the bank dialogs offer, without a dialog: the copy lists, the erase boxes, import
// targets and export sources.

#include <gtest/gtest.h>

#include "files/BankDialogRules.h"

namespace qavix::bankrules {
namespace {

using Flags = SetFlags;

TEST(BankDialogRules, CopyListsSkipForeignBanksTheSourceAndTheShownBank) {
    DeviceModel model;
    model.storedSet(1).compatible = 1;
    model.storedSet(3).compatible = 1;  // Banks 2 and 4 erased or foreign
    EXPECT_EQ(copySources(model), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(copyDestinations(0, 0), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(copyDestinations(0, 2), (std::vector<int>{1, 3, 4}));
    // A bank as the source may go onto the current values, never onto itself.
    EXPECT_EQ(copyDestinations(3, 1), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(copyDestinations(3, 0), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(setLabel(0), "現在値");
    EXPECT_EQ(setLabel(4), "Bank 4");
}

TEST(BankDialogRules, EraseAndImportNeverOfferTheShownBank) {
    EXPECT_EQ(eraseOffered(0), (Flags{false, true, true, true, true}));
    EXPECT_EQ(eraseOffered(3), (Flags{false, true, true, false, true}));
    EXPECT_EQ(importTargets(true, 0), (Flags{true, true, true, true, true}));
    EXPECT_EQ(importTargets(true, 2), (Flags{true, true, false, true, true}));
    EXPECT_EQ(importTargets(false, 0), (Flags{true, false, false, false, false}));
}

TEST(BankDialogRules, ExportOffersBanksWithSettingsOrOnlyTheBankBeingSaved) {
    DeviceModel model;
    model.storedSet(2).compatible = 1;
    model.storedSet(4).compatible = 1;
    EXPECT_EQ(exportSources(model, true, false), (Flags{true, false, true, false, true}));
    EXPECT_EQ(exportSources(model, false, false), (Flags{true, false, false, false, false}));
    model.selectSet(2);
    EXPECT_EQ(exportSources(model, true, true), (Flags{false, false, true, false, false}));
}

}  // namespace
}  // namespace qavix::bankrules
