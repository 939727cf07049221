#include "journal/Fingerprint.h"

#include <cctype>

#include "files/BankFields.h"
#include "files/ComparableSettings.h"
#include "files/Sha256.h"

namespace qavix {

namespace {

// Named in the text so that a later form never meets an earlier digest by chance.
constexpr const char* kFormLine = "qavix-fingerprint 1\n";
constexpr size_t kShortDigits = 8;

}  // namespace

std::string Fingerprint::shortForm() const {
    if (sha256.size() < kShortDigits) {
        return {};
    }
    std::string text;
    for (size_t i = 0; i < kShortDigits; ++i) {
        if (i == kShortDigits / 2) {
            text += '-';
        }
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(sha256[i])));
    }
    return text;
}

std::string fingerprintText(const SettingsData& set) {
    SettingsData canonical = bankfile::asBankFileHolds(set);
    bankfile::clearMissingBeams(canonical);
    std::string text = kFormLine;
    for (const bankfile::Field& field : bankfile::bankFields(canonical)) {
        text += field.name;
        text += '=';
        text += field.value;
        text += '\n';
    }
    return text;
}

Fingerprint settingsFingerprint(const SettingsData& set) {
    return Fingerprint{sha256Hex(fingerprintText(set))};
}

}  // namespace qavix
