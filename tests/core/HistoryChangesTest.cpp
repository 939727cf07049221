// What a backup run changes, field by field, and the version it makes of it.

#include <gtest/gtest.h>

#include "BankSample.h"
#include "files/BankFile.h"
#include "history/BackupCommit.h"
#include "history/SettingChanges.h"

namespace qavix::history {
namespace {

std::string bankBytes(const SettingsData& set, int day = 5) {
    std::tm when = test::sampleTime();
    when.tm_mday = day;
    const bankfile::BankFileText file = bankfile::formatBankFile(set, "2.10", "", when);
    EXPECT_TRUE(file.ok) << file.error;
    return file.text;
}

ControllerFiles filesOf(const SettingsData& current, int day = 5) {
    return {{"current.qbk", bankBytes(current, day)},
            {"bank1.qbk", bankBytes(test::sampleBankSet(), day)},
            {kIdentityFile, "{\"serial\": \"0300920\", \"sensors\": [{\"id\": \"0001\"}]}\n"}};
}

TEST(SettingChanges, OnlyTheChangedBeamCountsNotTheDateOfWriting) {
    SettingsData changed = test::sampleBankSet();
    const int32_t old = changed.channel(0).axisTh[11];
    changed.channel(0).axisTh[11] = old + 5;
    changed.channel(1).countConf = 4;

    EXPECT_TRUE(
        compareControllerFiles(filesOf(test::sampleBankSet(), 5), filesOf(test::sampleBankSet(), 6))
            .empty());
    const auto changes =
        compareControllerFiles(filesOf(test::sampleBankSet(), 5), filesOf(changed, 6));
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(describeChange(changes[0]), "CH2.COUNT_CONF: 3 -> 4");
    EXPECT_EQ(describeChange(changes[1]), "CONTROLLER.AXIS_TH1_1 beam 12: " + std::to_string(old) +
                                              " -> " + std::to_string(old + 5));
    EXPECT_EQ(changes[1].element, "beam 12");
}

TEST(SettingChanges, BeamsOfLaterLinesFlagsBanksAndIdentityAreNamed) {
    ControllerFiles before = filesOf(test::sampleBankSet());
    ControllerFiles after = before;
    SettingsData bank = test::sampleBankSet();
    bank.channel(1).axisTh[16] += 1;  // beam 17: the first of AXIS_TH2_2
    bank.channel(2).setAxis[0] = 1;
    after["bank1.qbk"] = bankBytes(bank);
    after[kIdentityFile] = "{\"serial\": \"0300921\", \"sensors\": [{\"id\": \"0001\"}]}\n";
    after.erase("current.qbk");
    after["bank3.qbk"] = bankBytes(bank);

    std::vector<std::string> texts;
    for (const SettingChange& c : compareControllerFiles(before, after)) {
        texts.push_back(describeChange(c));
    }
    const std::vector<std::string> expected = {
        "current: saved -> absent",
        "bank1 CH3.SET_AXIS_1 beam 1: 0 -> 1",
        "bank1 CONTROLLER.AXIS_TH2_2 beam 17: " +
            std::to_string(test::sampleBankSet().channel(1).axisTh[16]) + " -> " +
            std::to_string(bank.channel(1).axisTh[16]),
        "bank3: absent -> saved",
        "identity serial: 0300920 -> 0300921",
    };
    EXPECT_EQ(texts, expected);
}

TEST(SettingChanges, ADamagedStoredFileIsAChangeOfTheWholeFile) {
    ControllerFiles before = filesOf(test::sampleBankSet());
    ControllerFiles after = before;
    before["current.qbk"] = "not a bank file";
    const auto changes = compareControllerFiles(before, after);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(describeChange(changes[0]), "current: unreadable -> saved");
}

class RunPlanTest : public ::testing::Test {
  protected:
    std::map<std::string, ControllerFiles> stored;

    RunPlan plan(const std::vector<RunController>& run) {
        std::string error;
        const auto result = planRun(
            run,
            [&](const std::string& name, std::string&) -> std::optional<ControllerFiles> {
                const auto it = stored.find(name);
                return it == stored.end() ? ControllerFiles{} : it->second;
            },
            error);
        EXPECT_TRUE(result) << error;
        return result.value_or(RunPlan{});
    }
};

TEST_F(RunPlanTest, NothingChangedMakesNoVersionAndAFailureKeepsTheFiles) {
    stored["a"] = filesOf(test::sampleBankSet(), 5);
    stored["b"] = filesOf(test::sampleBankSet(), 5);
    const RunPlan p =
        plan({{"a", true, {}, filesOf(test::sampleBankSet(), 9)}, {"b", false, "no answer", {}}});
    EXPECT_FALSE(p.changed());
    EXPECT_EQ(p.count(ControllerState::Unchanged), 1u);
    ASSERT_EQ(p.count(ControllerState::Failed), 1u);
    EXPECT_EQ(p.controllers[1].stored, stored["b"]);
}

TEST_F(RunPlanTest, OnlyTheChangedFileIsReplacedAndTheMessageNamesEveryone) {
    stored["line-7"] = filesOf(test::sampleBankSet(), 5);
    stored["press"] = filesOf(test::sampleBankSet(), 5);
    SettingsData changed = test::sampleBankSet();
    changed.channel(0).countConf = 5;
    const RunPlan p = plan({{"line-7", true, {}, filesOf(changed, 9)},
                            {"press", true, {}, filesOf(test::sampleBankSet(), 9)},
                            {"new one", true, {}, filesOf(test::sampleBankSet(), 9)},
                            {"pulled", false, "no answer\nfrom unit 2", {}}});
    ASSERT_TRUE(p.changed());
    std::vector<std::string> paths;
    for (const FileUpdate& u : p.updates) {
        paths.push_back(u.path);
        EXPECT_TRUE(u.bytes.has_value()) << u.path;
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"line-7/current.qbk", "new one/bank1.qbk",
                                               "new one/current.qbk", "new one/identity.json"}));
    // The unchanged bank keeps the file (and date) stored before.
    EXPECT_EQ(p.controllers[0].stored.at("bank1.qbk"), stored["line-7"].at("bank1.qbk"));
    EXPECT_EQ(commitMessage(p),
              "qavix fleet backup: 1 changed, 1 new, 1 failed, 1 unchanged\n\n"
              "line-7: CH1.COUNT_CONF: 3 -> 5\n"
              "new one: first backup (bank1.qbk, current.qbk, identity.json)\n"
              "pulled: failed: no answer from unit 2\n");
}

TEST_F(RunPlanTest, ABankNoLongerSavedIsRemoved) {
    stored["a"] = filesOf(test::sampleBankSet(), 5);
    ControllerFiles now = filesOf(test::sampleBankSet(), 9);
    now.erase("bank1.qbk");
    const RunPlan p = plan({{"a", true, {}, now}});
    ASSERT_EQ(p.updates.size(), 1u);
    EXPECT_EQ(p.updates[0].path, "a/bank1.qbk");
    EXPECT_FALSE(p.updates[0].bytes.has_value());
    EXPECT_EQ(p.controllers[0].stored.count("bank1.qbk"), 0u);
}

}  // namespace
}  // namespace qavix::history
