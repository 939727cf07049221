// The one rule of the project's settings texts (the plant file, the monitor's config and its
// state file), and the monitor's config file on top of it, the shipped example included.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "IniText.h"
#include "ScopedLanguage.h"
#include "telemetry/ConfigFile.h"

namespace qavix::ini {
namespace {

std::string problemsOf(const SettingsText& t) {
    std::string text;
    for (const TextProblem& p : t.problems) {
        text += std::to_string(p.line) + ": " + p.message + "\n";
    }
    return text;
}

TEST(SettingsText, CommentsQuotesSectionsAndLineEnds) {
    const SettingsText t = readSettingsText(
        "\xEF\xBB\xBF; top\r\n"
        "a = 1 ; a comment\r\n"
        "  # indented comment\n"
        "[One] # comment after a header\r"
        "name = line#7\n"
        "path = \"  x ; y # z  \"   ; kept inside the quotes\n"
        "empty =\n"
        "[two]\n"
        "NAME = other\n"
        "hash = #only a comment\n");
    ASSERT_TRUE(t.ok()) << problemsOf(t);
    ASSERT_EQ(t.sections.size(), 2u);
    EXPECT_EQ(t.sections[0].name, "One");
    EXPECT_EQ(t.sections[0].line, 4);
    struct Want {
        const char* section;
        const char* key;
        const char* value;
        int line;
    };
    const Want want[] = {
        {"", "a", "1", 2},       {"One", "name", "line#7", 5}, {"One", "path", "  x ; y # z  ", 6},
        {"One", "empty", "", 7}, {"two", "NAME", "other", 9},  {"two", "hash", "", 10}};
    ASSERT_EQ(t.settings.size(), std::size(want));
    for (size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(t.settings[i].section, want[i].section) << i;
        EXPECT_EQ(t.settings[i].key, want[i].key) << i;
        EXPECT_EQ(t.settings[i].value, want[i].value) << i;
        EXPECT_EQ(t.settings[i].line, want[i].line) << i;
    }
}

TEST(SettingsText, ShiftJisIsReadAsUtf8) {
    const SettingsText t = readSettingsText("name = \x83\x89\x83\x43\x83\x93\n");  // ライン
    ASSERT_TRUE(t.ok()) << problemsOf(t);
    EXPECT_EQ(t.settings.at(0).value, "ライン");
}

TEST(SettingsText, EveryProblemNamesItsLine) {
    const qavix::test::ScopedLanguage english("en");
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    for (const Case& c : {
             Case{"a = 1\nnothing here\n", 2, "expected key = value"},
             Case{"a = 1\n= 2\n", 2, "without a key"},
             Case{"[x\n", 1, "must end with ']'"},
             Case{"[x] y\n", 1, "after the section header"},
             Case{"a = \"open\n", 1, "closing quote"},
             Case{"a = \"x\" y\n", 1, "after the closing quote"},
             Case{"[s]\nA = 1\na = 2\n", 3, "given twice (first at line 2)"},
             Case{"[s]\n[S]\n", 2, "given twice (first at line 1)"},
             Case{"a = 1\nb = x\x01y\n", 2, "control character"},
             Case{"a = 1\nb = \x82\n", 2, "neither UTF-8 nor Shift-JIS"},
         }) {
        const SettingsText t = readSettingsText(c.text);
        ASSERT_FALSE(t.ok()) << c.text;
        EXPECT_EQ(t.problems.front().line, c.line) << c.text;
        EXPECT_NE(t.problems.front().message.find(c.says), std::string::npos)
            << c.text << " -> " << t.problems.front().message;
    }
    // The same key in two sections is two settings.
    EXPECT_TRUE(readSettingsText("[a]\nk = 1\n[b]\nk = 2\n").ok());
}

TEST(SettingsText, ValuesWrittenReadBackOrAreRefused) {
    for (const char* value :
         {"plain", "", " lead", "trail ", "a ;b", "#x", "a\"b", "a#b", "ライン 7"}) {
        const std::optional<std::string> written = settingValueText(value);
        ASSERT_TRUE(written) << value;
        const SettingsText t = readSettingsText("k = " + *written + "\n");
        ASSERT_TRUE(t.ok()) << value << problemsOf(t);
        EXPECT_EQ(t.settings.at(0).value, value);
    }
    for (const char* value : {"a \"b\" ;c", "\"q", "line\nbreak", "nul\x01"}) {
        EXPECT_FALSE(settingValueText(value)) << value;
    }
}

}  // namespace
}  // namespace qavix::ini

namespace qavix::telemetry {
namespace {

// A switch's value is one of the known words; anything else, a misspelling or a case
// the rule does not take, is refused rather than read as off.
TEST(SettingsText, TruthValuesAreTheKnownWordsAndNothingElse) {
    for (const char* on : {"true", "yes", "1", "on"}) {
        EXPECT_EQ(qavix::ini::truthValue(on), std::optional<bool>(true)) << on;
    }
    for (const char* off : {"false", "no", "0", "off"}) {
        EXPECT_EQ(qavix::ini::truthValue(off), std::optional<bool>(false)) << off;
    }
    for (const char* neither : {"", "ture", "2", "True", " on", "enabled"}) {
        EXPECT_EQ(qavix::ini::truthValue(neither), std::nullopt) << neither;
    }
}

TEST(MonitorConfig, KeysOfTheCommandInFileOrder) {
    ConfigEntries e;
    std::string error;
    ASSERT_TRUE(
        parseConfigText("# c\n[Monitor]\nName = line7\nmqtt = \"mqtt://b:1\"\n"
                        "interval = 10  ; seconds\nonce = true\n",
                        e, error))
        << error;
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0], (std::pair<std::string, std::string>{"name", "line7"}));
    EXPECT_EQ(e[1].second, "mqtt://b:1");
    EXPECT_EQ(e[2].second, "10");
    for (const char* bad : {"[other]\n", "x\n", "colour = red\n", "[monitor\n"}) {
        EXPECT_FALSE(parseConfigText(std::string("\n") + bad, e, error)) << bad;
        EXPECT_NE(error.find("2 行目: "), std::string::npos) << error;
    }
}

// A reader of the example removes the '#' of a setting left out to use it: with every one
// of them taken in, the file is still a configuration the command takes.
TEST(MonitorConfig, ExampleWorksWithEveryLineUncommented) {
    std::ifstream file(QAVIX_SOURCE_DIR "/dist/monitor.conf.example");
    ASSERT_TRUE(file) << "no example";
    std::stringstream uncommented;
    size_t takenIn = 0;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.front() == '#') {
            line.erase(0, line.rfind("# ", 0) == 0 ? 2 : 1);
            ++takenIn;
        }
        uncommented << line << '\n';
    }
    EXPECT_GE(takenIn, 3u);
    ConfigEntries e;
    std::string error;
    ASSERT_TRUE(parseConfigText(uncommented.str(), e, error)) << error;
    for (const auto& [key, value] : e) {
        EXPECT_EQ(value.find_first_of(";#"), std::string::npos) << key << " = " << value;
        if (key == "mqtt-version") {
            EXPECT_EQ(value, "5");
        }
    }
}

}  // namespace
}  // namespace qavix::telemetry
