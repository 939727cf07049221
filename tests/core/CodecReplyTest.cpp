#include <gtest/gtest.h>

#include <random>

#include "CodecTestData.h"
#include "model/Codec.h"
#include "model/DeviceModel.h"

namespace qavix {
namespace {

using codec::decodeReply;
using codec::DecodeResult;

TEST(CodecReply, ChannelValuesGoToTheChannelOfTheRequest) {
    SettingsData set;
    EXPECT_EQ(decodeReply(67, 2, 1, "2A", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(1).onTh, 0x2A);
    EXPECT_EQ(set.channel(0).onTh, 0);
    EXPECT_EQ(decodeReply(75, 3, 4, "1A2B", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(2).timeConf, 0x1A2B);
    EXPECT_EQ(decodeReply(79, 1, 0, "11", set), DecodeResult::Ok);
    EXPECT_EQ(decodeReply(81, 1, 0, "22", set), DecodeResult::Ok);
    EXPECT_EQ(decodeReply(77, 1, 0, "33", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(0).setting79, 0x11);
    EXPECT_EQ(set.channel(0).setting81, 0x22);
    EXPECT_EQ(set.channel(0).setting77, 0x33);
}

// HYS and TH_CNF are read for all channels at once (start 0, count 3): one value each.
TEST(CodecReply, ValuesOfSeveralChannelsFillOneChannelEach) {
    SettingsData set;
    EXPECT_EQ(decodeReply(104, 1, 0, "050607", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(0).hys, 5);
    EXPECT_EQ(set.channel(1).hys, 6);
    EXPECT_EQ(set.channel(2).hys, 7);
    EXPECT_EQ(decodeReply(105, 1, 1, "0100", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(0).thCnf, 0);
    EXPECT_EQ(set.channel(1).thCnf, 1);
    EXPECT_EQ(set.channel(2).thCnf, 0);
    EXPECT_EQ(decodeReply(106, 0, 0, "0A0B0C", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(2).onOffDiff, 0x0C);
    EXPECT_EQ(decodeReply(75, 1, 0, "000100020003", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(1).timeConf, 2);
}

TEST(CodecReply, BeamCountsSetEachChannelAndTheTotal) {
    DeviceModel model;
    ASSERT_EQ(decodeReply(72, 1, 0, "0A2880", model), DecodeResult::Ok);
    EXPECT_EQ(model.working().channel(0).beamCount, 10);
    EXPECT_EQ(model.working().channel(1).beamCount, 40);
    EXPECT_EQ(model.working().channel(2).beamCount, 128);
    EXPECT_EQ(model.totalBeams, 178);
    // A later single-channel read keeps the total in step.
    ASSERT_EQ(decodeReply(72, 3, 2, "00", model), DecodeResult::Ok);
    EXPECT_EQ(model.totalBeams, 50);
}

TEST(CodecReply, PitchAndVersionTexts) {
    SettingsData set;
    const std::pair<const char*, const char*> pitches[] = {
        {"01", "9mm"},  {"F2", "15mm"}, {"23", "30mm"}, {"04", "45mm"},
        {"05", "60mm"}, {"00", "無効"}, {"06", "無効"}, {"1F", "無効"},
    };
    for (const auto& [reply, pitch] : pitches) {
        ASSERT_EQ(decodeReply(84, 2, 1, reply, set), DecodeResult::Ok);
        EXPECT_EQ(set.channel(1).pitchText, pitch) << reply;
    }
    EXPECT_EQ(set.channel(1).type2, 0x1F);

    EXPECT_EQ(decodeReply(60, 1, 0, "0102", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(0).versionText, "1.2");
    EXPECT_EQ(decodeReply(60, 1, 0, "0A000B", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(0).versionText, "10.11");

    EXPECT_EQ(decodeReply(78, 3, 4, "0102", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(2).verR, "0102");
    EXPECT_EQ(decodeReply(83, 3, 4, "AB--CD", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(2).verE, "ABCD");
}

TEST(CodecReply, ControlData) {
    SettingsData set;
    const std::string reply46 =
        "QX-AREA-SCANNER 2000"
        "xx"
        "VER1.23A"
        "yy"
        "TEXT-3rd";
    ASSERT_EQ(decodeReply(46, 0, 0, reply46, set), DecodeResult::Ok);
    EXPECT_EQ(set.general.type, "QX-AREA-SCANNER 2000");
    EXPECT_EQ(set.general.versionText, "VER1.23A");
    EXPECT_EQ(set.general.text3, "TEXT-3rd");
    EXPECT_EQ(set.general.softwareVersion(), "1.23A");
    ASSERT_EQ(decodeReply(46, 0, 0, "", set), DecodeResult::Ok);
    EXPECT_EQ(set.general.type, "");
    EXPECT_EQ(set.general.versionText, "");
    EXPECT_EQ(set.general.text3, "");

    ASSERT_EQ(decodeReply(49, 0, 0, "24123123595906", set), DecodeResult::Ok);
    const std::array<int32_t, 7> clock = {2024, 12, 31, 23, 59, 59, 6};
    for (size_t i = 0; i < clock.size(); ++i) {
        EXPECT_EQ(set.general.words[2 + i], clock[i]) << i;
    }
    ASSERT_EQ(decodeReply(47, 0, 0, "1500", set), DecodeResult::Ok);
    EXPECT_EQ(set.general.words[0], 1500);
    ASSERT_EQ(decodeReply(80, 0, 0, "02", set), DecodeResult::Ok);
    EXPECT_EQ(set.general.jointNum, 2);
}

TEST(CodecReply, GeneralPieces) {
    SettingsData set;
    ASSERT_EQ(decodeReply(131, 0, 0, "0102FF", set), DecodeResult::Ok);
    ASSERT_EQ(decodeReply(132, 0, 0, "0A0B0C", set), DecodeResult::Ok);
    EXPECT_EQ(set.general.paraWords, (std::array<int32_t, 6>{1, 2, 255, 10, 11, 12}));
    ASSERT_EQ(decodeReply(139, 0, 0, "101112", set), DecodeResult::Ok);
    EXPECT_EQ(set.general.groupWords[6], 10);
    EXPECT_EQ(set.general.groupWords[8], 12);
    EXPECT_EQ(set.general.groupWords[5], 0);
    ASSERT_EQ(decodeReply(142, 0, 0, "979899", set), DecodeResult::Ok);
    EXPECT_EQ(set.general.groupWords[17], 99);
    std::string table;
    for (int i = 0; i < 16; ++i) {
        table += std::to_string(10 + i);
    }
    ASSERT_EQ(decodeReply(147, 0, 0, table, set), DecodeResult::Ok);
    EXPECT_EQ(set.general.table147[15], 25);
    EXPECT_EQ(set.general.table146[15], 0);
}

TEST(CodecReply, PerBeamTablesLandAtTheirChannelAndPosition) {
    SettingsData set;
    ASSERT_EQ(decodeReply(103, 2, 128, "1415", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(1).axisTh[0], 0x14);
    EXPECT_EQ(set.channel(1).axisTh[1], 0x15);
    EXPECT_EQ(set.channel(0).axisTh[0], 0);
    ASSERT_EQ(decodeReply(89, 3, 256 + 126, "0100FFFF", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(2).ratioLevel[126], 0x100);
    EXPECT_EQ(set.channel(2).ratioLevel[127], 0xFFFF);
    ASSERT_EQ(decodeReply(66, 1, 0, "0002", set), DecodeResult::Ok);
    EXPECT_EQ(set.channel(0).setAxis[9], beamBitWeight(9));
    EXPECT_EQ(set.channel(0).setAxis[8], 0);
    ASSERT_EQ(decodeReply(92, 0, 17, "FF", set), DecodeResult::Ok);  // channel from start
    for (int b = 8; b < 16; ++b) {
        EXPECT_EQ(set.channel(1).beamState[static_cast<size_t>(b)], beamBitWeight(b));
    }
}

TEST(CodecReply, ErrorHistoryEntries) {
    DeviceModel model;
    ASSERT_EQ(decodeReply(110, 0, 0, "24010203040506C800001234", model), DecodeResult::Ok);
    const ErrorHistoryEntry& e = model.errorHistory[3];
    EXPECT_EQ(e.year, 24);
    EXPECT_EQ(e.month, 1);
    EXPECT_EQ(e.day, 2);
    EXPECT_EQ(e.hour, 3);
    EXPECT_EQ(e.minute, 4);
    EXPECT_EQ(e.second, 5);
    EXPECT_EQ(e.reserved, 6);
    EXPECT_EQ(e.codeText, "C8");
    EXPECT_EQ(e.serialText, "00001234");
    EXPECT_TRUE(model.errorHistory[2].isEmpty());

    SettingsData set;
    EXPECT_EQ(decodeReply(110, 0, 0, "24010203040506C800001234", set), DecodeResult::Unknown);
}

TEST(CodecReply, NoOpAndUnknownCodes) {
    SettingsData set = testdata::filledSet();
    const SettingsData before = set;
    EXPECT_EQ(decodeReply(86, 1, 0, "garbage\x01", set), DecodeResult::Ok);
    EXPECT_EQ(decodeReply(87, 1, 0, "", set), DecodeResult::Ok);
    EXPECT_EQ(decodeReply(48, 0, 0, "00", set), DecodeResult::Unknown);
    EXPECT_EQ(decodeReply(154, 0, 0, "00", set), DecodeResult::Unknown);
    EXPECT_TRUE(set.channel(0) == before.channel(0));
    EXPECT_TRUE(set.general == before.general);
}

struct MalformedReply {
    int code;
    int arg1;
    int start;
    std::string text;
};

TEST(CodecReply, MalformedRepliesChangeNothing) {
    const std::string pio64(64, 'A');
    const MalformedReply cases[] = {
        {67, 1, 0, ""},
        {67, 1, 0, "4"},
        {67, 1, 0, "G1"},
        {67, 2, 1, "414243"},  // three channels from CH2
        {75, 1, 0, "12"},
        {72, 1, 0, "FF0000"},  // more beams than a table holds
        {80, 0, 0, "04"},
        {80, 0, 0, "x"},
        {80, 0, 0, "003"},
        {46, 0, 0, "short reply"},
        {49, 0, 0, "2412"},
        {49, 0, 0, "24123123595906FF"},
        {49, 0, 0, "2A123123595906"},
        {47, 0, 0, ""},
        {47, 0, 0, "12a"},
        {47, 0, 0, "1234567890"},
        {60, 1, 0, "01"},
        {60, 1, 0, "0G02"},
        {60, 1, 0, "01020"},
        {58, 0, 0, "model"},  // no channel to put it on
        {58, 1, 0, std::string("\x00\x01\xfe", 3)},
        {57, 0, 0, "TYPE\r\n"},
        {62, 0, 0, std::string(3000, 'A')},
        {63, 0, 0, pio64.substr(1)},
        {63, 0, 0, pio64 + "A"},
        {63, 0, 0, pio64.substr(0, 63) + "\x7f"},
        {64, 0, 0, "0001"},
        {64, 0, 0, "0A" + std::string(30, '0')},
        {78, 1, 0, "01"},
        {103, 1, 0, std::string(258, '1')},  // 129 beams
        {103, 1, 127, "1212"},
        {103, 0, 400, "12"},
        {103, 1, -1, "12"},
        {89, 1, 0, "123"},
        {66, 1, 0, std::string(34, '0')},  // 17 flag bytes
        {66, 1, 15, "0000"},
        {97, 1, 0, "0Z"},
        {127, 0, 0, "123"},
        {128, 0, 0, "0102"},
        {128, 0, 0, "010203FF"},
        {129, 0, 0, "00010002000"},
        {134, 0, 0, "0A01"},
        {144, 0, 0, std::string(62, '0')},
        {150, 0, 1, "0"},
        {151, 0, 1134, "00"},
    };
    for (const MalformedReply& m : cases) {
        DeviceModel model;
        static_cast<SettingsData&>(model.working()) = testdata::filledSet();
        model.totalBeams = 7;
        const SettingsData before = model.working();
        EXPECT_EQ(decodeReply(m.code, m.arg1, m.start, m.text, model), DecodeResult::Malformed)
            << m.code << " '" << m.text << "'";
        for (int c = 0; c < kChannelCount; ++c) {
            EXPECT_TRUE(model.working().channel(c) == before.channel(c)) << m.code;
        }
        EXPECT_TRUE(model.working().general == before.general) << m.code;
        EXPECT_EQ(model.totalBeams, 7);
    }
}

TEST(CodecReply, TruncatedErrorEntryChangesNothing) {
    DeviceModel model;
    model.errorHistory[0].codeText = "C8";
    const std::string entry = "24010203040506C800001234";
    for (size_t len = 0; len < entry.size(); ++len) {
        EXPECT_EQ(decodeReply(107, 0, 0, entry.substr(0, len), model), DecodeResult::Malformed)
            << len;
    }
    EXPECT_EQ(decodeReply(107, 0, 0, "2A010203040506C800001234", model), DecodeResult::Malformed);
    EXPECT_EQ(model.errorHistory[0].codeText, "C8");
}

// Garbage of every length for every code: never a crash or a read past the text, and a
// reply that is not taken leaves the set as it was.
TEST(CodecReply, GarbageNeverHalfApplies) {
    std::mt19937 random(20240229);
    const std::string hexDigits = "0123456789ABCDEFabcdefG \x01";
    for (int code = 40; code <= 310; ++code) {
        for (int round = 0; round < 6; ++round) {
            const size_t length = random() % 300;
            std::string text(length, '\0');
            for (char& ch : text) {
                ch = round % 2 == 0 ? static_cast<char>(random() % 256)
                                    : hexDigits[random() % hexDigits.size()];
            }
            const int arg1 = static_cast<int>(random() % 5) - 1;
            const int start = static_cast<int>(random() % 400) - 10;
            DeviceModel model;
            static_cast<SettingsData&>(model.working()) = testdata::filledSet();
            const SettingsData before = model.working();
            const DecodeResult r = decodeReply(code, arg1, start, text, model);
            if (r != DecodeResult::Ok) {
                for (int c = 0; c < kChannelCount; ++c) {
                    ASSERT_TRUE(model.working().channel(c) == before.channel(c)) << code;
                }
                ASSERT_TRUE(model.working().general == before.general) << code;
            }
        }
    }
}

}  // namespace
}  // namespace qavix
