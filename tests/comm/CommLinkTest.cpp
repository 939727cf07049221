#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "FakeLink.h"
#include "WaitUntil.h"
#include "comm/CCommLink.h"
#include "comm/CommMessages.h"
#include "comm/Transactions.h"
#include "model/Codec.h"

namespace qavix::test {
namespace {

CommTimings instant() {
    return instantTimings(std::chrono::milliseconds(20));
}

class CommLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        link = std::make_unique<CCommLink>(host, model, instant());
        ASSERT_TRUE(link->start(FAKE_LINK_PATH)) << link->libraryError();
        link->suspendPolling();  // keep idle polls out of the recorded calls
        fake.calls.clear();
    }
    void TearDown() override { link.reset(); }

    FakeLink fake;
    ScriptedHost host;
    DeviceModel model;
    std::unique_ptr<CCommLink> link;
};

TEST_F(CommLinkTest, AFailingCallIsRetriedAndSucceeds) {
    fake.failures["PutParameter"] = 2;
    fake.statusReplies = {"0001", "0101"};  // normal, then setting mode during the write
    EXPECT_EQ(link->request(kCodeStartSetting), kRequestOk);
    EXPECT_EQ(link->request(6, 1, 0, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestOk);
    EXPECT_EQ(fake.countOf("PutParameter"), 3);
    EXPECT_TRUE(host.messagesShown().empty());
}

TEST_F(CommLinkTest, ALostConnectionIsNeverReportedAsDone) {
    fake.statusReplies = {"0101"};
    fake.failures["PutParameter"] = 3;
    EXPECT_EQ(link->request(6, 1, 0, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestFailed);
    EXPECT_TRUE(link->lastRequestLostConnection());
    EXPECT_EQ(host.messagesShown(), std::vector<std::string>{msg::kCommunicationCut});
    EXPECT_EQ(host.endCount(), 1);

    // Nothing more reaches the controller once the end has been asked for.
    const int before = static_cast<int>(fake.calls.size());
    EXPECT_EQ(link->request(kCodeEnableSetting), kRequestFailed);
    EXPECT_EQ(static_cast<int>(fake.calls.size()), before);
}

TEST_F(CommLinkTest, FailedOpenWhileConnectingIsLeftToTheStatusCheck) {
    fake.openSucceeds = false;
    link->setConnecting(true);
    EXPECT_EQ(link->open(), kRequestOk);
    EXPECT_EQ(fake.countOf("Open"), 3);
    EXPECT_EQ(host.endCount(), 0);
    EXPECT_TRUE(host.messagesShown().empty());
}

TEST_F(CommLinkTest, PortThatCannotBeOpenedIsNamedInsteadOfACutLine) {
    // The library's short message is not what the operator reads: the text is built again
    // from its code and the device the port resolves to.
    const std::string gone = "/nonexistent/qavix-unplugged";
    ::setenv("QAVLINK_COM1", gone.c_str(), 1);
    fake.openSucceeds = false;
    fake.errorCode = "NOPORT";
    fake.errorMessage = "cut short";
    fake.statusReplies = {""};
    link->setConnecting(true);
    EXPECT_EQ(link->open(), kRequestOk);
    link->setConnecting(false);
    EXPECT_NE(link->worker().openProblem().find(gone + " がありません"), std::string::npos)
        << link->worker().openProblem();
    EXPECT_EQ(link->worker().statusCheck(kStatusFirstConnection), kWorkerLost);
    const auto asked = host.questionTexts();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find(gone), std::string::npos) << asked[0];
    EXPECT_EQ(asked[0].find("断絶"), std::string::npos) << asked[0];
    EXPECT_NE(asked[0].find(msg::kAskCommSetupOnly), std::string::npos) << asked[0];

    // Once the port opens, the next question is the plain one again.
    fake.openSucceeds = true;
    fake.errorCode.clear();
    EXPECT_EQ(link->open(), kRequestOk);
    EXPECT_EQ(link->worker().openProblem(), "");
    ::unsetenv("QAVLINK_COM1");
}

TEST_F(CommLinkTest, OpenNamesThePortAndPassesTheUnit) {
    LinkSettings s;
    s.activePort = 2;
    s.unit = 7;
    s.blocks[2] = {38400, 8, 0, 0, 0, 0};
    link->setSettings(s);
    EXPECT_EQ(link->open(), kRequestOk);
    const auto opens = fake.callsOf("Open");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].text, "COM3");
    EXPECT_EQ(opens[0].id, 7);
}

