// The connection and its sequences against the real link library and the built-in
// emulator: what the program reads and writes must mean the same on both ends.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "FakeLink.h"
#include "TempDir.h"
#include "WaitUntil.h"
#include "comm/CCommLink.h"
#include "comm/Transactions.h"
#include "model/Codec.h"

#ifdef QAVLINK_PATH

namespace qavix::test {
namespace {

class EmulatorTest : public ::testing::Test {
  protected:
    void connect(const std::string& simOptions) {
        setenv("QAVLINK_COM1", ("sim:" + simOptions).c_str(), 1);
        link = std::make_unique<CCommLink>(host, model, timings);
        ASSERT_TRUE(link->start(QAVLINK_PATH)) << link->libraryError();
        LinkSettings s;
        s.blocks[0] = {9600, 7, 2, 2, 0, 0};
        link->setSettings(s);
        link->setConnecting(true);
        ASSERT_EQ(link->open(), kRequestOk);
        link->setConnecting(false);
        ASSERT_EQ(link->checkStatus(), kRequestOk);
        link->suspendPolling();
        tx = std::make_unique<Transactions>(*link, model);
    }
    void TearDown() override {
        tx.reset();
        link.reset();
        unsetenv("QAVLINK_COM1");
    }

    // The emulator in this process answers at once, so a silent line is known after a short
    // wait instead of the real time-out.
    static CommTimings emulatorTimings() {
        CommTimings t;
        t.resetSettle = std::chrono::milliseconds(0);
        t.retryDelay = std::chrono::milliseconds(1);
        t.requestTimeout = std::chrono::milliseconds(250);
        return t;
    }

    CommTimings timings = emulatorTimings();
    ScriptedHost host;
    DeviceModel model;
    std::unique_ptr<CCommLink> link;
    std::unique_ptr<Transactions> tx;
};

// The wait windows show requests done of requests planned; the count must climb by one
// request at a time and end exactly at its plan, or the bar stops short or overflows.
TEST_F(EmulatorTest, ProgressCountsEveryRequestUpToThePlan) {
    connect("--sensors 40,32");
    std::vector<std::pair<int, int>> seen;
    tx->setObserver(
        {nullptr, nullptr, [&](int done, int total) { seen.emplace_back(done, total); }});
    auto expectClimbsToItsPlan = [&](const char* what, int plan) {
        ASSERT_FALSE(seen.empty()) << what;
        for (size_t i = 0; i < seen.size(); ++i) {
            EXPECT_EQ(seen[i].first, static_cast<int>(i) + 1) << what;
            EXPECT_LE(seen[i].first, seen[i].second) << what;
        }
        EXPECT_EQ(seen.back().first, seen.back().second) << what;
        if (plan > 0) {
            EXPECT_EQ(seen.back().second, plan) << what;
        }
        seen.clear();
    };
    ASSERT_EQ(tx->readAll(), kRequestOk);
    expectClimbsToItsPlan("read all", 0);
    ASSERT_EQ(tx->readBanks(), kRequestOk);
    expectClimbsToItsPlan("banks", Transactions::kBankReadRequests);

    ASSERT_EQ(tx->selectStoredSet(2), kRequestOk);
    model.storedSet(2).writeAll = 1;
    ASSERT_EQ(tx->writeSelectedBank(), kRequestOk);
    expectClimbsToItsPlan("bank write", codec::kSubBlockCount + 2);
    ASSERT_EQ(tx->rereadBank(2), kRequestOk);
    expectClimbsToItsPlan("bank read", codec::kSubBlockCount);
}

TEST_F(EmulatorTest, InitialReadFillsTheWorkingSetAndBanksAreCompatible) {
    connect("--sensors 40,32");
    ASSERT_EQ(tx->readAll(), kRequestOk);
    const WorkingSet& w = model.working();
    EXPECT_EQ(w.general.jointNum, 2);
    EXPECT_EQ(w.channel(0).beamCount, 40);
    EXPECT_EQ(w.channel(1).beamCount, 32);
    EXPECT_EQ(w.general.type.size(), 20u);
    EXPECT_EQ(w.general.versionText.rfind("VER", 0), 0u);
    EXPECT_FALSE(w.channel(0).pitchText.empty());
    EXPECT_NE(w.channel(0).zero[0], 0);
    EXPECT_NE(w.channel(1).axisTh[31], 0);

    // Selecting the first bank puts the current values into their stored set.
    ASSERT_EQ(tx->readBanks(), kRequestOk);
    EXPECT_EQ(model.selectedSet(), 0);
    for (int b = 1; b <= kBankCount; ++b) {
        EXPECT_EQ(model.storedSet(b).compatible, 1) << "bank " << b;
    }
    EXPECT_EQ(model.storedSet(0).channel(1).beamCount, 32);
    EXPECT_TRUE(host.messagesShown().empty());
}

// Request log lines of the emulator: identifier, start, count, payload.
std::vector<ReadStep> loggedReads(const std::string& path) {
    std::vector<ReadStep> reads;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        ReadStep s{};
        std::string payload;
        fields >> s.code >> s.start >> s.count >> payload;
        const std::string op = payload.size() >= 5 ? payload.substr(3, 2) : "";
        if ((op == "GP" || op == "GS" || op == "GC") && s.code != 48) {
            reads.push_back(s);
        }
    }
    return reads;
}

TEST_F(EmulatorTest, InitialReadSendsTheListedRequestsAndBeamsOfConnectedSensorsOnly) {
    const TempDir temp;
    const std::string log = temp.file("readall.log");
    connect("--sensors 40,10 --log " + log);
    ASSERT_EQ(tx->readAll(), kRequestOk);

    std::vector<ReadStep> expected;
    for (const ReadStep& s : readAllFixedSteps()) {
        if (s.code >= 57 && s.code <= 59) {
            expected.push_back({s.code, 0, s.arg1, s.count});  // strings carry arg 1 and count
        } else if (s.code == 46) {
            expected.push_back({s.code, 0, 0, 0});
        } else {
            expected.push_back({s.code, 0, s.start, s.count});
        }
    }
    for (int c = 0; c < 2; ++c) {
        const int beams = c == 0 ? 40 : 10;
        expected.push_back({66, 0, 16 * c, (beams + 7) / 8});
        expected.push_back({97, 0, 16 * c, (beams + 7) / 8});
        for (int code : {102, 103, 90, 93, 91, 94, 103, 102}) {
            expected.push_back({code, 0, 128 * c, beams});
        }
    }
    const std::vector<ReadStep> sent = loggedReads(log);
    ASSERT_EQ(sent.size(), expected.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].code, expected[i].code) << i;
        EXPECT_EQ(sent[i].start, expected[i].start) << i << " code " << sent[i].code;
        EXPECT_EQ(sent[i].count, expected[i].count) << i << " code " << sent[i].code;
    }
}

