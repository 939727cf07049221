// The sensor operation settings: threshold limits, the OUT2/OUT3 lists, what the page
// shows for a channel and what its write sends.

#include <gtest/gtest.h>

#include "model/SensorOperation.h"
#include "model/SensorOutputs.h"

namespace qavix {
namespace {

TEST(SensorThresholds, OnBoxIsLimitedAndOffFollowsWithTheDifference) {
    EXPECT_EQ(onThresholdEntered(5, 10), (ThresholdPair{18, 8}));
    EXPECT_EQ(onThresholdEntered(18, 10), (ThresholdPair{18, 8}));
    EXPECT_EQ(onThresholdEntered(55, 7), (ThresholdPair{55, 48}));
    EXPECT_EQ(onThresholdEntered(100, 10), (ThresholdPair{100, 90}));
    EXPECT_EQ(onThresholdEntered(101, 10), (ThresholdPair{100, 90}));
}

TEST(SensorThresholds, OffBoxIsRaisedOrFallsBackAndOnFollows) {
    EXPECT_EQ(offThresholdEntered(3, 10), (ThresholdPair{18, 8}));
    EXPECT_EQ(offThresholdEntered(95, 10), (ThresholdPair{105, 95}));
    EXPECT_EQ(offThresholdEntered(100, 10), (ThresholdPair{110, 100}));
    EXPECT_EQ(offThresholdEntered(120, 10), (ThresholdPair{100, 90}));
}

TEST(SensorThresholds, TextValueIsItsLeadingDigits) {
    EXPECT_EQ(thresholdTextValue("5"), 5);
    EXPECT_EQ(thresholdTextValue("120"), 120);
    EXPECT_EQ(thresholdTextValue(""), 0);
    EXPECT_EQ(thresholdTextValue("x7"), 0);
    EXPECT_EQ(thresholdTextValue("42abc"), 42);
    // A long run of digits does not overflow into a small number.
    EXPECT_EQ(onThresholdEntered(thresholdTextValue("99999999999999"), 10).on, 100);
}

TEST(SensorOutputs, PageListsSevenFunctionsInItsOrderAndTheReportNamesThem) {
    const std::vector<int32_t> codes = {0x01, 0x0F, 0x04, 0x03, 0x02, 0x07, 0x05};
    const std::vector<SensorOutputChoice>& choices = sensorOutputChoices();
    ASSERT_EQ(choices.size(), codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(choices[i].code, codes[i]) << i;
        EXPECT_EQ(sensorOutputChoiceIndex(codes[i]), static_cast<int>(i));
        EXPECT_NE(sensorOutputName(codes[i]), "該当無");
    }
    EXPECT_STREQ(choices[1].name, "OUT1　反転出力");
    EXPECT_STREQ(choices[6].name, "指定光軸出力");
    EXPECT_EQ(sensorOutputChoiceIndex(0x06), -1);
    // A stored code the page does not offer stands as an extra entry after the seven.
    EXPECT_EQ(sensorOutputEntry(0x06), 7);
}

struct SensorPuts : ::testing::Test {
    void SetUp() override {
        set.general.jointNum = 3;
        for (int c = 0; c < 3; ++c) {
            ChannelRecord& ch = set.channel(c);
            ch.sensorId = "0001";
            ch.subConf = 0x0F;
            ch.almConf = 0x01;
            ch.onTh = 50;
            ch.offTh = 40;
            ch.functionBit1 = 0;
            ch.functionBit2 = 0;
            ch.floConf = 0x02;
        }
    }
    std::vector<std::string> sent(const SensorOperationValues& v, int channel, bool extended,
                                  bool toBank = false) {
        std::vector<std::string> out;
        for (const codec::PutRequest& p :
             sensorOperationPuts(v, {channel, 3, extended, toBank}, set)) {
            out.push_back(std::to_string(p.code) + "/" + std::to_string(p.channel) + ":" + p.text);
        }
        return out;
    }
    SettingsData set;
};

TEST_F(SensorPuts, ShownValuesOfTheWorkingSetWriteNothingOutsideCh1Blanking) {
    SensorOperationValues v = sensorOperationValues(set.channel(1));
    EXPECT_EQ(v.out2, 1);
    EXPECT_EQ(v.floatingBeams, 2);
    EXPECT_TRUE(sent(v, 2, true).empty());
    // CH1 passes its blanking switches to CH2 and CH3 on every write.
    v = sensorOperationValues(set.channel(0));
    EXPECT_EQ(sent(v, 1, true),
              (std::vector<std::string>{"19/2:00", "19/3:00", "16/2:00", "16/3:00"}));
    EXPECT_TRUE(sent(v, 1, false).empty());
}

TEST_F(SensorPuts, ChangedValuesAreWrittenInOrder) {
    SensorOperationValues v = sensorOperationValues(set.channel(0));
    v.id = "ab";
    v.out2 = 6;  // designated beams
    v.out3 = 3;  // on lockout
    v.thresholds = onThresholdEntered(5, 10);
    v.floating = kChoiceEnabled;
    v.mode = kChoiceContinuous;
    v.floatingBeams = 3;
    v.fixed = kChoiceEnabled;
    EXPECT_EQ(sent(v, 1, true),
              (std::vector<std::string>{"8/1:00AB", "10/1:05", "11/1:03", "6/1:12", "7/1:08",
                                        "27/1:12", "19/1:01", "19/2:01", "19/3:01", "20/1:01",
                                        "22/1:13", "16/1:01", "16/2:01", "16/3:01"}));
    // Without the extended mode only the identification and the outputs are written.
    EXPECT_EQ(sent(v, 1, false), (std::vector<std::string>{"8/1:00AB", "10/1:05", "11/1:03"}));
    // Other channels have no auxiliary outputs.
    EXPECT_EQ(sent(v, 3, false), std::vector<std::string>{"8/3:00AB"});
    // A bank has no place for the identification: it is never written there.
    EXPECT_EQ(sent(v, 1, false, true), (std::vector<std::string>{"10/1:05", "11/1:03"}));
}

TEST_F(SensorPuts, NumberOfBeamsKeepsTheModeSwitchOfItsByte) {
    set.channel(1).floConf = 0x31;  // continuous, bit 5 set, one beam
    set.channel(1).floConfBit4 = 1;
    SensorOperationValues v = sensorOperationValues(set.channel(1));
    EXPECT_EQ(v.floatingBeams, 1);
    EXPECT_EQ(v.mode, kChoiceContinuous);
    v.floatingBeams = 2;
    EXPECT_EQ(sent(v, 2, true), std::vector<std::string>{"22/2:32"});
    v.mode = kChoiceNonContinuous;
    EXPECT_EQ(sent(v, 2, true), (std::vector<std::string>{"20/2:00", "22/2:22"}));
}

TEST_F(SensorPuts, IdentificationComparesAsANumber) {
    SensorOperationValues v = sensorOperationValues(set.channel(0));
    v.id = "1";
    EXPECT_TRUE(sensorIdMatches(v.id, "0001"));
    EXPECT_TRUE(sent(v, 1, false).empty());
    EXPECT_FALSE(sensorIdMatches("10", "0001"));
    // A stored text that is no number matches only itself.
    EXPECT_TRUE(sensorIdMatches("", ""));
    EXPECT_FALSE(sensorIdMatches("0", ""));
    EXPECT_EQ(sensorIdWriteText(""), "0000");
    EXPECT_EQ(sensorIdWriteText("fFf"), "0FFF");
}

TEST_F(SensorPuts, UnofferedStoredOutputStaysUntilAnotherIsChosen) {
    set.channel(0).subConf = 0x06;
    SensorOperationValues v = sensorOperationValues(set.channel(0));
    EXPECT_EQ(v.out2, 7);
    EXPECT_TRUE(sent(v, 1, false).empty());
    v.out2 = 0;
    EXPECT_EQ(sent(v, 1, false), std::vector<std::string>{"10/1:01"});
}

TEST(SensorDefaults, Ch1GetsOutputsAndInTheExtendedModeThresholdsAndBlanking) {
    SensorOperationValues v;
    v.out2 = 4;
    v.out3 = 4;
    v.thresholds = {60, 50};
    v.floating = kChoiceEnabled;
    v.fixed = kChoiceEnabled;
    v.mode = kChoiceContinuous;
    v.floatingBeams = 3;
    SensorOperationValues basic = v;
    applySensorDefaults(basic, 1, false);
    EXPECT_EQ(basic.out2, 1);
    EXPECT_EQ(basic.out3, 0);
    EXPECT_EQ(basic.thresholds, v.thresholds);

    SensorOperationValues ch2 = v;
    applySensorDefaults(ch2, 2, true);
    EXPECT_EQ(ch2.out2, 4);
    EXPECT_EQ(ch2.thresholds, (ThresholdPair{18, 8}));
    EXPECT_EQ(ch2.floating, kChoiceEnabled);  // blanking follows CH1
    EXPECT_EQ(ch2.mode, kChoiceNonContinuous);
    EXPECT_EQ(ch2.floatingBeams, 0);

    applySensorDefaults(v, 1, true);
    EXPECT_EQ(v.floating, kChoiceDisabled);
    EXPECT_EQ(v.fixed, kChoiceDisabled);
}

TEST(SensorOperationReads, ChannelAddressedReadsEndWithTheBeamCounts) {
    const std::vector<PageRead> reads = sensorOperationReads(2);
    std::vector<int> codes;
    for (const PageRead& r : reads) {
        codes.push_back(r.code);
    }
    EXPECT_EQ(codes, (std::vector<int>{58, 82, 70, 69, 73, 74, 67, 68, 98, 99, 101, 95, 72}));
    EXPECT_EQ(reads[3], (PageRead{69, 2, 2, 2, 1500}));
    EXPECT_EQ(reads[6], (PageRead{67, 2, 1, 1, 1500}));
}

}  // namespace
}  // namespace qavix
