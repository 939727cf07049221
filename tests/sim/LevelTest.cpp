#include <gtest/gtest.h>

#include "SimTestHelper.h"
#include "sim/LightModel.h"

namespace qavix::sim {
namespace {

using test::hexAt;
using test::Sim;
using namespace std::chrono_literals;

constexpr int kCh1Beams = 40;

// Checks the state flags of CH1 against levels and thresholds read at the same instant,
// given the flags of the previous sample (for beams inside the hysteresis band).
void expectFlagsFollowLevels(Sim& sim, std::string& previousFlags) {
    const std::string levels = sim.text(88, 0, kCh1Beams);
    const std::string on = sim.text(90, 0, kCh1Beams);
    const std::string off = sim.text(93, 0, kCh1Beams);
    const std::string flags = sim.text(92, 0, 16);
    ASSERT_EQ(flags.size(), 32u);
    for (int b = 0; b < kCh1Beams; ++b) {
        const int level = hexAt(levels, static_cast<size_t>(b));
        const bool set = (hexAt(flags, static_cast<size_t>(b / 8)) >> (b % 8)) & 1;
        if (level >= hexAt(on, static_cast<size_t>(b))) {
            EXPECT_TRUE(set) << "beam " << b << " level " << level;
        } else if (level < hexAt(off, static_cast<size_t>(b))) {
            EXPECT_FALSE(set) << "beam " << b << " level " << level;
        } else if (!previousFlags.empty()) {
            const bool before = (hexAt(previousFlags, static_cast<size_t>(b / 8)) >> (b % 8)) & 1;
            EXPECT_EQ(set, before) << "beam " << b << " changed inside the hysteresis band";
        }
    }
    // Bits of beams the sensor does not have stay clear.
    EXPECT_EQ(flags.substr(10), std::string(22, '0'));
    previousFlags = flags;
}

TEST(Levels, StateFlagsFollowLevelsAndThresholds) {
    Sim sim;
    std::string previous;
    int blockedSamples = 0;
    for (int step = 0; step < 150; ++step) {
        sim.now += 100ms;
        expectFlagsFollowLevels(sim, previous);
        if (previous.substr(0, 10) != "FFFFFFFFFF") {
            ++blockedSamples;
        }
    }
    // Objects pass: some samples show blocked beams, most do not.
    EXPECT_GT(blockedSamples, 5);
    EXPECT_LT(blockedSamples, 140);
}

TEST(Levels, HysteresisBandKeepsTheLastState) {
    Sim sim;
    // With the band wide open (OFF 0, ON 255) no beam can change state.
    ASSERT_EQ(sim.write(26, 0, 3, "010101"), kOk);
    ASSERT_EQ(sim.write(25, 0, 3, "FFFFFF"), kOk);
    ASSERT_EQ(sim.write(24, 0, kCh1Beams, std::string(2 * kCh1Beams, 'F')), kOk);
    const std::string previous = sim.text(92, 0, 16);
    for (int step = 0; step < 50; ++step) {
        sim.now += 200ms;
        EXPECT_EQ(sim.text(92, 0, 16), previous);
    }
}

TEST(Levels, RatioLevelIsAbsoluteOverZeroPoint) {
    Sim sim;
    ASSERT_EQ(sim.write(23, 0, 2, "3250"), kOk);  // zero points 50 and 80
    const std::string abs = sim.text(88, 0, 2);
    const std::string ratio = sim.text(89, 0, 2);
    EXPECT_EQ(hexAt(ratio, 0, 4), hexAt(abs, 0) * 100 / 50);
    EXPECT_EQ(hexAt(ratio, 1, 4), hexAt(abs, 1) * 100 / 80);
}

TEST(Levels, ThresholdTablesFollowThresholdConfiguration) {
    Sim sim;                                // AXIS_TH 50, HYS 10, zero 100
    EXPECT_EQ(sim.text(90, 0, 2), "3232");  // ON-based: ON = AXIS_TH
    EXPECT_EQ(sim.text(93, 0, 2), "2828");  // OFF = AXIS_TH - HYS
    EXPECT_EQ(sim.text(91, 0, 1), "0032");
    EXPECT_EQ(sim.text(94, 0, 1), "0028");
    ASSERT_EQ(sim.write(26, 0, 1, "00"), kOk);  // OFF-based on CH1
    ASSERT_EQ(sim.write(23, 0, 1, "C8"), kOk);  // zero point 200
    EXPECT_EQ(sim.text(90, 0, 1), "3C");
    EXPECT_EQ(sim.text(93, 0, 1), "32");
    EXPECT_EQ(sim.text(91, 0, 1), "001E");    // 60 * 100 / 200
    EXPECT_EQ(sim.text(91, 128, 1), "0032");  // CH2 unchanged
}

TEST(Levels, BeamsBeyondTheSensorReadAsZero) {
    Sim sim;
    const std::string levels = sim.text(88, 0, 128);
    EXPECT_NE(levels.substr(0, 2 * kCh1Beams), std::string(2 * kCh1Beams, '0'));
    EXPECT_EQ(levels.substr(2 * kCh1Beams), std::string(2 * (128 - kCh1Beams), '0'));
}

TEST(Levels, SameSeedSameLevelsOtherSeedOtherLevels) {
    Options a = test::threeSensors();
    a.seed = 7;
    Options b = a;
    b.seed = 8;
    Sim first(a);
    Sim second(a);
    Sim other(b);
    for (int step = 0; step < 5; ++step) {
        for (Sim* s : {&first, &second, &other}) {
            s->now += 1500ms;
        }
        EXPECT_EQ(first.text(88, 0, 0), second.text(88, 0, 0));
    }
    EXPECT_NE(first.text(88, 0, 0), other.text(88, 0, 0));
}

// ---- zero reset and teach ----

TEST(ZeroReset, ZeroPointsTakeThePresentLevelsOfOneChannel) {
    Sim sim;
    const std::string ch2Zero = sim.text(102, 128, 32);
    const std::string levels = sim.text(88, 0, kCh1Beams);
    ASSERT_EQ(sim.op(Op::ZeroReset, 1), kOk);
    const std::string zero = sim.text(102, 0, kCh1Beams);
    for (int b = 0; b < kCh1Beams; ++b) {
        const int level = hexAt(levels, static_cast<size_t>(b));
        EXPECT_EQ(hexAt(zero, static_cast<size_t>(b)), std::clamp(level, 20, 200)) << b;
    }
    EXPECT_EQ(sim.text(102, 128, 32), ch2Zero);
    EXPECT_EQ(sim.text(102, kCh1Beams, 1), "64");  // beams the sensor lacks keep theirs
    // Right after a zero reset every unshaded beam is at 100 %.
    const std::string ratio = sim.text(89, 0, kCh1Beams);
    for (int b = 0; b < kCh1Beams; ++b) {
        if (hexAt(levels, static_cast<size_t>(b)) >= 20) {
            EXPECT_EQ(hexAt(ratio, static_cast<size_t>(b), 4), 100) << b;
        }
    }
}

TEST(ZeroReset, ShadedBeamIsClampedToTheLowestZeroPoint) {
    const Options o = test::threeSensors();
    Sim sim(o);
    // Find a moment when the passing object covers beam 10 of CH1.
    LightModel light(o.seed);
    const auto ms = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(sim.now.time_since_epoch())
            .count();
    };
    int guard = 0;
    while (light.coverage(0, 10, kCh1Beams, ms()) < 1.0 && ++guard < 1000) {
        sim.now += 50ms;
    }
    ASSERT_LT(guard, 1000);
    ASSERT_LT(hexAt(sim.text(88, 10, 1), 0), 20);
    ASSERT_EQ(sim.op(Op::ZeroReset, 0), kOk);
    EXPECT_EQ(sim.text(102, 10, 1), "14");
}

TEST(ZeroReset, AllChannelsAndBadArguments) {
    Options o;
    o.beams = {16, 16};
    Sim sim(o);
    const std::string levels = sim.text(88, 0, 16) + sim.text(88, 128, 16);
    ASSERT_EQ(sim.op(Op::ZeroReset, 0), kOk);
    const std::string zero = sim.text(102, 0, 16) + sim.text(102, 128, 16);
    for (size_t i = 0; i < 32; ++i) {
        EXPECT_EQ(hexAt(zero, i), std::clamp(hexAt(levels, i), 20, 200)) << i;
    }
    EXPECT_EQ(sim.op(Op::ZeroReset, 3), kBadRange);  // no third sensor
    EXPECT_EQ(sim.op(Op::ZeroReset, -1), kBadRange);
}

struct TeachCase {
    int reference;
    int percent;
    int thCnf;
    int hys;
    int expected;  // AXIS_TH with zero point 100
};

TEST(Teach, ThresholdsBecomePercentOfZeroPointWithinLimits) {
    const std::vector<TeachCase> cases = {
        {1, 80, 1, 10, 80},                      // ON reference, ON-based: the ON threshold itself
        {1, 80, 0, 10, 70},                      // OFF-based stores ON - HYS
        {1, 5, 1, 10, 18},                       // ON raised to HYS + 8
        {1, 300, 1, 10, 200},                    // ON at most 200
        {0, 10, 1, 10, 20},                      // OFF reference: ON = OFF + HYS
        {0, 10, 0, 10, 10},   {0, 3, 0, 10, 8},  // OFF at least 8
        {0, 250, 0, 30, 170},                    // OFF + HYS at most 200
        {1, 90, 1, 0, 90},
    };
    for (const TeachCase& c : cases) {
        SCOPED_TRACE("reference " + std::to_string(c.reference) + " " + std::to_string(c.percent) +
                     "% TH_CNF " + std::to_string(c.thCnf));
        Sim sim;
        char hys[8];
        std::snprintf(hys, sizeof hys, "%02X", c.hys);
        ASSERT_EQ(sim.write(25, 0, 1, hys), kOk);
        ASSERT_EQ(sim.write(26, 0, 1, c.thCnf ? "01" : "00"), kOk);
        const std::string ch2 = sim.text(103, 128, 32);
        ASSERT_EQ(sim.op(Op::TeachRatio, c.reference, 1, c.percent), kOk);
        const std::string th = sim.text(103, 0, kCh1Beams);
        for (int b = 0; b < kCh1Beams; ++b) {
            ASSERT_EQ(hexAt(th, static_cast<size_t>(b)), c.expected) << "beam " << b;
        }
        EXPECT_EQ(sim.text(103, 128, 32), ch2);
    }
}

TEST(Teach, UsesEachBeamsZeroPointAndRejectsBadArguments) {
    Sim sim;
    ASSERT_EQ(sim.write(23, 128, 2, "C828"), kOk);     // CH2 beams 0, 1: zero 200 and 40
    ASSERT_EQ(sim.op(Op::TeachRatio, 1, 0, 50), kOk);  // every channel
    EXPECT_EQ(sim.text(103, 128, 2), "6414");          // 100 and 20
    EXPECT_EQ(sim.text(103, 256, 1), "32");
    EXPECT_EQ(sim.op(Op::TeachRatio, 1, 4, 50), kBadRange);
    EXPECT_EQ(sim.op(Op::TeachRatio, 1, 1, 1001), kBadRange);
    EXPECT_EQ(sim.op(Op::TeachRatio, 2, 1, 50), kBadData);
}

}  // namespace
}  // namespace qavix::sim
