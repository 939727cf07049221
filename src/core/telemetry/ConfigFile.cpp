#include "telemetry/ConfigFile.h"

#include "IniText.h"
#include "Translate.h"

namespace qavix::telemetry {

namespace {

constexpr std::string_view kSection = "monitor";

// The long options of `qavixctl monitor` and the device options, without their dashes.
constexpr std::string_view kFlagKeys[] = {"once"};
constexpr std::string_view kOptionKeys[] = {
    "mqtt",         "cafile", "cert",       "key",          "username",    "password-file",
    "mqtt-version", "name",   "interval",   "errors-every", "warn-margin", "warn-count",
    "retry-max",    "jsonl",  "state-file", "device",       "port",        "unit"};

template <size_t N>
bool listed(const std::string_view (&keys)[N], std::string_view key) {
    for (const std::string_view k : keys) {
        if (k == key) {
            return true;
        }
    }
    return false;
}

std::string lineText(int line) {
    return line > 0 ? i18n::fill(QX_("%1 行目: "), {std::to_string(line)}) : std::string();
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace

bool isConfigFlag(std::string_view key) {
    return listed(kFlagKeys, key);
}

bool isConfigOption(std::string_view key) {
    return listed(kOptionKeys, key);
}

bool parseConfigText(std::string_view text, ConfigEntries& out, std::string& error) {
    const ini::SettingsText read = ini::readSettingsText(text);
    if (!read.ok()) {
        const ini::TextProblem& first = read.problems.front();
        error = lineText(first.line) + first.message;
        return false;
    }
    for (const ini::SectionLine& section : read.sections) {
        if (!ini::sameName(section.name, kSection)) {
            error = lineText(section.line) +
                    i18n::fill(QX_("セクション [%1] は使えません（[monitor] だけ）"),
                               {ini::printable(section.name)});
            return false;
        }
    }
    ConfigEntries entries;
    for (const ini::SettingLine& s : read.settings) {
        std::string key = lower(s.key);
        if (!isConfigFlag(key) && !isConfigOption(key)) {
            error = lineText(s.line) +
                    i18n::fill(QX_("キー \"%1\" は使えません"), {ini::printable(s.key)});
            return false;
        }
        entries.emplace_back(std::move(key), s.value);
    }
    out = std::move(entries);
    error.clear();
    return true;
}

}  // namespace qavix::telemetry
