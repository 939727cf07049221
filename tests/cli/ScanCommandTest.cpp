// qavixctl scan against the emulator built into the link library: rows of beam states on the
// schedule the line rate allows, the interval and channel checks, and the stop with exit 3
// after two failed reads in a row that keeps what was sampled.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CtlProcess.h"
#include "FileText.h"
#include "TempDir.h"
#include "WaitUntil.h"
#include "files/TextFile.h"

namespace qavix::cli::test {

using namespace qavix::test;
using namespace std::chrono_literals;
namespace {

CtlEnv simulated(const std::string& options, const std::string& workDir) {
    return CtlEnv{workDir, {{"QAVLINK_COM1", "sim:" + options}}};
}

std::vector<std::string> scan(std::vector<std::string> args) {
    args.insert(args.begin(), "scan");
    args.insert(args.end(), {"--port", "COM1"});
    return args;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string f;
    while (std::getline(in, f, ',')) {
        out.push_back(f);
    }
    return out;
}

// Checks the rows under the header: numbered from 1, times rising from 0 by about
// `intervalMs`, and one 0/1 per beam.
void expectRows(const std::vector<std::string>& lines, size_t beams, int intervalMs) {
    long previous = -1;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> f = fields(lines[i]);
        ASSERT_EQ(f.size(), beams + 2) << lines[i];
        EXPECT_EQ(f[0], std::to_string(i));
        const long ms = std::stol(f[1]);
        if (previous < 0) {
            EXPECT_LT(ms, intervalMs);
        } else {
            // The schedule keeps the interval on average; a late sample never runs early.
            EXPECT_GE(ms - previous, intervalMs / 2) << lines[i];
        }
        previous = ms;
        for (size_t k = 2; k < f.size(); ++k) {
            EXPECT_TRUE(f[k] == "0" || f[k] == "1") << lines[i];
        }
    }
}

TEST(QavixctlScan, WritesOneRowPerSampleToTheCsvFile) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlRun run =
        runCtl(simulated("--sensors 40,32", dir), scan({"--samples", "4", "--csv", "scan.csv"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    const std::string bytes = readBytes(dir + "/scan.csv");
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);  // the program's text files: CR LF
    const auto text = textfile::readText(dir + "/scan.csv");
    ASSERT_TRUE(text.ok());
    const std::vector<std::string> lines = textfile::splitLines(text.text);
    ASSERT_EQ(lines.size(), 5u);
    const std::vector<std::string> head = fields(lines[0]);
    ASSERT_EQ(head.size(), 74u);
    EXPECT_EQ(head[0], "サンプル");
    EXPECT_EQ(head[2], "CH1-1");
    EXPECT_EQ(head[41], "CH1-40");
    EXPECT_EQ(head[42], "CH2-1");
    EXPECT_EQ(head[73], "CH2-32");
    expectRows(lines, 72, 125);  // 9600 baud, the port's default: 125 ms at the fastest
}

TEST(QavixctlScan, OneChannelOnStandardOutputAtTheLineRatesFastestInterval) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    std::ofstream(dir + "/Qavix.ini") << "[COM1_SETTING]\r\nBaudrate=5\r\n";  // 115200
    const CtlRun run =
        runCtl(simulated("--sensors 40,32,8", dir), scan({"--samples", "6", "--channel", "2"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(fields(out[0]).size(), 34u);
    EXPECT_EQ(fields(out[0])[2], "CH2-1");
    expectRows(out, 32, 25);
}

TEST(QavixctlScan, IntervalsAndChannelsTheControllerCannotServeAreRefused) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    for (const Case& c :
         {Case{{"--interval", "25"}, "125, 150, 175, 200"}, Case{{"--interval", "130"}, "125, 150"},
          Case{{"--channel", "3"}, "センサは 2 台です"}, Case{{"--interval", "10"}, "--interval"},
          Case{{"--samples", "0"}, "--samples"}}) {
        const CtlRun run = runCtl(simulated("--sensors 40,32", dir), scan(c.args));
        EXPECT_EQ(run.exitCode, 64) << ::testing::PrintToString(c.args);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

TEST(QavixctlScan, TwoFailedReadsInARowStopWithExitThreeAndKeepTheRows) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    // The connection, the beam counts and the sensor count, then a few samples; then the
    // cable is pulled.
    const CtlRun run = runCtl(simulated("--sensors 16 --hang-after 8 --instant-timeout on", dir),
                              scan({"--samples", "50", "--csv", "scan.csv"}));
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.err.find("2回続けて失敗しました"), std::string::npos) << run.err;
    const auto text = textfile::readText(dir + "/scan.csv");
    ASSERT_TRUE(text.ok()) << text.error;
    const std::vector<std::string> rows = textfile::splitLines(text.text);
    EXPECT_GE(rows.size(), 2u);   // the header and what was sampled before
    EXPECT_LT(rows.size(), 10u);  // far from the 50 asked for
    expectRows(rows, 16, 125);
}

TEST(QavixctlScan, CtrlCEndsSamplingWithTheRowsSoFarAndExit130) {
    CtlChild scan(CtlEnv{{}, {{"QAVLINK_COM1", "sim:--sensors 8"}}},
                  {"scan", "--port", "COM1", "--samples", "100000"});
    // Rows are written one by one as they are sampled; wait for a few.
    const bool sampling = waitUntil([&] { return lines(scan.out()).size() >= 3; }, 10s);
    scan.signal(SIGINT);
    const CtlRun run = scan.wait(10s);
    ASSERT_TRUE(sampling) << run.out;
    ASSERT_EQ(run.signal, 0) << "ended by signal " << run.signal;
    EXPECT_EQ(run.exitCode, 130);
    const std::vector<std::string> rows = lines(run.out);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(run.err, "scan: " + std::to_string(rows.size() - 1) + " サンプルで中断しました\n");
    EXPECT_EQ(fields(rows[0])[2], "CH1-1");
    expectRows(rows, 8, 125);
}

}  // namespace
}  // namespace qavix::cli::test
