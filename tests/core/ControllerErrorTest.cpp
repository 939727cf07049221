#include "model/ControllerError.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace qavix {
namespace {

struct KindCase {
    int number;
    ErrorKind kind;
    const char* shortText;  // nullptr: the unidentified-cause message
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << "error " << c.number;
}

class ControllerErrorKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(ControllerErrorKinds, NumberGivesKindAndText) {
    const KindCase& c = GetParam();
    const ControllerError e = evaluateControllerError(c.number);
    EXPECT_EQ(e.number, c.number);
    EXPECT_EQ(e.kind, c.kind);
    if (c.shortText == nullptr) {
        EXPECT_NE(e.message.find("原因不明エラー"), std::string::npos) << e.message;
    } else {
        EXPECT_NE(e.message.find(c.shortText), std::string::npos) << e.message;
    }
    EXPECT_EQ(endsProgram(e.kind), c.kind != ErrorKind::Setting);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControllerErrorKinds,
    ::testing::Values(KindCase{31, ErrorKind::Unidentified, nullptr},
                      KindCase{32, ErrorKind::Dealer, "センサ内部回路異常"},
                      KindCase{38, ErrorKind::Unidentified, nullptr},
                      KindCase{48, ErrorKind::Unidentified, nullptr},
                      KindCase{53, ErrorKind::Installation, "配線異常"},
                      KindCase{66, ErrorKind::Installation, "配線異常"},
                      KindCase{113, ErrorKind::Dealer, "センサ内部回路異常"},
                      KindCase{114, ErrorKind::Unidentified, nullptr},
                      KindCase{163, ErrorKind::Dealer, "外部リレーモニタエラー"},
                      KindCase{165, ErrorKind::Installation, "直列連結相手が異常"},
                      KindCase{168, ErrorKind::Dealer, "配線異常"},
                      KindCase{172, ErrorKind::Unidentified, nullptr},
                      KindCase{194, ErrorKind::Dealer, "通信エラー"},
                      KindCase{200, ErrorKind::Setting, "P-I/O機能割当エラー"},
                      KindCase{208, ErrorKind::Dealer, "Bank メモリエラー"},
                      KindCase{211, ErrorKind::Installation, "センサ接続異常"},
                      KindCase{212, ErrorKind::Setting, "しきい値設定異常"},
                      KindCase{213, ErrorKind::Unidentified, nullptr}),
    [](const auto& row) { return "Error" + std::to_string(row.param.number); });

TEST(ControllerError, MessagesUseTheControllersExactWording) {
    EXPECT_EQ(evaluateControllerError(0xC8).message,
              "エリアスキャナがエラー状態となっています｡\nエラー内容は：C8　P-I/O機能割当エラー　"
              "設定値エラー\n設定の修正を行って下さい\n");
    EXPECT_EQ(evaluateControllerError(0x35).message,
              "エリアスキャナがエラー状態となっています｡\nエラー内容は：35　配線異常　\n"
              "エリアスキャナの設置状態を確認してください。\nQavixを終了します。\n");
    EXPECT_EQ(evaluateControllerError(0xD5).message,
              "エリアスキャナがエラー状態となっています｡\nエラー内容は：D5　　　　原因不明エラー\n"
              "営業担当へお問い合わせください。\nQavixを終了します。\n");
}

TEST(ControllerError, OnlySettingErrorsCarryAStatusText) {
    EXPECT_EQ(evaluateControllerError(200).statusText, "P-I/O機能割当エラー");
    EXPECT_EQ(evaluateControllerError(199).statusText, "");
    EXPECT_EQ(evaluateControllerError(0).statusText, "");
}

TEST(ControllerError, ErrorBlockNumberIsReadFromCharacters14And15) {
    const auto e = evaluateErrorBlock("02120513045900C8020B04D2");
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number, 0xC8);
    EXPECT_EQ(evaluateErrorBlock("00000000000000d4")->number, 0xD4);
}

TEST(ControllerError, UnreadableErrorBlockCountsAsAFailedRead) {
    EXPECT_FALSE(evaluateErrorBlock("").has_value());
    EXPECT_FALSE(evaluateErrorBlock("000000000000000").has_value());  // 15 characters
    EXPECT_FALSE(evaluateErrorBlock("00000000000000G1").has_value());
}

}  // namespace
}  // namespace qavix
