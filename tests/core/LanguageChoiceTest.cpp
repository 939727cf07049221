#include "LanguageChoice.h"

#include <gtest/gtest.h>

#include <string>

namespace qavix::i18n {
namespace {

// English and Brazilian Portuguese have translations; nothing else does.
bool withTranslations(const std::string& language) {
    return language == "en" || language == "pt_BR";
}

LocaleVariables locale(std::string lcAll, std::string lcMessages, std::string lang,
                       std::string language = "") {
    return LocaleVariables{std::move(lcAll), std::move(lcMessages), std::move(lang),
                           std::move(language)};
}

struct LocaleCase {
    const char* name;
    LocaleVariables locale;
    const char* expected;
};

class LocaleLanguage : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleLanguage, FollowsTheVariablesAsDesktopProgramsDo) {
    EXPECT_EQ(languageOfLocale(GetParam().locale, withTranslations), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Auto, LocaleLanguage,
    ::testing::Values(
        LocaleCase{"NothingSet", locale("", "", ""), "ja"},
        LocaleCase{"CLocale", locale("", "", "C"), "ja"},
        LocaleCase{"Posix", locale("", "", "POSIX"), "ja"},
        LocaleCase{"CUtf8", locale("", "", "C.UTF-8"), "ja"},
        LocaleCase{"Japanese", locale("", "", "ja_JP.UTF-8"), "ja"},
        LocaleCase{"JapaneseEuc", locale("", "", "ja_JP.eucJP"), "ja"},
        LocaleCase{"English", locale("", "", "en_US.UTF-8"), "en"},
        LocaleCase{"BritishWithModifier", locale("", "", "en_GB.UTF-8@euro"), "en"},
        LocaleCase{"RegionalTranslation", locale("", "", "pt_BR.UTF-8"), "pt_BR"},
        LocaleCase{"RegionWithoutTranslation", locale("", "", "pt_PT.UTF-8"), "ja"},
        LocaleCase{"Untranslated", locale("", "", "de_DE.UTF-8"), "ja"},
        LocaleCase{"LcAllBeforeLang", locale("en_US.UTF-8", "", "ja_JP.UTF-8"), "en"},
        LocaleCase{"LcMessagesBeforeLang", locale("", "ja_JP.UTF-8", "en_US.UTF-8"), "ja"},
        LocaleCase{"LcAllCBeforeLang", locale("C", "", "en_US.UTF-8"), "ja"},
        LocaleCase{"LanguageListFirstSpoken", locale("", "", "de_DE.UTF-8", "fr:en:ja"), "en"},
        LocaleCase{"LanguageListBeforeLocale", locale("", "", "en_US.UTF-8", "ja"), "ja"},
        LocaleCase{"LanguageListNoneSpoken", locale("", "", "en_US.UTF-8", "fr:de"), "en"},
        LocaleCase{"LanguageListEmptyEntries", locale("", "", "de_DE.UTF-8", "::en"), "en"},
        LocaleCase{"LanguageIgnoredUnderC", locale("", "", "C.UTF-8", "en"), "ja"},
        LocaleCase{"LanguageIgnoredWithoutLocale", locale("", "", "", "en"), "ja"},
        LocaleCase{"Garbage", locale("", "", "/etc/passwd"), "ja"}),
    [](const ::testing::TestParamInfo<LocaleCase>& test) { return std::string(test.param.name); });

TEST(LanguageValue, NamesLanguagesInAnySpellingAndRefusesTheRest) {
    EXPECT_EQ(languageOfValue("ja", withTranslations), "ja");
    EXPECT_EQ(languageOfValue(" EN ", withTranslations), "en");
    EXPECT_EQ(languageOfValue("en-US.UTF-8", withTranslations), "en");
    EXPECT_EQ(languageOfValue("pt_br", withTranslations), "pt_BR");
    EXPECT_EQ(languageOfValue("AUTO", withTranslations), "auto");
    EXPECT_FALSE(languageOfValue("de", withTranslations));
    EXPECT_FALSE(languageOfValue("pt", withTranslations));
    EXPECT_FALSE(languageOfValue("", withTranslations));
    EXPECT_FALSE(languageOfValue("../en", withTranslations));
    EXPECT_FALSE(languageOfValue("english", withTranslations));
}

TEST(LanguageChoice, FirstSourceSetDecidesAndAutoFollowsTheLocale) {
    LanguageRequest request;
    request.locale = locale("", "", "en_US.UTF-8");
    EXPECT_EQ(chooseLanguage(request, withTranslations).language, "en");

    request.setting = "ja";
    EXPECT_EQ(chooseLanguage(request, withTranslations).language, "ja");
    request.environment = "en";
    EXPECT_EQ(chooseLanguage(request, withTranslations).language, "en");
    request.option = "ja";
    EXPECT_EQ(chooseLanguage(request, withTranslations).language, "ja");

    // "auto" above a setting means the locale, not the setting below it.
    request.option = "auto";
    request.environment.clear();
    request.setting = "ja";
    EXPECT_EQ(chooseLanguage(request, withTranslations).language, "en");
}

TEST(LanguageChoice, AValueNamingNoLanguageIsPassedOverAndNamed) {
    LanguageRequest request;
    request.environment = "de";
    request.setting = "en";
    const LanguageChoice choice = chooseLanguage(request, withTranslations);
    EXPECT_EQ(choice.language, "en");
    EXPECT_EQ(choice.passedOver, "QAVIX_LANG=de");

    request.option = "fr";
    request.environment.clear();
    request.setting = "xx";
    request.locale = locale("", "", "C.UTF-8");
    const LanguageChoice fallen = chooseLanguage(request, withTranslations);
    EXPECT_EQ(fallen.language, "ja");
    EXPECT_EQ(fallen.passedOver, "--lang=fr");
}

}  // namespace
}  // namespace qavix::i18n
