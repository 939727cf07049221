// qavixctl fleet against emulators: qavix-sim on pseudo-terminals (one of them two units on
// one line) and the built-in emulator for a line that stops answering.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "BankText.h"
#include "CtlProcess.h"
#include "FileText.h"
#include "SimProcess.h"
#include "SmallTmpfs.h"
#include "TempDir.h"
#include "WaitUntil.h"
#include "files/Json.h"
#include "files/Sha256.h"
#include "fleet/BackupManifest.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string section(const std::string& name, const std::string& port, int unit,
                    const std::string& extra = {}) {
    return "[" + name + "]\nport = " + port + "\nunit = " + std::to_string(unit) + "\n" + extra;
}

// The one run folder a backup made in `out`.
std::string onlyRunFolder(const std::string& out) {
    std::vector<std::string> runs;
    for (const auto& entry : fs::directory_iterator(out)) {
        runs.push_back(entry.path().string());
    }
    EXPECT_EQ(runs.size(), 1u);
    return runs.empty() ? std::string() : runs[0];
}

fleet::Manifest readManifest(const std::string& run) {
    std::string error;
    const auto manifest = fleet::parseManifest(readBytes(run + "/manifest.json"), error);
    EXPECT_TRUE(manifest) << error;
    return manifest.value_or(fleet::Manifest{});
}

// Request times of each unit in a qavix-sim log written with --log-times on: "<ms> <id>
// <start> <count> <payload>", the payload starting with the unit's two digits.
std::map<int, std::vector<long long>> requestTimesByUnit(const std::string& log) {
    std::map<int, std::vector<long long>> times;
    for (const std::string& line : lines(readBytes(log))) {
        std::istringstream in(line);
        long long ms = 0;
        std::string id, start, count, payload;
        if (in >> ms >> id >> start >> count >> payload && payload.size() >= 2) {
            times[std::stoi(payload.substr(0, 2))].push_back(ms);
        }
    }
    return times;
}

