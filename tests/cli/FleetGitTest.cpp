// qavixctl fleet backup --git, history and diff, hooks, metrics and push, with Debian's git
// and the Prometheus text parser as outside readers.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "BankText.h"
#include "CtlProcess.h"
#include "FileText.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "files/Json.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string section(const std::string& name, const std::string& port,
                    const std::string& extra = "banks = none\n") {
    return "[" + name + "]\nport = " + port + "\nunit = 0\n" + extra;
}

// A program of the system (git, python3) run in `dir` with its output collected (beside the
// test's folders, not in `dir`: a repository's status must not see it).
ProcessResult runTool(const std::string& dir, const std::vector<std::string>& argv) {
    ProcessSetup setup;
    setup.workDir = dir;
    return runProcess(argv, setup);
}

// Debian's git as an outside reader, also of a repository another user owns.
ProcessResult git(const std::string& dir, const std::vector<std::string>& args) {
    std::vector<std::string> argv{"git",         "-c", "safe.directory=*", "-c",
                                  "user.name=t", "-c", "user.email=t@t"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runTool(dir, argv);
}

std::vector<std::string> gitLog(const std::string& repo) {
    return lines(git(repo, {"log", "--format=%H"}).out);
}

// Three controllers on ptys, backed up three times into a repository; between the first and
// the second run one threshold of line-2 changes through an import (hexadecimal 3C = 60).
class FleetGit : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const SimProcess* sim : {&one, &two, &three}) {
            ASSERT_FALSE(sim->device().empty());
        }
        writeFile(dir + "/plant.ini", section("line-1", one.device(), "banks = 1\n") +
                                          section("line-2", two.device()) +
                                          section("line-3", three.device()));
    }

    CtlRun backup(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{"fleet", "backup", "plant.ini", "--git", "repo"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runCtl(env, args);
    }

    void changeLineTwo() {
        const CtlEnv atTwo{dir, {{"QAVLINK_COM1", two.device()}}};
        ASSERT_EQ(runCtl(atTwo, {"bank", "export", "0", "before.qbk", "--port", "COM1"}).exitCode,
                  0);
        const std::string changed =
            qavix::cli::test::withBankValue(readBytes(dir + "/before.qbk"), "AXIS_TH1_1", "3C");
        ASSERT_FALSE(changed.empty());
        writeFile(dir + "/changed.qbk", changed);
        const CtlRun import = runCtl(
            atTwo, {"bank", "import", "changed.qbk", "--to", "0", "--yes", "--port", "COM1"});
        ASSERT_EQ(import.exitCode, 0) << import.err;
    }

    SimProcess one{{"--sensors", "40,32"}};
    SimProcess two{{"--sensors", "128"}};
    SimProcess three{{"--sensors", "8,16,24"}};
    const TempDir tmp;
    std::string dir = tmp.str();
    std::string repo = dir + "/repo";
    CtlEnv env{dir, {}};
};

