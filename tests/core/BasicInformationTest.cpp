#include "model/BasicInformation.h"

#include <gtest/gtest.h>

namespace qavix {
namespace {

GeneralBlock sampleGeneral() {
    GeneralBlock g;
    g.type = "QX-AS300 CONTROLLER ";
    g.versionText = "VER01.20";
    g.idText = "000ABC";
    g.serialText = "020B002A";
    g.jointNum = 3;
    g.text3 = "2.5";
    return g;
}

TEST(BasicInformation, FieldsAsThePageShowsThem) {
    const BasicInformation info = basicInformation(sampleGeneral());
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
    GeneralBlock g = sampleGeneral();
    g.versionText.clear();
    g.serialText = "0205000A";
    EXPECT_EQ(basicInformation(g).version, "");
    EXPECT_EQ(basicInformation(g).serial, "0010502");
    g.versionText = "VER";
    g.serialText = "140C012C";
    EXPECT_EQ(basicInformation(g).version, "");
    EXPECT_EQ(basicInformation(g).serial, "0300Z20");
}

TEST(BasicInformation, ItemsInPageOrder) {
    const auto items = basicInformationItems(basicInformation(sampleGeneral()));
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].first, "形式");
    EXPECT_EQ(items[1], (std::pair<std::string, std::string>{"バージョン", "01.20"}));
    EXPECT_EQ(items[3], (std::pair<std::string, std::string>{"シリアルNo.", "0042Y02"}));
    EXPECT_EQ(items[7].first, "OUT2,3応答時間");
}

}  // namespace
}  // namespace qavix