TEST(FleetPty, BackupSavesEveryLineAndAHangingControllerFailsAlone) {
    SimProcess first({"--sensors", "40,32"});
    SimProcess second({"--sensors", "128", "--unit", "2"});
    SimProcess third({"--sensors", "8,16,24"});
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string log = dir + "/shared.log";
    // Each unit of the shared line takes about a second to read, longer than the link's retries
    // of a busy port would wait, so two units read at once would fail one of them.
    SimProcess shared({"--unit", "1", "--more-units", "2", "--line-rate", "115200", "--log", log,
                       "--log-times", "on"});
    for (const SimProcess* sim : {&first, &second, &third, &shared}) {
        ASSERT_FALSE(sim->device().empty());
    }
    writeFile(dir + "/plant.ini",
              section("press1", first.device(), 0, "banks = 1,3\n") +
                  section("press2", second.device(), 2, "banks = none\n") +
                  section("press3", third.device(), 0) +
                  section("bus-a", shared.device(), 1, "banks = none\n") +
                  section("bus-b", shared.device(), 2, "banks = none\n") +
                  // Answers 20 requests, then nothing: a cable pulled during the read.
                  section("pulled", "sim:--hang-after 20 --instant-timeout on", 0));

    const CtlRun run = runCtl(CtlEnv{dir, {}}, {"fleet", "backup", "plant.ini", "--out", "out"});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_NE(run.err.find("バックアップ "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(": 6 台のうち 5 台を保存しました"), std::string::npos) << run.err;
    for (const char* name : {"press1", "press2", "press3", "bus-a", "bus-b"}) {
        EXPECT_NE(run.out.find(std::string(name) + ": ok、"), std::string::npos) << name << run.out;
    }
    EXPECT_NE(run.out.find("pulled: failed: "), std::string::npos) << run.out;

    const std::string folder = onlyRunFolder(dir + "/out");
    EXPECT_TRUE(
        std::regex_match(fs::path(folder).filename().string(), std::regex(R"(\d{8}-\d{6})")))
        << folder;
    const fleet::Manifest manifest = readManifest(folder);
    ASSERT_EQ(manifest.controllers.size(), 6u);
    const std::map<std::string, std::vector<int>> expectedSets = {
        {"press1", {0, 1, 3}}, {"press2", {0}}, {"press3", {0, 1, 2, 3, 4}},
        {"bus-a", {0}},        {"bus-b", {0}},
    };
    for (const auto& [name, sets] : expectedSets) {
        const fleet::ControllerRecord* r = manifest.find(name);
        ASSERT_NE(r, nullptr) << name;
        EXPECT_EQ(r->result, fleet::BackupResult::Ok) << name << ": " << r->reason;
        ASSERT_TRUE(r->identity) << name;
        EXPECT_FALSE(r->identity->serial.empty()) << name;
        std::vector<int> seen;
        for (const fleet::BackupFile& f : r->files) {
            seen.push_back(f.set);
            EXPECT_EQ(f.path, name + "/" + fleet::backupFileName(f.set));
            const std::string path = folder + "/" + f.path;
            const std::string bytes = readBytes(path);
            EXPECT_EQ(sha256Hex(bytes), f.sha256) << path;
            EXPECT_EQ(bytes.size(), f.size) << path;
            const CtlRun check = runCtl(CtlEnv{dir, {}}, {"bank", "check", path});
            EXPECT_EQ(check.exitCode, 0) << path << ": " << check.out << check.err;
        }
        EXPECT_EQ(seen, sets) << name;
        // Nothing but the files listed, and no temporary file left behind.
        EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(folder + "/" + name),
                                                    fs::directory_iterator())),
                  sets.size())
            << name;
    }
    ASSERT_EQ(manifest.find("press3")->identity->sensors.size(), 3u);
    EXPECT_EQ(manifest.find("press3")->identity->sensors[2].beams, 24);

    const fleet::ControllerRecord* pulled = manifest.find("pulled");
    ASSERT_NE(pulled, nullptr);
    EXPECT_EQ(pulled->result, fleet::BackupResult::Failed);
    EXPECT_FALSE(pulled->reason.empty());
    EXPECT_TRUE(pulled->files.empty());
    EXPECT_FALSE(fs::exists(folder + "/pulled"));

    // The two units of the shared line were read one after the other, never interleaved.
    const auto times = requestTimesByUnit(log);
    ASSERT_EQ(times.size(), 2u) << readBytes(log).substr(0, 400);
    const auto& unit1 = times.at(1);
    const auto& unit2 = times.at(2);
    ASSERT_FALSE(unit1.empty());
    ASSERT_FALSE(unit2.empty());
    EXPECT_TRUE(unit1.back() <= unit2.front() || unit2.back() <= unit1.front())
        << "unit 1 " << unit1.front() << ".." << unit1.back() << ", unit 2 " << unit2.front()
        << ".." << unit2.back();

    // Another run into the same folder gets a run folder of its own.
    writeFile(dir + "/small.ini", section("press2", second.device(), 2, "banks = none\n"));
    const CtlRun again =
        runCtl(CtlEnv{dir, {}}, {"fleet", "backup", "small.ini", "--out", "out", "--jobs", "2"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    size_t folders = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir + "/out")) {
        ++folders;
    }
    EXPECT_EQ(folders, 2u);
}

// A disk that fills up part-way: whatever room there is, the manifest left behind lists
// every file the run left (each whole, as its checksum says), never calls a controller with
// files "not started", and a message names its path once.
TEST(Fleet, BackupOnADiskThatFillsUpLeavesAManifestOfEveryFileItLeft) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    writeFile(dir + "/plant.ini", section("a", "sim", 0, "banks = 1\n"));
    bool savedSome = false;
    bool savedAll = false;
    for (size_t kilobytes = 8; kilobytes <= 80; kilobytes += 4) {
        SCOPED_TRACE(std::to_string(kilobytes) + " KiB");
        const qavix::test::SmallTmpfs disk(kilobytes);
        if (!disk.mounted()) {
            GTEST_SKIP() << "mounting a small file system needs root";
        }
        const CtlRun run = runCtl(
            CtlEnv{dir, {}}, {"fleet", "backup", "plant.ini", "--out", disk.file("out"), "-q"});
        ASSERT_TRUE(run.exitCode >= 0 && run.exitCode <= 2) << run.err;
        for (const std::string& line : lines(run.err)) {
            EXPECT_EQ(line.find(disk.path()), line.rfind(disk.path())) << line;
        }
        savedAll = savedAll || run.exitCode == 0;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(disk.file("out"), ec)) {
            const std::string folder = entry.path().string();
            const fleet::Manifest manifest = readManifest(folder);
            ASSERT_EQ(manifest.controllers.size(), 1u);
            const fleet::ControllerRecord& a = manifest.controllers[0];
            for (const fleet::BackupFile& f : a.files) {
                EXPECT_EQ(sha256Hex(readBytes(folder + "/" + f.path)), f.sha256) << f.path;
            }
            size_t left = 0;
            for (const auto& file : fs::recursive_directory_iterator(folder)) {
                left += file.is_regular_file() ? 1 : 0;
            }
            EXPECT_EQ(left, a.files.size() + 1) << "files the manifest does not list";
            EXPECT_TRUE(a.files.empty() || a.result != fleet::BackupResult::NotStarted);
            savedSome = savedSome || (!a.files.empty() && run.exitCode != 0);
        }
    }
    EXPECT_TRUE(savedSome) << "no size ran out of room after the first file";
    EXPECT_TRUE(savedAll);
}