TEST_F(FleetGit, OneCommitPerChangeNamingTheFieldAndHistoryAndDiffAgreeWithGit) {
    const CtlRun first = backup();
    ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
    EXPECT_NE(first.out.find("バックアップ repo へ: 3 台のうち 3 台を保存しました"),
              std::string::npos)
        << first.out;
    ASSERT_NO_FATAL_FAILURE(changeLineTwo());
    const CtlRun second = backup();
    ASSERT_EQ(second.exitCode, 0) << second.out << second.err;
    const CtlRun third = backup();
    ASSERT_EQ(third.exitCode, 0) << third.out << third.err;
    EXPECT_NE(third.out.find("変わった設定はありません。コミットしません"), std::string::npos)
        << third.out;

    const std::vector<std::string> commits = gitLog(repo);
    ASSERT_EQ(commits.size(), 2u);
    const std::string message = git(repo, {"log", "-1", "--format=%an <%ae>%n%B"}).out;
    EXPECT_EQ(message.rfind("qavix fleet backup <", 0), 0u) << message;
    EXPECT_NE(message.find("qavix fleet backup: 1 changed, 0 new, 0 failed, 2 unchanged"),
              std::string::npos)
        << message;
    std::smatch field;
    ASSERT_TRUE(std::regex_search(
        message, field, std::regex(R"(\nline-2: CONTROLLER\.AXIS_TH1_1 beam 1: (\d+) -> 60\n)")))
        << message;
    const std::string old = field[1];
    EXPECT_EQ(git(repo, {"show", "--name-only", "--format=", "HEAD"}).out,
              "line-2/current.qbk\nmanifest.json\n");
    EXPECT_EQ(git(repo, {"status", "--porcelain"}).out, "");

    // History: the same versions as git log, with the one field in the last.
    const CtlRun history =
        runCtl(env, {"fleet", "history", "plant.ini", "--git", "repo", "--json"});
    ASSERT_EQ(history.exitCode, 0) << history.err;
    std::string error;
    const auto doc = json::parse(history.out, error);
    ASSERT_TRUE(doc) << error << history.out;
    const auto& entries = doc->find("commits")->items();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].stringOf("commit"), commits[0]);
    EXPECT_EQ(entries[1].stringOf("commit"), commits[1]);
    const json::Value& changed = entries[0].find("controllers")->items().at(0);
    EXPECT_EQ(changed.stringOf("name"), "line-2");
    ASSERT_EQ(changed.find("changes")->items().size(), 1u);
    EXPECT_EQ(changed.find("changes")->items()[0].stringOf("before"), old);
    const CtlRun lineOne =
        runCtl(env, {"fleet", "history", "plant.ini", "line-1", "--git", "repo"});
    ASSERT_EQ(lineOne.exitCode, 0) << lineOne.err;
    EXPECT_EQ(lineOne.out.find(commits[0].substr(0, 12)), std::string::npos) << lineOne.out;
    EXPECT_NE(lineOne.out.find(commits[1].substr(0, 12)), std::string::npos) << lineOne.out;

    // Diff of the two versions agrees with bank diff of the files git shows.
    for (const auto& [rev, file] : {std::pair{"HEAD~1", "a.qbk"}, std::pair{"HEAD", "b.qbk"}}) {
        writeFile(dir + "/" + file,
                  git(repo, {"show", std::string(rev) + ":line-2/current.qbk"}).out);
    }
    const CtlRun bankDiff = runCtl(env, {"bank", "diff", "a.qbk", "b.qbk"});
    EXPECT_EQ(bankDiff.exitCode, 1);
    EXPECT_TRUE(std::regex_match(
        bankDiff.out, std::regex("CONTROLLER\\.AXIS_TH1_1: " + old + ",[0-9,]+ -> 60,[0-9,]+\n")))
        << bankDiff.out;
    const CtlRun diff =
        runCtl(env, {"fleet", "diff", "plant.ini", "line-2", "HEAD~1", "HEAD", "--git", "repo"});
    EXPECT_EQ(diff.exitCode, 1) << diff.err;
    EXPECT_EQ(diff.out, "CONTROLLER.AXIS_TH1_1 beam 1: " + old + " -> 60\n");
    // The live controller is what the last version holds; the one before differs from it.
    const CtlRun live = runCtl(env, {"fleet", "diff", "plant.ini", "line-2", "--git", "repo"});
    EXPECT_EQ(live.exitCode, 0) << live.out << live.err;
    const CtlRun older =
        runCtl(env, {"fleet", "diff", "plant.ini", "line-2", commits[1], "--git", "repo"});
    EXPECT_EQ(older.exitCode, 1) << older.err;
    EXPECT_EQ(older.out, diff.out);
}

// A hook script that keeps its arguments, environment and input in OUT/RESULT-N.txt.
const char* const kRecordingHook = R"(#!/bin/sh
out="$1"; shift
n=$(ls "$out" | wc -l)
{ printf 'arg=%s\n' "$@"; printf 'controller=%s\nresult=%s\ncommit=%s\nplant=%s\n' \
  "$QAVIX_CONTROLLER" "$QAVIX_RESULT" "$QAVIX_COMMIT" "$QAVIX_PLANT"; cat; } > "$out/$QAVIX_RESULT-$n.txt"
