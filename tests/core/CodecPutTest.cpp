#include <gtest/gtest.h>

#include <functional>

#include "CodecTestData.h"
#include "model/Codec.h"

namespace qavix {
namespace {

using codec::applyOffline;
using codec::DecodeResult;
using codec::encodePut;
using codec::pairedReadCode;

// Copies the fields a put carries from the sent set to the expected result.
using CarriedFields = std::function<void(const SettingsData& from, SettingsData& to)>;

struct PutCase {
    int putCode;
    int channel;
    CarriedFields carried;
};

CarriedFields channelField(int32_t ChannelRecord::*field) {
    return [field](const SettingsData& from, SettingsData& to) {
        for (int c = 0; c < kChannelCount; ++c) {
            to.channel(c).*field = from.channel(c).*field;
        }
    };
}

CarriedFields beamPrefix(BeamTable ChannelRecord::*table, int c) {
    return [table, c](const SettingsData& from, SettingsData& to) {
        const ChannelRecord& src = from.channel(c);
        for (size_t b = 0; b < static_cast<size_t>(src.beamCount); ++b) {
            (to.channel(c).*table)[b] = (src.*table)[b];
        }
    };
}

template <typename Field>
CarriedFields generalField(Field GeneralBlock::*field) {
    return [field](const SettingsData& from, SettingsData& to) {
        to.general.*field = from.general.*field;
    };
}

const std::vector<PutCase>& putCases() {
    static const std::vector<PutCase> cases = {
        {1, 0, generalField(&GeneralBlock::text59)},
        {2, 0, generalField(&GeneralBlock::idText)},
        {3, 0, generalField(&GeneralBlock::pio)},
        {4, 0, generalField(&GeneralBlock::pioInv)},
        {5, 2, beamPrefix(&ChannelRecord::setAxis, 1)},
        {5, 3, beamPrefix(&ChannelRecord::setAxis, 2)},
        {6, 2, channelField(&ChannelRecord::onTh)},
        {7, 3, channelField(&ChannelRecord::offTh)},
        {8, 2,
         [](const SettingsData& f, SettingsData& t) {
             t.channel(1).sensorId = f.channel(1).sensorId;
         }},
        {9, 1, channelField(&ChannelRecord::function)},
        {10, 2, channelField(&ChannelRecord::subConf)},
        {11, 2, channelField(&ChannelRecord::almConf)},
        {12, 3, channelField(&ChannelRecord::timeConf)},
        {13, 2, channelField(&ChannelRecord::countConf)},
        {14, 2, [](const SettingsData&, SettingsData&) {}},
        {15, 2, [](const SettingsData&, SettingsData&) {}},
        {16, 2, channelField(&ChannelRecord::functionBit1)},
        {17, 2, channelField(&ChannelRecord::fixConf)},
        {18, 1, beamPrefix(&ChannelRecord::fixAxis, 0)},
        {18, 2, beamPrefix(&ChannelRecord::fixAxis, 1)},
        {19, 3, channelField(&ChannelRecord::functionBit2)},
        {20, 2, channelField(&ChannelRecord::floConfBit4)},
        {21, 2, channelField(&ChannelRecord::floConfBit5)},
        {22, 2, channelField(&ChannelRecord::floConf)},
        {23, 3, beamPrefix(&ChannelRecord::zero, 2)},
        {24, 2, beamPrefix(&ChannelRecord::axisTh, 1)},
        {25, 3, channelField(&ChannelRecord::hys)},
        {26, 2, channelField(&ChannelRecord::thCnf)},
        {28, 1, channelField(&ChannelRecord::onOffDiff)},
        {29, 0, generalField(&GeneralBlock::allOnOffCnf)},
        {30, 0, generalField(&GeneralBlock::fixCnf)},
        {31, 0, generalField(&GeneralBlock::allOn)},
        {32, 0, generalField(&GeneralBlock::allOff)},
        {33, 0, generalField(&GeneralBlock::paraCnf)},
        {34, 0, generalField(&GeneralBlock::paraType)},
        {35, 0, generalField(&GeneralBlock::paraRes)},
        {36, 0, generalField(&GeneralBlock::paraUnit)},
        {37, 0, generalField(&GeneralBlock::grpCnf)},
        {38, 0, generalField(&GeneralBlock::grpUp)},
        {39, 0, generalField(&GeneralBlock::grpLow)},
        {40, 0, generalField(&GeneralBlock::tchCnf)},
        {41, 0, generalField(&GeneralBlock::bankFunction)},
    };
    return cases;
}

// A put applied offline must change exactly the fields the put carries, to the values sent:
// the put text is the inverse of its paired read's decoder.
TEST(CodecPut, EveryPutRoundTripsThroughItsPairedRead) {
    for (const PutCase& pc : putCases()) {
        SCOPED_TRACE("put code " + std::to_string(pc.putCode) + " channel " +
                     std::to_string(pc.channel));
        // A channel set to other values shows whether a put reaches the wrong channel.
        SettingsData sent = testdata::filledSet();
        const codec::PutRequest req = encodePut(pc.putCode, pc.channel, sent);
        ASSERT_EQ(req.code, pc.putCode);

        SettingsData applied;
        ASSERT_EQ(applyOffline(pc.putCode, pc.channel, req.start, req.text, applied),
                  DecodeResult::Ok)
            << req.text;
        SettingsData expected;
        if (pc.channel >= 1) {
            // Only the addressed channel is carried, whatever the copier touches.
            SettingsData onlyAddressed;
            onlyAddressed.channel(pc.channel - 1) = sent.channel(pc.channel - 1);
            onlyAddressed.general = sent.general;
            pc.carried(onlyAddressed, expected);
        } else {
            pc.carried(sent, expected);
        }
        for (int c = 0; c < kChannelCount; ++c) {
            EXPECT_TRUE(applied.channel(c) == expected.channel(c)) << "channel index " << c;
        }
        EXPECT_TRUE(applied.general == expected.general);
    }
}

TEST(CodecPut, EveryPutCodeExceptTheRepeatedThresholdHasAPair) {
    for (int code = 1; code <= 45; ++code) {
        EXPECT_EQ(pairedReadCode(code) != 0, code != 27) << code;
    }
    EXPECT_EQ(pairedReadCode(42), 150);
    EXPECT_EQ(pairedReadCode(45), 153);
    EXPECT_EQ(pairedReadCode(46), 0);
    EXPECT_EQ(pairedReadCode(0), 0);
}

struct AddressCase {
    int putCode;
    int channel;
    int start;
    int count;
    size_t textLength;
};

// Start and count as the program reads the same block (flag and per-beam counts follow
// the channel's beams: 77 beams on CH2, 117 on CH3).
TEST(CodecPut, AddressesFollowTheReadsOfTheSameBlock) {
    const AddressCase cases[] = {
        {1, 0, 4, 16, 16},  {2, 0, 0, 3, 6},     {3, 0, 0, 16, 64},     {4, 0, 0, 16, 32},
        {5, 2, 16, 10, 20}, {18, 3, 32, 15, 30}, {6, 3, 2, 1, 2},       {9, 1, 0, 1, 2},
        {8, 3, 4, 2, 4},    {12, 2, 2, 2, 4},    {23, 2, 128, 77, 154}, {24, 3, 256, 117, 234},
        {25, 2, 1, 1, 2},   {28, 3, 2, 1, 2},    {29, 0, 0, 1, 2},      {30, 0, 0, 3, 6},
        {31, 0, 0, 3, 12},  {34, 0, 0, 2, 4},    {38, 0, 0, 32, 64},    {41, 0, 0, 1, 2},
    };
    for (const AddressCase& ac : cases) {
        SCOPED_TRACE(ac.putCode);
        SettingsData set = testdata::filledSet();
        const codec::PutRequest req = encodePut(ac.putCode, ac.channel, set);
        EXPECT_EQ(req.channel, ac.channel);
        EXPECT_EQ(req.start, ac.start);
        EXPECT_EQ(req.count, ac.count);
        EXPECT_EQ(req.text.size(), ac.textLength);
    }
}

TEST(CodecPut, KnownTexts) {
    SettingsData set;
    ChannelRecord& ch = set.channel(0);
    ch.sensorId = "";
    EXPECT_EQ(encodePut(8, 1, set).text, "0000");
    ch.zero[3] = 0;
    ch.beamCount = 4;
    ch.zero[0] = 0x21;
    EXPECT_EQ(encodePut(23, 1, set).text, "21141414");
    EXPECT_EQ(encodePut(24, 1, set).text, "12121212");

    set.general.idText = "ABC";
    EXPECT_EQ(encodePut(2, 0, set).text, "000ABC");
    set.general.pio[1] = "8031";
    EXPECT_EQ(encodePut(3, 0, set).text.substr(0, 8), "00008031");
    set.general.paraRes = {0x26, 0x01};
    set.general.paraType = {1, 0};
    EXPECT_EQ(encodePut(35, 0, set).text, "2601");
    EXPECT_EQ(encodePut(34, 0, set).text, "0100");
    set.general.allOn = {1, 0x10, 0xFFFF};
    EXPECT_EQ(encodePut(31, 0, set).text, "00010010FFFF");
}

// Values outside a field's width are cut to it, so the text keeps its length.
TEST(CodecPut, OutOfRangeValuesKeepTheFieldWidth) {
    SettingsData set;
    set.channel(1).subConf = 0x1FF;
    EXPECT_EQ(encodePut(10, 2, set).text, "FF");
    set.general.pioInv[0] = 123;
    set.general.pioInv[1] = -4;
    EXPECT_EQ(encodePut(4, 0, set).text.substr(0, 4), "9900");
    set.channel(1).beamCount = 200;
    EXPECT_EQ(encodePut(24, 2, set).count, kMaxBeams);
}

TEST(CodecPut, OnThresholdIsRaisedInTheModelBeforeItIsSent) {
    SettingsData set;
    set.channel(2).onTh = 10;
    const codec::PutRequest req = encodePut(6, 3, set);
    EXPECT_EQ(req.text, "12");
    EXPECT_EQ(set.channel(2).onTh, 18);
    EXPECT_EQ(encodePut(27, 3, set).text, "12");
}

TEST(CodecPut, InvalidRequestsGiveNoPut) {
    SettingsData set = testdata::filledSet();
    for (int channel : {0, 4, -1}) {
        EXPECT_EQ(encodePut(6, channel, set).code, 0);
        EXPECT_EQ(encodePut(23, channel, set).code, 0);
    }
    for (int code : {0, 42, 45, 46, 100}) {
        const codec::PutRequest req = encodePut(code, 1, set);
        EXPECT_EQ(req.code, 0) << code;
        EXPECT_TRUE(req.text.empty());
    }
}

TEST(CodecPut, OfflineApplyOfUnpairedCodesChangesNothing) {
    const SettingsData before = testdata::filledSet();
    SettingsData set = before;
    EXPECT_EQ(applyOffline(27, 1, 0, "30", set), DecodeResult::Ok);
    EXPECT_EQ(applyOffline(46, 1, 0, "30", set), DecodeResult::Unknown);
    EXPECT_EQ(applyOffline(14, 1, 0, "30", set), DecodeResult::Ok);
    EXPECT_TRUE(set.channel(0) == before.channel(0));
    EXPECT_TRUE(set.general == before.general);
}

TEST(CodecPut, OfflineApplyOfABankSubBlockDecodesTheImage) {
    SettingsData source = testdata::filledSet();
    const std::string text = codec::encodeSubBlock(codec::kSubZero2, source);
    SettingsData set;
    ASSERT_EQ(applyOffline(43, 0, 784, text, set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(1).zero, source.channel(1).zero);
}

}  // namespace
}  // namespace qavix
