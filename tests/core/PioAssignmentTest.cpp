// The P-I/O terminal codes both ways, the choices the page offers and what a write sends.

#include <gtest/gtest.h>

#include "model/PioFunctions.h"

namespace qavix {
namespace {

struct CodeCase {
    const char* code;
    PioAssignment assignment;
};

TEST(PioAssignment, CodesReadAsFunctionJudgementAndNumber) {
    const CodeCase cases[] = {
        {"8000", {kPioUnassigned, kPioNoJudgement, 0}},
        {"", {kPioUnassigned, kPioNoJudgement, 0}},
        {"8010", {kPioOverall, kPioBlocked, 1}},
        {"8011", {kPioOverall, kPioIncident, 1}},
        {"8013", {kPioOverall, kPioIncident, 2}},
        {"8014", {kPioOverall, kPioBlocked, 3}},
        {"8017", {kPioOverall, kPioIncident, 3}},  // any x from 4 on is CH3
        {"8030", {kPioGroup, kPioBlocked, 1}},
        {"804F", {kPioGroup, kPioIncident, 16}},
        {"804f", {kPioGroup, kPioIncident, 16}},
        {"8050", {kPioParallel1, kPioNoJudgement, 1}},
        {"806B", {kPioParallel2, kPioNoJudgement, 12}},
    };
    for (const CodeCase& c : cases) {
        const auto a = pioAssignmentOfCode(c.code);
        ASSERT_TRUE(a.has_value()) << c.code;
        EXPECT_EQ(*a, c.assignment) << c.code;
    }
    for (const char* unknown : {"8020", "8070", "80", "80X1", "804G"}) {
        EXPECT_FALSE(pioAssignmentOfCode(unknown).has_value()) << unknown;
    }
}

TEST(PioAssignment, AssignmentsEncodeToTheirCodesAndBack) {
    EXPECT_EQ(pioCode({kPioUnassigned, kPioNoJudgement, 0}), "8000");
    EXPECT_EQ(pioCode({kPioOverall, kPioIncident, 2}), "8013");
    EXPECT_EQ(pioCode({kPioOverall, kPioBlocked, 3}), "8014");
    EXPECT_EQ(pioCode({kPioOverall, kPioNoJudgement, 2}), "8010");  // incomplete: CH1 dark-on
    EXPECT_EQ(pioCode({kPioGroup, kPioNoJudgement, 1}), "8030");
    EXPECT_EQ(pioCode({kPioGroup, kPioIncident, 16}), "804F");
    EXPECT_EQ(pioCode({kPioGroup, kPioBlocked, 0}), "8030");  // "-" counts as the first
    EXPECT_EQ(pioCode({kPioParallel1, kPioNoJudgement, 12}), "805B");
    EXPECT_EQ(pioCode({kPioParallel2, kPioNoJudgement, 0}), "8060");
    EXPECT_EQ(pioCode({7, 0, 1}), "0000");

    // Every choice the page can offer survives the round trip through the controller.
    for (int f : {kPioOverall, kPioGroup, kPioParallel1, kPioParallel2}) {
        for (int n : pioNumberChoices(f, 3)) {
            const std::vector<int> judgements = pioJudgementChoices(f);
            for (int j : judgements.empty() ? std::vector<int>{kPioNoJudgement} : judgements) {
                const PioAssignment a{f, j, n};
                EXPECT_EQ(pioAssignmentOfCode(pioCode(a)), a) << pioCode(a);
            }
        }
    }
}

TEST(PioAssignment, TextsOfTheColumns) {
    EXPECT_EQ(pioPortName(5), "D05");
    EXPECT_EQ(pioPortName(15), "D15");
    EXPECT_STREQ(pioFunctionText(kPioOverall), "総合ON/OFF出力");
    EXPECT_STREQ(pioFunctionText(kPioParallel2), "パラレル出力 2");
    EXPECT_STREQ(pioFunctionText(9), "未設定");
    EXPECT_STREQ(pioJudgementText(kPioIncident), "入光");
    EXPECT_STREQ(pioJudgementText(kPioNoJudgement), "-");
    EXPECT_EQ(pioNumberText(kPioOverall, 2), "CH2");
    EXPECT_EQ(pioNumberText(kPioGroup, 16), "Gr.16");
    EXPECT_EQ(pioNumberText(kPioParallel1, 1), "0bit");
    EXPECT_EQ(pioNumberText(kPioParallel2, 12), "11bit");
    EXPECT_EQ(pioNumberText(kPioParallel2, 13), "-");
    EXPECT_EQ(pioNumberText(kPioUnassigned, 1), "-");
    EXPECT_STREQ(pioInversionText(1), "有効");
    EXPECT_STREQ(pioInversionText(0), "無効");
    EXPECT_STREQ(pioInversionText(7), "無効");
}

TEST(PioAssignment, ChoicesFollowTheMeasurementSwitchesAndSensors) {
    GeneralBlock g;
    EXPECT_EQ(pioFunctionChoices(g), std::vector<int>{kPioUnassigned});
    g.allOnOffCnf = 2;
    g.paraCnf = 1;
    EXPECT_EQ(pioFunctionChoices(g),
              (std::vector<int>{kPioUnassigned, kPioOverall, kPioParallel1, kPioParallel2}));
    g.grpCnf = 2;
    EXPECT_EQ(pioFunctionChoices(g).size(), 5u);

    EXPECT_EQ(pioNumberChoices(kPioOverall, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(pioNumberChoices(kPioGroup, 1).size(), 16u);
    EXPECT_EQ(pioNumberChoices(kPioParallel1, 1).size(), 12u);
    EXPECT_TRUE(pioNumberChoices(kPioUnassigned, 3).empty());
    EXPECT_TRUE(pioJudgementChoices(kPioParallel1).empty());

    EXPECT_EQ(pioFunctionDefaults(kPioGroup), (PioAssignment{kPioGroup, kPioBlocked, 1}));
    EXPECT_EQ(pioFunctionDefaults(kPioParallel2),
              (PioAssignment{kPioParallel2, kPioNoJudgement, 1}));
    EXPECT_EQ(pioFunctionDefaults(kPioUnassigned), PioAssignment{});
}

GeneralBlock factoryTerminals() {
    GeneralBlock g;
    for (size_t i = 0; i < g.pio.size(); ++i) {
        g.pio[i] = "8000";
    }
    return g;
}

TEST(PioAssignment, WriteSendsOnlyTheBlocksThatChanged) {
    GeneralBlock stored = factoryTerminals();
    PioTable table = pioTableOf(stored);
    EXPECT_TRUE(pioPuts(table, stored).empty());

    table[5].assignment = {kPioGroup, kPioIncident, 16};
    auto puts = pioPuts(table, stored);
    ASSERT_EQ(puts.size(), 1u);
    EXPECT_EQ(puts[0].code, 3);
    EXPECT_EQ(puts[0].count, 16);
    ASSERT_EQ(puts[0].text.size(), 64u);
    EXPECT_EQ(puts[0].text.substr(20, 4), "804F");
    EXPECT_EQ(puts[0].text.substr(16, 4), "8000");

    table = pioTableOf(stored);
    table[0].inversion = 1;
    puts = pioPuts(table, stored);
    ASSERT_EQ(puts.size(), 1u);
    EXPECT_EQ(puts[0].code, 4);
    EXPECT_EQ(puts[0].text, "01" + std::string(30, '0'));
}

TEST(PioAssignment, UntouchedTerminalsKeepCodesThePageCannotShow) {
    GeneralBlock stored = factoryTerminals();
    stored.pio[2] = "8020";  // a kind the page does not know
    stored.pio[3] = "8016";  // shown as CH3 dark-on, stored differently
    stored.pio[4] = "";
    PioTable table = pioTableOf(stored);
    EXPECT_EQ(table[2].assignment, PioAssignment{});
    table[0].assignment = {kPioOverall, kPioIncident, 1};
    const auto puts = pioPuts(table, stored);
    ASSERT_EQ(puts.size(), 1u);
    EXPECT_EQ(puts[0].text.substr(0, 20), "80118000802080160000");
}

}  // namespace
}  // namespace qavix
