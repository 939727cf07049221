// qavixctl as a user runs it: a separate process, its standard output, error and exit code.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CtlRun.h"
#include "FifoWriter.h"
#include "FileText.h"
#include "TempDir.h"

namespace {

using qavix::clitest::CtlRun;
using qavix::clitest::data;
using qavix::clitest::qavixctl;

const char* const kInvalid = "Bankデータが無効です。インポートを中止します。\n";
const char* const kCannotOpen =
    "指定されたファイルを開くことが出来ませんでした。\nファイルを確認して下さい。\n";

std::string abnormal(const char* field) {
    return std::string("インポートしたデータが異常です。\nファイルの内容を確認して下さい。\n（") +
           field + "）\n";
}

TEST(QavixctlBankCheck, VerdictsAndExitCodes) {
    struct Case {
        const char* file;
        int exitCode;
        std::string out;
    };
    const Case cases[] = {
        {"valid.qbk", 0, "OK\n"},
        {"lf_only.qbk", 0, "OK\n"},
        {"renamed_keys.qbk", 0, "OK\n"},
        {"changed.qbk", 0, "OK\n"},
        {"on_off_equal.qbk", 1, abnormal("ON_OFF_TH1")},
        {"axis_th_201.qbk", 1, abnormal("AXIS_TH2_2")},
        {"para_cnf_3.qbk", 1, abnormal("PARA_CNFF")},
        {"ch2_missing_entry.qbk", 1, kInvalid},
        {"truncated.qbk", 1, kInvalid},
        {"garbage.qbk", 1, kInvalid},
        {"not_hex.qbk", 1, kInvalid},
        {"not_shift_jis.qbk", 1, kInvalid},
        {"joint_num_4.qbk", 1, abnormal("JOINT_NUM")},
        {"no_such_file.qbk", 2, kCannotOpen},
    };
    for (const Case& c : cases) {
        const CtlRun run = qavixctl({"bank", "check", data(c.file)});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.file;
        EXPECT_EQ(run.out, c.out) << c.file;
    }
}

// Anything but a regular file is refused at once with the reason, by every command that
// reads a bank file: a FIFO would otherwise hold the command until some writer came.
TEST(QavixctlBankCheck, AFifoOrADeviceIsRefusedWithoutWaiting) {
    const qavix::test::TempDir tmp;
    const std::string dir = tmp.str();
    qavix::test::FifoWriter fifo(dir + "/bank.qbk");
    ASSERT_TRUE(fifo.made());
    fifo.rescueReaders();
    for (const std::string& path : {fifo.path(), std::string("/dev/zero")}) {
        const std::string reason = path + (path == fifo.path() ? ": is a FIFO" : ": is a device") +
                                   ", not a regular file\n";
        const CtlRun check = qavixctl({"bank", "check", path});
        EXPECT_EQ(check.exitCode, 2) << path;
        EXPECT_EQ(check.out, kCannotOpen) << path;
        EXPECT_EQ(check.err, reason) << path;
        for (const char* command : {"show", "report"}) {
            const CtlRun run = qavixctl({"bank", command, path});
            EXPECT_EQ(run.exitCode, 2) << command << " " << path;
            EXPECT_NE(run.err.find(reason), std::string::npos) << command << ": " << run.err;
        }
    }
}

TEST(QavixctlBankCheck, WarnsOfEveryKeyOutOfItsPlaceAndStillPasses) {
    const CtlRun valid = qavixctl({"bank", "check", data("valid.qbk")});
    EXPECT_EQ(valid.err, "");
    struct Case {
        const char* file;
        const char* firstWarning;
    };
    const Case cases[] = {
        {"renamed_keys.qbk", "[CH1] entry 1: expected key TYPE_1, found NUMBER_OF_BEAMS"},
        {"reordered_keys.qbk", "[CH1] entry 2: expected key TYPE_2, found TYPE_3"},
    };
    for (const Case& c : cases) {
        const CtlRun run = qavixctl({"bank", "check", data(c.file)});
        EXPECT_EQ(run.exitCode, 0) << c.file;
        EXPECT_EQ(run.out, "OK\n") << c.file;
        const std::vector<std::string> warnings = qavix::test::lines(run.err);
        ASSERT_EQ(warnings.size(), 2u) << run.err;
        EXPECT_EQ(warnings[0], "warning: " + data(c.file) + ": " + c.firstWarning);
    }
}

TEST(QavixctlBankShow, PrintsTheDecodedSetInItsDocumentedOrder) {
    const CtlRun run = qavixctl({"bank", "show", data("valid.qbk")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = qavix::test::lines(run.out);
    // 3 channels of 30 fields, then 4 + 16 + 1 + 48 + 24 + 4 controller fields, then the
    // fingerprint in its two forms.
    ASSERT_EQ(lines.size(), 3u * 30u + 97u + 2u);
    EXPECT_EQ(lines[0], "CH1.TYPE_1=24");
    EXPECT_EQ(lines[1], "CH1.TYPE_2=19");
    EXPECT_EQ(lines[3], "CH1.VER_R=0105");
    EXPECT_EQ(lines[5], "CH1.FIX_AXIS_1=0,0,0,0,0,0,0,0,0,0,0,0,1,1,1,1");
    EXPECT_EQ(lines[21], "CH1.ON_TH=35");
    EXPECT_EQ(lines[22], "CH1.OFF_TH=25");
    EXPECT_EQ(lines[30], "CH2.TYPE_1=0");
    EXPECT_EQ(lines[90], "CONTROLLER.TYPE=QX-AS100C           ");
    EXPECT_EQ(lines[91], "CONTROLLER.SFT_VER=02.10");
    EXPECT_EQ(lines[92], "CONTROLLER.JOINT_NUM=1");
    EXPECT_EQ(lines[94], "CONTROLLER.PIO_01=8030");
    EXPECT_EQ(lines[111], "CONTROLLER.AXIS_TH1_1=40,40,40,40,40,40,40,40,40,40,40,40,40,40,40,40");
    EXPECT_EQ(lines[113], "CONTROLLER.AXIS_TH1_3=18,18,18,18,18,18,18,18,18,18,18,18,18,18,18,18");
    EXPECT_EQ(lines[186], "CONTROLLER.GRP_LOW_CH=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0");
    EXPECT_EQ(lines[187].substr(0, 12), "FINGERPRINT=");
    EXPECT_EQ(lines[188].size(), 19u + 64u) << lines[188];
}

TEST(QavixctlBankShow, RejectedFilesGoToStandardError) {
    const CtlRun invalid = qavixctl({"bank", "show", data("ch2_missing_entry.qbk")});
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.out, "");
    EXPECT_NE(invalid.err.find("Bankデータが無効です。"), std::string::npos);
    const CtlRun missing = qavixctl({"bank", "show", data("no_such_file.qbk")});
    EXPECT_EQ(missing.exitCode, 2);
    // Out-of-range values are shown, not checked.
    const CtlRun range = qavixctl({"bank", "show", data("axis_th_201.qbk")});
    EXPECT_EQ(range.exitCode, 0);
    EXPECT_NE(range.out.find("CONTROLLER.AXIS_TH2_2=201,18,"), std::string::npos);
}

TEST(QavixctlBankDiff, ListsEachDifferingField) {
    const CtlRun same = qavixctl({"bank", "diff", data("valid.qbk"), data("renamed_keys.qbk")});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_EQ(same.out, "");

    const CtlRun changed = qavixctl({"bank", "diff", data("valid.qbk"), data("changed.qbk")});
    EXPECT_EQ(changed.exitCode, 1);
    EXPECT_EQ(changed.out,
              "CH1.ON_TH: 35 -> 45\n"
              "CH1.OFF_TH: 25 -> 35\n"
              "CONTROLLER.PIO_02: 0000 -> 8031\n"
              "CONTROLLER.AXIS_TH1_2: 40,40,40,40,40,40,40,40,40,40,40,40,40,40,40,40 -> "
              "48,40,40,40,40,40,40,40,40,40,40,40,40,40,40,40\n");

    const CtlRun reordered =
        qavixctl({"bank", "diff", data("valid.qbk"), data("reordered_keys.qbk")});
    EXPECT_EQ(reordered.exitCode, 1);
    EXPECT_EQ(reordered.out, "CH1.TYPE_2: 19 -> 0\nCH1.TYPE_3: 0 -> 19\n");
}

TEST(QavixctlBankDiff, FileErrorsExitTwo) {
    for (const char* other : {"no_such_file.qbk", "garbage.qbk"}) {
        const CtlRun run = qavixctl({"bank", "diff", data("valid.qbk"), data(other)});
        EXPECT_EQ(run.exitCode, 2) << other;
        EXPECT_EQ(run.out, "") << other;
        EXPECT_NE(run.err.find(other), std::string::npos) << other;
    }
}

TEST(Qavixctl, HelpOnEveryCommandAndUsageErrors) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                                 {"bank", "--help"},
                                                 {"bank", "check", "--help"},
                                                 {"bank", "show", "--help"},
                                                 {"bank", "diff", "--help"}}) {
        const CtlRun run = qavixctl(args);
        EXPECT_EQ(run.exitCode, 0) << ::testing::PrintToString(args);
        EXPECT_NE(run.out.find("Usage"), std::string::npos) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(qavixctl({}).exitCode, 64);
    EXPECT_EQ(qavixctl({"bank"}).exitCode, 64);
    EXPECT_EQ(qavixctl({"bank", "check"}).exitCode, 64);
    EXPECT_EQ(qavixctl({"bank", "diff", data("valid.qbk")}).exitCode, 64);
    EXPECT_EQ(qavixctl({"frobnicate"}).exitCode, 64);
}

}  // namespace
