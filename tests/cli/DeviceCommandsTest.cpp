// The device commands against the emulator built into the link library: every run of
// qavixctl starts with a controller fresh from the factory.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include <filesystem>
#include <string>
#include <vector>

#include "CtlProcess.h"
#include "FifoWriter.h"
#include "FileText.h"
#include "TempDir.h"
#include "files/TextFile.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

const char* const kAskCommSetup = "通信設定を行いますか？\n（キャンセルでQavixを終了します）\n";
const char* const kAskSettingMode =
    "エリアスキャナが設定モードとなっています。\nエリアスキャナをリセットします。\nよろしいですか？"
    "\n（キャンセルでQavixを終了します）\n";
const char* const kOverwrite =
    "インポート先に既に設定値が設定されています。\n上書きしてもよろしいですか？";
const char* const kInvalid = "Bankデータが無効です。インポートを中止します。";

CtlEnv simulated(const std::string& options, const std::string& workDir = std::string()) {
    return CtlEnv{workDir, {{"QAVLINK_COM1", "sim:" + options}}};
}

std::vector<std::string> withPort(std::vector<std::string> args) {
    args.insert(args.end(), {"--port", "COM1"});
    return args;
}

TEST(QavixctlInfo, PrintsTheControllerAndEachConnectedSensor) {
    struct Case {
        const char* sensors;
        std::vector<std::string> expected;
        const char* absent;
    };
    const Case cases[] = {
        {"40,32",
         {"形式: QX-AS300 CONTROLLER", "バージョン: 01.20\n", "ＩＤ: 000101\n",
          "シリアルNo.: 0300920\n", "接続センサ数: 2\n", "CH1 光軸数: 40\n", "CH1 ピッチ: 15mm\n",
          "CH1 バージョン: 1.2\n", "CH1 VER_R: 0103\n", "CH1 VER_E: 0102\n", "CH2 光軸数: 32\n",
          "CH2 ピッチ: 30mm\n"},
         "CH3 "},
        {"8,16,128",
         {"接続センサ数: 3\n", "CH1 光軸数: 8\n", "CH2 光軸数: 16\n", "CH3 光軸数: 128\n",
          "CH3 ピッチ: 15mm\n", "CH3 VER_E: 0102\n"},
         "CH4 "},
    };
    for (const Case& c : cases) {
        const CtlRun run =
            runCtl(simulated(std::string("--sensors ") + c.sensors), withPort({"info"}));
        ASSERT_EQ(run.exitCode, 0) << c.sensors << "\n" << run.err;
        for (const std::string& line : c.expected) {
            EXPECT_TRUE(contains(run.out, line)) << c.sensors << ": " << line << "\n" << run.out;
        }
        EXPECT_FALSE(contains(run.out, c.absent)) << c.sensors;
    }
}

TEST(QavixctlConnection, FailuresToConnectExitThree) {
    struct Case {
        const char* what;
        CtlEnv env;
        const char* message;
    };
    const Case cases[] = {
        // A port that cannot be opened is named, not reported as a cut line.
        {"missing device", CtlEnv{"", {{"QAVLINK_COM1", "/nonexistent/qavix-device"}}},
         "/nonexistent/qavix-device がありません"},
        {"missing library",
         CtlEnv{"", {{"QAVLINK_COM1", "sim"}, {"QAVLINK_LIBRARY", "/nonexistent/libqavlink.so"}}},
         "DLLのロードに失敗しました。Qavixを終了します"},
        {"setting mode refused", simulated("--state 1"), kAskSettingMode},
    };
    for (const Case& c : cases) {
        const CtlRun run = runCtl(c.env, withPort({"info"}));
        EXPECT_EQ(run.exitCode, 3) << c.what << "\n" << run.err;
        EXPECT_TRUE(contains(run.err, c.message)) << c.what << "\n" << run.err;
        EXPECT_EQ(run.out, "") << c.what;
    }
    // With --yes the controller is reset out of setting mode and answers.
    const CtlRun reset = runCtl(simulated("--state 1"), withPort({"--yes", "info"}));
    EXPECT_EQ(reset.exitCode, 0) << reset.err;
    EXPECT_TRUE(contains(reset.out, "接続センサ数: 2\n"));
}