// A controller with a golden file exported from it and a plant naming both; its current
// values then get another threshold for beam 1 of sensor 1 (hexadecimal 3C = 60) through an
// import, which `changed` holds.
class FleetDrift : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(sim.device().empty());
        ASSERT_EQ(runCtl(env, {"bank", "export", "0", "golden.qbk", "--port", "COM1"}).exitCode, 0);
        writeFile(dir + "/plant.ini", section("line7", sim.device(), 0, "golden = golden.qbk\n"));
        const std::string golden = readBytes(dir + "/golden.qbk");
        changed = qavix::cli::test::withBankValue(golden, "AXIS_TH1_1", "3C");
        ASSERT_FALSE(changed.empty());
        ASSERT_NE(changed, golden);
        writeFile(dir + "/changed.qbk", changed);
    }

    void changeTheController() {
        const CtlRun import =
            runCtl(env, {"bank", "import", "changed.qbk", "--to", "0", "--yes", "--port", "COM1"});
        ASSERT_EQ(import.exitCode, 0) << import.err;
    }

    SimProcess sim{{"--sensors", "40,32"}};
    const TempDir tmp;
    std::string dir = tmp.str();
    CtlEnv env{dir, {{"QAVLINK_COM1", sim.device()}}};
    std::string changed;
};

TEST_F(FleetDrift, CheckReportsTheOneChangedThreshold) {
    const CtlRun same = runCtl(env, {"fleet", "check", "plant.ini"});
    EXPECT_EQ(same.exitCode, 0) << same.out << same.err;
    EXPECT_EQ(lines(same.out).at(0), "line7: 同じ") << same.out;
    EXPECT_NE(same.out.find("比べない項目"), std::string::npos) << same.out;

    ASSERT_NO_FATAL_FAILURE(changeTheController());
    const CtlRun differs = runCtl(env, {"fleet", "check", "plant.ini"});
    EXPECT_EQ(differs.exitCode, 1) << differs.out << differs.err;
    const std::vector<std::string> out = lines(differs.out);
    ASSERT_GE(out.size(), 4u) << differs.out;
    EXPECT_EQ(out[0], "line7: 違う");
    std::smatch fingerprints;
    ASSERT_TRUE(std::regex_match(
        out[1], fingerprints,
        std::regex(
            R"(  フィンガープリント: ゴールデン ([0-9A-F]{4}-[0-9A-F]{4})、現在 ([0-9A-F]{4}-[0-9A-F]{4}))")))
        << out[1];
    EXPECT_NE(fingerprints[1].str(), fingerprints[2].str());
    EXPECT_TRUE(
        std::regex_match(out[2], std::regex(R"(  CONTROLLER\.AXIS_TH1_1: (\d+),.* -> 60,.*)")))
        << out[2];
    EXPECT_EQ(out[3].rfind("比べない項目", 0), 0u) << differs.out;

    const CtlRun json = runCtl(env, {"fleet", "check", "plant.ini", "--json"});
    EXPECT_EQ(json.exitCode, 1);
    std::string error;
    const auto doc = json::parse(json.out, error);
    ASSERT_TRUE(doc) << error << json.out;
    const json::Value& entry = doc->find("controllers")->items().at(0);
    EXPECT_EQ(entry.stringOf("result"), "differs");
    ASSERT_EQ(entry.find("changes")->items().size(), 1u);
    EXPECT_EQ(entry.find("changes")->items()[0].stringOf("field"), "CONTROLLER.AXIS_TH1_1");
    EXPECT_EQ(doc->find("notCompared")->items().size(), 4u);
}

