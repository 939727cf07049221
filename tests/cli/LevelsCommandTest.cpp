// qavixctl levels against the emulator built into the link library: printed readings,
// logged CSV rows, and Ctrl+C ending a log with only whole rows in the file.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <vector>

#include "CtlProcess.h"
#include "FileText.h"
#include "SmallTmpfs.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

CtlEnv simulated(const std::string& options, const std::string& dir) {
    return CtlEnv{dir, {{"QAVLINK_COM1", "sim:" + options}}};
}

std::vector<std::string> fields(const std::string& row) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t comma = row.find(','); comma != std::string::npos; comma = row.find(',', start)) {
        out.push_back(row.substr(start, comma - start));
        start = comma + 1;
    }
    out.push_back(row.substr(start));
    return out;
}

// Rows of a log file; every row must end in CR LF.
std::vector<std::string> rows(const std::string& bytes) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end = bytes.find("\r\n"); end != std::string::npos;
         end = bytes.find("\r\n", start)) {
        out.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, bytes.size()) << "a partial row at the end";
    return out;
}

void expectRow(const std::string& row, const std::string& channel, size_t beams, int maximum) {
    const auto f = fields(row);
    ASSERT_EQ(f.size(), beams + 2) << row;
    EXPECT_EQ(f[0].size(), 19u) << row;  // YYYY-MM-DD HH:MM:SS
    EXPECT_EQ(f[1], channel);
    for (size_t i = 2; i < f.size(); ++i) {
        const int level = std::stoi(f[i]);
        EXPECT_GE(level, 0) << row;
        EXPECT_LE(level, maximum) << row;
    }
}

struct LevelsFixture : ::testing::Test {
    const TempDir tmp;
    const std::string dir = tmp.str();
};

TEST_F(LevelsFixture, CountedLogAppendsOneRowPerSensorAndReading) {
    const CtlRun run = runCtl(simulated("--sensors 40", dir),
                              {"levels", "--port", "COM1", "--count", "3", "--interval", "10",
                               "--csv", "f.csv", "--absolute"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    auto logged = rows(readBytes(dir + "/f.csv"));
    ASSERT_EQ(logged.size(), 3u);
    for (const std::string& row : logged) {
        expectRow(row, "CH1", 40, 200);
    }

    // All sensors: one row each per reading, appended after what the file held.
    const CtlRun all = runCtl(simulated("--sensors 40,32", dir),
                              {"levels", "--port", "COM1", "--channel", "all", "--count", "2",
                               "--interval", "0", "--csv", "f.csv"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    logged = rows(readBytes(dir + "/f.csv"));
    ASSERT_EQ(logged.size(), 7u);
    expectRow(logged[3], "CH1", 40, 1000);
    expectRow(logged[4], "CH2", 32, 1000);
    expectRow(logged[6], "CH2", 32, 1000);
}

TEST_F(LevelsFixture, OneReadingPrintsEveryBeamWithThresholdsAndState) {
    const CtlRun run =
        runCtl(simulated("--sensors 40,16", dir), {"levels", "--port", "COM1", "--channel", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto out = lines(run.out);
    ASSERT_EQ(out.size(), 17u) << run.out;
    EXPECT_EQ(out[0], "光軸\t受光レベル\tONしきい値\tOFFしきい値\t状態");
    EXPECT_EQ(out[1].rfind("CH2-1\t", 0), 0u) << out[1];
    EXPECT_EQ(out[16].rfind("CH2-16\t", 0), 0u) << out[16];
    for (size_t i = 1; i < out.size(); ++i) {
        EXPECT_NE(out[i].find("%\t"), std::string::npos) << out[i];
        const std::string state = out[i].substr(out[i].rfind('\t') + 1);
        EXPECT_TRUE(state == "入光" || state == "不安定状態" || state == "遮光" ||
                    state == "ブランキング光軸")
            << out[i];
    }
}

TEST_F(LevelsFixture, WrongChannelsAreRefused) {
    EXPECT_EQ(runCtl(simulated("--sensors 40", dir), {"levels", "--port", "COM1", "--channel", "4"})
                  .exitCode,
              64);
    EXPECT_EQ(runCtl(simulated("--sensors 40", dir), {"levels", "--port", "COM1", "--count", "0"})
                  .exitCode,
              64);
    const CtlRun absent =
        runCtl(simulated("--sensors 40,32", dir), {"levels", "--port", "COM1", "--channel", "3"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_NE(absent.err.find("CH3 は接続されていません"), std::string::npos) << absent.err;
}

TEST_F(LevelsFixture, InterruptEndsTheLogWithWholeRows) {
    const std::string csv = dir + "/log.csv";
    CtlChild levels(simulated("--sensors 128", dir),
                    {"levels", "--port", "COM1", "--interval", "0", "--csv", csv});
    waitUntil([&] { return readBytes(csv).size() >= 2000; }, std::chrono::seconds(20));
    levels.signal(SIGINT);
    const CtlRun run = levels.wait(std::chrono::seconds(10));
    // A log cut short by Ctrl+C is no complete run; the rows so far are kept.
    EXPECT_EQ(run.exitCode, 130) << "signal " << run.signal << " " << run.err;
    const auto logged = rows(readBytes(csv));
    ASSERT_GE(logged.size(), 2u);
    for (const std::string& row : logged) {
        expectRow(row, "CH1", 128, 1000);
    }
}

// A disk that fills up cuts a row's write short; the file keeps only whole rows, so the
// next log appended to it starts on a row of its own.
TEST_F(LevelsFixture, FullDiskLeavesOnlyWholeRowsAndExitsTwo) {
    const qavix::test::SmallTmpfs disk(16);
    if (!disk.mounted()) {
        GTEST_SKIP() << "needs the right to mount a small file system";
    }
    const std::string csv = disk.file("full.csv");
    const CtlRun run = runCtl(simulated("--sensors 128,128,128", dir),
                              {"levels", "--port", "COM1", "--channel", "all", "--count", "200",
                               "--interval", "0", "--csv", csv, "--absolute"});
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find(csv), std::string::npos) << run.err;
    const std::string bytes = readBytes(csv);
    ASSERT_GT(bytes.size(), 4096u) << "the disk took rows before it was full";
    const auto logged = rows(bytes);
    EXPECT_EQ(logged.size() % 3, 0u) << "a reading's rows go in together";
    for (const std::string& row : logged) {
        EXPECT_EQ(fields(row).size(), 130u) << row;
    }
}

}  // namespace
}  // namespace qavix::cli::test
