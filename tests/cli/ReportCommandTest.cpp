// qavixctl bank report: blocks, extended sections, the Shift-JIS export and the refusals it
// shares with bank check.

#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CtlRun.h"
#include "FileText.h"
#include "TempDir.h"

namespace qavix::clitest {
namespace {

const std::string kControllerTitle =
    std::string(15, ' ') + "＃＃　エリアスキャナ　コントローラ設定内容一覧　＃＃";

std::string sensorTitle(int channel) {
    return std::string(15, ' ') + "＃＃　エリアスキャナ　センサ　CH" + std::to_string(channel) +
           "　設定内容一覧　＃＃";
}

std::vector<std::string> titlesOf(const std::vector<std::string>& lines) {
    std::vector<std::string> titles;
    for (const std::string& line : lines) {
        if (line.find("＃＃") != std::string::npos) {
            titles.push_back(line);
        }
    }
    return titles;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    for (const std::string& line : lines) {
        if (line == wanted) {
            return true;
        }
    }
    return false;
}

bool hasLineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

// UTF-8 to CP932 by the system's converter, independent of the program's own.
std::string toCp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in = utf8;
    std::string out(utf8.size() * 2 + 1, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1));
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

// The text with its second line (the date line) replaced, line ends `eol`.
std::string withoutDateLine(const std::string& text, const std::string& eol) {
    const size_t start = text.find(eol);
    const size_t end = start == std::string::npos ? start : text.find(eol, start + eol.size());
    if (end == std::string::npos) {
        ADD_FAILURE() << "no date line in: " << text.substr(0, 200);
        return text;
    }
    return text.substr(0, start + eol.size()) + "<date>" + text.substr(end);
}

TEST(QavixctlBankReport, BlocksFollowTheSelection) {
    struct Case {
        const char* file;
        std::vector<std::string> options;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"two_sensors.qbk", {}, {kControllerTitle, sensorTitle(1), sensorTitle(2)}},
        {"valid.qbk", {}, {kControllerTitle, sensorTitle(1)}},
        {"two_sensors.qbk", {"--blocks", "ch1"}, {sensorTitle(1)}},
        // The report's own order, whatever the order of the names; any case.
        {"two_sensors.qbk", {"--blocks", "ch2,CTRL"}, {kControllerTitle, sensorTitle(2)}},
        {"two_sensors.qbk",
         {"--blocks", "ch2", "--blocks", "ch1"},
         {sensorTitle(1), sensorTitle(2)}},
        // Asked for explicitly, a sensor beyond JOINT_NUM shows its stored record.
        {"two_sensors.qbk", {"--blocks", "ch3"}, {sensorTitle(3)}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"bank", "report", data(c.file)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CtlRun run = qavixctl(args);
        const std::string what = c.file + (" " + ::testing::PrintToString(c.options));
        ASSERT_EQ(run.exitCode, 0) << what << run.err;
        EXPECT_EQ(run.err, "") << what;
        const std::vector<std::string> lines = qavix::test::lines(run.out);
        EXPECT_EQ(titlesOf(lines), c.titles) << what;
        ASSERT_FALSE(lines.empty()) << what;
        EXPECT_EQ(lines.front(), c.titles.front()) << what;
        const bool controller = c.titles.front() == kControllerTitle;
        EXPECT_EQ(hasLineStarting(lines, std::string(50, ' ') + "日付　"), controller) << what;
        EXPECT_EQ(hasLine(lines, "■ 基本情報"), controller) << what;
    }
}

TEST(QavixctlBankReport, DefaultReportHoldsTheFileDataOfConnectedSensorsOnly) {
    const CtlRun run = qavixctl({"bank", "report", data("two_sensors.qbk")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = qavix::test::lines(run.out);
    EXPECT_TRUE(hasLine(lines, "    接続センサ数                    2"));
    // AXIS_TH 40 with HYS1 5 and TH_CNF1 0: ON 45, OFF 40; sensor 2 has 18 and HYS2 3.
    EXPECT_TRUE(hasLine(lines,
                        "    CH1 ON しきい値   1～ 10        45, 45, 45, 45, 45, 45, 45, 45, "
                        "45, 45"));
    EXPECT_TRUE(hasLine(lines, "    CH2 OFF しきい値  21～ 24       18, 18, 18, 18"));
    EXPECT_TRUE(hasLine(lines, "    CH1 ブランキング光軸　 11～ 20  0, 0, 1, 1, 1, 1, 0, 0, 0, 0"));
    EXPECT_TRUE(hasLine(lines, "    投光器バージョン                Ver 1.03"));  // CH2 VER_E
    EXPECT_FALSE(hasLineStarting(lines, "    CH3 "));
    EXPECT_FALSE(hasLine(lines, "■オプション設定"));
    EXPECT_FALSE(hasLine(lines, "■しきい値"));
}

TEST(QavixctlBankReport, ExtendedAddsTheExtendedSections) {
    const CtlRun run = qavixctl({"bank", "report", data("valid.qbk"), "--extended"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = qavix::test::lines(run.out);
    EXPECT_TRUE(hasLine(lines, "■オプション設定"));
    EXPECT_TRUE(hasLine(lines, "■しきい値"));
    EXPECT_TRUE(hasLine(lines, "    ONしきい値                      35"));  // CH1 ON_TH 0x23
    EXPECT_TRUE(hasLine(lines, "    OFFしきい値                     25"));
}

TEST(QavixctlBankReport, DateLineIsTheLocalTimeOfTheRun) {
    // A fixed zone nine hours east, so local time cannot be mistaken for UTC.
    const std::time_t before = std::time(nullptr);
    const CtlRun run = qavixctl({"bank", "report", data("valid.qbk")}, {{"TZ", "JST-9"}});
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = qavix::test::lines(run.out);
    ASSERT_GT(lines.size(), 1u);
    std::vector<std::string> candidates;
    for (std::time_t t = before; t <= after; ++t) {
        const std::time_t shifted = t + 9 * 3600;
        std::tm local{};
        gmtime_r(&shifted, &local);
        char text[128];
        std::snprintf(text, sizeof text, "日付　%d/%02d/%02d   %2d：%02d：%02d",
                      local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, local.tm_sec);
        candidates.push_back(std::string(50, ' ') + text);
    }
    EXPECT_TRUE(hasLine(candidates, lines[1])) << lines[1];
}

TEST(QavixctlBankReport, OutWritesTheSameReportInShiftJisWithCrLf) {
    const qavix::test::TempDir tmp;
    const std::string path = tmp.file("out.txt");
    std::ofstream(path, std::ios::binary) << std::string(20000, 'x');  // longer than a report
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, {"--extended"}, {"--blocks", "ch1,ch2"}}) {
        std::vector<std::string> args{"bank", "report", data("two_sensors.qbk")};
        args.insert(args.end(), options.begin(), options.end());
        const CtlRun printed = qavixctl(args);
        ASSERT_EQ(printed.exitCode, 0) << printed.err;
        args.insert(args.end(), {"--out", path});
        const CtlRun saved = qavixctl(args);
        ASSERT_EQ(saved.exitCode, 0) << saved.err;
        EXPECT_EQ(saved.out, "");

        // Lines joined with CR LF, none after the last one, then Shift-JIS.
        std::string crlf;
        for (const std::string& line : qavix::test::lines(printed.out)) {
            crlf += (crlf.empty() ? "" : "\r\n") + line;
        }
        std::string expected = toCp932(crlf);
        std::string bytes = slurp(path);
        ASSERT_NE(bytes.find(toCp932(sensorTitle(2)) + "\r\n"), std::string::npos);
        const bool controller = options.empty() || options[0] == "--extended";
        if (controller) {
            const std::string dateStart = "\r\n" + std::string(50, ' ') + toCp932("日付　");
            EXPECT_NE(bytes.find(dateStart), std::string::npos);
            expected = withoutDateLine(expected, "\r\n");
            bytes = withoutDateLine(bytes, "\r\n");
        }
        EXPECT_EQ(bytes, expected) << ::testing::PrintToString(options);
    }
    std::remove(path.c_str());
}

TEST(QavixctlBankReport, RefusesWhatBankCheckRefusesWithItsMessageAndExitCode) {
    struct Case {
        const char* file;
        int exitCode;
    };
    const Case cases[] = {
        {"truncated.qbk", 1},         {"garbage.qbk", 1},      {"not_hex.qbk", 1},
        {"on_off_equal.qbk", 1},      {"axis_th_201.qbk", 1},  {"para_cnf_3.qbk", 1},
        {"ch2_missing_entry.qbk", 1}, {"no_such_file.qbk", 2},
    };
    const qavix::test::TempDir tmp;
    const std::string path = tmp.file("refused.txt");
    for (const Case& c : cases) {
        const CtlRun check = qavixctl({"bank", "check", data(c.file)});
        const CtlRun report = qavixctl({"bank", "report", data(c.file), "--out", path});
        EXPECT_EQ(check.exitCode, c.exitCode) << c.file;
        EXPECT_EQ(report.exitCode, c.exitCode) << c.file;
        // The same message; for a file that cannot be read, the reason that check gives on
        // its standard error follows it.
        EXPECT_EQ(report.err, check.out + (c.exitCode == 2 ? check.err : std::string())) << c.file;
        EXPECT_EQ(report.out, "") << c.file;
        EXPECT_FALSE(std::ifstream(path).good()) << c.file << ": wrote a report";
    }
}

TEST(QavixctlBankReport, CommandLineAndOutputErrors) {
    for (const char* blocks : {"ch4", "", "ctrl;ch1", "ch0", "sensor"}) {
        const CtlRun run = qavixctl({"bank", "report", data("valid.qbk"), "--blocks", blocks});
        EXPECT_EQ(run.exitCode, 64) << blocks;
        EXPECT_EQ(run.out, "") << blocks;
        EXPECT_NE(run.err.find("--blocks"), std::string::npos) << blocks;
    }
    EXPECT_EQ(qavixctl({"bank", "report"}).exitCode, 64);
    const CtlRun help = qavixctl({"bank", "report", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--blocks"), std::string::npos);

    const qavix::test::TempDir tmp;
    const std::string unwritable = tmp.file("no-such-folder") + "/r.txt";
    const CtlRun run = qavixctl({"bank", "report", data("valid.qbk"), "--out", unwritable});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(unwritable), std::string::npos) << run.err;
}

TEST(QavixctlBankReport, OutRefusesWhatItMustNotReplaceAndTakesDashForStandardOutput) {
    const qavix::test::TempDir tmp;
    const std::string dir = tmp.str();
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string readOnly = dir + "/kept.txt";
    std::ofstream(readOnly) << "kept";
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    for (const std::string& target : {fifo, readOnly}) {
        const CtlRun run = qavixctl({"bank", "report", data("valid.qbk"), "--out", target});
        EXPECT_EQ(run.exitCode, 2) << target;
        EXPECT_NE(run.err.find(target), std::string::npos) << run.err;
    }
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(slurp(readOnly), "kept");
    ASSERT_EQ(::lstat(readOnly.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);

    // "-" gives the bytes the file would hold, and no file named "-".
    const std::string file = dir + "/r.txt";
    const CtlRun saved = qavixctl({"bank", "report", data("valid.qbk"), "--out", file});
    const CtlRun printed = qavixctl({"bank", "report", data("valid.qbk"), "--out", "-"});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    const std::string dateStart = "\r\n" + std::string(50, ' ') + toCp932("日付　");
    EXPECT_NE(printed.out.find(dateStart), std::string::npos);
    EXPECT_EQ(withoutDateLine(printed.out, "\r\n"), withoutDateLine(slurp(file), "\r\n"));
}

}  // namespace
}  // namespace qavix::clitest
