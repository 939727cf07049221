#pragma once
// The connection's messages and questions, as the operator reads them.

namespace qavix::msg {

constexpr const char* kCommunicationCut =
    "エリアスキャナとの通信が断絶しました。\n通信設定を確認して下さい。\nQavixを終了します。\n";
constexpr const char* kAskCommSetup =
    "エリアスキャナとの通信が断絶しました。\n通信設定を行いますか？\n（キャンセルでQavixを終了しま"
    "す）\n";
// The question of kAskCommSetup without its claim that the line was cut, for when the
// port itself could not be opened and a text saying why stands before it.
constexpr const char* kAskCommSetupOnly =
    "通信設定を行いますか？\n（キャンセルでQavixを終了します）\n";
constexpr const char* kNoSensor =
    "エリアスキャナにセンサが接続されていません。\nセンサの接続状態を確認してください。\nQavixを終"
    "了します。\n";
constexpr const char* kAbnormalState =
    "エリアスキャナの動作状態が異常です。\nエリアスキャナのＳＷ設定を確認してください。\nQavixを終"
    "了します。\n";
constexpr const char* kWriteFailed =
    "エリアスキャナへの書込みに失敗しました。\n再度書き込み操作を行ってください。\n";
constexpr const char* kBankClearFailed =
    "エリアスキャナのバンククリアに失敗しました。\n再度バンククリア操作を行ってください。\n";
constexpr const char* kAskResetSettingMode =
    "エリアスキャナが設定モードとなっています。\nエリアスキャナをリセットします。\nよろしいですか？"
    "\n（キャンセルでQavixを終了します）\n";
constexpr const char* kAskResetFactoryMode =
    "エリアスキャナが工場モードとなっています。\nエリアスキャナをリセットします。\nよろしいですか？"
    "\n（キャンセルでQavixを終了します）\n";
constexpr const char* kConnectedStatus = "接続";
// A write refused because the change journal cannot take its record: the folder and the
// system's reason follow.
constexpr const char* kJournalRefused =
    "変更履歴に記録できないため、書込みを中止しました。\nコントローラには何も書き込んでいません。"
    "\n変更履歴のフォルダ: ";
// The write went out but its result could not be recorded: the journal shows it as not
// finished.
constexpr const char* kJournalEndLost =
    "書込みの結果を変更履歴に記録できませんでした。\n変更履歴のフォルダ: ";
constexpr const char* kUnrecordedWrite = "変更履歴に記録されていない書込みは行いません。";

}  // namespace qavix::msg
