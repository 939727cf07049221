// The change journal as qavixctl keeps and shows it: every write leaves one start and one
// end record naming the fields `bank diff` shows between exports before and after; a
// journal that cannot be written stops the write before anything reaches the controller.

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "BankText.h"
#include "CtlProcess.h"
#include "FileText.h"
#include "SimProcess.h"
#include "SmallTmpfs.h"
#include "TempDir.h"
#include "files/Json.h"
#include "journal/Journal.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

struct Controller {
    CtlEnv env;
    std::string journal;
};

Controller onDevice(const SimProcess& sim, const std::string& dir) {
    return {CtlEnv{dir, {{"QAVLINK_COM1", sim.device()}}}, dir + "/journal"};
}

CtlRun ctl(const Controller& c, std::vector<std::string> args) {
    args.insert(args.end(), {"--port", "COM1", "--journal", c.journal});
    return runCtl(c.env, args);
}

void expectRun(const Controller& c, const std::vector<std::string>& args, int exitCode = 0) {
    const CtlRun run = ctl(c, args);
    EXPECT_EQ(run.exitCode, exitCode) << ::testing::PrintToString(args) << "\n" << run.err;
}

// `bank diff` of two exports as its lines.
std::set<std::string> diffLines(const Controller& c, const std::string& a, const std::string& b) {
    const CtlRun run = ctl(c, {"bank", "diff", a, b});
    EXPECT_EQ(run.exitCode, 1) << "the write changed nothing\n" << run.err;
    const std::vector<std::string> found = lines(run.out);
    return {found.begin(), found.end()};
}

std::set<std::string> changeLines(const json::Value& record, const char* key) {
    std::set<std::string> found;
    for (const json::Value& c : record.find(key)->items()) {
        found.insert(c.stringOf("field") + ": " + c.stringOf("old") + " -> " + c.stringOf("new"));
    }
    return found;
}

