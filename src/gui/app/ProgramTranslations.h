#pragma once
// The desktop program's language: --lang taken out of the command line, the choice of the
// core's language rules (i18n/ProgramLanguage, with Language= of Qavix.ini), and the Qt
// translators that follow it: the program's own (i18n/qavix_<language>.ts, carried in the
// program) and Qt's (its dialogs and standard buttons). The core's texts follow the same
// choice through its gettext catalogue, so a text is translated once, where it is written.

#include <optional>
#include <string>
#include <vector>

#include "LanguageChoice.h"

class QCoreApplication;

namespace qavix {

// Removes every "--lang VALUE" and "--lang=VALUE" before "--" from `arguments` and returns
// the last value, as i18n::languageArgument reads it; the other options never see it.
std::optional<std::string> takeLanguageArgument(std::vector<std::string>& arguments);

// Chooses the language from `option`, QAVIX_LANG, Language= of the settings file at
// `settingsPath` and the locale, puts it in use for the core's texts and installs the
// program's and Qt's translators for it. A value of `option` that names no language the
// program speaks is in `passedOver` of the result (the caller refuses the command line).
i18n::LanguageChoice setUpProgramLanguage(QCoreApplication& app,
                                          const std::optional<std::string>& option,
                                          const std::string& settingsPath);

// Installs the translators of `language` in place of any this installed before (Japanese
// needs only Qt's own). False when the program's translation of `language` is missing.
bool useProgramTranslations(QCoreApplication& app, const std::string& language);

}  // namespace qavix
