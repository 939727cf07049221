#include <gtest/gtest.h>

#include "model/HexText.h"

namespace qavix {
namespace {

TEST(HexText, ReadsFixedWidthPiecesStrictly) {
    EXPECT_EQ(hex::readHex("0aFf", 0, 4), 0x0AFF);
    EXPECT_EQ(hex::readHex("xx1F", 2, 2), 0x1F);
    EXPECT_EQ(hex::readHex("1F", 1, 2), std::nullopt);  // would run past the end
    EXPECT_EQ(hex::readHex("1F", 3, 1), std::nullopt);
    EXPECT_EQ(hex::readHex("1G", 0, 2), std::nullopt);
    EXPECT_EQ(hex::readHex("-1", 0, 2), std::nullopt);
    EXPECT_EQ(hex::readHex("", 0, 0), std::nullopt);
    EXPECT_EQ(hex::readDecimal("2407", 2, 2), 7);
    EXPECT_EQ(hex::readDecimal("0A", 0, 2), std::nullopt);
    EXPECT_EQ(hex::readDecimal(" 7", 0, 2), std::nullopt);
}

TEST(HexText, ParsesWholeNumbersOfBoundedLength) {
    EXPECT_EQ(hex::parseHex("FFFFFFFF"), -1);
    EXPECT_EQ(hex::parseHex("123456789"), std::nullopt);
    EXPECT_EQ(hex::parseHex("123", 2), std::nullopt);
    EXPECT_EQ(hex::parseHex(""), std::nullopt);
    EXPECT_EQ(hex::parseDecimal("999999999"), 999999999);
    EXPECT_EQ(hex::parseDecimal("1000000000"), std::nullopt);
    EXPECT_EQ(hex::parseDecimal("3", 2), 3);
}

TEST(HexText, FormatsKeepTheirWidth) {
    EXPECT_EQ(hex::byteHex(0x0A), "0A");
    EXPECT_EQ(hex::byteHex(0x1FF), "FF");
    EXPECT_EQ(hex::byteHex(-1), "FF");
    EXPECT_EQ(hex::wordHex(0x1A2B), "1A2B");
    EXPECT_EQ(hex::wordHex(0x12345), "2345");
    EXPECT_EQ(hex::decimal2(7), "07");
    EXPECT_EQ(hex::decimal2(100), "99");
    EXPECT_EQ(hex::decimal2(-3), "00");
}

TEST(HexText, CharacterCodes) {
    EXPECT_EQ(hex::charCodes("AB", 3), "414220");
    EXPECT_EQ(hex::charCodes("ABCD", 2), "4142");
    EXPECT_EQ(hex::charCodes("\xff", 1), "FF");
    EXPECT_EQ(hex::fromCharCodes("414220"), "AB ");
    EXPECT_EQ(hex::fromCharCodes("41004200"), "A");
    EXPECT_EQ(hex::fromCharCodes("414"), std::nullopt);
    EXPECT_EQ(hex::fromCharCodes("41ZZ"), std::nullopt);
    EXPECT_EQ(hex::fromCharCodes(""), "");
}

TEST(HexText, PlainText) {
    EXPECT_TRUE(hex::isPlainText("ABC 123 無効"));
    EXPECT_FALSE(hex::isPlainText("AB\n"));
    EXPECT_FALSE(hex::isPlainText(std::string_view("A\0B", 3)));
    EXPECT_FALSE(hex::isPlainText("\x7f"));
}

}  // namespace
}  // namespace qavix
