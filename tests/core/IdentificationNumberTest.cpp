#include "model/IdentificationNumber.h"

#include <gtest/gtest.h>

#include "model/ClockSync.h"
#include "model/DeviceModel.h"

namespace qavix {
namespace {

TEST(IdentificationNumber, OnlyHexadecimalDigitsAreValid) {
    for (const char* ok : {"", "0", "1234", "abcdef", "ABCDEF", "9aF"}) {
        EXPECT_TRUE(isValidIdText(ok)) << ok;
    }
    for (const char* bad : {"1g", "g", " 12", "12 ", "-1", "0x1", "１２", "ab.c"}) {
        EXPECT_FALSE(isValidIdText(bad)) << bad;
    }
}

TEST(IdentificationNumber, WrittenAsSixUpperCaseDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "000ABC"},    {"", "000000"},    {"0", "000000"},
        {"ffffff", "FFFFFF"}, {"101", "000101"}, {"00aB", "0000AB"},
    };
    for (const auto& [typed, sent] : cases) {
        EXPECT_EQ(idWriteText(typed), sent) << typed;
    }
}

TEST(IdentificationNumber, PutCarriesThreeItemsOfTheSixDigitText) {
    const codec::PutRequest p = idPut("abc");
    EXPECT_EQ(p.code, 2);
    EXPECT_EQ(p.channel, 0);
    EXPECT_EQ(p.start, 0);
    EXPECT_EQ(p.count, 3);
    EXPECT_EQ(p.text, "000ABC");

    // What a successful write leaves in the working set is what the controller now holds.
    SettingsData set;
    set.general.idText = "000101";
    applyWrittenPuts({p}, set);
    EXPECT_EQ(set.general.idText, "000ABC");
}

TEST(IdentificationNumber, BasicInformationReadsInOrderWithShortTimeOuts) {
    const std::vector<PageRead> expected = {
        {46, 0, 0, 2, 500}, {62, 0, 0, 0, 500}, {61, 0, 0, 0, 500},
        {80, 0, 0, 0, 500}, {60, 1, 0, 1, 500},
    };
    EXPECT_EQ(basicInformationReads(), expected);
}

TEST(ClockSync, SentOnlyWithinTheFirstRefreshPeriodOfASecond) {
    struct Case {
        int ms;
        int period;
        bool due;
    };
    const Case cases[] = {
        {0, 200, true},    {200, 200, true}, {201, 200, false}, {999, 200, false},
        {150, 100, false}, {99, 100, true},  {-1, 200, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clockSyncDue(c.ms, c.period), c.due) << c.ms << " / " << c.period;
    }
}

}  // namespace
}  // namespace qavix
