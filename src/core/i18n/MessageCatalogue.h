#pragma once
// The gettext set-up every program of Qavix shares (qavix, qavixctl, qavix-sim; the link
// library, loaded into them, translates through the same process-wide set-up): where the
// catalogues are, which languages they give, and the switch that makes every QX_ text of
// the process speak one language.
//
// Catalogues live at <folder>/<language>/LC_MESSAGES/qavix.mo; the folder is share/locale
// beside the program's bin/, in the build tree and in an installation alike.

#include <string>
#include <vector>

namespace qavix::i18n {

// Relative to the folder of the running executable.
constexpr const char* kCatalogueFolderFromProgram = "../share/locale";

// The catalogue folder of the running program (<program folder>/../share/locale, made
// absolute); empty when it cannot be told.
std::string catalogueFolder();

// Whether `folder` holds the catalogue of `language`. The source language needs none.
bool hasCatalogue(const std::string& folder, const std::string& language);

// The languages the program speaks with the catalogues of `folder`: Japanese first, then
// every language with a catalogue there, in alphabetical order.
std::vector<std::string> spokenLanguages(const std::string& folder);

// Binds the text domain to `folder` and makes QX_ speak `language` in the whole process. Japanese
// is the message ids themselves; another language is looked up through LANGUAGE with LC_MESSAGES
// set to C.UTF-8, which glibc always has, so no generated locale (en_US.UTF-8) is needed, and the
// catalogue's UTF-8 is handed out unconverted whatever LC_CTYPE is. LC_MESSAGES and LANGUAGE are
// the process's: call this at start-up before other threads run, and in the Qt program after
// QApplication is made (it sets the locale from the environment). Returns false when the language
// cannot be had (no folder, no catalogue); the process then speaks Japanese.
bool useLanguage(const std::string& language, const std::string& folder);

// The language of the last useLanguage; Japanese before any.
const std::string& currentLanguage();

}  // namespace qavix::i18n
