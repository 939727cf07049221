#pragma once
// The one message that ends the program on a lost connection. The desktop program and
// qavixctl show the same text, built here from what was known when the line went quiet.

#include <string>

#include "Translate.h"
#include "files/RecoveryFiles.h"

namespace qavix {

struct LostConnection {
    std::string cause;                // the connection message proper
    bool writeMayHaveLanded = false;  // the line failed after the controller was told to
                                      // take the new values
    RecoverySave recovery;            // unwritten bank edits saved (or not) on the way out
};

// Parts of the message, translated where it is put together.
constexpr const char* kWriteMayHaveLandedNote =
    N_("書込みの途中で通信が途切れたため、エリアスキャナに新しい設定値が反映されている可能性が"
       "あります。\n再度書き込む前にエリアスキャナの設定値を確認して下さい。\n");
constexpr const char* kRecoverySavedHeading = N_("編集中のBankデータを保存しました：\n");
constexpr const char* kRecoveryUnsavedHeading = N_("編集中のBankデータを保存できませんでした：");

// `lost.cause` is already in the language of the texts.
std::string lostConnectionMessage(const LostConnection& lost);

}  // namespace qavix
