#include "CliLanguage.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "IniText.h"
#include "LanguageChoice.h"
#include "MessageCatalogue.h"
#include "ProgramLanguage.h"
#include "Translate.h"
#include "files/AppSettings.h"
#include "files/ProfileFile.h"

namespace qavix::cli {

namespace {

std::string languageList() {
    std::string list;
    for (const std::string& language : i18n::spokenLanguages(i18n::catalogueFolder())) {
        list += (list.empty() ? "" : ", ") + language;
    }
    return list;
}

}  // namespace

void setUpLanguage(const std::vector<std::string>& args, const std::string& settingsPath) {
    // A settings file that cannot be read is reported by the commands that use it.
    std::string unreadable;
    const std::string setting =
        AppSettings::load(ProfileFile::loadSettings(settingsPath, unreadable)).language;
    const i18n::LanguageChoice choice =
        i18n::setUpProgramLanguage(i18n::languageArgument(args), setting);
    if (!choice.passedOver.empty() && choice.passedOver.rfind(i18n::kLanguageOption, 0) != 0) {
        std::cerr << i18n::fill(QX_("%1: この言語はありません（%2）"),
                                {ini::printable(choice.passedOver), languageList()})
                  << '\n';
    }
}

void speakInHelp(CLI::App& app) {
    const auto formatter = app.get_formatter();
    formatter->label("Usage", QX_("使い方"));
    formatter->label("OPTIONS", QXC_("usage", "オプション"));
    formatter->label("SUBCOMMAND", QXC_("usage", "サブコマンド"));
    formatter->label("SUBCOMMANDS", QXC_("usage", "サブコマンド"));
    formatter->label("Positionals", QX_("引数"));
    formatter->label("REQUIRED", QX_("必須"));
    formatter->label("Needs", QX_("要"));
    formatter->label("Excludes", QX_("併用不可"));
    app.option_defaults()->group(QX_("オプション"));
    app.group(QX_("サブコマンド"));
    app.set_help_flag("-h,--help", QX_("このヘルプを表示して終了する"));
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string(error.what()) + "\n" +
               QX_("詳しくは --help を付けて実行してください。") + "\n";
    });
}

void speakInSubcommandHelp(CLI::App& app) {
    for (CLI::App* subcommand : app.get_subcommands([](CLI::App*) { return true; })) {
        if (CLI::Option* help = subcommand->get_help_ptr()) {
            help->group(QX_("オプション"));
        }
        speakInSubcommandHelp(*subcommand);
    }
}

void addLanguageOption(CLI::App& app) {
    app.add_option_function<std::string>(
           i18n::kLanguageOption, [](const std::string&) {},
           i18n::fill(QX_("表示の言語: %1 または auto（ロケールに従う）。既定は環境変数 "
                          "QAVIX_LANG、Qavix.ini の [Environment] Language=、ロケールの順"),
                      {languageList()}))
        ->check(
            [](const std::string& value) -> std::string {
                const std::string folder = i18n::catalogueFolder();
                const auto has = [&folder](const std::string& language) {
                    return i18n::hasCatalogue(folder, language);
                };
                if (i18n::languageOfValue(value, has)) {
                    return {};
                }
                return i18n::fill(QX_("%1: この言語はありません（%2）"),
                                  {ini::printable(value), languageList()});
            },
            "", "")
        ->type_name("LANG");
}

}  // namespace qavix::cli
