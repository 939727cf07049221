#pragma once
// Which language the programs speak. The first of these that is set decides:
//   --lang ja|en|auto, QAVIX_LANG (for services), [Environment] Language= of Qavix.ini;
// "auto" (and nothing set at all) follows the locale as desktop programs do: LANGUAGE, a
// list of languages by preference, then the first of LC_ALL, LC_MESSAGES and LANG. A
// Japanese locale gives Japanese, a locale with a translation gives that translation,
// anything else Japanese, the program's own language. The C and POSIX locales (C.UTF-8
// too) name no language: LANGUAGE is not heeded there, as gettext does not heed it.
//
// Only names: nothing here looks at setlocale or at which locales the machine has, so the
// choice is the same on a machine where only C.UTF-8 is generated.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qavix::i18n {

// The language the texts are written in; it needs no translation.
constexpr const char* kSourceLanguage = "ja";
constexpr const char* kAutomatic = "auto";
constexpr const char* kLanguageVariable = "QAVIX_LANG";
constexpr const char* kLanguageOption = "--lang";
// Qavix.ini: [Environment] Language=auto|ja|en.
constexpr const char* kLanguageSection = "Environment";
constexpr const char* kLanguageKey = "Language";

// Whether the program has a translation into `language` ("en", "pt_BR").
using HasTranslation = std::function<bool(const std::string& language)>;

struct LocaleVariables {
    std::string lcAll;
    std::string lcMessages;
    std::string lang;
    std::string language;  // LANGUAGE

    static LocaleVariables fromEnvironment();
};

struct LanguageRequest {
    std::string option;       // --lang; empty when not given
    std::string environment;  // QAVIX_LANG
    std::string setting;      // Language= of Qavix.ini
    LocaleVariables locale;
};

struct LanguageChoice {
    std::string language;  // "ja", or a language with a translation
    // A value that names no language the program speaks, as "QAVIX_LANG=de"; it was passed
    // over for the next one. Empty when every value was taken.
    std::string passedOver;
};

LanguageChoice chooseLanguage(const LanguageRequest& request, const HasTranslation& has);

// The language of a value of --lang, QAVIX_LANG or Language=: "ja", "EN", "en_US" and
// "en-US.UTF-8" name languages (a country falls back to its language when only that has a
// translation); "auto" gives the automatic choice (kAutomatic). Nothing for a language the
// program does not speak or a value that is no language name.
std::optional<std::string> languageOfValue(std::string_view value, const HasTranslation& has);

// The automatic choice on its own.
std::string languageOfLocale(const LocaleVariables& locale, const HasTranslation& has);

}  // namespace qavix::i18n
