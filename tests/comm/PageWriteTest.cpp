// A page's write goes to the controller or into the selected bank, and the working set
// takes exactly what was written, and only once it was.

#include <gtest/gtest.h>

#include "FakeLink.h"
#include "comm/CCommLink.h"
#include "comm/PageWrite.h"
#include "model/Codec.h"

namespace qavix::test {
namespace {

constexpr int kAxisPut = 24;  // AXIS_TH of one sensor's beams
constexpr int kBeam = 3;
constexpr int kHeldThreshold = 10;
constexpr int kTypedThreshold = 77;

class PageWriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int t = 0; t <= kBankCount; ++t) {
            StoredSet& s = model.storedSet(t);
            s.general.jointNum = 1;
            s.general.tchCnf = 5;
            s.channel(0).beamCount = 8;
            s.channel(0).axisTh.fill(kHeldThreshold);
            s.compatible = 1;
        }
        static_cast<SettingsData&>(model.working()) = model.storedSet(kCurrentSet);
        link =
            std::make_unique<CCommLink>(host, model, instantTimings(std::chrono::milliseconds(20)));
        ASSERT_TRUE(link->start(FAKE_LINK_PATH)) << link->libraryError();
        link->suspendPolling();
        fake.calls.clear();
    }
    void TearDown() override { link.reset(); }

    // The page's edit: one threshold typed; another value differs too but is not the page's
    // to write, so no put carries it.
    std::vector<codec::PutRequest> typedThresholdPuts() {
        SettingsData edited = model.working();
        edited.channel(0).axisTh[kBeam] = kTypedThreshold;
        edited.general.tchCnf = 9;
        return {codec::encodePut(kAxisPut, 1, edited)};
    }

    // The controller reads back what it was sent.
    void controllerTakes(const std::vector<codec::PutRequest>& puts) {
        for (const codec::PutRequest& p : puts) {
            fake.parameterReplies[codec::pairedReadCode(p.code)] = p.text;
        }
        fake.statusReplies = {"0001", "0101", "0101", "0001"};
    }

    int sentRequests() const {
        return fake.countOf("StartSetting") + fake.countOf("PutParameter") +
               fake.countOf("EnableSetting");
    }

    FakeLink fake;
    ScriptedHost host;
    DeviceModel model;
    std::unique_ptr<CCommLink> link;
};

TEST_F(PageWriteTest, WithTheCurrentValuesShownThePutsGoToTheControllerAndStandInTheWorkingSet) {
    const auto puts = typedThresholdPuts();
    controllerTakes(puts);
    const PageWriteResult result = writePage(*link, model, puts);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.target, WriteTarget::Controller);
    EXPECT_EQ(fake.countOf("StartSetting"), 1);
    EXPECT_EQ(fake.countOf("EnableSetting"), 1);
    const auto sent = fake.callsOf("PutParameter");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].id, kAxisPut);
    EXPECT_EQ(sent[0].text, puts[0].text);

    EXPECT_EQ(model.working().channel(0).axisTh[kBeam], kTypedThreshold);
    EXPECT_EQ(model.working().channel(0).axisTh[kBeam + 1], kHeldThreshold);
    EXPECT_EQ(model.working().general.tchCnf, 5) << "a value no put carried was taken";
    EXPECT_EQ(model.storedSet(kCurrentSet).edited, 0);
}

TEST_F(PageWriteTest, WithABankSelectedNothingIsSentAndTheBankIsMarkedEdited) {
    model.selectSet(2);
    const auto puts = typedThresholdPuts();
    const PageWriteResult result = writePage(*link, model, puts);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.target, WriteTarget::SelectedBank);
    EXPECT_EQ(sentRequests(), 0);

    EXPECT_EQ(model.working().channel(0).axisTh[kBeam], kTypedThreshold);
    EXPECT_EQ(model.working().general.tchCnf, 5);
    EXPECT_EQ(model.storedSet(2).edited, 1);
    // The bank's stored copy changes when the bank is written, the current values not at all.
    EXPECT_EQ(model.storedSet(2).channel(0).axisTh[kBeam], kHeldThreshold);
    EXPECT_EQ(model.storedSet(kCurrentSet).channel(0).axisTh[kBeam], kHeldThreshold);
    EXPECT_EQ(model.storedSet(kCurrentSet).edited, 0);
}

TEST_F(PageWriteTest, APutABankDoesNotKeepLeavesTheBankUnmarked) {
    model.selectSet(3);
    SettingsData edited = model.working();
    // ON_TH sent once more: the controller has no read of it, a bank no place for it.
    const codec::PutRequest repeat = codec::encodePut(27, 1, edited);
    ASSERT_EQ(codec::pairedReadCode(repeat.code), 0);
    ASSERT_TRUE(writePage(*link, model, {repeat}).ok);
    EXPECT_EQ(model.storedSet(3).edited, 0);
    EXPECT_EQ(sentRequests(), 0);
}

TEST_F(PageWriteTest, AFailedWriteLeavesTheWorkingSetAsTheControllerHasIt) {
    const auto puts = typedThresholdPuts();
    // The line goes while the block is sent.
    fake.statusReplies = {"0101"};
    fake.failures["PutParameter"] = 3;
    const PageWriteResult cut = writePage(*link, model, puts);
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(cut.target, WriteTarget::Controller);
    EXPECT_EQ(model.working().channel(0).axisTh[kBeam], kHeldThreshold);
}

TEST_F(PageWriteTest, AWriteTheControllerReadsBackOtherwiseIsNotTaken) {
    const auto puts = typedThresholdPuts();
    controllerTakes(puts);
    // The controller holds something else than was sent.
    fake.parameterReplies[codec::pairedReadCode(kAxisPut)] = std::string(puts[0].text.size(), '0');
    EXPECT_FALSE(writePage(*link, model, puts).ok);
    EXPECT_EQ(model.working().channel(0).axisTh[kBeam], kHeldThreshold);
}

}  // namespace
}  // namespace qavix::test
