#pragma once
// The languages the desktop program speaks: Japanese, its own, and each language with both
// the program's translation (carried in the program) and the core's catalogue (installed
// beside it), so that no screen mixes two languages.

#include <QString>
#include <string>
#include <vector>

namespace qavix {

// The Qt resource that holds the program's translation of `language`.
QString programTranslationResource(const std::string& language);

// Japanese first, then the translations, in alphabetical order.
std::vector<std::string> programLanguages();

// What the environment settings call a language: its name in itself, so that a user who
// cannot read the current language still finds their own ("日本語", "English").
QString languageName(const std::string& language);

}  // namespace qavix
