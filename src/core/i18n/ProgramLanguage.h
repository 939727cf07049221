#pragma once
// The first thing qavix, qavixctl and qavix-sim do: take --lang from the command line before
// anything is printed (help texts are made in the chosen language), choose the language
// from it, QAVIX_LANG, the setting and the locale, and put it in use.

#include <optional>
#include <string>
#include <vector>

#include "LanguageChoice.h"

namespace qavix::i18n {

// The value of "--lang VALUE" or "--lang=VALUE" among `args` (the last one given wins, as
// for any option); nothing when there is none. An option after "--" is an argument.
// "--lang" last, without its value, gives an empty value.
std::optional<std::string> languageArgument(const std::vector<std::string>& args);

// Chooses and puts in use the language, with the catalogues beside the program. `setting`
// is Language= of Qavix.ini where the program reads it (empty elsewhere).
LanguageChoice setUpProgramLanguage(const std::optional<std::string>& option,
                                    const std::string& setting);

}  // namespace qavix::i18n