exit 1
)";

TEST(FleetGitHooks, HooksGetNamesIntactAndNeitherAFailingNorAHangingHookChangesTheExit) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string hostile = "line 7 'x' $(touch pwned) `touch pwned2`";
    writeFile(dir + "/plant.ini", section(hostile, "sim:--sensors 40") + section("press", "sim"));
    writeFile(dir + "/hook.sh", kRecordingHook);
    fs::permissions(dir + "/hook.sh", fs::perms::owner_all);
    fs::create_directories(dir + "/calls");
    const CtlEnv env{dir, {}};
    ASSERT_EQ(runCtl(env, {"fleet", "backup", "plant.ini", "--git", "repo", "-q"}).exitCode, 0);

    // The stored threshold of beam 1 edited by hand: the next run finds the controller changed.
    const std::string stored = dir + "/repo/" + hostile + "/current.qbk";
    const std::string edited =
        qavix::cli::test::withBankValue(readBytes(stored), "AXIS_TH1_1", "3C");
    ASSERT_FALSE(edited.empty());
    writeFile(stored, edited);
    ASSERT_EQ(git(dir + "/repo", {"commit", "-q", "-a", "-m", "edited"}).exitCode, 0);
    // The hook from the configuration file, as a service runs it.
    writeFile(dir + "/fleet.conf",
              "[fleet-backup]\nplant = plant.ini\ngit = repo\n"
              "on-change = ./hook.sh calls \"two words\" '$(touch pwned3)'\n");
    const CtlRun changed = runCtl(env, {"fleet", "backup", "--config", "fleet.conf"});
    EXPECT_EQ(changed.exitCode, 0) << changed.out << changed.err;
    EXPECT_NE(changed.err.find(hostile + " のフック --on-change: 終了コード 1"), std::string::npos)
        << changed.err;
    const std::string head = lines(git(dir + "/repo", {"rev-parse", "HEAD"}).out).at(0);
    const std::string call = readBytes(dir + "/calls/changed-0.txt");
    EXPECT_EQ(call.substr(0, call.find('{')),
              "arg=two words\narg=$(touch pwned3)\ncontroller=" + hostile +
                  "\nresult=changed\ncommit=" + head + "\nplant=plant.ini\n");
    std::string error;
    const auto input = json::parse(call.substr(call.find('{')), error);
    ASSERT_TRUE(input) << error << call;
    EXPECT_EQ(input->stringOf("controller"), hostile);
    ASSERT_EQ(input->find("changes")->items().size(), 1u);
    const json::Value& change = input->find("changes")->items()[0];
    EXPECT_EQ(change.stringOf("field"), "CONTROLLER.AXIS_TH1_1");
    EXPECT_EQ(change.stringOf("before"), "60");
    EXPECT_EQ(change.stringOf("element"), "beam 1");
    for (const char* file : {"pwned", "pwned2", "pwned3"}) {
        EXPECT_FALSE(fs::exists(dir + "/" + file)) << file;
        EXPECT_FALSE(fs::exists(dir + "/calls/" + file)) << file;
    }

    // A controller that fails, and a failure hook that never ends: killed at its time-out.
    writeFile(dir + "/plant.ini",
              readBytes(dir + "/plant.ini") +
                  section("pulled", "sim:--hang-after 20 --instant-timeout on"));
    const CtlRun failed =
        runCtl(env, {"fleet", "backup", "plant.ini", "--git", "repo", "--hook-timeout", "0.5",
                     "--on-failure", "/bin/sleep", "600"});
    EXPECT_EQ(failed.exitCode, 1) << failed.out << failed.err;
    EXPECT_NE(failed.err.find("pulled のフック --on-failure: 制限時間 0.5 秒を過ぎたため強制終了"),
              std::string::npos)
        << failed.err;
    EXPECT_EQ(gitLog(dir + "/repo").size(), 3u) << "a failure alone makes no version";
}

