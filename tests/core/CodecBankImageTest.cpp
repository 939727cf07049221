#include <gtest/gtest.h>

#include "CodecTestData.h"
#include "model/Codec.h"

namespace qavix {
namespace {

using codec::decodeBankImage;
using codec::DecodeResult;
using codec::encodeSubBlock;
using codec::subBlockLayout;

std::string wholeImage(SettingsData& set) {
    std::string image;
    for (int sub = 1; sub <= codec::kSubBlockCount; ++sub) {
        image += encodeSubBlock(sub, set);
    }
    return image;
}

// The fields of a channel that its configuration block carries (with what the decoder
// derives from them), copied into an otherwise empty record.
ChannelRecord channelBlockFields(const ChannelRecord& from) {
    ChannelRecord to;
    to.beamCount = from.beamCount;
    to.type2 = from.type2;
    to.pitchText = from.pitchText;
    to.type3 = from.type3;
    to.verR = from.verR;
    to.verE = from.verE;
    to.fixAxis = from.fixAxis;
    to.setAxis = from.setAxis;
    to.onTh = from.onTh;
    to.offTh = from.offTh;
    to.onOffDiff = from.onOffDiff;
    to.function = from.function;
    to.functionBit1 = from.functionBit1;
    to.functionBit2 = from.functionBit2;
    to.fixConf = from.fixConf;
    to.floConf = from.floConf;
    to.floConfBit4 = from.floConfBit4;
    to.floConfBit5 = from.floConfBit5;
    to.timeConf = from.timeConf;
    to.countConf = from.countConf;
    to.subConf = from.subConf;
    to.almConf = from.almConf;
    return to;
}

TEST(CodecBankImage, SubBlocksTileTheImage) {
    const codec::SubBlockLayout expected[] = {{0, 64},    {64, 64},   {128, 64},  {192, 80},
                                              {272, 128}, {400, 128}, {528, 128}, {656, 128},
                                              {784, 128}, {912, 128}, {1040, 94}};
    int end = 0;
    for (int sub = 1; sub <= codec::kSubBlockCount; ++sub) {
        const codec::SubBlockLayout l = subBlockLayout(sub);
        EXPECT_EQ(l.start, expected[sub - 1].start) << sub;
        EXPECT_EQ(l.count, expected[sub - 1].count) << sub;
        EXPECT_EQ(l.start, end) << sub;
        end = l.start + l.count;
    }
    EXPECT_EQ(end, codec::kBankImageSize);
    EXPECT_EQ(subBlockLayout(0).count, 0);
    EXPECT_EQ(subBlockLayout(12).count, 0);
}

TEST(CodecBankImage, WholeImageGivesBackEveryCarriedField) {
    SettingsData source = testdata::filledSet();
    const std::string image = wholeImage(source);
    ASSERT_EQ(image.size(), static_cast<size_t>(2 * codec::kBankImageSize));

    SettingsData decoded;
    ASSERT_EQ(decodeBankImage(0, image, decoded), DecodeResult::Ok);
    for (int c = 0; c < kChannelCount; ++c) {
        SCOPED_TRACE(c);
        const ChannelRecord& s = source.channel(c);
        const ChannelRecord& d = decoded.channel(c);
        ChannelRecord expected = channelBlockFields(s);
        expected.axisTh = s.axisTh;
        expected.zero = s.zero;
        expected.hys = s.hys;
        expected.thCnf = s.thCnf;
        EXPECT_TRUE(d == expected);
    }
    GeneralBlock expected = source.general;
    expected.text59.clear();  // not part of a bank
    expected.idText.clear();
    expected.bankFunction = 0;
    EXPECT_TRUE(decoded.general == expected);
}

TEST(CodecBankImage, ChannelBlockKnownText) {
    SettingsData set;
    ChannelRecord& ch = set.channel(1);
    ch.beamCount = 10;
    ch.type2 = 0x23;
    ch.type3 = 0x01;
    ch.verR = "0102";
    ch.verE = "0304";
    ch.fixAxis[0] = beamBitWeight(0);
    ch.setAxis[9] = beamBitWeight(9);
    ch.onTh = 30;
    ch.onOffDiff = 10;
    ch.offTh = 99;  // recomputed from the difference
    ch.function = 0x05;
    ch.functionBit1 = 1;  // forces bit 1 on
    ch.functionBit2 = 0;  // and bit 2 off
    ch.fixConf = 0x02;
    ch.floConf = 0x30;  // the switches never clear bits
    ch.timeConf = 0x0102;
    ch.countConf = 5;
    ch.subConf = 0x0F;
    ch.almConf = 1;
    const std::string text = encodeSubBlock(codec::kSubChannel2, set);
    ASSERT_EQ(text.size(), 128u);
    EXPECT_EQ(text.substr(0, 16), "0A23010001020304");
    EXPECT_EQ(text.substr(16, 32), "01" + std::string(30, '0'));
    EXPECT_EQ(text.substr(48, 32), "0002" + std::string(28, '0'));
    EXPECT_EQ(text.substr(80, 26),
              "1E14030230000000010205"
              "0F01");
    EXPECT_EQ(text.substr(106), std::string(22, '0'));
    EXPECT_EQ(set.channel(1).offTh, 20);
}

TEST(CodecBankImage, ChannelBlockRules) {
    SettingsData set;
    ChannelRecord& ch = set.channel(0);
    ch.onTh = 10;
    ch.onOffDiff = 6;
    ch.floConf = 0x30;
    std::string text = encodeSubBlock(codec::kSubChannel1, set);
    EXPECT_EQ(text.substr(8, 8), "00000000");  // empty VER_R and VER_E
    EXPECT_EQ(text.substr(80, 4), "120C");     // ON_TH 18, OFF_TH 18 - 6
    EXPECT_EQ(ch.onTh, 18);
    EXPECT_EQ(ch.offTh, 12);
    EXPECT_EQ(text.substr(88, 2), "30");

    ch.floConf = 0x01;
    ch.floConfBit4 = 1;
    ch.floConfBit5 = 1;
    ch.function = 0xFF;
    text = encodeSubBlock(codec::kSubChannel1, set);
    EXPECT_EQ(text.substr(84, 2), "F9");
    EXPECT_EQ(text.substr(88, 2), "31");
    EXPECT_EQ(ch.floConf, 0x01);  // only the text carries the switch bits
    EXPECT_EQ(ch.function, 0xFF);
}

TEST(CodecBankImage, ThresholdAndZeroBlocksSendTheControllersDefaultsForZero) {
    SettingsData set;
    EXPECT_EQ(encodeSubBlock(codec::kSubThreshold3, set), [] {
        std::string s;
        for (int i = 0; i < 128; ++i) {
            s += "12";
        }
        return s;
    }());
    set.channel(0).zero[1] = 0xAB;
    const std::string zero = encodeSubBlock(codec::kSubZero1, set);
    EXPECT_EQ(zero.substr(0, 6), "14AB14");
    SettingsData decoded;
    ASSERT_EQ(decodeBankImage(656, zero, decoded), DecodeResult::Ok);
    EXPECT_EQ(decoded.channel(0).zero[0], kDefaultZeroPoint);
    EXPECT_EQ(decoded.channel(0).zero[1], 0xAB);
}

TEST(CodecBankImage, GeneralBlockTexts) {
    SettingsData set;
    set.general.type = "AB";
    set.general.versionText = "VER12345";
    set.general.jointNum = 2;
    set.general.tchCnf = 0x1F;
    set.general.pio[0] = "8031";
    set.general.pioInv[1] = 1;
    const std::string text = encodeSubBlock(codec::kSubGeneral, set);
    ASSERT_EQ(text.size(), 160u);
    EXPECT_EQ(text.substr(0, 8), "41422020");  // padded with spaces
    EXPECT_EQ(text.substr(40, 10), "3132333435");
    EXPECT_EQ(text.substr(50, 14),
              "00000002"
              "1F0000");
    EXPECT_EQ(text.substr(64, 8), "80310000");
    EXPECT_EQ(text.substr(128, 6), "000100");

    set.general.type = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";  // cut to 20
    SettingsData decoded;
    ASSERT_EQ(decodeBankImage(192, encodeSubBlock(codec::kSubGeneral, set), decoded),
              DecodeResult::Ok);
    EXPECT_EQ(decoded.general.type, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(decoded.general.versionText, "VER12345");
    EXPECT_EQ(decoded.general.jointNum, 2);
    EXPECT_EQ(decoded.general.pio[1], "0000");
}

// The bank summary reads four pieces; each takes exactly the fields it covers.
TEST(CodecBankImage, SummaryTakesOnlyCoveredFields) {
    SettingsData source = testdata::filledSet();
    const std::string image = wholeImage(source);
    SettingsData decoded;
    const std::pair<int, int> reads[] = {{0, 8}, {64, 8}, {128, 8}, {192, 29}};
    for (const auto& [start, count] : reads) {
        ASSERT_EQ(decodeBankImage(start, image.substr(2 * start, 2 * count), decoded),
                  DecodeResult::Ok);
    }
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelRecord& s = source.channel(c);
        ChannelRecord expected;
        expected.beamCount = s.beamCount;
        expected.type2 = s.type2;
        expected.pitchText = s.pitchText;
        expected.type3 = s.type3;
        expected.verR = s.verR;
        expected.verE = s.verE;
        EXPECT_TRUE(decoded.channel(c) == expected) << c;
    }
    GeneralBlock expected;
    expected.type = source.general.type;
    expected.versionText = source.general.versionText;
    expected.jointNum = source.general.jointNum;
    EXPECT_TRUE(decoded.general == expected);
}

TEST(CodecBankImage, PartlyCoveredFieldsAreLeftAlone) {
    SettingsData set = testdata::filledSet();
    const SettingsData before = set;
    // Byte 41 alone is half of the ON_TH/OFF_TH pair; bytes 9..10 are inside FIX_AXIS.
    EXPECT_EQ(decodeBankImage(41, "00", set), DecodeResult::Ok);
    EXPECT_EQ(decodeBankImage(9, "0000", set), DecodeResult::Ok);
    EXPECT_TRUE(set.channel(0) == before.channel(0));
}

struct MalformedImage {
    const char* what;
    int start;
    std::string text;
};

TEST(CodecBankImage, MalformedPiecesChangeNothing) {
    SettingsData ok = testdata::filledSet();
    std::string channel = encodeSubBlock(codec::kSubChannel1, ok);
    std::string general = encodeSubBlock(codec::kSubGeneral, ok);
    auto with = [](std::string text, size_t pos, const char* piece) {
        return text.replace(pos, std::string(piece).size(), piece);
    };
    const MalformedImage cases[] = {
        {"odd length", 0, channel.substr(0, 127)},
        {"non-hex TYPE_3", 0, with(channel, 4, "G1")},
        {"non-hex in a flag byte", 0, with(channel, 20, "x0")},
        {"too many beams", 0, with(channel, 0, "81")},
        {"control character in VER_R", 0, with(channel, 8, "\t")},
        {"non-hex filler", 0, with(channel, 120, "ZZ")},
        {"JOINT_NUM above 3", 192, with(general, 56, "04")},
        {"JOINT_NUM not decimal", 192, with(general, 56, "0A")},
        {"P-I/O inversion not decimal", 192, with(general, 130, "1F")},
        {"TYPE code not hex", 192, with(general, 0, "4G")},
        {"negative start", -2, "00"},
        {"start past the image", 1135, ""},
        {"runs past the image", 1133, "0000"},
        {"binary garbage", 0, std::string("\x00\xff\x01\x80", 4)},
    };
    for (const MalformedImage& m : cases) {
        SettingsData set = testdata::filledSet();
        EXPECT_EQ(decodeBankImage(m.start, m.text, set), DecodeResult::Malformed) << m.what;
        EXPECT_TRUE(set.channel(0) == ok.channel(0)) << m.what;
        EXPECT_TRUE(set.general == ok.general) << m.what;
    }
}

}  // namespace
}  // namespace qavix
