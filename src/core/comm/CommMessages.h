#pragma once
// The connection's messages and questions, as the operator reads them; shown through
// i18n::translate.

#include "Translate.h"

namespace qavix::msg {

constexpr const char* kCommunicationCut =
    N_("エリアスキャナとの通信が断絶しました。\n通信設定を確認して下さい。\nQavixを終了します。\n");
constexpr const char* kAskCommSetup = N_(
    "エリアスキャナとの通信が断絶しました。\n通信設定を行いますか？\n（キャンセルでQavixを終了しま"
    "す）\n");
// The question of kAskCommSetup without its claim that the line was cut, for when the
// port itself could not be opened and a text saying why stands before it.
constexpr const char* kAskCommSetupOnly =
    N_("通信設定を行いますか？\n（キャンセルでQavixを終了します）\n");
constexpr const char* kNoSensor = N_(
    "エリアスキャナにセンサが接続されていません。\nセンサの接続状態を確認してください。\nQavixを終"
    "了します。\n");
constexpr const char* kAbnormalState = N_(
    "エリアスキャナの動作状態が異常です。\nエリアスキャナのＳＷ設定を確認してください。\nQavixを終"
    "了します。\n");
constexpr const char* kWriteFailed =
    N_("エリアスキャナへの書込みに失敗しました。\n再度書き込み操作を行ってください。\n");
constexpr const char* kBankClearFailed =
    N_("エリアスキャナのバンククリアに失敗しました。\n再度バンククリア操作を行ってください。\n");
constexpr const char* kAskResetSettingMode = N_(
    "エリアスキャナが設定モードとなっています。\nエリアスキャナをリセットします。\nよろしいですか？"
    "\n（キャンセルでQavixを終了します）\n");
constexpr const char* kAskResetFactoryMode = N_(
    "エリアスキャナが工場モードとなっています。\nエリアスキャナをリセットします。\nよろしいですか？"
    "\n（キャンセルでQavixを終了します）\n");
constexpr const char* kConnectedStatus = N_("接続");
// A write refused because the change journal cannot take its record: the folder and the
// system's reason follow.
constexpr const char* kJournalRefused = N_(
    "変更履歴に記録できないため、書込みを中止しました。\nコントローラには何も書き込んでいません。"
    "\n変更履歴のフォルダ: ");
// The write went out but its result could not be recorded: the journal shows it as not
// finished.
constexpr const char* kJournalEndLost =
    N_("書込みの結果を変更履歴に記録できませんでした。\n変更履歴のフォルダ: ");
constexpr const char* kUnrecordedWrite = N_("変更履歴に記録されていない書込みは行いません。");

}  // namespace qavix::msg
