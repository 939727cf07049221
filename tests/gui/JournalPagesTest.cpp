// The setting pages' writes in the change journal: each write through a page leaves a start
// and an end record naming the page, with the fields that the comparison of bank diff finds
// between the controller before and after; a journal that cannot take the record stops the
// write before the controller is touched.

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "MeasurementPageSupport.h"
#include "TempDir.h"
#include "comm/WriteJournal.h"
#include "files/BankFields.h"
#include "files/Fingerprint.h"
#include "fleet/ControllerIdentity.h"
#include "journal/JournalReader.h"
#include "pages/CView001.h"
#include "pages/CView009.h"

namespace qavix::test {
namespace {

using nav::ItemKind;

const char* const kSeparate = "127 = 02\n128 = 000100\n129 = 000A000B000C\n130 = 000500060007\n";

std::set<std::string> lines(const std::vector<bankfile::FieldChange>& changes) {
    std::set<std::string> out;
    for (const bankfile::FieldChange& c : changes) {
        out.insert(c.name + ": " + c.before + " -> " + c.after);
    }
    return out;
}

struct JournalPagesFixture : MeasurementPageFixture {
    void SetUp() override {
        start(kSeparate);
        link->setJournal(&journal);
    }
    void TearDown() override {
        link->setJournal(nullptr);
        MeasurementPageFixture::TearDown();
    }
    // The controller's settings as a fresh read of everything finds them.
    SettingsData controllerSettings() {
        EXPECT_EQ(transactions->readAll(), kRequestOk);
        return model.working();
    }

    TempDir temp;
    WriteJournal journal{temp.file("journal"), writeSource("qavix", "test")};
};

TEST_F(JournalPagesFixture, APagesWriteLeavesAStartAndAnEndWithTheFieldsItChanged) {
    const SettingsData before = controllerSettings();
    pane->select(ItemKind::OverallJudgement);
    auto* page = pane->page<CView009>(nav::kViewPage009);
    typeOver(page->blockedBox(1), "20");
    typeOver(page->incidentBox(0), "40");
    clickWrite();
    ASSERT_TRUE(host.messages().empty());
    const SettingsData after = controllerSettings();
    const std::set<std::string> diff = lines(bankfile::fieldChanges(before, after));
    ASSERT_EQ(diff.size(), 2u);

    const journal::JournalListing listing = journal::readJournal(journal.folder());
    ASSERT_EQ(listing.entries.size(), 1u);
    const journal::JournalEntry& e = listing.entries[0];
    ASSERT_TRUE(e.start && e.end);
    EXPECT_EQ(e.status(), "ok");
    EXPECT_EQ(e.start->operation, journal::Operation::PageWrite);
    EXPECT_EQ(e.start->detail, "総合ON/OFF判定");
    EXPECT_EQ(e.start->program, "qavix");
    EXPECT_EQ(e.start->target, "current");
    EXPECT_EQ(e.start->controller.serial, fleet::identityOf(after).serial);
    EXPECT_EQ(lines(e.start->changes), diff);
    EXPECT_EQ(lines(e.end->changes), diff);
    EXPECT_EQ(e.start->fingerprintBefore, settingsFingerprint(before));
    EXPECT_EQ(e.end->fingerprintAfter, settingsFingerprint(after));
    EXPECT_NE(e.start->fingerprintBefore, e.end->fingerprintAfter);
}

TEST_F(JournalPagesFixture, TheIdOfTheBasicInformationPageIsRecordedBesideTheSettings) {
    pane->select(ItemKind::BasicInfo);
    auto* page = pane->page<CView001>(nav::kViewPage001);
    typeOver(page->idBox(), "abc");
    clickWrite();
    ASSERT_TRUE(host.messages().empty());
    const journal::JournalListing listing = journal::readJournal(journal.folder());
    ASSERT_EQ(listing.entries.size(), 1u);
    const journal::JournalEntry& e = listing.entries[0];
    EXPECT_EQ(e.status(), "ok");
    EXPECT_EQ(lines(e.changes()), std::set<std::string>{"CONTROLLER.ID: 000101 -> 000ABC"});
    // The ID identifies the unit and is no part of the fingerprint.
    EXPECT_EQ(e.start->fingerprintBefore, e.fingerprintAfter());
    EXPECT_TRUE(e.start->fingerprintBefore.known());
}

TEST_F(JournalPagesFixture, AJournalThatCannotTakeTheRecordStopsTheWriteBeforeItIsSent) {
    const std::string notAFolder = temp.file("file");
    std::ofstream(notAFolder) << "x";
    WriteJournal blocked{notAFolder, writeSource("qavix", "test")};
    link->setJournal(&blocked);
    const SettingsData before = controllerSettings();
    pane->select(ItemKind::OverallJudgement);
    auto* page = pane->page<CView009>(nav::kViewPage009);
    typeOver(page->blockedBox(1), "20");
    clickWrite();
    const std::vector<std::string> messages = host.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages[0].find("変更履歴に記録できないため、書込みを中止しました"),
              std::string::npos)
        << messages[0];
    EXPECT_NE(messages[0].find(notAFolder), std::string::npos) << messages[0];
    // The page keeps its edit to try again; the controller holds what it held.
    EXPECT_TRUE(writeOn());
    link->setJournal(&journal);
    EXPECT_EQ(bankfile::fieldChanges(before, controllerSettings()).size(), 0u);
}

}  // namespace
}  // namespace qavix::test