TEST(QavixctlConnection, ConnectionLostDuringTheReadsExitsThree) {
    // The status check passes, then the controller falls silent in the middle of Read all.
    const CtlRun run =
        runCtl(simulated("--hang-after 20 --instant-timeout on"), withPort({"info"}));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(
        run.err,
        "エリアスキャナとの通信が断絶しました。\n通信設定を確認して下さい。\nQavixを終了します。"
        "\n");
    EXPECT_EQ(run.out, "");
}

// A bank file whose controller type is short (filled with 00, as the format allows) or holds
// another control byte passes its checks; the emulator started from it answers with a type
// the program cannot read. Every command that reads it says so instead of ending silently.
TEST(QavixctlConnection, AnAnswerThatCannotBeReadIsNamed) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    ASSERT_EQ(runCtl(simulated(""), withPort({"bank", "export", "0", dir + "/g.qbk"})).exitCode, 0);
    const std::string golden = readBytes(dir + "/g.qbk");
    const size_t type = golden.find("\r\nTYPE=");
    ASSERT_NE(type, std::string::npos);
    std::string controlByte = "5101";  // "Q", then the control character 0x01, then blanks
    while (controlByte.size() < 40) {
        controlByte += "20";
    }
    const std::string shortType = "5158" + std::string(36, '0');  // "QX", filled with 00
    for (const std::string& typeBytes : {shortType, controlByte}) {
        SCOPED_TRACE(typeBytes);
        std::string edited = golden;
        edited.replace(type + 7, typeBytes.size(), typeBytes);
        const std::string file = dir + "/odd.qbk";
        std::ofstream(file, std::ios::binary) << edited;
        ASSERT_EQ(runCtl(CtlEnv{dir, {}}, {"bank", "check", file}).exitCode, 0);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"info"},
              std::vector<std::string>{"bank", "export", "0", dir + "/out.qbk"}}) {
            const CtlRun run = runCtl(simulated("--bank-file " + file), withPort(args));
            EXPECT_EQ(run.exitCode, 1) << args[0];
            EXPECT_TRUE(contains(run.err, "コントローラの応答をプログラムが読めません"))
                << args[0] << ": " << run.err;
        }
    }
}

TEST(QavixctlConnection, PortAndUnitAnywhereOnTheLineOrFromQavixIni) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlEnv env{dir, {{"QAVLINK_COM3", "sim:--unit 2"}}};
    // Options before and after the subcommand.
    EXPECT_EQ(runCtl(env, {"--port", "COM3", "clock", "--unit", "2"}).exitCode, 0);
    EXPECT_EQ(runCtl(env, {"clock", "--unit=2", "--port=com3"}).exitCode, 0);
    // Qavix.ini chooses when the command line does not.
    std::string ini = "[Qavix_Section]\r\nActivePort=2\r\nActiveMachine=2\r\n";
    ASSERT_TRUE(textfile::writeText(dir + "/Qavix.ini", ini).ok);
    EXPECT_EQ(runCtl(env, {"clock"}).exitCode, 0);
    // A unit the controller does not answer to is no connection.
    const CtlRun other = runCtl(env, {"clock", "--unit", "1"});
    EXPECT_EQ(other.exitCode, 3);
    EXPECT_TRUE(contains(other.err, kAskCommSetup));
    // A unit that never answered is named, not called a cut line.
    EXPECT_TRUE(contains(other.err, "通信ポート COM3 の内蔵エミュレータが応答しません"))
        << other.err;
    EXPECT_FALSE(contains(other.err, "断絶")) << other.err;
}

