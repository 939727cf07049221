// The group ranges: the check of a write with its combined message and the two tables sent.

#include <gtest/gtest.h>

#include "model/GroupRanges.h"

namespace qavix {
namespace {

using Beams = std::array<int32_t, kChannelCount>;
constexpr Beams kTwoSensors = {40, 32, 0};

GroupRange range(int lowCh, int lowBeam, int upCh, int upBeam) {
    return {{lowCh, lowBeam}, {upCh, upBeam}};
}

TEST(GroupRanges, RangeRules) {
    EXPECT_FALSE(groupRangeValid(range(1, 10, 1, 5), kTwoSensors));  // backwards in a sensor
    EXPECT_TRUE(groupRangeValid(range(1, 10, 2, 5), kTwoSensors));   // across sensors
    EXPECT_TRUE(groupRangeValid(range(1, 5, 1, 5), kTwoSensors));
    EXPECT_FALSE(groupRangeValid(range(2, 1, 1, 5), kTwoSensors));  // channels backwards
    EXPECT_TRUE(groupRangeValid(range(1, 1, 2, 32), kTwoSensors));
    EXPECT_FALSE(groupRangeValid(range(1, 1, 2, 33), kTwoSensors));  // beyond CH2's beams
    EXPECT_FALSE(groupRangeValid(range(1, 41, 2, 1), kTwoSensors));  // beyond CH1's beams
    EXPECT_FALSE(groupRangeValid(range(1, 1, 3, 1), kTwoSensors));   // CH3 not connected
    // A cleared controller's zeros are left as they are; a beam without a channel is not.
    EXPECT_TRUE(groupRangeValid(range(0, 0, 0, 0), kTwoSensors));
    EXPECT_FALSE(groupRangeValid(range(0, 3, 1, 3), kTwoSensors));
}

TEST(GroupRanges, InvalidGroupsAreNamedTogether) {
    GroupTable table;
    EXPECT_TRUE(invalidGroups(table, kTwoSensors).empty());
    table[2] = range(1, 10, 1, 5);
    table[10] = range(2, 1, 2, 33);
    const std::vector<int> invalid = invalidGroups(table, kTwoSensors);
    EXPECT_EQ(invalid, (std::vector<int>{3, 11}));
    EXPECT_EQ(groupRangeMessage(invalid), "範囲指定が異常です\n\nＧｒ.03，Ｇｒ.11");
    EXPECT_EQ(groupRangeMessage({16}), "範囲指定が異常です\n\nＧｒ.16");
}

TEST(GroupRanges, WriteSendsUpperThenLowerEndsBeamsBeforeChannels) {
    GroupTable table;
    table[0] = range(2, 26, 3, 128);
    const auto puts = groupPuts(table);
    ASSERT_EQ(puts.size(), 2u);
    EXPECT_EQ(puts[0].code, 38);
    EXPECT_EQ(puts[1].code, 39);
    for (const auto& p : puts) {
        EXPECT_EQ(p.count, 32);
        ASSERT_EQ(p.text.size(), 64u);
    }
    EXPECT_EQ(puts[0].text.substr(0, 4), "8001");   // upper beams: 128, then 1
    EXPECT_EQ(puts[0].text.substr(32, 4), "0301");  // upper channels: 3, then 1
    EXPECT_EQ(puts[1].text.substr(0, 2), "1A");
    EXPECT_EQ(puts[1].text.substr(32, 2), "02");

    // What the controller takes back gives the same table.
    SettingsData set;
    for (const auto& p : puts) {
        ASSERT_EQ(codec::applyOffline(p.code, 0, p.start, p.text, set), codec::DecodeResult::Ok);
    }
    EXPECT_EQ(groupTableOf(set.general), table);
}

TEST(GroupRanges, ChoicesAndTexts) {
    EXPECT_EQ(groupChannelChoices(2), (std::vector<int>{1, 2}));
    EXPECT_EQ(groupBeamChoices(2, kTwoSensors).size(), 32u);
    EXPECT_TRUE(groupBeamChoices(3, kTwoSensors).empty());
    EXPECT_EQ(groupChannelText(2), "CH2");
    EXPECT_EQ(groupChannelText(0), "-");
    EXPECT_EQ(groupBeamText(26), "26");
    EXPECT_EQ(groupBeamText(0), "-");
}

}  // namespace
}  // namespace qavix
