#include "ProgramLanguage.h"

#include <cstdlib>

#include "MessageCatalogue.h"

namespace qavix::i18n {

std::optional<std::string> languageArgument(const std::vector<std::string>& args) {
    const std::string withValue = std::string(kLanguageOption) + "=";
    std::optional<std::string> value;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            break;
        }
        if (arg == kLanguageOption) {
            value = i + 1 < args.size() ? args[i + 1] : std::string();
            ++i;
        } else if (arg.compare(0, withValue.size(), withValue) == 0) {
            value = arg.substr(withValue.size());
        }
    }
    return value;
}

LanguageChoice setUpProgramLanguage(const std::optional<std::string>& option,
                                    const std::string& setting) {
    const std::string folder = catalogueFolder();
    LanguageRequest request;
    request.option = option.value_or("");
    const char* environment = std::getenv(kLanguageVariable);
    request.environment = environment != nullptr ? environment : "";
    request.setting = setting;
    request.locale = LocaleVariables::fromEnvironment();
    LanguageChoice choice = chooseLanguage(
        request, [&folder](const std::string& language) { return hasCatalogue(folder, language); });
    useLanguage(choice.language, folder);
    return choice;
}

}  // namespace qavix::i18n
