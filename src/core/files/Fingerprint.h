#pragma once
// A controller's configuration in one short, stable name: the SHA-256 of a canonical text of
// its settings, shown as eight hexadecimal digits ("3F2A-91C0"). The text holds the named
// fields of the bank file (its layout, as `bank show` prints it): what identifies one unit
// (IDs, serial numbers) and what changes by itself (clock, levels, error log) is in no bank
// file, so two scanners commissioned alike carry the same fingerprint, and a bank holding
// the current values carries theirs.

#include <string>
#include <string_view>

#include "files/Json.h"
#include "files/JsonWriter.h"
#include "model/DeviceData.h"

namespace qavix {

// How the program and qavixctl label it beside the basic information.
constexpr const char* kFingerprintLabel = "設定フィンガープリント";

struct Fingerprint {
    std::string sha256;  // 64 lower-case hexadecimal digits; empty when not known

    bool known() const { return !sha256.empty(); }
    // The first four bytes upper-case in two groups of four digits: "3F2A-91C0".
    std::string shortForm() const;
    bool operator==(const Fingerprint& o) const { return sha256 == o.sha256; }
    bool operator!=(const Fingerprint& o) const { return !(*this == o); }
};

// One "NAME=VALUE" line per field, after a line naming the form. Values as a bank file written
// now would hold them; beams a sensor does not have carry no setting and are left empty.
std::string fingerprintText(const SettingsData& set);

Fingerprint settingsFingerprint(const SettingsData& set);
// Of the set a bank file's bytes hold (decoded as `bank show` decodes); not known for bytes
// that are no bank file.
Fingerprint bankFileFingerprint(std::string_view bytes);

// In JSON: {"short": "3F2A-91C0", "sha256": "…"}, or null when not known.
json::Value fingerprintJson(const Fingerprint& fingerprint);
void writeFingerprint(json::Writer& writer, const Fingerprint& fingerprint);
// Not known for anything but that form (a missing member, another value, a damaged digest).
Fingerprint fingerprintFromJson(const json::Value* value);

}  // namespace qavix
