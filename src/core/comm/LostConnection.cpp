#include "comm/LostConnection.h"

#include "Translate.h"

namespace qavix {

std::string lostConnectionMessage(const LostConnection& lost) {
    std::string text = lost.cause;
    if (lost.writeMayHaveLanded) {
        text += "\n";
        text += i18n::translate(kWriteMayHaveLandedNote);
    }
    if (!lost.recovery.written.empty()) {
        text += "\n";
        text += i18n::translate(kRecoverySavedHeading);
        for (const std::string& file : lost.recovery.written) {
            text += file + "\n";
        }
    }
    if (!lost.recovery.unsaved.empty()) {
        text += "\n";
        text += i18n::translate(kRecoveryUnsavedHeading);
        for (size_t i = 0; i < lost.recovery.unsaved.size(); ++i) {
            if (i > 0) {
                text += QX_("、");
            }
            text += "Bank" + std::to_string(lost.recovery.unsaved[i]);
        }
        text += "\n";
        for (const std::string& error : lost.recovery.errors) {
            text += error + "\n";
        }
    }
    return text;
}

}  // namespace qavix