json::Value journalOf(const Controller& c) {
    const CtlRun run = ctl(c, {"journal", "--json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string error;
    const std::optional<json::Value> doc = json::parse(run.out, error);
    EXPECT_TRUE(doc.has_value()) << error << "\n" << run.out;
    return doc ? *doc : json::Value::object();
}

// The operations of an emulator's request log ("007PP,42,..." is a put parameter).
std::set<std::string> operations(const std::string& log) {
    std::set<std::string> ops;
    for (const std::string& line : lines(log)) {
        std::istringstream fields(line);
        std::string id, start, count, payload;
        fields >> id >> start >> count >> payload;
        if (payload.size() >= 5) {
            ops.insert(payload.substr(3, 2));
        }
    }
    return ops;
}

std::set<std::string> operator&(const std::set<std::string>& a, const std::set<std::string>& b) {
    std::set<std::string> both;
    for (const std::string& x : a) {
        if (b.count(x) != 0) {
            both.insert(x);
        }
    }
    return both;
}

// A copy of `from` with the CH1 ON_TH entry set to 0x30 (48).
void withNewThreshold(const std::string& from, const std::string& to) {
    std::ofstream(to, std::ios::binary) << withBankValue(readBytes(from), "ON_TH", "30");
}

TEST(QavixctlJournal, EveryWriteLeavesAStartAndAnEndWithTheFieldsBankDiffShows) {
    SimProcess sim({"--sensors", "40,32"});
    ASSERT_FALSE(sim.device().empty());
    const TempDir tmp;
    const std::string dir = tmp.str();
    const Controller c = onDevice(sim, dir);

    expectRun(c, {"bank", "export", "0", "before.qbk"});
    withNewThreshold(dir + "/before.qbk", dir + "/changed.qbk");
    expectRun(c, {"--yes", "--reason", "点検 No.7", "bank", "import", "changed.qbk", "--to", "0"});
    expectRun(c, {"bank", "export", "0", "after.qbk"});
    const std::set<std::string> currentDiff = diffLines(c, "before.qbk", "after.qbk");

    expectRun(c, {"bank", "export", "2", "bank2-before.qbk"});
    expectRun(c, {"--yes", "bank", "import", "before.qbk", "--to", "2"});
    expectRun(c, {"bank", "export", "2", "bank2-after.qbk"});
    const std::set<std::string> bankDiff = diffLines(c, "bank2-before.qbk", "bank2-after.qbk");

    expectRun(c, {"clock", "--sync"});
    const CtlRun info = ctl(c, {"info"});
    ASSERT_EQ(info.exitCode, 0) << info.err;

    const json::Value doc = journalOf(c);
    const std::vector<json::Value>& ops = doc.find("operations")->items();
    ASSERT_EQ(ops.size(), 3u) << json::write(doc);
    struct Expected {
        const char* target;
        const char* detail;
        std::set<std::string> changes;
    };
    const Expected expected[] = {{"current", "changed.qbk", currentDiff},
                                 {"bank2", "before.qbk", bankDiff}};
    for (size_t i = 0; i < 2; ++i) {
        const json::Value& start = *ops[i].find("start");
        const json::Value& end = *ops[i].find("end");
        EXPECT_EQ(ops[i].stringOf("status"), "ok");
        EXPECT_EQ(start.stringOf("operation"), "bank import");
        EXPECT_EQ(start.stringOf("target"), expected[i].target);
        EXPECT_EQ(start.stringOf("detail"), expected[i].detail);
        const json::Value& controller = *start.find("controller");
        EXPECT_TRUE(contains(info.out, "シリアルNo.: " + controller.stringOf("serial") + "\n") &&
                    contains(info.out, "ＩＤ: " + controller.stringOf("id") + "\n"))
            << info.out;
        EXPECT_EQ(changeLines(start, "changes"), expected[i].changes) << expected[i].target;
        EXPECT_EQ(changeLines(end, "written"), expected[i].changes) << expected[i].target;
        const std::string before = start.find("fingerprintBefore")->stringOf("sha256");
        const std::string after = end.find("fingerprintAfter")->stringOf("sha256");
        EXPECT_EQ(after, start.find("fingerprintAfter")->stringOf("sha256"));
        EXPECT_NE(before, after);
        EXPECT_EQ(before.size(), 64u);
    }
    EXPECT_EQ(ops[0].find("start")->stringOf("reason"), "点検 No.7");
    // One fingerprint for the controller's current values: in the journal, in `info`, in
    // `bank show` and the settings report of an export of them, and in the monitor's status.
    const std::string current = ops[0].find("end")->find("fingerprintAfter")->stringOf("short");
    EXPECT_TRUE(contains(info.out, "設定フィンガープリント: " + current + "\n")) << info.out;
    EXPECT_TRUE(
        contains(ctl(c, {"bank", "show", "after.qbk"}).out, "FINGERPRINT=" + current + "\n"));
    const CtlRun report = ctl(c, {"bank", "report", "after.qbk"});
    EXPECT_TRUE(contains(report.out, "設定フィンガープリント") && contains(report.out, current))
        << report.out;
    const CtlRun monitor = runCtl(
        c.env, {"monitor", "--jsonl", "-", "--once", "--state-file", dir + "/monitor.state"});
    EXPECT_TRUE(contains(monitor.out, R"("fingerprint":{"short":")" + current + "\""))
        << monitor.out << monitor.err;

    const json::Value& clock = *ops[2].find("end");
    EXPECT_EQ(clock.stringOf("operation"), "clock set");
    EXPECT_EQ(clock.stringOf("result"), "ok");
    ASSERT_EQ(clock.find("written")->items().size(), 1u);
    EXPECT_EQ(clock.find("written")->items()[0].stringOf("field"), "CONTROLLER.CLOCK");

    const CtlRun verify = ctl(c, {"journal", "verify"});
    EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
    EXPECT_TRUE(contains(verify.out, "6 件")) << verify.out;
}

// What a plant stores or a script parses does not follow the language: the records of the
// same write and the monitor's messages about the same controller, byte for byte, once the
// moment, the run's ids and the emulator's terminal are set aside.
std::string withoutRunDetails(const std::string& text) {
    static const std::regex moment(R"re("(time|id|prev|hash)":("[^"]*"|[0-9]+))re");
    static const std::regex terminal(R"(/dev/pts/[0-9]+)");
    return std::regex_replace(std::regex_replace(text, moment, "\"$1\":_"), terminal, "PTY");
}

TEST(QavixctlJournal, RecordsAndMonitorMessagesAreTheSameInEveryLanguage) {
    const TempDir tmp;
    std::map<std::string, std::string> records;
    std::map<std::string, std::string> messages;
    for (const std::string language : {"ja", "en"}) {
        SimProcess sim({"--sensors", "40,32"});
        ASSERT_FALSE(sim.device().empty());
        const std::string dir = tmp.str() + "/" + language;
        std::filesystem::create_directory(dir);
        Controller c = onDevice(sim, dir);
        c.env.vars.emplace_back("QAVIX_LANG", language);
        expectRun(c, {"bank", "export", "0", "before.qbk"});
        withNewThreshold(dir + "/before.qbk", dir + "/changed.qbk");
        expectRun(c, {"--yes", "--reason", "点検", "bank", "import", "changed.qbk", "--to", "0"});
        for (const std::string& file : journal::journalFiles(c.journal)) {
            records[language] += withoutRunDetails(readBytes(file));
        }
        const CtlRun monitor = runCtl(
            c.env, {"monitor", "--jsonl", "-", "--once", "--state-file", dir + "/monitor.state"});
        EXPECT_EQ(monitor.exitCode, 0) << monitor.err;
        // The levels are the emulator's noise; the texts are in the other messages.
        for (const std::string& line : lines(monitor.out)) {
            if (!contains(line, "/levels/CH")) {
                messages[language] += withoutRunDetails(line) + "\n";
            }
        }
    }
    EXPECT_TRUE(contains(records["ja"], "bank import")) << records["ja"];
    EXPECT_EQ(records["ja"], records["en"]);
    EXPECT_TRUE(contains(messages["ja"], "\"state_text\"")) << messages["ja"];
    EXPECT_EQ(messages["ja"], messages["en"]);
}

TEST(QavixctlJournal, AJournalThatCannotBeWrittenStopsTheWriteBeforeAnythingIsSent) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    std::ofstream(dir + "/bank.qbk") << "";
    const std::string log = dir + "/requests.log";
    SimProcess sim({"--sensors", "40,32", "--log", log});
    ASSERT_FALSE(sim.device().empty());
    Controller c = onDevice(sim, dir);
    expectRun(c, {"bank", "export", "0", "bank.qbk"});

    SmallTmpfs full(64);
    SmallTmpfs readOnly(64);
    struct Case {
        const char* what;
        std::string folder;
    };
    std::vector<Case> cases = {{"a file where the folder should be", dir + "/bank.qbk"}};
    if (full.mounted() && readOnly.mounted()) {
        ASSERT_TRUE(full.fill(16));
        ASSERT_EQ(
            ::mount(nullptr, readOnly.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        cases.push_back({"a full disk", full.file("journal")});
        cases.push_back({"a read-only folder", readOnly.file("journal")});
    }
    for (const Case& k : cases) {
        c.journal = k.folder;
        std::ofstream(log, std::ios::trunc).close();
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--yes", "bank", "import", "bank.qbk", "--to", "0"},
              std::vector<std::string>{"clock", "--sync"}}) {
            const CtlRun run = ctl(c, args);
            EXPECT_EQ(run.exitCode, 2) << k.what << "\n" << run.err;
            EXPECT_TRUE(contains(run.err, "変更履歴に記録できないため、書込みを中止しました"))
                << k.what << "\n"
                << run.err;
            EXPECT_TRUE(contains(run.err, k.folder)) << k.what << "\n" << run.err;
        }
        const std::string requests = readBytes(log);
        EXPECT_FALSE(requests.empty()) << k.what << ": the controller was read";
        const std::set<std::string> puts = {"PP", "PC", "SS", "ES"};
        EXPECT_EQ(operations(requests) & puts, std::set<std::string>{}) << k.what << "\n"
                                                                        << requests;
    }
    if (cases.size() == 1) {
        GTEST_SKIP() << "a full and a read-only file system need root to mount";
    }
}

