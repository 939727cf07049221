#include <gtest/gtest.h>

#include "SimTestHelper.h"

namespace qavix::sim {
namespace {

using test::hexAt;
using test::Sim;
using namespace std::chrono_literals;

Scenario parsed(const std::string& text) {
    Scenario s;
    std::string error;
    EXPECT_TRUE(Scenario::parse(text, s, error)) << error;
    return s;
}

Options steady() {
    Options o = test::threeSensors();
    o.steadyLight = true;
    return o;
}

TEST(ScenarioEvents, ParseInTimeOrderWithOneBasedBeams) {
    const Scenario s = parsed(
        "[events]\n"
        "4 = error a2\n"
        "2.5 = light CH1:5-8 40\n"
        "2.5 = light ch3 0\n"
        "0 = light CH2:7 120\n");
    ASSERT_EQ(s.events.size(), 4u);
    EXPECT_EQ(s.events[0].atMs, 0);
    EXPECT_EQ(s.events[1].atMs, 2500);
    EXPECT_EQ(s.events[1].channel, 0);
    EXPECT_EQ(s.events[1].firstBeam, 4);
    EXPECT_EQ(s.events[1].lastBeam, 7);
    EXPECT_EQ(s.events[1].percent, 40);
    // Same time: the order written.
    EXPECT_EQ(s.events[2].channel, 2);
    EXPECT_EQ(s.events[2].firstBeam, 0);
    EXPECT_EQ(s.events[2].lastBeam, 127);
    EXPECT_EQ(s.events[3].kind, ScenarioEvent::Kind::Error);
    EXPECT_EQ(s.events[3].errorNumber, 0xA2);
}

TEST(ScenarioEvents, BadEventsNameTheLine) {
    for (const char* text : {"[events]\nsoon = error A2\n", "[events]\n-1 = error A2\n",
                             "[events]\n1 = error XYZ\n", "[events]\n1 = light CH4 50\n",
                             "[events]\n1 = light CH1:0 50\n", "[events]\n1 = light CH1:9-3 50\n",
                             "[events]\n1 = light CH1:1-200 50\n", "[events]\n1 = light CH1 1001\n",
                             "[events]\n1 = light CH1 50 extra\n", "[events]\n1 = reset\n"}) {
        Scenario s;
        std::string error;
        EXPECT_FALSE(Scenario::parse(text, s, error)) << text;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}

TEST(ScenarioEvents, ErrorIsRaisedAndLoggedOnceItsTimeHasCome) {
    Sim sim(test::threeSensors(), parsed("[events]\n3 = error A2\n"));
    const std::string before = sim.text(107);
    sim.now += 2900ms;
    EXPECT_EQ(sim.run(Op::GetStatus).text, "000300");
    sim.now += 100ms;
    EXPECT_EQ(sim.run(Op::GetStatus).text, "0203A2");
    EXPECT_EQ(sim.text(107).substr(14, 2), "A2");
    EXPECT_EQ(sim.text(108), before);
    // Once only: later reads find the same log.
    sim.now += 10s;
    EXPECT_EQ(sim.text(108), before);
}

TEST(ScenarioEvents, LightShareScalesTheLevelsOfTheNamedBeams) {
    Sim sim(steady(), parsed("[events]\n1 = light CH1:2-3 50\n2 = light CH1:2-3 100\n"));
    const std::string full = sim.text(88, 0, 4);
    sim.now += 1s;
    const std::string dimmed = sim.text(88, 0, 4);
    EXPECT_EQ(hexAt(dimmed, 0), hexAt(full, 0));
    EXPECT_EQ(hexAt(dimmed, 1), hexAt(full, 1) / 2);
    EXPECT_EQ(hexAt(dimmed, 2), hexAt(full, 2) / 2);
    EXPECT_EQ(hexAt(dimmed, 3), hexAt(full, 3));
    // The ratio level follows: percent of the zero point (100 by default).
    EXPECT_EQ(hexAt(sim.text(89, 0, 2), 1, 4), hexAt(full, 1) / 2);
    sim.now += 1s;
    EXPECT_EQ(sim.text(88, 0, 4), full);
}

TEST(SteadyLight, LevelsDoNotChangeWithTime) {
    Sim sim(steady());
    const std::string first = sim.text(89, 0, 3 * 128);
    for (int step = 0; step < 20; ++step) {
        sim.now += 730ms;  // through noise slots, drift and a passing object
        ASSERT_EQ(sim.text(89, 0, 3 * 128), first);
    }
    Sim live;
    const std::string a = live.text(88, 0, 40);
    live.now += 1300ms;
    EXPECT_NE(live.text(88, 0, 40), a);
}

TEST(SteadyLight, OptionParses) {
    Options o;
    std::string error;
    ASSERT_TRUE(parseOptionText("sim:--light steady", o, error)) << error;
    EXPECT_TRUE(o.steadyLight);
    ASSERT_TRUE(parseOptionText("sim:--light live", o, error)) << error;
    EXPECT_FALSE(o.steadyLight);
    EXPECT_FALSE(parseOptionText("sim:--light dim", o, error));
}

}  // namespace
}  // namespace qavix::sim