// Qavix.ini that is no settings file (damaged, binary, far too large) chooses nothing: the
// command says so once and goes on with the defaults, as the program does.
TEST(QavixctlConnection, AnUnusableQavixIniIsSaidOnceAndTheDefaultsAreUsed) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    // Read, it would send the command to COM3, which leads nowhere.
    const std::string choosesCom3 = "[Qavix_Section]\r\nActivePort=2\r\n";
    std::string huge = choosesCom3;
    huge.resize(16 * 1024 * 1024 + 1, ';');
    const std::string cases[] = {
        choosesCom3 + std::string("[Ports]\r\nCOM3=sim\0x\r\n", 22),
        choosesCom3 + "\x7f\x45\x4c\x46\x02\x01\x01",
        choosesCom3 + "TITLE=\x83",
        huge,
    };
    const CtlEnv env{dir, {{"QAVLINK_COM1", "sim"}}};
    for (const std::string& ini : cases) {
        SCOPED_TRACE(ini.substr(0, 40));
        std::ofstream(dir + "/Qavix.ini", std::ios::binary) << ini;
        const CtlRun run = runCtl(env, {"clock"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string note = "。既定の設定を使います\n";
        EXPECT_EQ(occurrences(run.err, note), 1u) << run.err;
        EXPECT_EQ(run.err.rfind("Qavix.ini: ", 0), 0u) << run.err;
    }
}

// Names from the environment or Qavix.ini reach the terminal with their control characters
// written out, never as the bytes that would act on it.
TEST(QavixctlConnection, ControlCharactersOfAPortAreShownEscaped) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlRun fromEnvironment =
        runCtl(CtlEnv{dir, {{"QAVLINK_COM1", "/dev/\x1b[2Jnone\x9b"}}}, withPort({"info"}));
    EXPECT_EQ(fromEnvironment.exitCode, 3);
    EXPECT_TRUE(contains(fromEnvironment.err, "/dev/\\x1B[2Jnone\\x9B")) << fromEnvironment.err;
    // COM6: the machine's sixth serial device stands in for the refused file's mapping.
    std::ofstream(dir + "/Qavix.ini", std::ios::binary) << "[Ports]\r\nCOM6=/dev/\x1b[31mred\r\n";
    const CtlRun fromIni = runCtl(CtlEnv{dir, {}}, {"info", "--port", "COM6"});
    EXPECT_EQ(fromIni.exitCode, 3);
    EXPECT_TRUE(contains(fromIni.err, "Qavix.ini: 制御文字 \\x1B があります")) << fromIni.err;
    for (const CtlRun& run : {fromEnvironment, fromIni}) {
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << run.out;
    }
}

TEST(QavixctlConnection, UsageErrors) {
    const CtlEnv env = simulated("");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info", "--port", "COM7"},
                                                 {"info", "--port", "ttyS0"},
                                                 {"info", "--unit", "100"},
                                                 {"bank", "export", "5", "x.qbk"},
                                                 {"bank", "import", "x.qbk"},
                                                 {"bank", "import", "x.qbk", "--to", "-1"},
                                                 {"clock", "extra"}}) {
        EXPECT_EQ(runCtl(env, args).exitCode, 64) << ::testing::PrintToString(args);
    }
}

TEST(QavixctlImport, CompatibleTargetIsNotOverwrittenWithoutYes) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    ASSERT_EQ(runCtl(simulated("", dir), withPort({"bank", "export", "2", "b2.qbk"})).exitCode, 0);
    const CtlRun run = runCtl(simulated("--log requests.log", dir),
                              withPort({"bank", "import", "b2.qbk", "--to", "3"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.err, kOverwrite)) << run.err;
    // Read, but nothing started or written.
    const std::string log = readBytes(dir + "/requests.log");
    EXPECT_TRUE(contains(log, "GP,150")) << log;
    EXPECT_FALSE(contains(log, "SS")) << log;
    EXPECT_FALSE(contains(log, "PP,")) << log;
}

