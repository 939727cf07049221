// The profile (INI) reader: any text parses, every section and key found reads back, and a
// value the setter accepts reads back as it was set.

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/ProfileFile.h"

using namespace qavix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ProfileFile profile = ProfileFile::fromText(text);
    for (const std::string& name : profile.sectionNames()) {
        for (const std::string& entry : profile.section(name)) {
            const std::string key = entry.substr(0, entry.find('='));
            (void)profile.value(name, key);
            (void)profile.getInt(name, key, -1);
        }
    }
    // Set a value taken from the input under a fixed name; it must read back unchanged.
    // Values are read trimmed and unquoted, so only those that keep their form are compared.
    const std::string value = text.substr(0, text.find_first_of("\r\n"));
    const bool keepsItsForm =
        value.empty() || (value.front() != ' ' && value.front() != '\t' && value.back() != ' ' &&
                          value.back() != '\t' && value.front() != '"' && value.front() != '\'');
    if (keepsItsForm && profile.setString("Fuzz", "Key", value)) {
        const auto back = ProfileFile::fromText(profile.text()).value("Fuzz", "Key");
        if (!back || *back != value) {
            __builtin_trap();
        }
    }
    (void)profile.removeSection("Fuzz");
    return 0;
}
