// Output codes of the parallel outputs both ways, what the page lists for stored codes,
// and the writes it makes.

#include <gtest/gtest.h>

#include "model/OverallJudgement.h"
#include "model/ParallelOutputs.h"

namespace qavix {
namespace {

TEST(ParallelOutputs, CodesPackSensorModeAndStateAndReadBack) {
    struct Case {
        ParallelTarget target;
        int32_t code;
    };
    const Case cases[] = {
        {{0, 0, 0}, 1}, {{0, 0, 1}, 2}, {{0, 1, 0}, 3}, {{1, 2, 1}, 22}, {{2, 2, 1}, 38},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parallelOutputCode(c.target), c.code);
        ParallelTarget back;
        ASSERT_TRUE(parallelTargetOf(c.code, back)) << c.code;
        EXPECT_EQ(back, c.target) << c.code;
    }
    // A sensor index one past CH3 counts as CH1.
    EXPECT_EQ(parallelOutputCode({3, 0, 1}), 2);
    ParallelTarget untouched{1, 1, 1};
    for (int32_t bad : {0, -5, 7, 49}) {  // 7: mode 3; 49: sensor 3
        EXPECT_FALSE(parallelTargetOf(bad, untouched)) << bad;
    }
    EXPECT_EQ(untouched, (ParallelTarget{1, 1, 1}));
}

TEST(ParallelOutputs, TargetListHoldsConnectedSensorsAndKeepsAStoredFurtherOne) {
    ParallelOutputChoice c = parallelOutputChoice(parallelOutputCode({1, 0, 0}), 0, 3);
    EXPECT_EQ(c.sensors, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(c.sensorEntry, 1);

    // CH3 stored with two sensors: listed third and selected, not CH2.
    c = parallelOutputChoice(parallelOutputCode({2, 1, 1}), 1, 2);
    EXPECT_EQ(c.sensors, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(c.sensorEntry, 2);
    EXPECT_EQ(c.mode, 1);
    EXPECT_EQ(c.state, 1);
    EXPECT_EQ(c.format, 1);

    // CH3 stored with one sensor: the second entry is CH3.
    c = parallelOutputChoice(parallelOutputCode({2, 0, 0}), 0, 1);
    EXPECT_EQ(c.sensors, (std::vector<int>{0, 2}));
    EXPECT_EQ(c.sensorEntry, 1);

    // Nothing connected still lists CH1; an unknown format shows as base 2.
    c = parallelOutputChoice(1, 9, 0);
    EXPECT_EQ(c.sensors, std::vector<int>{0});
    EXPECT_EQ(c.format, 0);
}

struct ParallelPuts : ::testing::Test {
    void SetUp() override {
        general.jointNum = 3;
        general.paraCnf = kArrangementSeparate;
        general.paraRes = {1, 1};
        general.paraType = {0, 0};
    }
    static std::vector<std::pair<int, std::string>> sent(
        const std::vector<codec::PutRequest>& puts) {
        std::vector<std::pair<int, std::string>> out;
        for (const codec::PutRequest& p : puts) {
            out.emplace_back(p.code, p.text);
        }
        return out;
    }
    GeneralBlock general;
};

TEST_F(ParallelPuts, ListsGiveCodesFormatsAndArrangementInWriteOrder) {
    ParallelOutputPage page = parallelOutputPage(general);
    page.outputs[0].sensorEntry = 2;  // CH3, total, incident, BCD
    page.outputs[0].mode = 2;
    page.outputs[0].state = 1;
    page.outputs[0].format = 1;
    page.outputs[1].sensorEntry = 0;  // CH1, topmost, blocked, base 2
    page.arrangement = 0;
    EXPECT_EQ(sent(parallelOutputPuts(page, general)),
              (std::vector<std::pair<int, std::string>>{{33, "01"}, {35, "2601"}, {34, "0100"}}));

    page.arrangement = 1;
    EXPECT_EQ(parallelOutputPuts(page, general).front().text, "02");
}

TEST_F(ParallelPuts, UntouchedOutputIsSentAsStoredEvenWhenTheListsCannotShowIt) {
    general.jointNum = 2;
    general.paraRes = {parallelOutputCode({2, 2, 0}), 0x7E};  // CH3 with two sensors; garbage
    general.paraType = {1, 5};
    ParallelOutputPage page = parallelOutputPage(general);
    EXPECT_EQ(sent(parallelOutputPuts(page, general)),
              (std::vector<std::pair<int, std::string>>{{33, "02"}, {35, "257E"}, {34, "0105"}}));

    // Changing output 2's state alone rebuilds its code from its lists, and only its code.
    page.outputs[1].state = 1;
    EXPECT_EQ(parallelOutputPuts(page, general)[1].text, "2502");
}

TEST(ParallelOutputs, PageReadsArrangementFormatsCodesAndUnits) {
    std::vector<int> codes;
    for (const PageRead& r : parallelOutputReads()) {
        codes.push_back(r.code);
        EXPECT_EQ(r.timeoutMs, 1500);
    }
    EXPECT_EQ(codes, (std::vector<int>{133, 134, 135, 136}));
}

}  // namespace
}  // namespace qavix
