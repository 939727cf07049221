// The backup manifest written and read back, the identity it records, and the run folders
// that never overwrite an earlier backup.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "BankSample.h"
#include "TempDir.h"
#include "fleet/BackupFolder.h"
#include "fleet/BackupManifest.h"

namespace qavix::fleet {
namespace {

ControllerRecord savedRecord() {
    ControllerRecord r;
    r.name = "プレス1";
    r.port = "/dev/ttyUSB0";
    r.unit = 3;
    r.result = BackupResult::Ok;
    r.started = "2024-03-05T14:07:09+09:00";
    r.finished = "2024-03-05T14:07:21+09:00";
    r.durationMs = 12034;
    ControllerIdentity id;
    id.type = "QX-AS100  CONTROLLER";
    id.serial = "0042Y02";
    SensorIdentity sensor;
    sensor.channel = 1;
    sensor.beams = 40;
    sensor.receiverSerial = "R-1";
    id.sensors.push_back(sensor);
    r.identity = id;
    r.files.push_back(
        {0, "プレス1/current.qbk", std::string(64, 'a'), 11871, {std::string(64, 'c')}});
    r.files.push_back({2, "プレス1/bank2.qbk", std::string(64, 'b'), 11870, {}});
    r.notes.push_back("Bank 3 erased: not saved");
    return r;
}

TEST(BackupManifest, WrittenManifestReadsBackWithEveryController) {
    Manifest m;
    m.created = "2024-03-05T14:07:09+09:00";
    m.plant = "plant.ini";
    m.controllers.push_back(savedRecord());
    ControllerRecord failed;
    failed.name = "line2";
    failed.port = "COM2";
    failed.result = BackupResult::Failed;
    failed.reason = "通信異常";
    m.controllers.push_back(failed);
    ControllerRecord skipped;
    skipped.name = "line3";
    skipped.result = BackupResult::NotStarted;
    m.controllers.push_back(skipped);

    const std::string text = manifestJson(m);
    EXPECT_NE(
        text.find("\"summary\": {\n    \"controllers\": 3,\n    \"ok\": 1,\n    \"failed\": 1,"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\"set\": \"bank2\""), std::string::npos) << text;
    std::string error;
    const auto back = parseManifest(text, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->created, m.created);
    ASSERT_EQ(back->controllers.size(), 3u);
    const ControllerRecord* saved = back->find("プレス1");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->unit, 3);
    EXPECT_EQ(saved->durationMs, 12034);
    ASSERT_TRUE(saved->identity);
    EXPECT_EQ(saved->identity->serial, "0042Y02");
    ASSERT_EQ(saved->identity->sensors.size(), 1u);
    EXPECT_EQ(saved->identity->sensors[0].beams, 40);
    EXPECT_EQ(saved->identity->sensors[0].receiverSerial, "R-1");
    ASSERT_EQ(saved->files.size(), 2u);
    EXPECT_EQ(saved->files[1].set, 2);
    EXPECT_EQ(saved->files[1].path, "プレス1/bank2.qbk");
    EXPECT_EQ(saved->files[1].size, 11870u);
    EXPECT_EQ(saved->files[0].fingerprint.shortForm(), "CCCC-CCCC");
    EXPECT_FALSE(saved->files[1].fingerprint.known()) << "an older manifest names none";
    EXPECT_EQ(saved->notes, std::vector<std::string>{"Bank 3 erased: not saved"});
    EXPECT_EQ(back->find("line2")->reason, "通信異常");
    EXPECT_EQ(back->find("line3")->result, BackupResult::NotStarted);
    EXPECT_FALSE(back->find("line3")->identity);
}

TEST(BackupManifest, WhatIsNoManifestOfOursIsRefused) {
    const char* bad[] = {
        "[]",
        "{\"format\": 2, \"controllers\": []}",
        "{\"format\": 1}",
        "{\"format\": 1, \"controllers\": [{\"result\": \"ok\"}]}",
        "{\"format\": 1, \"controllers\": [{\"name\": \"a\", \"result\": \"fine\"}]}",
        "{\"format\": 1, \"controllers\": [{\"name\": \"a\", \"result\": \"ok\", \"files\": "
        "[{\"set\": \"bank5\", \"path\": \"a/x\", \"size\": 1, \"sha256\": "
        "\"0000000000000000000000000000000000000000000000000000000000000000\"}]}]}",
        "{\"format\": 1, \"controllers\": [{\"name\": \"a\", \"result\": \"ok\", \"files\": "
        "[{\"set\": \"current\", \"path\": \"a/x\", \"size\": 1, \"sha256\": \"00\"}]}]}",
        "{\"format\": 1, \"controllers\": [{\"name\": \"a\", \"result\": \"ok\", \"files\": "
        "[{\"set\": \"current\", \"path\": \"a/x\", \"size\": -1, \"sha256\": "
        "\"0000000000000000000000000000000000000000000000000000000000000000\"}]}]}",
        "{\"format\": 1, \"controllers\": [{\"name\": \"a\", \"result\": \"ok\", \"files\": "
        "[{\"set\": \"current\", \"path\": \"a/x\", \"size\": 1e300, \"sha256\": "
        "\"0000000000000000000000000000000000000000000000000000000000000000\"}]}]}",
        "not json",
    };
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(parseManifest(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(ControllerIdentity, FromTheSetAndTheReadsThatCompleteIt) {
    SettingsData set = test::sampleBankSet();
    set.general.jointNum = 2;
    set.general.idText = "LINE7";
    set.channel(1).sensorId = "0042";
    const ControllerIdentity id = identityOf(set);
    EXPECT_EQ(id.type, "QX-AS100  CONTROLLER");
    EXPECT_EQ(id.id, "LINE7");
    ASSERT_EQ(id.sensors.size(), 2u);  // the connected ones only
    EXPECT_EQ(id.sensors[1].channel, 2);
    EXPECT_EQ(id.sensors[1].beams, 128);
    EXPECT_EQ(id.sensors[1].id, "0042");

    const std::vector<PageRead> reads = identityReads(set);
    ASSERT_EQ(reads.size(), 1u + 2u * 4u);
    EXPECT_EQ(reads[0].code, 61);
    std::set<int> codes;
    for (const PageRead& r : reads) {
        codes.insert(r.code);
        EXPECT_LE(r.arg1, 2) << r.code;  // nothing of the unconnected third sensor
    }
    EXPECT_EQ(codes, (std::set<int>{60, 61, 69, 70, 82}));
}

TEST(BackupFolder, EveryRunGetsAFolderOfItsOwnEvenInTheSameSecond) {
    test::TempDir dir;
    const std::tm when = test::sampleTime();
    const std::string out = dir.file("backups/plant");  // made with its parents
    constexpr int kRuns = 6;
    std::vector<std::string> paths(kRuns);
    std::vector<std::thread> runs;
    for (int i = 0; i < kRuns; ++i) {
        runs.emplace_back([&, i] {
            const BackupFolder f = createBackupFolder(out, when);
            paths[static_cast<size_t>(i)] = f.path;
        });
    }
    for (std::thread& t : runs) {
        t.join();
    }
    const std::set<std::string> distinct(paths.begin(), paths.end());
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kRuns));
    EXPECT_EQ(distinct.count(out + "/20240305-140709"), 1u);
    EXPECT_EQ(distinct.count(out + "/20240305-140709-" + std::to_string(kRuns)), 1u);
    for (const std::string& p : paths) {
        EXPECT_TRUE(std::filesystem::is_directory(p)) << p;
    }

    std::string error;
    EXPECT_TRUE(ensureFolder(out + "/20240305-140709/a", error)) << error;
    EXPECT_TRUE(ensureFolder(out + "/20240305-140709/a", error)) << error;
    std::ofstream(out + "/file") << "x";
    EXPECT_FALSE(ensureFolder(out + "/file", error));
    EXPECT_FALSE(createBackupFolder(out + "/file/sub", when).error.empty());
}

}  // namespace
}  // namespace qavix::fleet