TEST_F(FleetDrift, RestoreAsksThenWritesTheBackedUpValuesBackAndRefusesAChangedFile) {
    const CtlRun backup = runCtl(env, {"fleet", "backup", "plant.ini", "--out", "out", "-q"});
    ASSERT_EQ(backup.exitCode, 0) << backup.out << backup.err;
    EXPECT_EQ(backup.out, "");  // quiet and all saved: nothing to say
    const std::string run = onlyRunFolder(dir + "/out");

    // The controller comes back from repair with the changed settings.
    SimProcess repaired({"--bank-file", dir + "/changed.qbk"});
    ASSERT_FALSE(repaired.device().empty());
    // The plant records its writes in a journal of its own.
    writeFile(dir + "/plant.ini", section("line7", repaired.device(), 0, "golden = golden.qbk\n") +
                                      "[Journal]\nFolder = plant-journal\n");
    EXPECT_EQ(runCtl(env, {"fleet", "check", "plant.ini"}).exitCode, 1);

    const CtlRun asked = runCtl(env, {"fleet", "restore", "plant.ini", "line7", "--from", run});
    EXPECT_EQ(asked.exitCode, 1) << asked.out << asked.err;
    EXPECT_NE(asked.err.find("上書きしてもよろしいですか"), std::string::npos) << asked.err;
    // The file is opened once: the bytes checked against the manifest are the bytes imported.
    // (Closes are watched too, as the kernel merges an event into the same one before it.)
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, (run + "/line7/current.qbk").c_str(),
                                  IN_OPEN | IN_CLOSE_NOWRITE),
              0);
    const CtlRun restored =
        runCtl(env, {"--yes", "fleet", "restore", "plant.ini", "line7", "--from", run + "/line7"});
    EXPECT_EQ(restored.exitCode, 0) << restored.out << restored.err;
    alignas(inotify_event) char events[4096];
    const ssize_t got = ::read(watch, events, sizeof events);
    ::close(watch);
    int opens = 0;
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        opens += (event->mask & IN_OPEN) != 0 ? 1 : 0;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(runCtl(env, {"fleet", "check", "plant.ini"}).exitCode, 0);

    // One write, recorded as a fleet restore; the controller now carries the golden file's
    // fingerprint.
    const CtlRun journal = runCtl(env, {"journal", "--json", "--journal", "plant-journal"});
    std::string error;
    const std::optional<json::Value> doc = json::parse(journal.out, error);
    ASSERT_TRUE(doc.has_value()) << error << journal.err;
    const std::vector<json::Value>& ops = doc->find("operations")->items();
    ASSERT_EQ(ops.size(), 1u) << journal.out;
    EXPECT_EQ(ops[0].stringOf("status"), "ok");
    const json::Value& end = *ops[0].find("end");
    EXPECT_EQ(end.stringOf("operation"), "fleet restore");
    EXPECT_EQ(end.stringOf("detail"), run + "/line7/current.qbk");
    EXPECT_FALSE(end.find("written")->items().empty());
    const std::string golden = runCtl(env, {"bank", "show", "golden.qbk"}).out;
    EXPECT_NE(golden.find("FINGERPRINT=" + end.find("fingerprintAfter")->stringOf("short") + "\n"),
              std::string::npos);

    // A manifest whose path leads out of its folder is refused, even with a matching checksum.
    const std::string manifestPath = run + "/manifest.json";
    const std::string original = readBytes(manifestPath);
    for (const std::string& outside : {dir + "/changed.qbk", std::string("../../changed.qbk")}) {
        SCOPED_TRACE(outside);
        fleet::Manifest manifest = readManifest(run);
        fleet::BackupFile& file = manifest.controllers.at(0).files.at(0);
        file.path = outside;
        file.sha256 = sha256Hex(changed);
        file.size = changed.size();
        writeFile(manifestPath, fleet::manifestJson(manifest));
        const CtlRun refused =
            runCtl(env, {"--yes", "fleet", "restore", "plant.ini", "line7", "--from", run});
        EXPECT_EQ(refused.exitCode, 2) << refused.out << refused.err;
        EXPECT_NE(refused.err.find("バックアップフォルダの外を指しています"), std::string::npos)
            << refused.err;
    }
    writeFile(manifestPath, original);
    EXPECT_EQ(runCtl(env, {"fleet", "check", "plant.ini"}).exitCode, 0);

    // A backed-up file changed since is not written to a controller.
    writeFile(run + "/line7/current.qbk", changed);
    const CtlRun tampered =
        runCtl(env, {"--yes", "fleet", "restore", "plant.ini", "line7", "--from", run});
    EXPECT_EQ(tampered.exitCode, 2);
    EXPECT_NE(tampered.err.find("バックアップが書いたファイルと違います"), std::string::npos)
        << tampered.err;
}