TEST_F(CommLinkTest, VerificationFailsWhenTheReadBackDiffersOrIsShort) {
    fake.statusReplies = {"0001", "0101"};
    EXPECT_EQ(link->request(kCodeStartSetting), kRequestOk);
    EXPECT_EQ(link->request(6, 1, 0, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestOk);
    fake.statusReplies = {"0001"};
    fake.parameterReplies[67] = "";  // the read-back is empty
    EXPECT_EQ(link->request(kCodeEnableSetting), kRequestFailed);
    EXPECT_EQ(host.messagesShown(), std::vector<std::string>{msg::kWriteFailed});
    EXPECT_EQ(host.endCount(), 0);
}

TEST_F(CommLinkTest, VerificationPassesAndReadsEveryWrittenBlockBack) {
    fake.statusReplies = {"0001", "0101"};
    EXPECT_EQ(link->request(kCodeStartSetting), kRequestOk);
    EXPECT_EQ(link->request(6, 2, 1, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestOk);
    EXPECT_EQ(link->request(27, 2, 1, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestOk);
    fake.statusReplies = {"0001"};
    fake.parameterReplies[67] = "32";
    EXPECT_EQ(link->request(kCodeEnableSetting), kRequestOk);
    const auto reads = fake.callsOf("GetParameter");
    ASSERT_EQ(reads.size(), 1u);  // code 27 has no read to verify it with
    EXPECT_EQ(reads[0].id, 67);
    EXPECT_EQ(reads[0].start, 1);
    EXPECT_EQ(fake.countOf("EnableSetting"), 1);
    EXPECT_EQ(fake.countOf("Reset"), 1);
}

TEST_F(CommLinkTest, WithABankSelectedPutsChangeOnlyTheWorkingSet) {
    model.storedSet(3).compatible = 1;
    model.selectSet(3);
    model.working().channel(0).beamCount = 10;
    SettingsData source = model.working();
    source.channel(0).setAxis[9] = beamBitWeight(9);
    const codec::PutRequest put = codec::encodePut(5, 1, source);
    ASSERT_EQ(put.code, 5);
    EXPECT_EQ(link->request(put.code, put.channel, put.start, put.count, kRequestTimeoutMs, 0, 0,
                            put.text),
              kRequestOk);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(model.working().channel(0).setAxis[9], beamBitWeight(9));
    EXPECT_EQ(model.storedSet(3).edited, 1);
    // Reads of bank data are answered from the working set.
    EXPECT_EQ(link->request(103, 1, 0, 10), kRequestOk);
    EXPECT_EQ(link->request(kCodeStartSetting), kRequestOk);
    EXPECT_TRUE(fake.calls.empty());
    // Reads of what is not in a bank still go out.
    EXPECT_EQ(link->request(149), kRequestOk);
    EXPECT_EQ(fake.countOf("GetParameter"), 1);
}

TEST_F(CommLinkTest, WithABankSelectedTheLevelsStillComeFromTheController) {
    model.storedSet(2).compatible = 1;
    model.selectSet(2);
    model.working().channel(1).beamCount = 3;
    fake.parameterReplies[88] = "57C8FF";
    fake.parameterReplies[89] = "006400FA0001";
    EXPECT_EQ(link->request(88, 2, 128, 3), kRequestOk);
    EXPECT_EQ(link->request(89, 2, 128, 3), kRequestOk);
    const auto reads = fake.callsOf("GetParameter");
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].id, 88);
    EXPECT_EQ(reads[1].id, 89);
    const ChannelRecord& ch = model.working().channel(1);
    EXPECT_EQ(ch.absLevel[0], 0x57);
    EXPECT_EQ(ch.absLevel[2], 0xFF);
    EXPECT_EQ(ch.ratioLevel[1], 250);
    // Live levels are no bank edit.
    EXPECT_EQ(model.storedSet(2).edited, 0);
}

TEST_F(CommLinkTest, IdlePollThatLosesTheControllerEndsTheProgram) {
    link->resumePolling();
    {
        // The worker is polling by now and reads the script under this lock.
        std::lock_guard<std::mutex> lock(fake.mutex);
        fake.statusReplies = {""};
    }
    waitUntil([&] { return host.endCount() > 0; }, std::chrono::seconds(5));
    EXPECT_EQ(host.endCount(), 1);
    EXPECT_EQ(host.messagesShown(), std::vector<std::string>{msg::kCommunicationCut});
}

TEST_F(CommLinkTest, LostConnectionSavesRecoveryFilesFirstAndNamesThem) {
    std::vector<int> savedBanks;
    link->setRecoveryWriter([&](const DeviceModel& m) {
        RecoverySave save;
        for (int b = 1; b <= kBankCount; ++b) {
            if (m.storedSet(b).edited != 0) {
                savedBanks.push_back(b);
                save.written.push_back("Qavix-recovery-Bank" + std::to_string(b) + ".qbk");
            }
        }
        return save;
    });
    model.storedSet(2).edited = 1;
    fake.failures["GetParameter"] = 3;
    EXPECT_EQ(link->request(149), kRequestFailed);
    EXPECT_EQ(savedBanks, std::vector<int>{2});
    ASSERT_EQ(host.messagesShown().size(), 1u);
    EXPECT_EQ(host.messagesShown()[0].rfind(msg::kCommunicationCut, 0), 0u);
    EXPECT_NE(host.messagesShown()[0].find("Qavix-recovery-Bank2.qbk"), std::string::npos);
}

TEST_F(CommLinkTest, RecoveryThatSavesNothingSaysSo) {
    link->setRecoveryWriter([](const DeviceModel&) {
        RecoverySave save;
        save.unsaved = {3};
        save.errors = {"/work/Qavix-recovery-Bank3.qbk: Permission denied"};
        return save;
    });
    fake.statusReplies = {""};
    EXPECT_EQ(link->request(149), kRequestFailed);
    ASSERT_EQ(host.messagesShown().size(), 1u);
    const std::string shown = host.messagesShown()[0];
    EXPECT_EQ(shown.rfind(msg::kCommunicationCut, 0), 0u);
    EXPECT_NE(shown.find(std::string(kRecoveryUnsavedHeading) + "Bank3\n"), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Permission denied"), std::string::npos);
}

// Whether a line lost during a write may have let it land is held against every request
// of every write in FaultMatrixTest.cpp; here, what follows a write that was settled.
TEST_F(CommLinkTest, ALineLostBeforeEnableOrAfterAVerifiedWriteIsOnlyACut) {
    // A completed, verified write: the next loss has nothing in flight.
    fake.statusReplies = {"0001", "0101"};
    ASSERT_EQ(link->request(kCodeStartSetting), kRequestOk);
    ASSERT_EQ(link->request(6, 1, 0, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestOk);
    fake.parameterReplies[67] = "32";
    fake.statusReplies = {"0001"};
    ASSERT_EQ(link->request(kCodeEnableSetting), kRequestOk);
    fake.statusReplies = {""};
    EXPECT_EQ(link->request(149), kRequestFailed);
    EXPECT_EQ(host.messagesShown(), std::vector<std::string>{msg::kCommunicationCut});
}

// A cancelled write ends at the next request; the reset that leaves setting mode without
// enabling is the only thing still sent, and only while a setting mode of ours is open.
TEST_F(CommLinkTest, ACancelledWriteStopsAndOnlyAnOpenSettingModeIsReset) {
    fake.statusReplies = {"0001", "0101"};
    ASSERT_EQ(link->request(kCodeStartSetting), kRequestOk);
    ASSERT_EQ(link->request(6, 1, 0, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestOk);
    EXPECT_TRUE(link->worker().settingOpen());
    host.cancelled = true;
    EXPECT_EQ(link->request(7, 1, 0, 1, kRequestTimeoutMs, 0, 0, "33"), kRequestFailed);
    EXPECT_TRUE(link->lastRequestCancelled());
    EXPECT_FALSE(link->lastRequestLostConnection());
    EXPECT_EQ(link->request(kCodeEnableSetting), kRequestFailed);
    EXPECT_EQ(fake.countOf("PutParameter"), 1);
    EXPECT_EQ(fake.countOf("EnableSetting"), 0);

    fake.statusReplies = {"0001"};
    EXPECT_EQ(link->leaveSettingMode(), kRequestOk);
    EXPECT_FALSE(link->lastRequestCancelled());
    EXPECT_EQ(fake.countOf("Reset"), 1);
    EXPECT_FALSE(link->worker().settingOpen());
    EXPECT_EQ(link->leaveSettingMode(), kRequestOk);
    EXPECT_EQ(fake.countOf("Reset"), 1) << "nothing left open, nothing to reset";

    // A write that ran to its end closed setting mode itself.
    host.cancelled = false;
    fake.statusReplies = {"0001", "0101"};
    ASSERT_EQ(link->request(kCodeStartSetting), kRequestOk);
    ASSERT_EQ(link->request(6, 1, 0, 1, kRequestTimeoutMs, 0, 0, "32"), kRequestOk);
    fake.parameterReplies[67] = "32";
    fake.statusReplies = {"0001"};
    ASSERT_EQ(link->request(kCodeEnableSetting), kRequestOk);
    EXPECT_FALSE(link->worker().settingOpen());
    host.cancelled = true;
    EXPECT_EQ(link->leaveSettingMode(), kRequestOk);
    EXPECT_EQ(fake.countOf("Reset"), 2) << "only the reset of the enable";
    EXPECT_TRUE(host.messagesShown().empty());
}

TEST_F(CommLinkTest, BankWriteOfChangedZeroPointsSendsOneBlock) {
    for (int t = 0; t <= kBankCount; ++t) {
        StoredSet& s = model.storedSet(t);
        s.general.jointNum = 2;
        s.channel(0).beamCount = 40;
        s.channel(1).beamCount = 32;
        s.channel(1).zero.fill(100);
        s.compatible = 1;
    }
    model.selectSet(2);
    model.working().channel(1).zero[5] = 120;
    model.markEdited(2);
    fake.statusReplies = {"0001", "0101"};
    Transactions tx(*link, model);
    fake.calls.clear();
    // The verification read returns exactly what was written.
    SettingsData expected = model.working();
    fake.parameterReplies[151] = codec::encodeSubBlock(codec::kSubZero2, expected);
    fake.statusReplies = {"0001", "0101", "0101", "0001"};
    EXPECT_EQ(tx.writeSelectedBank(), kRequestOk);

    const auto puts = fake.callsOf("PutParameter");
    ASSERT_EQ(puts.size(), 1u);
    EXPECT_EQ(puts[0].id, 43);
    EXPECT_EQ(puts[0].start, 784);
    EXPECT_EQ(puts[0].count, 128);
    EXPECT_EQ(fake.countOf("StartSetting"), 1);
    EXPECT_EQ(fake.countOf("EnableSetting"), 1);
    const auto reads = fake.callsOf("GetParameter");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].id, 151);
    EXPECT_EQ(model.storedSet(2).edited, 0);
    // The bank now holds what was written, so the same edit is not sent again.
    EXPECT_EQ(model.storedSet(2).channel(1).zero[5], 120);
    EXPECT_TRUE(changedSubBlocks(model.working(), model.storedSet(2)).empty());
}

TEST_F(CommLinkTest, AFailedBankWriteKeepsTheEditsAndTheBankAsItWas) {
    for (int t = 0; t <= kBankCount; ++t) {
        StoredSet& s = model.storedSet(t);
        s.general.jointNum = 1;
        s.channel(0).beamCount = 40;
        s.channel(0).zero.fill(100);
        s.compatible = 1;
    }
    model.selectSet(3);
    model.working().channel(0).zero[0] = 130;
    model.markEdited(3);
    model.storedSet(3).writeAll = 1;
    Transactions tx(*link, model);
    fake.statusReplies = {"0101"};
    fake.failures["PutParameter"] = 3;
    EXPECT_EQ(tx.writeSelectedBank(), kRequestFailed);
    EXPECT_EQ(model.storedSet(3).edited, 1);
    EXPECT_EQ(model.storedSet(3).writeAll, 1);
    EXPECT_EQ(model.storedSet(3).channel(0).zero[0], 100);
    EXPECT_EQ(model.working().channel(0).zero[0], 130);
}

}  // namespace
}  // namespace qavix::test

namespace qavix::test {
namespace {

TEST(WholeSetPuts, CoverTheControllerAndEachConnectedSensor) {
    SettingsData set;
    set.general.jointNum = 2;
    set.channel(0).beamCount = 40;
    set.channel(1).beamCount = 12;
    const auto puts = wholeSetPuts(set);
    int perChannel[4] = {0, 0, 0, 0};
    for (const codec::PutRequest& p : puts) {
        EXPECT_NE(p.code, 0);
        EXPECT_FALSE(p.text.empty()) << p.code;
        ++perChannel[p.channel];
    }
    EXPECT_EQ(perChannel[1], perChannel[2]);
    EXPECT_EQ(perChannel[3], 0);
    EXPECT_GT(perChannel[0], 0);
}

}  // namespace
}  // namespace qavix::test
