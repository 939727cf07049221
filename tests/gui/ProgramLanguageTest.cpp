// The program's language at start-up: --lang taken out of the command line before the other
// options read it, Language= of Qavix.ini chosen when nothing else is set, and the
// translators of the program, of Qt and of the core following the choice together.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <map>
#include <optional>

#include "AppRunSupport.h"
#include "MessageCatalogue.h"
#include "app/ProgramTranslations.h"

namespace qavix::test {
namespace {

// The variables that choose a language, unset for a test and restored after it.
class NoLanguageVariables {
  public:
    NoLanguageVariables() {
        for (const char* name : {"QAVIX_LANG", "LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) {
            if (const char* value = std::getenv(name)) {
                m_saved[name] = value;
            }
            ::unsetenv(name);
        }
    }
    ~NoLanguageVariables() {
        useProgramTranslations(*QCoreApplication::instance(), i18n::kSourceLanguage);
        i18n::useLanguage(i18n::kSourceLanguage, i18n::catalogueFolder());
        for (const auto& [name, value] : m_saved) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }

  private:
    std::map<std::string, std::string> m_saved;
};

QString fileMenu() {
    return QCoreApplication::translate("qavix::CommandTable", "ファイル(&F)");
}

TEST(ProgramLanguage, TheOptionIsTakenOutBeforeTheOtherOptionsReadThem) {
    std::vector<std::string> args = {"/ad",   "--lang",    "ja", "--edit",
                                     "a.qbk", "--lang=en", "--", "--lang=de"};
    EXPECT_EQ(takeLanguageArgument(args), "en");
    EXPECT_EQ(args, (std::vector<std::string>{"/ad", "--edit", "a.qbk", "--", "--lang=de"}));
    std::vector<std::string> none = {"--print-report", "x.pdf"};
    EXPECT_EQ(takeLanguageArgument(none), std::nullopt);
    EXPECT_EQ(none, (std::vector<std::string>{"--print-report", "x.pdf"}));
}

TEST(ProgramLanguage, TheSettingChoosesEveryTranslatorAndTheOptionWins) {
    NoLanguageVariables clean;
    const TempDir dir;
    ASSERT_TRUE(writeIni(pathOf(dir), "[Environment]\r\nLanguage=en\r\n"));
    const std::string ini = dir.file("Qavix.ini");
    QCoreApplication& app = *QCoreApplication::instance();

    i18n::LanguageChoice choice = setUpProgramLanguage(app, std::nullopt, ini);
    EXPECT_EQ(choice.language, "en");
    EXPECT_EQ(i18n::currentLanguage(), "en");
    EXPECT_EQ(fileMenu(), "&File");
    // Qt's own texts are English, Qt's language, again.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");

    choice = setUpProgramLanguage(app, std::string("ja"), ini);
    EXPECT_EQ(choice.language, "ja");
    EXPECT_EQ(fileMenu(), "ファイル(&F)");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");

    // A language the program does not speak: passed over, and said to the caller.
    choice = setUpProgramLanguage(app, std::string("de"), ini);
    EXPECT_EQ(choice.passedOver.rfind("--lang", 0), 0u) << choice.passedOver;
    EXPECT_EQ(choice.language, "en");
}

}  // namespace
}  // namespace qavix::test
