#include <gtest/gtest.h>

#include "SimTestHelper.h"

namespace qavix::sim {
namespace {

using test::Sim;

struct SubBlock {
    int start;
    int count;
};
const SubBlock kSubBlocks[] = {{0, 64},    {64, 64},   {128, 64},  {192, 80},
                               {272, 128}, {400, 128}, {528, 128}, {656, 128},
                               {784, 128}, {912, 128}, {1040, 94}};

std::string pattern(int bytes, int seed) {
    std::string s;
    for (int i = 0; i < bytes; ++i) {
        char buf[3];
        std::snprintf(buf, sizeof buf, "%02X", (i * 7 + seed) & 0xFF);
        s += buf;
    }
    return s;
}

TEST(Banks, EverySubBlockOfEveryBankReadsBackWhatWasPut) {
    Sim sim;
    ASSERT_EQ(sim.op(Op::StartSetting), kOk);
    for (int bank = 0; bank < 4; ++bank) {
        for (const SubBlock& b : kSubBlocks) {
            ASSERT_EQ(sim.put(42 + bank, b.start, b.count, pattern(b.count, bank + b.start)).error,
                      kOk);
        }
    }
    ASSERT_EQ(sim.op(Op::EnableSetting), kOk);
    ASSERT_EQ(sim.op(Op::Reset), kOk);
    for (int bank = 0; bank < 4; ++bank) {
        for (const SubBlock& b : kSubBlocks) {
            SCOPED_TRACE("bank " + std::to_string(bank + 1) + " start " + std::to_string(b.start));
            EXPECT_EQ(sim.text(150 + bank, b.start, b.count), pattern(b.count, bank + b.start));
        }
    }
}

TEST(Banks, WritingOneBankLeavesTheOthersAndTheCurrentSetAlone) {
    Sim sim;
    const std::string bank1 = sim.text(150, 0, 0);
    const std::string bank3 = sim.text(152, 0, 0);
    const std::string current = sim.text(103, 0, 0);
    ASSERT_EQ(sim.write(43, 784, 128, pattern(128, 1)), kOk);
    EXPECT_EQ(sim.text(150, 0, 0), bank1);
    EXPECT_EQ(sim.text(152, 0, 0), bank3);
    EXPECT_EQ(sim.text(103, 0, 0), current);
    EXPECT_EQ(sim.text(151, 784, 128), pattern(128, 1));
}

TEST(Banks, FactoryBanksCarryTheCurrentSetInBankImageLayout) {
    Sim sim;
    const std::string image = sim.text(150, 0, 0);
    ASSERT_EQ(image.size(), 1134u * 2);
    auto bytes = [&](int start, int count) {
        return image.substr(static_cast<size_t>(start) * 2, static_cast<size_t>(count) * 2);
    };
    for (int ch = 0; ch < 3; ++ch) {
        SCOPED_TRACE("CH" + std::to_string(ch + 1));
        EXPECT_EQ(bytes(64 * ch + 0, 1), sim.text(72, ch, 1));
        EXPECT_EQ(bytes(64 * ch + 1, 1), sim.text(84, ch, 1));
        EXPECT_EQ(bytes(64 * ch + 4, 2), sim.text(78, ch, 1));
        EXPECT_EQ(bytes(64 * ch + 40, 1), sim.text(67, ch, 1));
        EXPECT_EQ(bytes(64 * ch + 41, 1), sim.text(68, ch, 1));
        EXPECT_EQ(bytes(64 * ch + 48, 2), sim.text(75, ch, 1));
        EXPECT_EQ(bytes(64 * ch + 24, 16), sim.text(66, 16 * ch, 16));
        EXPECT_EQ(bytes(272 + 128 * ch, 128), sim.text(103, 128 * ch, 128));
        EXPECT_EQ(bytes(656 + 128 * ch, 128), sim.text(102, 128 * ch, 128));
    }
    EXPECT_EQ(bytes(192 + 28, 1), sim.text(80));
    EXPECT_EQ(bytes(192 + 32, 32), sim.text(63));
    EXPECT_EQ(bytes(192 + 64, 16), sim.text(64));
    EXPECT_EQ(bytes(1040, 3), sim.text(104));
    EXPECT_EQ(bytes(1040 + 30, 32), sim.text(144));
    // TYPE travels as character codes.
    EXPECT_EQ(bytes(192, 3), "51582D");  // "QX-"
}

TEST(Banks, SummaryReadsWithPartialRanges) {
    Sim sim;
    // Beams, TYPE_2, TYPE_3, a blank byte, VER_R and VER_E of CH1.
    EXPECT_EQ(sim.text(151, 0, 8), "2812010001030102");  // beams 40, TYPE_2, TYPE_3 ...
    const std::string general = sim.text(151, 192, 29);
    ASSERT_EQ(general.size(), 58u);
    EXPECT_EQ(general.substr(40, 10), "30312E3230");  // "01.20"
    EXPECT_EQ(general.substr(56, 2), "03");           // JOINT_NUM
    EXPECT_EQ(sim.get(151, 1100, 40).error, kBadRange);
}

TEST(Banks, ClearedBankReadsAsZeros) {
    Sim sim;
    ASSERT_EQ(sim.op(Op::FactStart), kOk);
    ASSERT_EQ(sim.op(Op::ClearBank, 2), kOk);
    ASSERT_EQ(sim.op(Op::FactEnd), kOk);
    EXPECT_EQ(sim.text(152, 0, 0), std::string(1134 * 2, '0'));
    EXPECT_NE(sim.text(151, 192, 29), std::string(58, '0'));
}

TEST(Banks, FactoryBanksDifferInTheirThresholds) {
    Sim sim;
    const std::string b1 = sim.text(150, 272, 40);
    const std::string b2 = sim.text(151, 272, 40);
    const std::string b3 = sim.text(152, 272, 40);
    EXPECT_NE(b1, b2);
    EXPECT_NE(b1, b3);
    EXPECT_EQ(sim.text(153, 0, 0), sim.text(150, 0, 0));
}

}  // namespace
}  // namespace qavix::sim
