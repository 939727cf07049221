#include "LanguageChoice.h"

#include <cstdlib>
#include <vector>

namespace qavix::i18n {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool isAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isLetters(std::string_view text) {
    for (char c : text) {
        if (!isAsciiAlpha(c)) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// "en_US.UTF-8@euro" -> "en_US" or "en" as the program speaks it; nothing otherwise.
std::optional<std::string> spokenLanguage(std::string_view name, const HasTranslation& has) {
    name = name.substr(0, name.find_first_of(".@"));
    const std::size_t separator = name.find_first_of("_-");
    const std::string_view base = name.substr(0, separator);
    if (base.size() < 2 || base.size() > 3 || !isLetters(base)) {
        return std::nullopt;
    }
    std::string language;
    for (char c : base) {
        language += lower(c);
    }
    if (language == kSourceLanguage) {
        return language;
    }
    if (separator != std::string_view::npos) {
        const std::string_view region = name.substr(separator + 1);
        if (region.empty() || region.size() > 3) {
            return std::nullopt;
        }
        std::string regional = language + '_';
        for (char c : region) {
            regional += upper(c);
        }
        if (has(regional)) {
            return regional;
        }
    }
    if (has(language)) {
        return language;
    }
    return std::nullopt;
}

bool namesNoLanguage(std::string_view locale) {
    const std::string_view base = locale.substr(0, locale.find_first_of(".@"));
    return base.empty() || base == "C" || base == "POSIX";
}

std::vector<std::string_view> preferenceList(std::string_view list) {
    std::vector<std::string_view> entries;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (colon != 0) {
            entries.push_back(list.substr(0, colon));
        }
        if (colon == std::string_view::npos) {
            break;
        }
        list.remove_prefix(colon + 1);
    }
    return entries;
}

}  // namespace

LocaleVariables LocaleVariables::fromEnvironment() {
    LocaleVariables locale;
    locale.lcAll = variable("LC_ALL");
    locale.lcMessages = variable("LC_MESSAGES");
    locale.lang = variable("LANG");
    locale.language = variable("LANGUAGE");
    return locale;
}

std::optional<std::string> languageOfValue(std::string_view value, const HasTranslation& has) {
    value = trimmed(value);
    if (equalsIgnoringCase(value, kAutomatic)) {
        return std::string(kAutomatic);
    }
    return spokenLanguage(value, has);
}

std::string languageOfLocale(const LocaleVariables& locale, const HasTranslation& has) {
    // The first one set decides, as setlocale(LC_MESSAGES, "") takes them.
    const std::string& name = !locale.lcAll.empty()        ? locale.lcAll
                              : !locale.lcMessages.empty() ? locale.lcMessages
                                                           : locale.lang;
    if (namesNoLanguage(name)) {
        return kSourceLanguage;
    }
    for (std::string_view entry : preferenceList(locale.language)) {
        if (std::optional<std::string> spoken = spokenLanguage(entry, has)) {
            return *spoken;
        }
    }
    return spokenLanguage(name, has).value_or(kSourceLanguage);
}

LanguageChoice chooseLanguage(const LanguageRequest& request, const HasTranslation& has) {
    struct Source {
        const char* name;
        const std::string& value;
    };
    const Source sources[] = {
        {kLanguageOption, request.option},
        {kLanguageVariable, request.environment},
        {kLanguageKey, request.setting},
    };
    LanguageChoice choice;
    for (const Source& source : sources) {
        if (trimmed(source.value).empty()) {
            continue;
        }
        const std::optional<std::string> language = languageOfValue(source.value, has);
        if (!language) {
            if (choice.passedOver.empty()) {
                choice.passedOver = std::string(source.name) + "=" + source.value;
            }
            continue;
        }
        if (*language != kAutomatic) {
            choice.language = *language;
            return choice;
        }
        break;
    }
    choice.language = languageOfLocale(request.locale, has);
    return choice;
}

}  // namespace qavix::i18n