TEST(QavixctlJournal, ListsWritesWithTheirResultAndVerifyNamesTheBrokenLine) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string folder = dir + "/journal";
    journal::Journal j(folder);
    auto record = [&](const char* id, const char* serial, journal::RecordKind kind) {
        journal::Record r;
        r.kind = kind;
        r.operationId = id;
        r.user = "taro";
        r.operation = journal::Operation::PageWrite;
        r.detail = "基本情報";
        r.target = "current";
        r.controller.serial = serial;
        r.changes = {{"CH1.ON_TH", "35", "45", "", 1}};
        ASSERT_TRUE(j.append(r).ok);
    };
    record("a", "0300920", journal::RecordKind::Start);
    record("a", "0300920", journal::RecordKind::End);
    record("b", "0400111", journal::RecordKind::Start);  // the power failed here

    const CtlEnv env{dir, {}};
    const CtlRun all = runCtl(env, {"journal", "--journal", folder});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_TRUE(contains(all.out, "page write (基本情報)  current: ok\n")) << all.out;
    EXPECT_TRUE(contains(all.out, "current: not finished\n")) << all.out;
    EXPECT_TRUE(contains(all.out, "  CH1.ON_TH: 35 -> 45\n")) << all.out;
    const CtlRun one = runCtl(env, {"journal", "--journal", folder, "--serial", "0400111"});
    EXPECT_FALSE(contains(one.out, ": ok\n")) << one.out;
    EXPECT_TRUE(contains(one.out, ": not finished\n")) << one.out;
    EXPECT_EQ(runCtl(env, {"journal", "--journal", folder, "--since", "2026-13-01"}).exitCode, 64);
    EXPECT_EQ(runCtl(env, {"journal", "--journal", folder, "--serial", "1", "--controller", "2"})
                  .exitCode,
              64);

    EXPECT_EQ(runCtl(env, {"journal", "--journal", folder, "verify"}).exitCode, 0);
    const std::string file = journal::journalFiles(folder).at(0);
    std::vector<std::string> kept = lines(readBytes(file));
    kept.erase(kept.begin());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& l : kept) {
        out << l << '\n';
    }
    out.close();
    const CtlRun broken = runCtl(env, {"journal", "--journal", folder, "verify"});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(contains(broken.out, " の 1 行目: 直前の記録とつながっていません")) << broken.out;
    EXPECT_EQ(runCtl(env, {"journal", "--journal", dir + "/none", "verify"}).exitCode, 2);
}

}  // namespace
}  // namespace qavix::cli::test
