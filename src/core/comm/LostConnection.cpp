#include "comm/LostConnection.h"

namespace qavix {

std::string lostConnectionMessage(const LostConnection& lost) {
    std::string text = lost.cause;
    if (lost.writeMayHaveLanded) {
        text += "\n";
        text += kWriteMayHaveLandedNote;
    }
    if (!lost.recovery.written.empty()) {
        text += "\n";
        text += kRecoverySavedHeading;
        for (const std::string& file : lost.recovery.written) {
            text += file + "\n";
        }
    }
    if (!lost.recovery.unsaved.empty()) {
        text += "\n";
        text += kRecoveryUnsavedHeading;
        for (size_t i = 0; i < lost.recovery.unsaved.size(); ++i) {
            text += (i == 0 ? "Bank" : "、Bank") + std::to_string(lost.recovery.unsaved[i]);
        }
        text += "\n";
        for (const std::string& error : lost.recovery.errors) {
            text += error + "\n";
        }
    }
    return text;
}

}  // namespace qavix