TEST(Fleet, CheckOfAnotherControllerTypeDiffersWithTheReasonAndUnreachableExitsThree) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlEnv env{dir, {{"QAVLINK_COM1", "sim:--sensors 40,32"}}};
    ASSERT_EQ(runCtl(env, {"bank", "export", "0", "golden.qbk", "--port", "COM1"}).exitCode, 0);
    writeFile(dir + "/plant.ini",
              section("other", "sim:--sensors 40,24", 0, "golden = golden.qbk\n"));
    const CtlRun differs = runCtl(env, {"fleet", "check", "plant.ini"});
    EXPECT_EQ(differs.exitCode, 1);
    EXPECT_EQ(lines(differs.out).at(0),
              "other: 違う: another sensor on CH2: golden 32 beams, live 24 beams");

    writeFile(
        dir + "/plant.ini",
        section("other", "sim:--sensors 40,24", 0, "golden = golden.qbk\n") +
            section("gone", "sim:--hang-after 0 --instant-timeout on", 0, "golden = golden.qbk\n"));
    const CtlRun unreachable = runCtl(env, {"fleet", "check", "plant.ini", "--quiet"});
    EXPECT_EQ(unreachable.exitCode, 3);
    EXPECT_EQ(unreachable.out, "");
    EXPECT_NE(unreachable.err.find("gone: 失敗: "), std::string::npos) << unreachable.err;
    EXPECT_NE(unreachable.err.find("other: 違う"), std::string::npos) << unreachable.err;
}

// Ctrl+C during a check: the controllers never reached are named as not checked, and the
// run exits as interrupted, not as a drift it never saw.
TEST(Fleet, AnInterruptedCheckNamesWhatItDidNotCheckAndExits130) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const CtlEnv env{dir, {{"QAVLINK_COM1", "sim"}}};
    ASSERT_EQ(runCtl(env, {"bank", "export", "0", "golden.qbk", "--port", "COM1"}).exitCode, 0);
    // One job reads the three one after the other, each for a second or so at this rate.
    const std::string log = dir + "/first.log";
    writeFile(dir + "/plant.ini",
              section("first", "sim:--line-rate 115200 --log " + log, 0, "golden = golden.qbk\n") +
                  section("second", "sim:--line-rate 115200", 0, "golden = golden.qbk\n") +
                  section("third", "sim:--line-rate 115200", 0, "golden = golden.qbk\n"));
    CtlChild check(env, {"fleet", "check", "plant.ini", "--json", "--jobs", "1"});
    ASSERT_TRUE(check.started());
    ASSERT_TRUE(waitUntil([&] { return fs::exists(log); }, std::chrono::seconds(20),
                          std::chrono::milliseconds(5)));
    check.signal(SIGINT);
    const CtlRun run = check.wait(std::chrono::seconds(30));
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    std::string error;
    const auto doc = json::parse(run.out, error);
    ASSERT_TRUE(doc) << error << run.out;
    ASSERT_NE(doc->find("interrupted"), nullptr);
    EXPECT_TRUE(doc->find("interrupted")->asBool());
    std::vector<std::string> notChecked;
    for (const json::Value& name : doc->find("notChecked")->items()) {
        notChecked.push_back(name.asString());
    }
    EXPECT_EQ(notChecked, (std::vector<std::string>{"second", "third"}));
    const auto& items = doc->find("controllers")->items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].stringOf("result"), "same");
    EXPECT_EQ(items[1].stringOf("result"), "not started");
    EXPECT_EQ(doc->find("summary")->intOf("differs"), 0);
}

