#include <gtest/gtest.h>

#include <fstream>

#include "SimTestHelper.h"
#include "TempDir.h"

namespace qavix::sim {
namespace {

using test::Sim;

const char* const kScenario = R"(# a controller that has been in service
[current]
image:272 = 3C 3C 3C      ; first three AXIS_TH of CH1
61 = 140A0001
103:128 = 2828
59 = "LINE-C  BAY 7   "
[Bank2]
clear = 1
[bank3]
image:1040 = 0C0C0C
[errors]
1 = 240101120000 00 CD 140A0001
20 = 230101000000 00 A2 14070210
)";

Scenario parsed(const std::string& text) {
    Scenario s;
    std::string error;
    EXPECT_TRUE(Scenario::parse(text, s, error)) << error;
    return s;
}

TEST(Scenario, SetsCurrentValuesBanksAndErrorLog) {
    Sim sim(test::threeSensors(), parsed(kScenario));
    EXPECT_EQ(sim.text(103, 0, 4), "3C3C3C32");
    EXPECT_EQ(sim.text(103, 128, 3), "282832");
    EXPECT_EQ(sim.text(61), "140A0001");
    EXPECT_EQ(sim.run(Op::GetString, 59, 4, 16).text, "LINE-C  BAY 7   ");
    // Banks start from the scenario's current set.
    EXPECT_EQ(sim.text(150, 272, 4), "3C3C3C32");
    EXPECT_EQ(sim.text(151, 0, 0), std::string(2 * 1134, '0'));
    EXPECT_EQ(sim.text(152, 1040, 4), "0C0C0C01");
    EXPECT_EQ(sim.text(107), "24010112000000CD140A0001");
    EXPECT_EQ(sim.text(126), "23010100000000A214070210");
}

TEST(Scenario, ErrorStateIsLoggedAboveTheScenarioEntries) {
    Options o = test::threeSensors();
    o.state = kStateError;
    o.errorNumber = 0xC6;
    Sim sim(o, parsed(kScenario));
    EXPECT_EQ(sim.text(107).substr(14, 2), "C6");
    EXPECT_EQ(sim.text(108), "24010112000000CD140A0001");
}

TEST(Scenario, BadScenariosNameTheLine) {
    struct Bad {
        const char* text;
        const char* where;
    };
    const Bad cases[] = {
        {"[current]\nimage:1130 = 0102030405\n", "line 2"},
        {"[current]\n103 = 3G\n", "line 2"},
        {"[current]\n\n999 = 00\n", "line 3"},
        {"[current]\n72 = 28\n", "line 2"},
        {"[current]\nimage:64 = 80\n", "line 2"},       // CH2's beam count
        {"[current]\nimage:218 = 0000A0\n", "line 2"},  // over JOINT_NUM
        {"[current]\n67:3 = 32\n", "line 2"},
        {"[bank5]\n", "line 1"},
        {"[bank1]\n61 = 140A0001\n", "line 2"},
        {"[bank1]\nclear = yes\n", "line 2"},
        {"image = 00\n", "line 1"},
        {"[errors]\n21 = 240101120000 00 CD 140A0001\n", "line 2"},
        {"[errors]\n1 = 2401011200 00 CD 140A0001\n", "line 2"},
        {"[current]\nno equals sign\n", "line 2"},
    };
    for (const Bad& c : cases) {
        Scenario s;
        std::string error;
        EXPECT_FALSE(Scenario::parse(c.text, s, error)) << c.text;
        EXPECT_NE(error.find(c.where), std::string::npos) << error;
    }
}

TEST(Scenario, CreateReadsTheFileNamedInTheOptions) {
    const qavix::test::TempDir temp;
    const std::string path = temp.file("scenario.ini");
    {
        std::ofstream f(path);
        f << kScenario;
    }
    Options o = test::threeSensors();
    std::string error;
    ASSERT_TRUE(parseOptionText("sim:--sensors 40 --scenario " + path, o, error)) << error;
    auto controller = Controller::create(o, error);
    ASSERT_NE(controller, nullptr) << error;
    Command c;
    c.op = Op::GetParameter;
    c.id = 61;
    EXPECT_EQ(controller->execute(c).text, "140A0001");

    o.scenarioFile = path + ".missing";
    EXPECT_EQ(Controller::create(o, error), nullptr);
    EXPECT_NE(error.find("missing"), std::string::npos);
}

}  // namespace
}  // namespace qavix::sim
