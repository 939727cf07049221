#include "state/ProgramLanguages.h"

#include <QFile>

#include "LanguageChoice.h"
#include "MessageCatalogue.h"

namespace qavix {

QString programTranslationResource(const std::string& language) {
    return QString(":/i18n/qavix_%1.qm").arg(QString::fromStdString(language));
}

std::vector<std::string> programLanguages() {
    std::vector<std::string> languages;
    for (const std::string& language : i18n::spokenLanguages(i18n::catalogueFolder())) {
        if (language == i18n::kSourceLanguage ||
            QFile::exists(programTranslationResource(language))) {
            languages.push_back(language);
        }
    }
    return languages;
}

QString languageName(const std::string& language) {
    if (language == "ja") {
        return QStringLiteral("日本語");  // untranslated: the language's own name
    }
    if (language == "en") {
        return QStringLiteral("English");
    }
    return QString::fromStdString(language);
}

}  // namespace qavix
