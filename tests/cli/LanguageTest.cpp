// The language qavixctl speaks, chosen as a user's environment, Qavix.ini or command line
// asks, on a machine where only C.UTF-8 is generated (as here and on CI).

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "CtlProcess.h"
#include "FileText.h"
#include "TempDir.h"

namespace {

using qavix::test::contains;
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

// Help, messages and errors follow the language; the locale alone is enough to ask for it.
TEST(QavixctlLanguage, HelpAndMessagesSpeakTheChosenLanguage) {
    struct Case {
        CtlEnv env;
        std::vector<std::string> lead;
        bool english;
    };
    const Case cases[] = {
        {CtlEnv{}, {"--lang", "en"}, true},
        {onlyThese({{"LANG", "en_US.UTF-8"}}), {}, true},
        {onlyThese({{"LANG", "ja_JP.UTF-8"}}), {}, false},
        {onlyThese({{"LANG", "C.UTF-8"}}), {}, false},
    };
    for (const Case& c : cases) {
        const auto with = [&c](std::vector<std::string> args) {
            args.insert(args.begin(), c.lead.begin(), c.lead.end());
            return runCtl(c.env, args);
        };
        const std::string name = c.english ? "English" : "Japanese";
        const CtlRun help = with({"bank", "check", "--help"});
        EXPECT_EQ(help.exitCode, 0) << name;
        EXPECT_TRUE(contains(help.out, c.english ? "Usage:" : "使い方:")) << name << help.out;
        EXPECT_TRUE(contains(help.out, c.english ? "Read FILE as an import would"
                                                 : "FILE をインポートと同じように読み"))
            << name << help.out;

        const CtlRun missing = with({"bank", "check", "/nonexistent/x.qbk"});
        EXPECT_EQ(missing.exitCode, 2) << name;
        EXPECT_TRUE(contains(missing.out, c.english
                                              ? "The file could not be opened."
                                              : "指定されたファイルを開くことが出来ませんでした。"))
            << name << missing.out;

        const CtlRun wrong = with({"bank", "export", "9", "x.qbk"});
        EXPECT_EQ(wrong.exitCode, 64) << name;
        EXPECT_TRUE(contains(wrong.err, c.english ? "Run with --help for more information."
                                                  : "詳しくは --help を付けて実行してください。"))
            << name << wrong.err;
    }
}

}  // namespace

// The command groups beyond the bank files: a help text and a message of each, in the
// language asked for; the Japanese is what a user with no language set sees.
TEST(QavixctlLanguage, EveryCommandGroupSpeaksTheChosenLanguage) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* japanese;
        const char* english;
        bool onStandardError;
    };
    const Case cases[] = {
        {{"fleet", "backup", "--help"},
         0,
         "全コントローラの現在値と選んだバンク",
         "Save every controller's current values and chosen banks",
         false},
        {{"fleet", "backup", "--out", "x"},
         64,
         "PLANT を指定してください",
         "give PLANT (or plant = in --config)",
         true},
        {{"monitor", "--help"},
         0,
         "1台のコントローラを動作中ずっと読み",
         "Read one controller for as long as it runs",
         false},
        {{"monitor", "--once"},
         64,
         "--mqtt mqtt://HOST[:PORT] または --jsonl FILE|-",
         "give --mqtt mqtt://HOST[:PORT] or --jsonl FILE|- (or both)",
         true},
        {{"plant", "status", "--help"},
         0,
         "ブローカーの保持メッセージにある全コントローラ",
         "Print every controller the broker's retained messages name",
         false},
        {{"plant", "status"},
         64,
         "--mqtt mqtt://HOST[:PORT] を指定してください",
         "give --mqtt mqtt://HOST[:PORT] (or set [Plant] BrokerUrl in Qavix.ini)",
         true},
        {{"journal", "--help"}, 0, "変更履歴を表示する", "List the change journal", false},
        {{"journal", "verify", "--journal", "/nonexistent/journal"},
         2,
         "変更履歴のフォルダがありません",
         "There is no change journal folder",
         true},
    };
    for (const Case& c : cases) {
        for (const bool english : {false, true}) {
            std::vector<std::string> args = c.args;
            if (english) {
                args.insert(args.begin(), {"--lang", "en"});
            }
            const CtlRun run = runCtl(CtlEnv{}, args);
            const std::string& shown = c.onStandardError ? run.err : run.out;
            const std::string where = c.args[0] + " " + c.args[1] + (english ? " en" : " ja");
            EXPECT_EQ(run.exitCode, c.exitCode) << where << run.err;
            EXPECT_TRUE(contains(shown, english ? c.english : c.japanese))
                << where << ": " << shown;
            // Nothing of the other language slipped through (data aside, these have none).
            EXPECT_FALSE(contains(shown, english ? c.japanese : c.english)) << where;
        }
    }
}
