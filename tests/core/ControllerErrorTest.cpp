#include "model/ControllerError.h"

#include <gtest/gtest.h>

#include <string>

namespace qavix {
namespace {

// The controller's error table as its manual lists it, typed out independently of the
// program's table so that a slip in either shows up; numbers not listed are unidentified.
struct ErrorRange {
    int first;
    int last;
    ErrorKind kind;
    const char* shortText;
};

constexpr ErrorRange kManualTable[] = {
    {32, 37, ErrorKind::Dealer, "センサ内部回路異常"},
    {39, 47, ErrorKind::Dealer, "センサ内部回路異常"},
    {49, 52, ErrorKind::Dealer, "センサ内部回路異常"},
    {53, 56, ErrorKind::Installation, "配線異常"},
    {57, 58, ErrorKind::Dealer, "センサ内部回路異常"},
    {65, 66, ErrorKind::Installation, "配線異常"},
    {96, 113, ErrorKind::Dealer, "センサ内部回路異常"},
    {160, 160, ErrorKind::Installation, "直列連結相手が異常"},
    {161, 161, ErrorKind::Installation, "相手センサの形式が異常"},
    {162, 162, ErrorKind::Installation, "相互干渉エラー"},
    {163, 163, ErrorKind::Dealer, "外部リレーモニタエラー"},
    {164, 165, ErrorKind::Installation, "直列連結相手が異常"},
    {166, 166, ErrorKind::Dealer, "センサ内部回路異常"},
    {167, 167, ErrorKind::Installation, "通信エラー"},
    {168, 168, ErrorKind::Dealer, "配線異常"},
    {169, 169, ErrorKind::Dealer, "センサ設定異常"},
    {170, 170, ErrorKind::Dealer, "インターロック配線ミス"},
    {171, 171, ErrorKind::Dealer, "センサ内部処理エラー"},
    {192, 194, ErrorKind::Dealer, "通信エラー"},
    {195, 196, ErrorKind::Installation, "SW変更"},
    {197, 197, ErrorKind::Installation, "接続センサ形式異常"},
    {198, 198, ErrorKind::Installation, "センサ接続異常"},
    {199, 199, ErrorKind::Dealer, "コントローラ内部異常"},
    {200, 200, ErrorKind::Setting, "P-I/O機能割当エラー"},
    {201, 201, ErrorKind::Setting, "P-I/O Invertエラー"},
    {202, 202, ErrorKind::Setting, "グループ光軸範囲エラー"},
    {203, 203, ErrorKind::Setting, "パラレル判定エラー"},
    {204, 204, ErrorKind::Setting, "光軸毎総合エラー"},
    {205, 205, ErrorKind::Dealer, "バッテリーロー"},
    {206, 206, ErrorKind::Setting, "ティーチ端子機能設定エラー"},
    {207, 207, ErrorKind::Setting, "Bank端子機能設定エラー"},
    {208, 208, ErrorKind::Dealer, "Bank メモリエラー"},
    {209, 209, ErrorKind::Setting, "Bank設定値-反映先エラー"},
    {210, 210, ErrorKind::Setting, "Bank No.選択エラー"},
    {211, 211, ErrorKind::Installation, "センサ接続異常"},
    {212, 212, ErrorKind::Setting, "しきい値設定異常"},
};

const ErrorRange* manualRow(int number) {
    for (const ErrorRange& row : kManualTable) {
        if (number >= row.first && number <= row.last) {
            return &row;
        }
    }
    return nullptr;
}

const char* kindName(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::Unidentified:
            return "unidentified";
        case ErrorKind::Setting:
            return "setting";
        case ErrorKind::Installation:
            return "installation";
        case ErrorKind::Dealer:
            return "dealer";
    }
    return "?";
}

// Every number a byte can hold, not a sample: a single row moved to another kind changes
// whether the program ends, so each one is held to the manual.
TEST(ControllerErrorKinds, EveryByteValueGivesTheManualsKindAndText) {
    for (int number = 0; number <= 0xFF; ++number) {
        SCOPED_TRACE("error " + std::to_string(number));
        const ControllerError e = evaluateControllerError(number);
        const ErrorRange* row = manualRow(number);
        const ErrorKind expected = row != nullptr ? row->kind : ErrorKind::Unidentified;
        EXPECT_EQ(e.number, number);
        EXPECT_EQ(e.kind, expected) << kindName(e.kind) << " instead of " << kindName(expected);
        if (row == nullptr) {
            EXPECT_NE(e.message.find("原因不明エラー"), std::string::npos) << e.message;
        } else {
            EXPECT_NE(e.message.find(std::string("　") + row->shortText + "　"), std::string::npos)
                << e.message;
        }
        EXPECT_EQ(e.statusText, expected == ErrorKind::Setting ? row->shortText : "");
        EXPECT_EQ(endsProgram(e.kind), expected != ErrorKind::Setting);
    }
}

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
