#include "files/Fingerprint.h"

#include <cctype>

#include "files/BankFields.h"
#include "files/BankFile.h"
#include "files/BankImport.h"
#include "files/ComparableSettings.h"
#include "files/Sha256.h"

namespace qavix {

namespace {

// Named in the text so that a later form never meets an earlier digest by chance.
constexpr const char* kFormLine = "qavix-fingerprint 1\n";
constexpr size_t kShortDigits = 8;
constexpr size_t kDigestDigits = 64;

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

Fingerprint bankFileFingerprint(std::string_view bytes) {
    const bankfile::BankFileContents file = bankfile::parseBankFile(bytes);
    SettingsData set;
    if (!file.blocks.ok() ||
        bankfile::decodeBlocks(file.blocks.texts, set) != codec::DecodeResult::Ok) {
        return {};
    }
    return settingsFingerprint(set);
}

json::Value fingerprintJson(const Fingerprint& f) {
    if (!f.known()) {
        return json::Value();
    }
    json::Value v = json::Value::object();
    v.set("short", f.shortForm());
    v.set("sha256", f.sha256);
    return v;
}

void writeFingerprint(json::Writer& writer, const Fingerprint& f) {
    if (!f.known()) {
        writer.null();
        return;
    }
    writer.beginObject();
    writer.key("short").value(f.shortForm());
    writer.key("sha256").value(f.sha256);
    writer.endObject();
}

Fingerprint fingerprintFromJson(const json::Value* value) {
    if (value == nullptr || !value->isObject()) {
        return {};
    }
    const std::string digest = value->stringOf("sha256");
    const bool hex = digest.size() == kDigestDigits &&
                     digest.find_first_not_of("0123456789abcdef") == std::string::npos;
    return hex ? Fingerprint{digest} : Fingerprint{};
}

}  // namespace qavix
