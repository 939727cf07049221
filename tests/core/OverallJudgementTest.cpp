// The overall ON/OFF judgement: the checks of its number boxes with their messages and the
// blocks a write sends, in the order the controller takes them.

#include <gtest/gtest.h>

#include "model/OverallJudgement.h"

namespace qavix {
namespace {

using Beams = std::array<int32_t, kChannelCount>;
constexpr Beams kTwoSensors = {40, 32, 0};

std::string check(BeamJudgement kind, int channel, const std::string& text, int arrangement,
                  const Beams& beams = kTwoSensors, bool validatingChange = false) {
    return checkOverallBox(kind, channel, text, arrangement, beams, validatingChange)
        .value_or("ok");
}

TEST(OverallJudgement, FirstRowLimitFollowsTheArrangement) {
    const auto B = BeamJudgement::Blocked;
    EXPECT_EQ(check(B, 0, "72", kTogetherIndex), "ok");
    EXPECT_EQ(check(B, 0, "73", kTogetherIndex), "総合遮光光軸数の値が大きすぎます");
    EXPECT_EQ(check(B, 0, "40", kSeparateIndex), "ok");
    EXPECT_EQ(check(B, 0, "41", kSeparateIndex), "CH1遮光光軸数の値が大きすぎます");
    // While a change to the separate arrangement is checked, the old total still holds.
    EXPECT_EQ(check(B, 0, "72", kSeparateIndex, kTwoSensors, true), "ok");
    EXPECT_EQ(check(BeamJudgement::Incident, 1, "33", kSeparateIndex),
              "CH2入光光軸数の値が大きすぎます");
    EXPECT_EQ(check(BeamJudgement::Incident, 1, "32", kSeparateIndex), "ok");
}

TEST(OverallJudgement, ChecksReportTheirFirstFailureInOrder) {
    const auto I = BeamJudgement::Incident;
    EXPECT_EQ(check(I, 0, "1a", kTogetherIndex), "総合入光光軸数の値が無効です");
    EXPECT_EQ(check(I, 0, "-1", kSeparateIndex), "CH1入光光軸数の値が無効です");
    EXPECT_EQ(check(I, 0, "", kSeparateIndex),
              "CH1入光光軸数の値が小さすぎます。\n1 以上の値を入力してください");
    EXPECT_EQ(check(I, 0, "0", kTogetherIndex),
              "総合入光光軸数の値が小さすぎます。\n1 以上の値を入力してください");
    // A number too long for any integer is too large, not wrapped round to something small.
    EXPECT_EQ(check(I, 0, "99999999999999999999", kSeparateIndex),
              "CH1入光光軸数の値が大きすぎます");
}

TEST(OverallJudgement, RowsWithoutTheirSensorOrOutsideTheirArrangementAreNotChecked) {
    const auto B = BeamJudgement::Blocked;
    EXPECT_EQ(check(B, 2, "x", kSeparateIndex), "ok");  // CH3 has no beams
    EXPECT_EQ(check(B, 1, "x", kTogetherIndex), "ok");  // hidden rows keep what they hold
    EXPECT_EQ(check(B, 0, "x", kTogetherIndex, {0, 32, 0}), "ok");
    EXPECT_EQ(check(B, 2, "129", kSeparateIndex, {40, 32, 128}), "CH3遮光光軸数の値が大きすぎます");
}

TEST(OverallJudgement, RowsShownByArrangementAndSensors) {
    EXPECT_EQ(overallRowCount(kTogetherIndex, 3), 1);
    EXPECT_EQ(overallRowCount(kSeparateIndex, 2), 2);
    EXPECT_EQ(overallRowCount(kSeparateIndex, 3), 3);
    EXPECT_EQ(overallRowCount(kSeparateIndex, 0), 1);
    EXPECT_EQ(arrangementIndexOf(1), kTogetherIndex);
    EXPECT_EQ(arrangementIndexOf(2), kSeparateIndex);
    EXPECT_STREQ(arrangementText(0), "無効");
    EXPECT_STREQ(arrangementText(2), "センサ個別処理");
    EXPECT_STREQ(arrangementText(3), "該当無");
}

GeneralBlock storedSeparate() {
    GeneralBlock g;
    g.allOnOffCnf = kArrangementSeparate;
    g.allOff = {5, 6, 7};
    g.allOn = {10, 11, 12};
    g.fixCnf = {0, 1, 0};
    return g;
}

std::vector<int> codes(const std::vector<codec::PutRequest>& puts) {
    std::vector<int> c;
    for (const auto& p : puts) {
        c.push_back(p.code);
    }
    return c;
}

TEST(OverallJudgement, SeparateWriteSendsFixOnlyWhenASwitchChanged) {
    const GeneralBlock stored = storedSeparate();
    OverallJudgementValues v = overallJudgementOf(stored);
    EXPECT_EQ(v.blocked[1], "6");
    EXPECT_EQ(v.arrangementIndex, kSeparateIndex);

    v.blocked[0] = "26";
    auto puts = overallJudgementPuts(v, stored);
    EXPECT_EQ(codes(puts), (std::vector<int>{32, 31}));
    EXPECT_EQ(puts[0].text, "001A00060007");
    EXPECT_EQ(puts[1].text, "000A000B000C");

    v.fix[2] = 1;
    puts = overallJudgementPuts(v, stored);
    ASSERT_EQ(codes(puts), (std::vector<int>{32, 31, 30}));
    EXPECT_EQ(puts[2].text, "000101");
}

TEST(OverallJudgement, ChangeToTogetherSendsTheArrangementAndTheFirstSwitchThrice) {
    const GeneralBlock stored = storedSeparate();
    OverallJudgementValues v = overallJudgementOf(stored);
    v.arrangementIndex = kTogetherIndex;
    v.fix[0] = 1;
    const auto puts = overallJudgementPuts(v, stored);
    ASSERT_EQ(codes(puts), (std::vector<int>{29, 32, 31, 30}));
    EXPECT_EQ(puts[0].text, "01");
    EXPECT_EQ(puts[3].text, "010101");
}

TEST(OverallJudgement, BlankingButtonsLeadToTheSensorOrToAllSensors) {
    const BlankingTarget chart = blankingTarget(kSeparateIndex, 1, 0);
    EXPECT_EQ(chart.page, 9);
    EXPECT_EQ(chart.channel, 1);
    EXPECT_EQ(chart.blankingChannel, 1);
    const BlankingTarget list = blankingTarget(kTogetherIndex, 0, 1);
    EXPECT_EQ(list.page, 19);
    EXPECT_EQ(list.channel, 3);
    EXPECT_EQ(list.blankingChannel, 4);
}

}  // namespace
}  // namespace qavix
