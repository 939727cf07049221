#include "model/ControllerError.h"

#include <cstdio>

#include "Translate.h"
#include "model/HexText.h"

namespace qavix {

namespace {

constexpr int kFirstKnownError = 32;
constexpr int kLastKnownError = 212;
constexpr size_t kErrorNumberPos = 14;

struct ErrorRange {
    int first;
    int last;
    const char* text;
    ErrorKind kind;
};

constexpr const char* kSensorCircuit = N_("センサ内部回路異常");
constexpr const char* kWiring = N_("配線異常");
constexpr const char* kCommunication = N_("通信エラー");
constexpr const char* kUnidentified = N_("原因不明エラー");

constexpr ErrorRange kErrorTable[] = {
    {32, 37, kSensorCircuit, ErrorKind::Dealer},
    {39, 47, kSensorCircuit, ErrorKind::Dealer},
    {49, 52, kSensorCircuit, ErrorKind::Dealer},
    {53, 56, kWiring, ErrorKind::Installation},
    {57, 58, kSensorCircuit, ErrorKind::Dealer},
    {65, 66, kWiring, ErrorKind::Installation},
    {96, 113, kSensorCircuit, ErrorKind::Dealer},
    {160, 160, N_("直列連結相手が異常"), ErrorKind::Installation},
    {161, 161, N_("相手センサの形式が異常"), ErrorKind::Installation},
    {162, 162, N_("相互干渉エラー"), ErrorKind::Installation},
    {163, 163, N_("外部リレーモニタエラー"), ErrorKind::Dealer},
    {164, 165, N_("直列連結相手が異常"), ErrorKind::Installation},
    {166, 166, kSensorCircuit, ErrorKind::Dealer},
    {167, 167, kCommunication, ErrorKind::Installation},
    {168, 168, kWiring, ErrorKind::Dealer},
    {169, 169, N_("センサ設定異常"), ErrorKind::Dealer},
    {170, 170, N_("インターロック配線ミス"), ErrorKind::Dealer},
    {171, 171, N_("センサ内部処理エラー"), ErrorKind::Dealer},
    {192, 194, kCommunication, ErrorKind::Dealer},
    {195, 196, N_("SW変更"), ErrorKind::Installation},
    {197, 197, N_("接続センサ形式異常"), ErrorKind::Installation},
    {198, 198, N_("センサ接続異常"), ErrorKind::Installation},
    {199, 199, N_("コントローラ内部異常"), ErrorKind::Dealer},
    {200, 200, N_("P-I/O機能割当エラー"), ErrorKind::Setting},
    {201, 201, N_("P-I/O Invertエラー"), ErrorKind::Setting},
    {202, 202, N_("グループ光軸範囲エラー"), ErrorKind::Setting},
    {203, 203, N_("パラレル判定エラー"), ErrorKind::Setting},
    {204, 204, N_("光軸毎総合エラー"), ErrorKind::Setting},
    {205, 205, N_("バッテリーロー"), ErrorKind::Dealer},
    {206, 206, N_("ティーチ端子機能設定エラー"), ErrorKind::Setting},
    {207, 207, N_("Bank端子機能設定エラー"), ErrorKind::Setting},
    {208, 208, N_("Bank メモリエラー"), ErrorKind::Dealer},
    {209, 209, N_("Bank設定値-反映先エラー"), ErrorKind::Setting},
    {210, 210, N_("Bank No.選択エラー"), ErrorKind::Setting},
    {211, 211, N_("センサ接続異常"), ErrorKind::Installation},
    {212, 212, N_("しきい値設定異常"), ErrorKind::Setting},
};

// %1 the error number in two hexadecimal digits, %2 the error's text.
constexpr const char* kDealerFormat =
    N_("エリアスキャナがエラー状態となっています｡\nエラー内容は：%1　%2　\n"
       "販売店までお問い合わせください。\nQavixを終了します。\n");
constexpr const char* kInstallationFormat =
    N_("エリアスキャナがエラー状態となっています｡\nエラー内容は：%1　%2　\n"
       "エリアスキャナの設置状態を確認してください。\nQavixを終了します。\n");
constexpr const char* kSettingFormat =
    N_("エリアスキャナがエラー状態となっています｡\nエラー内容は：%1　%2　設定値エラー\n"
       "設定の修正を行って下さい\n");
constexpr const char* kUnidentifiedFormat =
    N_("エリアスキャナがエラー状態となっています｡\nエラー内容は：%1　　　　原因不明エラー\n"
       "営業担当へお問い合わせください。\nQavixを終了します。\n");

std::string format(const char* pattern, int number, const char* text) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(number));
    return i18n::fill(i18n::translate(pattern), {hex, i18n::translate(text)});
}

const ErrorRange* findError(int number) {
    if (number < kFirstKnownError || number > kLastKnownError) {
        return nullptr;
    }
    for (const ErrorRange& r : kErrorTable) {
        if (number >= r.first && number <= r.last) {
            return &r;
        }
    }
    return nullptr;
}

}  // namespace

ControllerError evaluateControllerError(int number) {
    ControllerError e;
    e.number = number;
    const ErrorRange* r = findError(number);
    if (r == nullptr) {
        e.kind = ErrorKind::Unidentified;
        e.message = format(kUnidentifiedFormat, number, "");
        e.text = kUnidentified;
        return e;
    }
    e.kind = r->kind;
    e.text = r->text;
    switch (r->kind) {
        case ErrorKind::Dealer:
            e.message = format(kDealerFormat, number, r->text);
            break;
        case ErrorKind::Installation:
            e.message = format(kInstallationFormat, number, r->text);
            break;
        case ErrorKind::Setting:
            e.message = format(kSettingFormat, number, r->text);
            e.statusText = i18n::translate(r->text);
            break;
        case ErrorKind::Unidentified:
            break;
    }
    return e;
}

std::optional<ControllerError> evaluateErrorBlock(std::string_view reply) {
    const auto number = hex::readHex(reply, kErrorNumberPos, 2);
    if (!number) {
        return std::nullopt;
    }
    return evaluateControllerError(*number);
}

}  // namespace qavix