// Repositories a backup cannot use: each a clear error (exit 2), with the dated folder of
// --out still written and the repository as it was.
TEST(FleetGitErrors, LockedForeignAndReadOnlyRepositoriesLoseNothing) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    writeFile(dir + "/plant.ini", section("a", "sim"));
    const CtlEnv env{dir, {}};
    ASSERT_EQ(runCtl(env, {"fleet", "backup", "plant.ini", "--git", "repo", "-q"}).exitCode, 0);
    const auto countRuns = [&](const std::string& out) {
        size_t n = 0;
        for (const auto& run : fs::directory_iterator(dir + "/" + out)) {
            n += fs::exists(run.path() / "a/current.qbk") ? 1 : 0;
        }
        return n;
    };

    writeFile(dir + "/repo/.git/index.lock", "");
    const CtlRun locked =
        runCtl(env, {"fleet", "backup", "plant.ini", "--git", "repo", "--out", "out"});
    EXPECT_EQ(locked.exitCode, 2) << locked.out << locked.err;
    EXPECT_NE(locked.err.find("別の git プロセスがロックしています"), std::string::npos)
        << locked.err;
    EXPECT_EQ(countRuns("out"), 1u);
    fs::remove(dir + "/repo/.git/index.lock");

    fs::create_directories(dir + "/notes");
    writeFile(dir + "/notes/todo.txt", "x");
    const CtlRun foreign =
        runCtl(env, {"fleet", "backup", "plant.ini", "--git", "notes", "--out", "out"});
    EXPECT_EQ(foreign.exitCode, 2) << foreign.err;
    EXPECT_NE(foreign.err.find("notes: git リポジトリではありません"), std::string::npos)
        << foreign.err;
    EXPECT_EQ(countRuns("out"), 2u);
    // Without --out nothing could be saved: the run ends before any controller is read.
    const CtlRun nowhere = runCtl(env, {"fleet", "backup", "plant.ini", "--git", "notes"});
    EXPECT_EQ(nowhere.exitCode, 2);
    EXPECT_EQ(nowhere.out.find("a: "), std::string::npos) << nowhere.out;

    // Root writes anything whatever its mode: the run goes without the capabilities that
    // let it, as any other user of a read-only repository would.
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0) {
        GTEST_SKIP() << "needs root and setpriv to run without the capability to override modes";
    }
    // The stored file edited, so that the next run has a version to write.
    writeFile(dir + "/repo/a/current.qbk",
              qavix::cli::test::withBankValue(readBytes(dir + "/repo/a/current.qbk"), "AXIS_TH1_1",
                                              "3C"));
    ASSERT_EQ(git(dir + "/repo", {"commit", "-q", "-a", "-m", "edited"}).exitCode, 0);
    const std::vector<std::string> before = gitLog(dir + "/repo");
    for (const auto& entry : fs::recursive_directory_iterator(dir + "/repo")) {
        if (!entry.is_symlink()) {
            fs::permissions(
                entry.path(),
                fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        }
    }
    fs::permissions(dir + "/repo",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    fs::create_directories(dir + "/open");
    const ProcessResult readOnly =
        runTool(dir, {"setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", QAVIXCTL,
                      "fleet", "backup", "plant.ini", "--git", "repo", "--out", "open"});
    EXPECT_EQ(readOnly.exitCode, 2) << readOnly.out << readOnly.err;
    EXPECT_NE(readOnly.err.find("repo: 書き込めません"), std::string::npos) << readOnly.err;
    EXPECT_EQ(countRuns("open"), 1u);
    EXPECT_EQ(gitLog(dir + "/repo"), before);
}

// Metrics of three runs (the last success outlives a failure) read by the Prometheus
// client's parser, and a push that fails and then catches up.
TEST(FleetGitMetrics, MetricsParseAndAFailedPushIsDoneByTheNextRun) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlEnv env{dir, {{"QAVLINK_COM1", "sim"}}};
    ASSERT_EQ(runCtl(env, {"bank", "export", "0", "same.qbk", "--port", "COM1"}).exitCode, 0);
    writeFile(dir + "/drifted.qbk",
              qavix::cli::test::withBankValue(readBytes(dir + "/same.qbk"), "AXIS_TH1_1", "3C"));
    const std::string plant = section("same", "sim", "banks = none\ngolden = same.qbk\n") +
                              section("drifted", "sim", "banks = none\ngolden = drifted.qbk\n");
    writeFile(dir + "/plant.ini", plant + section("flaky", "sim"));
    ASSERT_EQ(git(dir, {"init", "-q", "--bare", "remote.git"}).exitCode, 0);
    ASSERT_EQ(git(dir, {"init", "-q", "repo"}).exitCode, 0);
    ASSERT_EQ(git(dir + "/repo", {"remote", "add", "backup", dir + "/missing.git"}).exitCode, 0);

    const std::vector<std::string> run = {"fleet",     "backup", "plant.ini", "--git", "repo",
                                          "--metrics", "m.prom", "--push",    "backup"};
    const CtlRun first = runCtl(env, run);
    EXPECT_EQ(first.exitCode, 1) << "the push failed: " << first.out << first.err;
    EXPECT_NE(first.err.find("backup への push に失敗しました"), std::string::npos) << first.err;
    EXPECT_NE(first.err.find("次の実行で再試行します"), std::string::npos) << first.err;
    ASSERT_EQ(git(dir + "/repo", {"remote", "set-url", "backup", dir + "/remote.git"}).exitCode, 0);

    writeFile(dir + "/plant.ini",
              plant + section("flaky", "sim:--hang-after 20 --instant-timeout on"));
    const CtlRun second = runCtl(env, run);
    EXPECT_EQ(second.exitCode, 1) << "flaky failed: " << second.out << second.err;
    EXPECT_EQ(second.err.find("push"), std::string::npos) << second.err;
    EXPECT_EQ(gitLog(dir + "/remote.git"), gitLog(dir + "/repo"));

    const ProcessResult parsed =
        runTool(dir, {"/usr/bin/python3", "-c",
                      "import json, sys\n"
                      "from prometheus_client.parser import text_string_to_metric_families\n"
                      "samples = {}\n"
                      "for family in text_string_to_metric_families(open('m.prom').read()):\n"
                      "    for s in family.samples:\n"
                      "        samples[s.name + ' ' + s.labels['controller']] = s.value\n"
                      "print(json.dumps(samples))\n"});
    ASSERT_EQ(parsed.exitCode, 0) << parsed.out;
    std::string error;
    const auto samples = json::parse(parsed.out, error);
    ASSERT_TRUE(samples) << error << parsed.out;
    const auto value = [&](const std::string& key) {
        const json::Value* v = samples->find(key);
        return v != nullptr ? v->asNumber() : -1.0;
    };
    const std::string last = "qavix_fleet_backup_last_success_timestamp_seconds ";
    EXPECT_EQ(value("qavix_fleet_backup_success same"), 1);
    EXPECT_EQ(value("qavix_fleet_backup_success flaky"), 0);
    EXPECT_EQ(value("qavix_fleet_drift same"), 0);
    EXPECT_EQ(value("qavix_fleet_drift drifted"), 1);
    EXPECT_EQ(samples->find("qavix_fleet_drift flaky"), nullptr);
    const double now = static_cast<double>(std::time(nullptr));
    EXPECT_GT(value(last + "same"), now - 600);
    // flaky's last success is the first run's, not lost with the second.
    EXPECT_GT(value(last + "flaky"), now - 600);
    EXPECT_LT(value(last + "flaky"), value(last + "same"));
    EXPECT_EQ(samples->members().size(), 8u) << parsed.out;
}

}  // namespace
}  // namespace qavix::cli::test
