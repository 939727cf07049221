#pragma once
// The one message that ends the program on a lost connection. The desktop program and
// qavixctl show the same text, built here from what was known when the line went quiet.

#include <string>

#include "files/RecoveryFiles.h"

namespace qavix {

struct LostConnection {
    std::string cause;                // the connection message proper
    bool writeMayHaveLanded = false;  // the line failed after the controller was told to
                                      // take the new values
    RecoverySave recovery;            // unwritten bank edits saved (or not) on the way out
};

constexpr const char* kWriteMayHaveLandedNote =
    "書込みの途中で通信が途切れたため、エリアスキャナに新しい設定値が反映されている可能性が"
    "あります。\n再度書き込む前にエリアスキャナの設定値を確認して下さい。\n";
constexpr const char* kRecoverySavedHeading = "編集中のBankデータを保存しました：\n";
constexpr const char* kRecoveryUnsavedHeading = "編集中のBankデータを保存できませんでした：";

std::string lostConnectionMessage(const LostConnection& lost);

}  // namespace qavix
