#include <gtest/gtest.h>

#include "SimTestHelper.h"

namespace qavix::sim {
namespace {

using test::Sim;
using namespace std::chrono_literals;

TEST(Clock, StartsAtThePcTimeAndRunsWithIt) {
    Sim sim;
    EXPECT_EQ(sim.run(Op::GetControl, 49).text, "24031510000005");  // a Friday
    sim.now += 61s;
    EXPECT_EQ(sim.run(Op::GetControl, 49).text, "24031510010105");
}

TEST(Clock, SettingTheClockKeepsItRunningFromTheNewTime) {
    Sim sim;
    sim.op(Op::StartSetting);
    ASSERT_EQ(sim.run(Op::PutControl, 0, 0, 0, "02120518304504").error, kOk);
    sim.op(Op::EnableSetting);
    sim.op(Op::Reset);
    EXPECT_EQ(sim.run(Op::GetControl, 49).text, "02120518304504");
    sim.now += 75s;
    EXPECT_EQ(sim.run(Op::GetControl, 49).text, "02120518320004");
    sim.now += 24h;
    EXPECT_EQ(sim.run(Op::GetControl, 49).text, "02120618320005");
}

TEST(Clock, WeekdayComesFromTheDate) {
    Sim sim;
    sim.op(Op::StartSetting);
    ASSERT_EQ(sim.run(Op::PutControl, 0, 0, 0, "24022912000000").error, kOk);  // leap day
    EXPECT_EQ(sim.run(Op::GetControl, 49).text, "24022912000004");
}

TEST(Clock, InvalidTimesAreRefused) {
    const char* bad[] = {
        "2412051830450",    // too short
        "241205183045044",  // too long
        "24130518304504",   // month 13
        "24000518304504",   // month 0
        "23022912000000",   // 29 February of a common year
        "24043112000000",   // 31 April
        "24120524304504",   // hour 24
        "24120518604504",   // minute 60
        "2412051830450A",   // not a digit
    };
    for (const char* text : bad) {
        Sim sim;
        sim.op(Op::StartSetting);
        EXPECT_EQ(sim.run(Op::PutControl, 0, 0, 0, text).error, kBadData) << text;
        EXPECT_EQ(sim.run(Op::GetControl, 49).text, "24031510000005") << text;
    }
}

}  // namespace
}  // namespace qavix::sim