TEST(QavixctlImport, FilesThatDoNotFitAreRefused) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    ASSERT_EQ(runCtl(simulated("--sensors 40,32,16", dir),
                     withPort({"bank", "export", "0", "three.qbk", "--title", "三台"}))
                  .exitCode,
              0);
    const CtlRun foreign = runCtl(simulated("--sensors 40,32 --log requests.log", dir),
                                  withPort({"--yes", "bank", "import", "three.qbk", "--to", "1"}));
    EXPECT_EQ(foreign.exitCode, 2);
    EXPECT_EQ(foreign.err, std::string(kInvalid) + "\n");
    EXPECT_FALSE(contains(readBytes(dir + "/requests.log"), "PP,"));

    // A file's own faults are found before any connection is made.
    const CtlEnv nowhere{dir, {{"QAVLINK_COM1", "/nonexistent/qavix-device"}}};
    const CtlRun range =
        runCtl(nowhere, withPort({"--yes", "bank", "import",
                                  QAVIX_CLI_TEST_DATA "/on_off_equal.qbk", "--to", "0"}));
    EXPECT_EQ(range.exitCode, 2);
    EXPECT_EQ(
        range.err,
        "インポートしたデータが異常です。\nファイルの内容を確認して下さい。\n（ON_OFF_TH1）\n");
    const CtlRun missing = runCtl(nowhere, withPort({"bank", "import", "none.qbk", "--to", "2"}));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(contains(missing.err, "指定されたファイルを開くことが出来ませんでした。"));
    // A FIFO is refused before it is opened, not waited on.
    qavix::test::FifoWriter fifo(dir + "/fifo.qbk");
    ASSERT_TRUE(fifo.made());
    fifo.rescueReaders();
    const CtlRun fromFifo = runCtl(nowhere, withPort({"bank", "import", fifo.path(), "--to", "2"}));
    EXPECT_EQ(fromFifo.exitCode, 2);
    EXPECT_TRUE(contains(fromFifo.err, fifo.path() + ": FIFO です（通常のファイルではありません）"))
        << fromFifo.err;
}

TEST(QavixctlExport, ErasedBankIsNotExported) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string scenario = dir + "/erased.ini";
    ASSERT_TRUE(textfile::writeText(scenario, "[bank4]\nclear = 1\n").ok);
    const CtlRun run = runCtl(simulated("--scenario " + scenario, dir),
                              withPort({"bank", "export", "4", "b4.qbk"}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir + "/b4.qbk"));
}

TEST(QavixctlErrors, PrintsTheTwentyRowsAndSavesThemAsCsv) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlRun run = runCtl(simulated("", dir), withPort({"errors", "--csv", "Error.csv"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> rows = lines(run.out);
    ASSERT_EQ(rows.size(), 21u) << run.out;
    EXPECT_EQ(rows[0], "No.\t日付\tエラーNo.\tエラ－内容\t発生シリアルNo.");
    // The factory log: a setting error, mutual interference, a wiring fault, then empties.
    EXPECT_TRUE(contains(rows[1], "\tC8\t設定エラー\t")) << rows[1];
    EXPECT_TRUE(contains(rows[2], "\tA2\t相互干渉エラー\t")) << rows[2];
    EXPECT_TRUE(contains(rows[3], "\t35\t配線異常\t")) << rows[3];
    EXPECT_EQ(rows[1].rfind("1\t23/", 0), 0u) << rows[1];
    for (int k = 4; k <= 20; ++k) {
        EXPECT_EQ(rows[static_cast<size_t>(k)], std::to_string(k) + "\t---\t---\t---\t---");
    }

    const std::string bytes = readBytes(dir + "/Error.csv");
    const std::string header = "No.,\x93\xfa\x95t,";  // "No.,日付," in Shift-JIS
    EXPECT_EQ(bytes.compare(0, header.size(), header), 0);
    const textfile::TextReadResult csv = textfile::readText(dir + "/Error.csv");
    ASSERT_TRUE(csv.ok());
    EXPECT_FALSE(csv.lossy);
    const std::vector<std::string> csvLines = textfile::splitLines(csv.text);
    ASSERT_EQ(csvLines.size(), 21u);
    size_t crlf = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) {
        ++crlf;
    }
    EXPECT_EQ(crlf, 21u);
    EXPECT_EQ(csvLines[0], "No.,日付,エラーNo.,エラー内容,発生シリアルNo.,");
    EXPECT_TRUE(contains(csvLines[1], ",C8,設定エラー,")) << csvLines[1];
    EXPECT_EQ(csvLines[20], "No.20,---,---,---,---");

    const CtlRun unwritable =
        runCtl(simulated("", dir), withPort({"errors", "--csv", "/nonexistent/dir/Error.csv"}));
    EXPECT_EQ(unwritable.exitCode, 2);
    EXPECT_TRUE(contains(unwritable.err, "ファイル,オープンできません"));

    // "-": standard output carries the CSV alone, byte for byte what the file holds.
    const CtlRun piped = runCtl(simulated("", dir), withPort({"errors", "--csv", "-"}));
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out, bytes);
    EXPECT_FALSE(std::filesystem::exists(dir + "/-"));
}

