// The language qavixctl speaks, chosen as a user's environment, Qavix.ini or command line
// asks, on a machine where only C.UTF-8 is generated (as here and on CI).

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "CtlProcess.h"
#include "TempDir.h"

namespace {

using qavix::test::CtlEnv;
using qavix::test::CtlRun;
using qavix::test::runCtl;

constexpr const char* kJapaneseLoadFailed = "DLLのロードに失敗しました。Qavixを終了します";
constexpr const char* kEnglishLoadFailed =
    "Could not load the link library (DLL). Qavix will exit.";

// A device command that fails before any controller is needed: its message is the core's.
CtlRun infoWithoutLibrary(CtlEnv env, std::vector<std::string> extra = {}) {
    env.vars.emplace_back("QAVLINK_LIBRARY", "/nonexistent/libqavlink.so");
    std::vector<std::string> args{"info"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runCtl(env, args);
}

CtlEnv onlyThese(std::vector<std::pair<std::string, std::string>> vars) {
    CtlEnv env;
    env.vars = std::move(vars);
    env.onlyVars = true;
    return env;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(QavixctlLanguage, TheLocaleChoosesWithoutAGeneratedLocale) {
    struct Case {
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {"en_US.UTF-8", kEnglishLoadFailed},  {"en_GB", kEnglishLoadFailed},
        {"ja_JP.UTF-8", kJapaneseLoadFailed}, {"C.UTF-8", kJapaneseLoadFailed},
        {"C", kJapaneseLoadFailed},           {"de_DE.UTF-8", kJapaneseLoadFailed},
    };
    for (const Case& c : cases) {
        const CtlRun run = infoWithoutLibrary(onlyThese({{"LANG", c.lang}}));
        EXPECT_EQ(run.exitCode, 3) << c.lang;
        EXPECT_TRUE(contains(run.err, c.expected)) << c.lang << ": " << run.err;
    }
    // Nothing set at all is the C locale.
    EXPECT_TRUE(contains(infoWithoutLibrary(onlyThese({})).err, kJapaneseLoadFailed));
    // LANGUAGE ranks languages, but not in the C locale, where gettext does not heed it.
    EXPECT_TRUE(contains(
        infoWithoutLibrary(onlyThese({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:en"}})).err,
        kEnglishLoadFailed));
    EXPECT_TRUE(
        contains(infoWithoutLibrary(onlyThese({{"LANG", "C.UTF-8"}, {"LANGUAGE", "en"}})).err,
                 kJapaneseLoadFailed));
}

TEST(QavixctlLanguage, OptionBeforeVariableBeforeSettingsFile) {
    const qavix::test::TempDir folder;
    CtlEnv env;
    env.workDir = folder.str();
    std::ofstream(env.workDir + "/Qavix.ini") << "[Environment]\r\nLanguage=en\r\n";
    env.vars = {{"LANG", "ja_JP.UTF-8"}};
    EXPECT_TRUE(contains(infoWithoutLibrary(env).err, kEnglishLoadFailed));

    env.vars.emplace_back("QAVIX_LANG", "ja");
    EXPECT_TRUE(contains(infoWithoutLibrary(env).err, kJapaneseLoadFailed));
    EXPECT_TRUE(contains(infoWithoutLibrary(env, {"--lang", "en"}).err, kEnglishLoadFailed));
    EXPECT_TRUE(contains(infoWithoutLibrary(env, {"--lang=auto"}).err, kJapaneseLoadFailed))
        << "auto follows the locale, here Japanese";
}

TEST(QavixctlLanguage, ALanguageWithoutTranslationIsNamed) {
    const CtlRun refused = runCtl(CtlEnv{}, {"--lang", "de", "bank", "check", "x.qbk"});
    EXPECT_EQ(refused.exitCode, 64);
    EXPECT_TRUE(contains(refused.err, "de: この言語はありません（ja, en）")) << refused.err;

    CtlEnv env;
    env.vars = {{"QAVIX_LANG", "de"}, {"LANG", "en_US.UTF-8"}};
    const CtlRun passedOver = infoWithoutLibrary(env);
    EXPECT_TRUE(contains(passedOver.err, "QAVIX_LANG=de: no such language (ja, en)"))
        << passedOver.err;
    EXPECT_TRUE(contains(passedOver.err, kEnglishLoadFailed)) << "the locale decides instead";
}

}  // namespace
