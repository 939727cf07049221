#pragma once
// The language qavixctl speaks (core/i18n): --lang, QAVIX_LANG, Language= of Qavix.ini in
// the working folder, then the locale.

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace qavix::cli {

// Chooses the language and puts it in use before any help text is made. Says on standard
// error when QAVIX_LANG or Qavix.ini names a language there is no translation for (a wrong
// --lang is refused by the option itself).
void setUpLanguage(const std::vector<std::string>& args, const std::string& settingsPath);

// --lang on the top-level command: listed in the help and checked; setUpLanguage already
// took its value.
void addLanguageOption(CLI::App& app);

// The help's own words (usage, the option and subcommand headings, -h) and the hint after a
// wrong command line in the chosen language. Before any option or subcommand is added:
// they inherit the headings.
void speakInHelp(CLI::App& app);

// A subcommand's -h is made before it inherits the heading of its options: after every
// subcommand is added, each -h is put under the heading of the chosen language.
void speakInSubcommandHelp(CLI::App& app);

}  // namespace qavix::cli
