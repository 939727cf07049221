#include <gtest/gtest.h>

#include "SimTestHelper.h"

namespace qavix::sim {
namespace {

using test::Sim;

TEST(States, StatusReportsStateSensorsAndError) {
    Sim sim;
    EXPECT_EQ(sim.run(Op::GetStatus).text, "000300");
    EXPECT_EQ(sim.run(Op::GetControl, 48).text, "000300");
    Options one;
    one.beams = {128};
    one.state = kStateError;
    one.errorNumber = 0x35;
    Sim faulty(one);
    EXPECT_EQ(faulty.run(Op::GetStatus).text, "020135");
}

struct Step {
    Op op;
    int arg;
    int error;
    int stateAfter;
};

struct Walk {
    const char* name;
    int initialState;
    std::vector<Step> steps;
};

TEST(States, Transitions) {
    const std::vector<Walk> walks = {
        {"write sequence",
         kStateNormal,
         {{Op::StartSetting, 0, kOk, 1},
          {Op::StartSetting, 0, kOk, 1},
          {Op::EnableSetting, 0, kOk, 1},
          {Op::Reset, 0, kOk, 0}}},
        {"enable outside setting mode",
         kStateNormal,
         {{Op::EnableSetting, 0, kWrongState, 0}, {Op::FactEnd, 0, kWrongState, 0}}},
        {"bank clear sequence",
         kStateNormal,
         {{Op::FactStart, 0, kOk, 30},
          {Op::ClearBank, 3, kOk, 30},
          {Op::ClearBank, 4, kBadRange, 30},
          {Op::StartSetting, 0, kWrongState, 30},
          {Op::FactEnd, 0, kOk, 0},
          {Op::Reset, 0, kOk, 0}}},
        {"reset leaves factory mode", kStateFactory, {{Op::Reset, 0, kOk, 0}}},
        {"no factory mode while setting",
         kStateSetting,
         {{Op::FactStart, 0, kWrongState, 1},
          {Op::ClearBank, 0, kWrongState, 1},
          {Op::ZeroReset, 1, kWrongState, 1},
          {Op::TeachRatio, 1, kWrongState, 1},
          {Op::Reset, 0, kOk, 0}}},
        {"clear bank needs factory mode", kStateNormal, {{Op::ClearBank, 0, kWrongState, 0}}},
    };
    for (const Walk& w : walks) {
        SCOPED_TRACE(w.name);
        Options o = test::threeSensors();
        o.state = w.initialState;
        Sim sim(o);
        for (const Step& s : w.steps) {
            const int rc =
                s.op == Op::TeachRatio ? sim.op(s.op, 1, s.arg, 50) : sim.op(s.op, s.arg);
            EXPECT_EQ(rc, s.error) << "op " << static_cast<int>(s.op);
            EXPECT_EQ(sim.state(), s.stateAfter) << "op " << static_cast<int>(s.op);
        }
    }
}

TEST(States, SettingErrorIsClearedByResetButAFaultStays) {
    Options o = test::threeSensors();
    o.state = kStateError;
    o.errorNumber = 0xC8;  // P-I/O assignment: a setting error
    Sim setting(o);
    EXPECT_EQ(setting.text(107).substr(14, 2), "C8");
    EXPECT_EQ(setting.op(Op::StartSetting), kOk);
    EXPECT_EQ(setting.state(), 1);
    setting.op(Op::EnableSetting);
    setting.op(Op::Reset);
    EXPECT_EQ(setting.state(), 0);

    o.errorNumber = 0x35;  // wiring fault
    Sim fault(o);
    EXPECT_EQ(fault.op(Op::StartSetting), kWrongState);
    EXPECT_EQ(fault.op(Op::Reset), kOk);
    EXPECT_EQ(fault.state(), 2);
    EXPECT_EQ(fault.text(107).substr(14, 2), "35");
    EXPECT_EQ(fault.controller.errorNumber(), 0x35);
}

TEST(States, RaisingAnErrorLogsItAsTheNewestEntry) {
    Sim sim;
    const std::string newest = sim.text(107);
    sim.controller.raiseError(0xD4);
    EXPECT_EQ(sim.state(), 2);
    const std::string entry = sim.text(107);
    ASSERT_EQ(entry.size(), 24u);
    EXPECT_EQ(entry.substr(0, 12), "240315100000");
    EXPECT_EQ(entry.substr(14, 2), "D4");
    EXPECT_EQ(entry.substr(16), "1409012C");  // controller errors carry the controller serial
    EXPECT_EQ(sim.text(108), newest);
}

TEST(States, ErrorHistoryHasTwentyEntriesOfTheLogForm) {
    Sim sim;
    int empty = 0;
    for (int id = 107; id <= 126; ++id) {
        const std::string e = sim.text(id);
        ASSERT_EQ(e.size(), 24u) << id;
        if (e == std::string(24, '0')) {
            ++empty;
        } else {
            const int code = std::stoi(e.substr(14, 2), nullptr, 16);
            EXPECT_TRUE(code >= 0x20 && code <= 0xD4) << e;
            EXPECT_GE(std::stoi(e.substr(2, 2)), 1);  // month
        }
    }
    EXPECT_GT(empty, 0);
    EXPECT_LT(empty, 20);
    EXPECT_EQ(sim.get(127 + 100).error, kUnknownId);
}

TEST(States, PutsAreRefusedOutsideSettingMode) {
    for (int state : {kStateNormal, kStateFactory, kStateError}) {
        Options o = test::threeSensors();
        o.state = state;
        Sim sim(o);
        for (int code = 0; code <= 45; ++code) {
            const std::string text = code == 0 ? "24031510000005" : "00";
            EXPECT_EQ(sim.put(code, 0, 1, text).error, kWrongState)
                << "code " << code << " state " << state;
        }
        EXPECT_EQ(sim.run(Op::PutControl, 0, 0, 0, "02120518304504").error, kWrongState);
        EXPECT_EQ(sim.text(67, 0, 1), "32");
    }
}

TEST(States, ResetWithoutEnableDiscardsWhatWasPut) {
    Sim sim;
    const std::string bank = sim.text(150, 0, 64);
    ASSERT_EQ(sim.op(Op::StartSetting), kOk);
    ASSERT_EQ(sim.put(6, 0, 1, "44").error, kOk);
    ASSERT_EQ(sim.put(42, 0, 64, std::string(128, '1')).error, kOk);
    EXPECT_EQ(sim.text(67, 0, 1), "44");  // visible while setting
    ASSERT_EQ(sim.op(Op::Reset), kOk);
    EXPECT_EQ(sim.state(), 0);
    EXPECT_EQ(sim.text(67, 0, 1), "32");
    EXPECT_EQ(sim.text(150, 0, 64), bank);
}

TEST(States, CommandsForAnotherUnitAreNotAnswered) {
    Options o = test::threeSensors();
    o.unit = 3;
    Sim sim(o);
    Command c;
    c.op = Op::GetStatus;
    c.unit = 0;
    EXPECT_EQ(sim.controller.execute(c).error, kBadUnit);
    c.unit = 3;
    EXPECT_TRUE(sim.controller.execute(c).ok());
}

}  // namespace
}  // namespace qavix::sim
