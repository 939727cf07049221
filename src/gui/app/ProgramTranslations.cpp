#include "app/ProgramTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

#include "MessageCatalogue.h"
#include "ProgramLanguage.h"
#include "app/DesktopSetup.h"
#include "files/AppSettings.h"
#include "files/ProfileFile.h"
#include "state/ProgramLanguages.h"
#include "widgets/FileDialogSetup.h"

namespace qavix {

namespace {

QTranslator* g_program = nullptr;
QTranslator* g_qt = nullptr;

void removeTranslator(QTranslator*& translator) {
    if (translator != nullptr) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
}

}  // namespace

std::optional<std::string> takeLanguageArgument(std::vector<std::string>& arguments) {
    const std::optional<std::string> value = i18n::languageArgument(arguments);
    const std::string withValue = std::string(i18n::kLanguageOption) + "=";
    std::vector<std::string> rest;
    size_t i = 0;
    for (; i < arguments.size() && arguments[i] != "--"; ++i) {
        if (arguments[i] == i18n::kLanguageOption) {
            ++i;  // and its value
        } else if (arguments[i].rfind(withValue, 0) != 0) {
            rest.push_back(arguments[i]);
        }
    }
    rest.insert(rest.end(),
                arguments.begin() + static_cast<std::ptrdiff_t>(std::min(i, arguments.size())),
                arguments.end());
    arguments = std::move(rest);
    return value;
}

bool useProgramTranslations(QCoreApplication& app, const std::string& language) {
    removeTranslator(g_program);
    removeTranslator(g_qt);
    g_qt = installQtTranslations(app, QString(), QString::fromStdString(language));
    useFileDialogLanguage(QString::fromStdString(language));
    if (language == i18n::kSourceLanguage) {
        return true;
    }
    auto* program = new QTranslator(&app);
    if (!program->load(programTranslationResource(language))) {
        delete program;
        return false;
    }
    QCoreApplication::installTranslator(program);
    g_program = program;
    return true;
}

i18n::LanguageChoice setUpProgramLanguage(QCoreApplication& app,
                                          const std::optional<std::string>& option,
                                          const std::string& settingsPath) {
    // A settings file that cannot be read is reported where the program reads its settings.
    std::string unreadable;
    const std::string setting =
        AppSettings::load(ProfileFile::loadSettings(settingsPath, unreadable)).language;
    i18n::LanguageChoice choice = i18n::setUpProgramLanguage(option, setting);
    if (!useProgramTranslations(app, choice.language)) {
        // Without the program's texts the core's alone would make a mixed interface.
        i18n::useLanguage(i18n::kSourceLanguage, i18n::catalogueFolder());
        useProgramTranslations(app, i18n::kSourceLanguage);
        choice.language = i18n::kSourceLanguage;
    }
    return choice;
}

}  // namespace qavix