// Every command that saves what it read from the controller finds out before connecting
// that the result could not be kept: after a long scan or log it would be lost.
TEST(QavixctlOutput, TargetsThatCannotBeKeptAreRefusedBeforeConnecting) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string readOnly = dir + "/kept.csv";
    std::ofstream(readOnly) << "kept";
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string missingFolder = dir + "/no/such";
    // A port that does not exist: a command that tried to connect would exit 3.
    const CtlEnv nowhere{dir, {{"QAVLINK_COM1", dir + "/no-such-port"}}};
    for (const std::string& target :
         {fifo, readOnly, std::string("/dev/full"), missingFolder + "/out.csv"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"bank", "export", "1", target},
              {"errors", "--csv", target},
              {"scan", "--csv", target},
              {"levels", "--csv", target}}) {
            SCOPED_TRACE(::testing::PrintToString(args));
            const CtlRun run = runCtl(nowhere, withPort(args));
            EXPECT_EQ(run.exitCode, 2) << run.err;
            EXPECT_EQ(occurrences(run.err, target), 1u) << run.err;
            EXPECT_FALSE(contains(run.err, "no-such-port")) << "tried to connect: " << run.err;
            EXPECT_EQ(run.out, "");
        }
    }
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(readBytes(readOnly), "kept");
    EXPECT_FALSE(std::filesystem::exists(dir + "/no"));
}

TEST(QavixctlExport, DashWritesTheBankFileToStandardOutput) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlRun saved =
        runCtl(simulated("", dir), withPort({"bank", "export", "1", "b1.qbk", "--title", "t"}));
    const CtlRun printed =
        runCtl(simulated("", dir), withPort({"bank", "export", "1", "-", "--title", "t"}));
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_FALSE(std::filesystem::exists(dir + "/-"));
    // Equal but for the time of writing in DATE.
    auto withoutDate = [](std::string text) {
        const size_t at = text.find("DATE=");
        return at == std::string::npos ? text : text.erase(at, text.find('\r', at) - at);
    };
    const std::string file = readBytes(dir + "/b1.qbk");
    EXPECT_NE(file.find("DATE="), std::string::npos);
    EXPECT_EQ(withoutDate(printed.out), withoutDate(file));
}

}  // namespace
// What a plant keeps (bank files, the error log's CSV) is the same in every language, to the
// byte: scripts parse it. Only the bank file's date may differ between two runs.
TEST(QavixctlLanguage, StoredValuesAreTheSameInEveryLanguage) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const auto output = [&dir](const char* language, std::vector<std::string> args) {
        args.insert(args.begin(), {"--lang", language});
        const CtlRun run = runCtl(simulated("--sensors 40,32", dir), withPort(args));
        EXPECT_EQ(run.exitCode, 0) << language << ": " << run.err;
        return run.out;
    };
    const auto withoutDate = [](std::string text) {
        const size_t date = text.find("DATE=");
        return date == std::string::npos ? text : text.erase(date, text.find('\n', date) - date);
    };
    const std::string bankJa = output("ja", {"bank", "export", "0", "-"});
    ASSERT_NE(bankJa.find("DATE="), std::string::npos) << bankJa;
    EXPECT_EQ(withoutDate(output("en", {"bank", "export", "0", "-"})), withoutDate(bankJa));
    const std::string csvJa = output("ja", {"errors", "--csv", "-"});
    ASSERT_FALSE(csvJa.empty());
    EXPECT_EQ(output("en", {"errors", "--csv", "-"}), csvJa);
}

}  // namespace qavix::cli::test
