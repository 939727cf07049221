// The scan monitor's direct read: three calls at most per sample, one when nothing answers, a
// skipped sample after one failed read, the stop after the second in a row, and a spoilt
// answer counted as a failure.

#include <gtest/gtest.h>

#include "FakeLink.h"
#include "comm/ScanReader.h"

namespace qavix::test {
namespace {

using scan::SampleOutcome;

class ScanReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        set.general.jointNum = 2;
        set.channel(0).beamCount = 40;
        set.channel(1).beamCount = 32;
    }
    FakeLink fake;
    LinkApi api = fake.api();
    SettingsData set;
};

TEST_F(ScanReaderTest, ReadsTheFlagsOfTheRangeIntoTheWorkingTables) {
    fake.parameterReplies[92] = "01" + std::string(30, '0') + "80" + std::string(30, '0');
    scan::ScanReader reader(api, 1500);
    EXPECT_EQ(reader.sample(scan::scanRange(kAllChannels, 2), set), SampleOutcome::Taken);
    ASSERT_EQ(fake.countOf("GetParameter"), 1);
    const FakeCall call = fake.callsOf("GetParameter").front();
    EXPECT_EQ(call.id, 92);
    EXPECT_EQ(call.start, 0);
    EXPECT_EQ(call.count, 32);
    EXPECT_EQ(set.channel(0).beamState[0], 1);
    EXPECT_EQ(set.channel(1).beamState[7], 0x80);
}

TEST_F(ScanReaderTest, OneFailedReadIsSkippedAndTheNextSuccessForgetsIt) {
    fake.failures["GetParameter"] = 3;  // every call of the first read
    scan::ScanReader reader(api);
    EXPECT_EQ(reader.sample(scan::scanRange(1, 2), set), SampleOutcome::Skipped);
    EXPECT_EQ(fake.countOf("GetParameter"), 3);
    EXPECT_EQ(reader.sample(scan::scanRange(1, 2), set), SampleOutcome::Taken);
    EXPECT_EQ(reader.failures(), 0);
    // Failures must be consecutive to stop: fail, succeed, fail is no stop.
    fake.failures["GetParameter"] = 3;
    EXPECT_EQ(reader.sample(scan::scanRange(1, 2), set), SampleOutcome::Skipped);
}

TEST_F(ScanReaderTest, ARetryThatAnswersSavesTheSample) {
    fake.failures["GetParameter"] = 2;
    scan::ScanReader reader(api);
    EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Taken);
    EXPECT_EQ(fake.countOf("GetParameter"), 3);
}

TEST_F(ScanReaderTest, TwoFailedReadsInARowStop) {
    fake.failures["GetParameter"] = 6;
    scan::ScanReader reader(api);
    EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Skipped);
    EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Stop);
    EXPECT_EQ(fake.countOf("GetParameter"), 6);
    reader.resetFailures();
    EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Taken);
}

// A call that got no answer at all is not repeated: the next call would wait out the whole
// time-out again, which is what made a pulled cable take 9 s to stop the monitor.
TEST_F(ScanReaderTest, NoAnswerAtAllEndsTheReadAtTheFirstCall) {
    for (const char* code : {"TIMEOUT", "LINE"}) {
        SCOPED_TRACE(code);
        fake.calls.clear();
        fake.failures["GetParameter"] = 6;
        fake.errorCode = code;
        scan::ScanReader reader(api);
        EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Silent);
        EXPECT_EQ(fake.countOf("GetParameter"), 1);
        // The second failure in a row stops, silent or not.
        EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Stop);
        EXPECT_EQ(fake.countOf("GetParameter"), 2);
    }
    // A spoilt answer is still asked for again at once.
    fake.calls.clear();
    fake.failures["GetParameter"] = 2;
    fake.errorCode = "CHECK";
    scan::ScanReader reader(api);
    EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Taken);
    EXPECT_EQ(fake.countOf("GetParameter"), 3);
    EXPECT_TRUE(scan::isSilentLineCode("TIMEOUT"));
    EXPECT_FALSE(scan::isSilentLineCode("NAK12"));
}

TEST_F(ScanReaderTest, AnAnswerOfTheWrongLengthCountsAsAFailedCall) {
    fake.parameterReplies[92] = "FFFF";  // two bytes where sixteen were asked for
    set.channel(0).beamState[3] = beamBitWeight(3);
    scan::ScanReader reader(api);
    EXPECT_EQ(reader.sample(scan::scanRange(0, 2), set), SampleOutcome::Skipped);
    EXPECT_EQ(fake.countOf("GetParameter"), 3);
    EXPECT_EQ(set.channel(0).beamState[3], beamBitWeight(3));
    EXPECT_EQ(set.channel(0).beamState[0], 0);
}

}  // namespace
}  // namespace qavix::test
