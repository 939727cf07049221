#include <gtest/gtest.h>

#include <set>

#include "SimTestHelper.h"
#include "sim/MemoryLayout.h"

namespace qavix::sim {
namespace {

using test::Sim;

std::string repeat(const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) {
        s += piece;
    }
    return s;
}

struct PutCase {
    int putCode;
    int start;
    int count;
    std::string text;
};

// One case per put code; values differ from the factory settings so a put that
// writes nowhere is caught.
const std::vector<PutCase>& putCases() {
    static const std::vector<PutCase> cases = {
        {1, 0, 16, "STATION B-12  XY"},
        {2, 0, 3, "0A0B0C"},
        {3, 0, 16, repeat("8031", 8) + repeat("805B", 4) + repeat("0000", 4)},
        {4, 0, 16, repeat("01", 16)},
        {5, 16, 5, "FF00AA5501"},
        {6, 2, 1, "3C"},
        {7, 1, 1, "1E"},
        {8, 2, 2, "ABCD"},
        {9, 0, 1, "05"},
        {10, 1, 1, "0F"},
        {11, 2, 1, "07"},
        {12, 4, 2, "01F4"},
        {13, 0, 1, "09"},
        {14, 1, 1, "12"},
        {15, 2, 1, "34"},
        {16, 0, 1, "01"},
        {17, 1, 1, "01"},
        {18, 32, 16, repeat("81", 16)},
        {19, 2, 1, "01"},
        {20, 0, 1, "01"},
        {21, 1, 1, "01"},
        {22, 2, 1, "03"},
        {23, 128, 32, repeat("5A", 32)},
        {24, 256, 20, repeat("2D", 20)},
        {25, 0, 3, "0C0D0E"},
        {26, 0, 3, "000100"},
        {28, 0, 3, "0A0B0C"},
        {29, 0, 1, "02"},
        {30, 0, 3, "010001"},
        {31, 0, 3, "000100200080"},
        {32, 0, 3, "000200300070"},
        {33, 0, 1, "01"},
        {34, 0, 2, "0101"},
        {35, 0, 2, "1126"},
        {36, 0, 2, "0100"},
        {37, 0, 1, "02"},
        {38, 0, 32, repeat("07", 16) + repeat("01", 16)},
        {39, 0, 32, repeat("03", 16) + repeat("02", 16)},
        {40, 0, 1, "11"},
        {41, 0, 1, "00"},
    };
    return cases;
}

TEST(Parameters, EveryPutCodeRoundTripsThroughItsReadCode) {
    std::set<int> covered;
    for (const PutCase& c : putCases()) {
        SCOPED_TRACE("put code " + std::to_string(c.putCode));
        Sim sim;
        const int readCode = pairedReadCode(c.putCode);
        ASSERT_NE(readCode, 0);
        ASSERT_NE(sim.text(readCode, c.start, c.count), c.text) << "already the factory value";
        EXPECT_EQ(sim.write(c.putCode, c.start, c.count, c.text), kOk);
        EXPECT_EQ(sim.text(readCode, c.start, c.count), c.text);
        covered.insert(c.putCode);
    }
    for (int code = 1; code <= 41; ++code) {
        EXPECT_TRUE(code == 27 || covered.count(code) == 1) << "put code " << code << " untested";
    }
}

TEST(Parameters, PutOfOneElementLeavesItsNeighboursAlone) {
    Sim sim;
    const std::string before = sim.text(67, 0, 3);
    ASSERT_EQ(sim.write(6, 1, 1, "44"), kOk);
    const std::string after = sim.text(67, 0, 3);
    EXPECT_EQ(after.substr(0, 2), before.substr(0, 2));
    EXPECT_EQ(after.substr(2, 2), "44");
    EXPECT_EQ(after.substr(4, 2), before.substr(4, 2));
}

TEST(Parameters, TwoByteChannelValuesAnswerByChannelAndByByteOffset) {
    Sim sim;
    ASSERT_EQ(sim.write(12, 2, 1, "ABCD"), kOk);  // channel index form
    EXPECT_EQ(sim.text(75, 4, 2), "ABCD");        // byte offset form of the same value
    EXPECT_EQ(sim.text(75, 0, 0).substr(8), "ABCD");
    EXPECT_EQ(sim.text(78, 2, 2), "0103");  // VER_R of CH2
    EXPECT_EQ(sim.text(83, 4, 2), "0102");
}

TEST(Parameters, SwitchReadsAreBitsOfTheirConfigurationByte) {
    Sim sim;
    ASSERT_EQ(sim.write(9, 0, 1, "00"), kOk);
    ASSERT_EQ(sim.write(16, 0, 1, "01"), kOk);  // FUNCTION bit 1
    ASSERT_EQ(sim.write(19, 0, 1, "01"), kOk);  // FUNCTION bit 2
    EXPECT_EQ(sim.text(71, 0, 1), "06");
    ASSERT_EQ(sim.write(22, 1, 1, "02"), kOk);
    ASSERT_EQ(sim.write(21, 1, 1, "01"), kOk);  // FLO_CONF bit 5
    EXPECT_EQ(sim.text(101, 1, 1), "22");
    EXPECT_EQ(sim.text(99, 1, 1), "00");
}

TEST(Parameters, MalformedPutsAreRefusedAndChangeNothing) {
    struct Bad {
        int code, start, count;
        std::string text;
        int error;
    };
    const std::vector<Bad> cases = {
        {6, 0, 1, "3", kBadData},    // odd number of digits
        {6, 0, 1, "3G", kBadData},   // not hexadecimal
        {6, 0, 2, "32", kBadData},   // fewer digits than elements
        {6, 3, 1, "32", kBadRange},  // no fourth channel
        {24, 380, 5, "3232323232", kBadRange},
        {4, 0, 1, "0A", kBadData},   // P-I/O inversion is decimal
        {16, 0, 1, "02", kBadData},  // a switch is 0 or 1
        {1, 0, 17, std::string(17, 'x'), kBadData},
        {46, 0, 0, "00", kUnknownId},
        {27 + 100, 0, 0, "00", kUnknownId},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE("put " + std::to_string(c.code) + " \"" + c.text + "\"");
        Sim sim;
        const std::string before = sim.text(67, 0, 3) + sim.text(103, 0, 0) + sim.text(64);
        sim.op(Op::StartSetting);
        EXPECT_EQ(sim.put(c.code, c.start, c.count, c.text).error, c.error);
        sim.op(Op::EnableSetting);
        sim.op(Op::Reset);
        EXPECT_EQ(sim.text(67, 0, 3) + sim.text(103, 0, 0) + sim.text(64), before);
    }
}

TEST(Parameters, PutWithoutCountTakesTheTextLength) {
    Sim sim;
    ASSERT_EQ(sim.write(25, 0, 0, "0F10"), kOk);
    EXPECT_EQ(sim.text(104, 0, 0), "0F100A");
}

TEST(Parameters, ReadRangesOutsideTheAreaAreRefused) {
    Sim sim;
    EXPECT_EQ(sim.get(103, 380, 5).error, kBadRange);
    EXPECT_EQ(sim.get(66, 48, 1).error, kBadRange);
    EXPECT_EQ(sim.get(67, -1, 1).error, kBadRange);
    EXPECT_EQ(sim.get(999, 0, 0).error, kUnknownId);
    EXPECT_EQ(sim.get(1046, 0, 0).error, kUnknownId);  // internal area, not a request code
    EXPECT_EQ(sim.text(103, 0, 0).size(), 3u * 128 * 2);
    EXPECT_EQ(sim.text(89, 128, 32).size(), 32u * 4);
}

TEST(Parameters, TextsAndControlData) {
    Sim sim;
    EXPECT_EQ(sim.run(Op::GetString, 57, 0, 20).text, "QX-AS300 CONTROLLER ");
    EXPECT_EQ(sim.run(Op::GetString, 58, 2, 16).text, "QXS-30R032      ");
    EXPECT_EQ(sim.run(Op::GetString, 58, 3, 7).text, "QXS-15L");
    EXPECT_EQ(sim.run(Op::GetString, 58, 4, 16).error, kBadRange);
    EXPECT_EQ(sim.run(Op::GetString, 59, 4, 16).text, "LINE-A STATION 1");

    const std::string control = sim.run(Op::GetControl, 46).text;
    ASSERT_EQ(control.size(), 40u);
    EXPECT_EQ(control.substr(0, 20), "QX-AS300 CONTROLLER ");
    EXPECT_EQ(control.substr(22, 8), "VER01.20");
    EXPECT_EQ(control.substr(32, 8), "QXC-0300");

    EXPECT_EQ(sim.text(72, 0, 3), "282014");
    EXPECT_EQ(sim.text(80), "03");
    EXPECT_EQ(sim.text(60, 0, 1), "0102");
    const std::string pitch = sim.text(84, 0, 3);
    for (int ch = 0; ch < 3; ++ch) {
        const int low = test::hexAt(pitch, static_cast<size_t>(ch)) & 0x0F;
        EXPECT_TRUE(low >= 1 && low <= 5) << "pitch code of CH" << ch + 1;
    }
}

TEST(Parameters, WriteCounterCountsEnabledWrites) {
    Sim sim;
    const int before = std::stoi(sim.run(Op::GetControl, 47).text);
    sim.write(6, 0, 1, "40");
    EXPECT_EQ(std::stoi(sim.run(Op::GetControl, 47).text), before + 1);
}

}  // namespace
}  // namespace qavix::sim