TEST_F(EmulatorTest, WholeCurrentSetWriteIsAcceptedAndVerified) {
    connect("--sensors 40,32,8");
    ASSERT_EQ(tx->readAll(), kRequestOk);
    const SettingsData before = model.working();
    model.working().channel(2).zero.fill(90);
    ASSERT_EQ(tx->writeCurrentValues(before, {}), kRequestOk);
    EXPECT_TRUE(host.messagesShown().empty());
    model.working().channel(2).zero.fill(0);
    ASSERT_EQ(link->request(102, 3, 256, 8), kRequestOk);
    EXPECT_EQ(model.working().channel(2).zero[7], 90);
}

TEST_F(EmulatorTest, ControllerInSettingModeAtStartIsResetOnOk) {
    host.answers = {true};
    connect("--sensors 40 --state 1");
    EXPECT_EQ(host.questionsAsked(), std::vector<Question>{Question::ResetSettingMode});
}

TEST_F(EmulatorTest, ErrorLogAndClockAreRead) {
    connect("--sensors 40");
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        ASSERT_EQ(link->request(107 + k), kRequestOk) << k;
    }
    EXPECT_FALSE(model.errorHistory[0].isEmpty());
    ASSERT_EQ(link->request(49), kRequestOk);
    EXPECT_GE(model.working().general.words[2], 2020);
}

}  // namespace
}  // namespace qavix::test

#endif

#ifdef QAVLINK_PATH
#include <filesystem>

#include "TempDir.h"
#include "files/BankImport.h"
#include "files/RecoveryFiles.h"

namespace qavix::test {
namespace {

TEST_F(EmulatorTest, PulledCableEndsTheProgramAfterSavingUnwrittenBankEdits) {
    // One answer for the connection's status check, then silence.
    timings.pollPeriod = std::chrono::milliseconds(20);
    connect("--sensors 40 --hang-after 1");
    const TempDir temp;
    const std::string folder = temp.path().string();
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 6;
    // By value: the link outlives this test body, and its hook may run as the link ends.
    link->setRecoveryWriter(
        [folder, when](const DeviceModel& m) { return saveRecoveryFiles(m, {folder}, when); });
    model.selectSet(1);
    model.working().channel(0).axisTh[0] = 99;
    model.markEdited(1);

    link->resumePolling();  // the idle poll meets the silent line
    waitUntil([&] { return host.endCount() > 0; }, std::chrono::seconds(15));
    ASSERT_EQ(host.endCount(), 1);

    const std::string file = folder + "/" + recoveryFileName(1, when);
    ASSERT_TRUE(std::filesystem::exists(file));
    ASSERT_EQ(host.messagesShown().size(), 1u);
    EXPECT_NE(host.messagesShown()[0].find(file), std::string::npos);
    const bankfile::BlockRead read = bankfile::readBlocks(file);
    ASSERT_TRUE(read.ok()) << read.message;
    SettingsData saved;
    EXPECT_EQ(bankfile::decodeBlocks(read.texts, saved), codec::DecodeResult::Ok);
    EXPECT_EQ(saved.channel(0).axisTh[0], 99);
}

}  // namespace
}  // namespace qavix::test
#endif
