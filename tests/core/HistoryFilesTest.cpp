// The backup's metrics file and the scheduled backup's configuration.

#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "history/BackupConfig.h"
#include "history/BackupMetrics.h"

namespace qavix::history {
namespace {

TEST(BackupMetrics, LastSuccessTimesSurviveTheFileWithAwkwardNames) {
    const std::string awkward = "line \"7\" \\ 'x'";
    const std::string text = metricsText({{awkward, true, 1700000000.5, true},
                                          {"press", false, 1690000000.0, std::nullopt},
                                          {"never", false, std::nullopt, false}});
    EXPECT_NE(text.find("qavix_fleet_backup_success{controller=\"line \\\"7\\\" \\\\ 'x'\"} 1\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("qavix_fleet_drift{controller=\"never\"} 0\n"), std::string::npos);
    EXPECT_EQ(text.find("qavix_fleet_drift{controller=\"press\"}"), std::string::npos);
    const auto times = lastSuccessTimes(text);
    EXPECT_EQ(times,
              (std::map<std::string, double>{{awkward, 1700000000.5}, {"press", 1690000000.0}}));
    EXPECT_TRUE(
        lastSuccessTimes("qavix_fleet_backup_last_success_timestamp_seconds{controller=\"x} 1\n"
                         "garbage\n")
            .empty());
}

TEST(BackupConfig, KeysValuesAndTheirMistakesWithLines) {
    test::TempDir dir;
    const std::string path = dir.file("fleet-line7.conf");
    std::ofstream(path) << "; daily\n[fleet-backup]\nplant = /etc/qavix/plant.ini\n"
                           "# comment\nGit = \"/var/lib/x y\"\non-change = /bin/hook 'a b' c\n";
    std::string error;
    const auto values = readBackupConfig(path, error);
    ASSERT_TRUE(values) << error;
    ASSERT_EQ(values->size(), 3u);
    EXPECT_EQ((*values)[1].key, "git");
    EXPECT_EQ((*values)[1].value, "/var/lib/x y");
    EXPECT_EQ((*values)[2].line, 6);
    EXPECT_EQ(splitCommandWords((*values)[2].raw, error),
              (std::vector<std::string>{"/bin/hook", "a b", "c"}));

    const std::pair<const char*, const char*> bad[] = {
        {"plant = a\nplant = b\n", ":2: plant が2回あります（最初は 1 行目）"},
        {"[monitor]\n", ":1: セクション [monitor] は使えません"},
        {"plant\n", ":1: KEY = VALUE の形ではありません"},
        {"plant = a\x01\n", ":1: 制御文字か UTF-8 でないバイト"},
    };
    for (const auto& [text, message] : bad) {
        std::ofstream(path, std::ios::trunc) << text;
        EXPECT_FALSE(readBackupConfig(path, error)) << text;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

TEST(BackupConfig, CommandWordsAreSplitWithoutAnyExpansion) {
    std::string error;
    EXPECT_EQ(splitCommandWords(R"(/usr/bin/x "$HOME" '$(id)' a\ b "q\"t" *)", error),
              (std::vector<std::string>{"/usr/bin/x", "$HOME", "$(id)", "a b", "q\"t", "*"}));
    EXPECT_FALSE(splitCommandWords("/bin/x 'open", error));
    EXPECT_EQ(error, "' が閉じていません");
    EXPECT_FALSE(splitCommandWords("   ", error));
}

}  // namespace
}  // namespace qavix::history
