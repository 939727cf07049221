// The option switches: which are on for stored values, and what switching them writes.

#include <gtest/gtest.h>

#include "model/OptionSwitches.h"

namespace qavix {
namespace {

std::vector<std::pair<int, std::string>> sent(const std::vector<codec::PutRequest>& puts) {
    std::vector<std::pair<int, std::string>> out;
    for (const codec::PutRequest& p : puts) {
        out.emplace_back(p.code, p.text);
    }
    return out;
}

TEST(OptionSwitches, AnyNonZeroValueIsOn) {
    GeneralBlock g;
    g.tchCnf = 0x10;  // not the value the page writes, still on
    g.bankFunction = 0;
    g.grpCnf = 2;
    g.allOnOffCnf = 1;
    g.paraCnf = 0;
    EXPECT_EQ(optionStates(g), (OptionStates{true, false, true, true, false}));
}

TEST(OptionSwitches, OnlyChangedSwitchesAreWrittenInTableOrder) {
    GeneralBlock g;
    g.tchCnf = 0x11;
    g.allOnOffCnf = 2;
    OptionStates shown = optionStates(g);
    EXPECT_TRUE(optionPuts(shown, g).empty());

    shown[kOptionGroups] = true;
    EXPECT_EQ(sent(optionPuts(shown, g)), (std::vector<std::pair<int, std::string>>{{37, "02"}}));

    // Every switch turned over: teach off, bank on, groups on, overall off, parallel on.
    shown = {false, true, true, false, true};
    EXPECT_EQ(sent(optionPuts(shown, g)),
              (std::vector<std::pair<int, std::string>>{
                  {40, "00"}, {41, "10"}, {37, "02"}, {29, "00"}, {33, "02"}}));
    // Each put is a one-byte controller-wide block.
    for (const codec::PutRequest& p : optionPuts(shown, g)) {
        EXPECT_EQ(p.channel, 0);
        EXPECT_EQ(p.count, 1);
    }
}

TEST(OptionSwitches, PageReadsEverySwitch) {
    std::vector<int> codes;
    for (const PageRead& r : optionReads()) {
        codes.push_back(r.code);
    }
    EXPECT_EQ(codes, (std::vector<int>{148, 149, 127, 143, 133}));
    // Each read fills the field of the switch whose put pairs with it.
    for (const OptionSwitch& s : optionSwitches()) {
        SettingsData set;
        set.general.*s.field = 0;
        ASSERT_EQ(codec::applyOffline(s.putCode, 0, 0, "07", set), codec::DecodeResult::Ok);
        EXPECT_EQ(set.general.*s.field, 7) << s.label;
    }
}

}  // namespace
}  // namespace qavix
