#include "model/BasicInformation.h"

#include <gtest/gtest.h>

namespace qavix {
namespace {

SettingsData sample() {
    SettingsData set;
    GeneralBlock& g = set.general;
    g.type = "QX-AS300 CONTROLLER ";
    g.versionText = "VER01.20";
    g.idText = "000ABC";
    g.serialText = "020B002A";
    g.jointNum = 3;
    set.channel(0).versionText = "2.5";  // read code 60 of the first sensor
    return set;
}

TEST(BasicInformation, FieldsAsThePageShowsThem) {
    const BasicInformation info = basicInformation(sample());
    EXPECT_EQ(info.type, "QX-AS300 CONTROLLER ");
    EXPECT_EQ(info.version, "01.20");
    EXPECT_EQ(info.id, "000ABC");
    EXPECT_EQ(info.serial, "0042Y02");
    EXPECT_EQ(info.sensors, "3");
    EXPECT_EQ(info.pioResponse, "7.5ms");
    EXPECT_EQ(info.out1Response, "2.5ms / 10.0ms");
    EXPECT_EQ(info.out23Response, "5.0ms / 12.5ms");
}

TEST(BasicInformation, ShortVersionTextsAndMonthLetters) {
    SettingsData set = sample();
    GeneralBlock& g = set.general;
    g.versionText.clear();
    g.serialText = "0205000A";
    EXPECT_EQ(basicInformation(set).version, "");
    EXPECT_EQ(basicInformation(set).serial, "0010502");
    g.versionText = "VER";
    g.serialText = "140C012C";
    EXPECT_EQ(basicInformation(set).version, "");
    EXPECT_EQ(basicInformation(set).serial, "0300Z20");
}

TEST(BasicInformation, ItemsInPageOrder) {
    const auto items = basicInformationItems(basicInformation(sample()));
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].first, "形式");
    EXPECT_EQ(items[1], (std::pair<std::string, std::string>{"バージョン", "01.20"}));
    EXPECT_EQ(items[3], (std::pair<std::string, std::string>{"シリアルNo.", "0042Y02"}));
    EXPECT_EQ(items[7].first, "OUT2,3応答時間");
}

}  // namespace
}  // namespace qavix