TEST(Fleet, BadPlantFilesAreRefusedWithTheirLineBeforeAnythingConnects) {
    struct Bad {
        const char* text;
        const char* message;
    };
    // The emulator would log any request; none may come.
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string log = dir + "/requests.log";
    const std::string port = "sim:--log " + log;
    const Bad cases[] = {
        {"[a]\nport=X\nunit=0\n[a]\nport=X\nunit=1\n", "plant.ini:4: セクション [a] が2回あります"},
        {"[a]\nport=X\nunit=0\nspeed=1\n", "plant.ini:4: キー 'speed' は使えません"},
        {"[ok]\nport=X\nunit=0\n\n[a]\nunit=0\n", "plant.ini:5: [a] に port がありません"},
        {"[hall/a]\nport=X\nunit=0\n", "plant.ini:1: 名前 'hall/a'"},
    };
    for (const Bad& c : cases) {
        std::string text = std::regex_replace(c.text, std::regex("port=X"), "port=" + port);
        writeFile(dir + "/plant.ini", text);
        for (const char* command : {"backup", "check"}) {
            std::vector<std::string> args = {"fleet", command, "plant.ini"};
            if (std::string(command) == "backup") {
                args.insert(args.end(), {"--out", "out"});
            }
            const CtlRun run = runCtl(CtlEnv{dir, {}}, args);
            EXPECT_EQ(run.exitCode, 2) << c.text;
            EXPECT_NE(run.err.find(c.message), std::string::npos) << c.text << run.err;
        }
        const CtlRun restore =
            runCtl(CtlEnv{dir, {}}, {"fleet", "restore", "plant.ini", "a", "--from", "out"});
        EXPECT_EQ(restore.exitCode, 2) << c.text;
    }
    EXPECT_FALSE(fs::exists(dir + "/out"));
    EXPECT_FALSE(fs::exists(log));
}

TEST(Fleet, CtrlCStartsNoFurtherControllerAndWritesTheManifestOfWhatWasDone) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    // With one job the three controllers are read one after the other; at 115200 baud each
    // takes a second or two, so the first is still in flight when Ctrl+C comes.
    const std::string slow = "sim:--line-rate 115200";
    writeFile(dir + "/plant.ini",
              section("first", slow, 0) + section("second", slow, 0) + section("third", slow, 0));
    CtlChild backup(CtlEnv{dir, {}},
                    {"fleet", "backup", dir + "/plant.ini", "--out", dir + "/out", "--jobs", "1"});
    // Ctrl+C once the first controller's current values are on disk.
    const bool inFlight = waitUntil(
        [&] {
            std::error_code ec;
            for (const auto& run : fs::directory_iterator(dir + "/out", ec)) {
                if (fs::exists(run.path() / "first" / "current.qbk")) {
                    return true;
                }
            }
            return false;
        },
        std::chrono::seconds(20), std::chrono::milliseconds(5));
    ASSERT_TRUE(inFlight);
    backup.signal(SIGINT);
    const CtlRun run = backup.wait(std::chrono::seconds(30));
    EXPECT_EQ(run.exitCode, 130) << "interrupted, as the exit table says; signal " << run.signal;
    EXPECT_NE(run.err.find("中断"), std::string::npos) << run.err;

    const std::string folder = onlyRunFolder(dir + "/out");
    const fleet::Manifest manifest = readManifest(folder);
    const fleet::ControllerRecord* first = manifest.find("first");
    ASSERT_NE(first, nullptr);
    // The first stopped after the file it was writing; the others never started.
    EXPECT_EQ(first->result, fleet::BackupResult::Interrupted) << first->reason;
    ASSERT_FALSE(first->files.empty());
    EXPECT_LT(first->files.size(), 5u);
    for (const fleet::BackupFile& f : first->files) {
        EXPECT_EQ(sha256Hex(readBytes(folder + "/" + f.path)), f.sha256) << f.path;
    }
    EXPECT_EQ(manifest.find("second")->result, fleet::BackupResult::NotStarted);
    EXPECT_EQ(manifest.find("third")->result, fleet::BackupResult::NotStarted);
    // Every file there is a whole one the manifest lists.
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, first->files.size() + 1);
}

}  // namespace
}  // namespace qavix::cli::test
