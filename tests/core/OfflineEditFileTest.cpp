// The file behind `qavix --edit` and the import's checks into the spare set: what counts as
// a change, what a save keeps, and which files are refused with which message.

#include "files/OfflineEditFile.h"

#include <gtest/gtest.h>

#include "BankSample.h"
#include "TempDir.h"
#include "files/BankImport.h"
#include "files/TextFile.h"

namespace qavix {
namespace {

using test::TempDir;

std::string copyOfSample(const TempDir& dir, const std::string& name, const std::string& from = {},
                         const std::string& to = {}) {
    EXPECT_TRUE(textfile::writeText(dir.file(name), test::sampleBankText(from, to)).ok);
    return dir.file(name);
}

TEST(OfflineEditFile, OnlyFieldsTheFileHoldsCountAsChanges) {
    TempDir dir;
    OfflineEditFile file;
    ASSERT_TRUE(file.open(copyOfSample(dir, "line.qbk")).ok());
    EXPECT_EQ(file.title(), test::kSampleTitle);
    SettingsData current = file.settings();
    EXPECT_FALSE(file.isModified(current));

    // Texts read from the controller but never written to a bank file.
    current.channel(0).sensorId = "0042";
    current.general.serialText = "140A0001";
    EXPECT_FALSE(file.isModified(current));

    current.channel(1).axisTh[100] += 1;
    EXPECT_TRUE(file.isModified(current));
    current.channel(1).axisTh[100] -= 1;
    current.general.pio[3] = "8061";
    EXPECT_TRUE(file.isModified(current));
}

TEST(OfflineEditFile, SaveKeepsTheTitleAndBecomesTheNewBaseline) {
    TempDir dir;
    const std::string path = copyOfSample(dir, "line.qbk");
    OfflineEditFile file;
    ASSERT_TRUE(file.open(path).ok());
    SettingsData changed = file.settings();
    changed.channel(0).axisTh[5] = 77;
    ASSERT_TRUE(file.save(changed, test::sampleTime()).ok);
    EXPECT_FALSE(file.isModified(changed));

    OfflineEditFile again;
    ASSERT_TRUE(again.open(path).ok());
    EXPECT_EQ(again.title(), test::kSampleTitle);
    EXPECT_EQ(again.settings().channel(0).axisTh[5], 77);
    EXPECT_FALSE(again.isModified(changed));
}

TEST(OfflineEditFile, AFailedSaveKeepsFileAndBaseline) {
    TempDir dir;
    const std::string path = copyOfSample(dir, "line.qbk");
    const std::string before = textfile::readText(path).text;
    OfflineEditFile file;
    ASSERT_TRUE(file.open(path).ok());
    SettingsData tooWide = file.settings();
    tooWide.channel(0).countConf = 0x1FF;  // does not fit its two digits
    EXPECT_FALSE(file.save(tooWide, test::sampleTime()).ok);
    EXPECT_EQ(textfile::readText(path).text, before);
    EXPECT_TRUE(file.isModified(tooWide));
}

TEST(OfflineEditFile, RefusedFilesCarryTheImportMessage) {
    TempDir dir;
    OfflineEditFile file;
    const auto damaged = file.open(copyOfSample(dir, "d.qbk", "HYS2=0A", "HYS2=0X"));
    EXPECT_EQ(damaged.message, bankfile::kInvalidDataMessage);
    const auto range =
        file.open(copyOfSample(dir, "r.qbk", "ON_TH=1E\r\nOFF_TH=14", "ON_TH=12\r\nOFF_TH=12"));
    EXPECT_EQ(range.field, "ON_OFF_TH1");
    EXPECT_EQ(file.open(dir.file("none.qbk")).message, bankfile::kOpenFailedMessage);
    EXPECT_TRUE(file.path().empty());
}

TEST(ImportIntoSpare, AFileOfAnotherControllerIsInvalidAfterPassingItsOwnChecks) {
    TempDir dir;
    DeviceModel model;
    static_cast<SettingsData&>(model.storedSet(kCurrentSet)) = test::sampleBankSet();
    static_cast<SettingsData&>(model.storedSet(2)) = test::sampleBankSet();

    const auto same = bankfile::importIntoSpare(copyOfSample(dir, "same.qbk"), model);
    EXPECT_TRUE(same.ok()) << same.message;
    EXPECT_EQ(model.storedSet(kSpareSet).compatible, 1);
    EXPECT_EQ(model.storedSet(2).compatible, 1);

    // Another sensor type on CH2 passes lengths, decoding and ranges.
    const auto foreign =
        bankfile::importIntoSpare(copyOfSample(dir, "other.qbk", "TYPE_2=11", "TYPE_2=21"), model);
    EXPECT_EQ(foreign.status, bankfile::ImportStatus::InvalidData);
    EXPECT_EQ(foreign.message, "Bankデータが無効です。インポートを中止します。");
    EXPECT_EQ(model.storedSet(kSpareSet).compatible, 0);
    EXPECT_EQ(model.storedSet(2).compatible, 1);

    const auto range = bankfile::importIntoSpare(
        copyOfSample(dir, "range.qbk", "AXIS_TH2_2=16", "AXIS_TH2_2=C9"), model);
    EXPECT_EQ(range.status, bankfile::ImportStatus::OutOfRange);
}

}  // namespace
}  // namespace qavix
