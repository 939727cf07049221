// Ctrl+C during device commands, against qavix-sim on a pseudo-terminal whose request log
// shows what reached the controller: a write given up half-way is reset out of setting mode
// with nothing of it taken, and every interrupted command ends with 130.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <vector>

#include "CtlProcess.h"
#include "FakeDeviceServer.h"
#include "FileText.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

using link::test::FakeDeviceServer;
using namespace std::chrono_literals;

constexpr int kExitInterrupted = 130;

CtlEnv onDevice(const SimProcess& sim, const std::string& dir) {
    return CtlEnv{dir, {{"QAVLINK_COM1", sim.device()}}};
}

std::vector<std::string> withPort(std::vector<std::string> args) {
    args.insert(args.end(), {"--port", "COM1"});
    return args;
}

// The command of each request the emulator logged ("SS" start setting, "PP" a put, "ES"
// enable, "RS" reset, "GC" a status or control read ...), in order.
std::vector<std::string> loggedCommands(const std::string& log) {
    std::vector<std::string> commands;
    for (const std::string& line : lines(readBytes(log))) {
        const size_t payload = line.find(' ', line.find(' ', line.find(' ') + 1) + 1);
        if (payload == std::string::npos || line.size() < payload + 6) {
            continue;
        }
        commands.push_back(line.substr(payload + 4, 2));  // after the three-digit sequence
    }
    return commands;
}

size_t countFrom(const std::vector<std::string>& commands, size_t from, const std::string& c) {
    size_t n = 0;
    for (size_t i = from; i < commands.size(); ++i) {
        n += commands[i] == c ? 1 : 0;
    }
    return n;
}

// A line of /proc/PID/status ("State", "SigPnd", ...), "" when the process is gone.
std::string procStatus(pid_t pid, const std::string& key) {
    for (const std::string& line : lines(readBytes("/proc/" + std::to_string(pid) + "/status"))) {
        if (line.rfind(key + ":", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

// Whether the process has taken `number`: no longer pending for it or its threads.
bool signalTaken(pid_t pid, int number) {
    const unsigned long long bit = 1ULL << (number - 1);
    for (const char* key : {"SigPnd", "ShdPnd"}) {
        const std::string pending = procStatus(pid, key);
        if (!pending.empty() && (std::stoull(pending, nullptr, 16) & bit) != 0) {
            return false;
        }
    }
    return true;
}

// Waits until the log holds `count` requests `command` after position `from`, holds the
// emulator there with the request in flight, sends Ctrl+C and lets the emulator go on once
// the command has taken it.
bool interruptAt(SimProcess& sim, CtlChild& child, const std::string& log,
                 const std::string& command, size_t count, size_t from = 0) {
    const bool seen =
        waitUntil([&] { return countFrom(loggedCommands(log), from, command) >= count; }, 20s, 1ms);
    sim.pause(true);
    waitUntil([&] { return procStatus(sim.pid(), "State").find('T') != std::string::npos; }, 5s,
              1ms);
    child.signal(SIGINT);
    waitUntil([&] { return signalTaken(child.pid(), SIGINT); }, 5s, 1ms);
    sim.pause(false);
    return seen;
}

size_t indexOf(const std::vector<std::string>& commands, const std::string& c, size_t from = 0) {
    for (size_t i = from; i < commands.size(); ++i) {
        if (commands[i] == c) {
            return i;
        }
    }
    return commands.size();
}

TEST(QavixctlInterrupt, CtrlCDuringAnImportResetsSettingModeAndTheControllerKeepsItsSettings) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string log = dir + "/sim.log";
    // A line as fast as a real one leaves the puts of the write in flight for a while.
    SimProcess sim({"--line-rate", "115200", "--log", log});
    ASSERT_FALSE(sim.device().empty());
    const CtlEnv env = onDevice(sim, dir);
    // The built-in emulator starts as qavix-sim does: the same bank 2, the same current set.
    const CtlEnv factory{dir, {{"QAVLINK_COM1", "sim"}}};
    ASSERT_EQ(runCtl(factory, withPort({"bank", "export", "2", "bank2.qbk"})).exitCode, 0);
    ASSERT_EQ(runCtl(factory, withPort({"bank", "export", "0", "before.qbk"})).exitCode, 0);
    ASSERT_EQ(runCtl(env, {"bank", "diff", "bank2.qbk", "before.qbk"}).exitCode, 1)
        << "the import must change the current values";

    const size_t start = loggedCommands(log).size();
    CtlChild import(env, withPort({"bank", "import", "bank2.qbk", "--to", "0", "--yes"}));
    ASSERT_TRUE(import.started());
    ASSERT_TRUE(interruptAt(sim, import, log, "PP", 2, start)) << readBytes(log);
    const CtlRun run = import.wait(20s);
    ASSERT_EQ(run.exitCode, kExitInterrupted) << "ended by signal " << run.signal << "\n"
                                              << run.err;
    EXPECT_TRUE(contains(run.err, "中断しました")) << run.err;
    EXPECT_TRUE(contains(run.err, "設定モードからリセットされ")) << run.err;

    const std::vector<std::string> sent = loggedCommands(log);
    const size_t started = indexOf(sent, "SS", start);
    ASSERT_LT(started, sent.size());
    EXPECT_LT(countFrom(sent, started, "PP"), 54u) << "stopped before the last put";
    EXPECT_EQ(countFrom(sent, started, "ES"), 0u) << "nothing enabled";
    EXPECT_EQ(countFrom(sent, started, "RS"), 1u);

    // The controller answers without a setting mode to reset and holds what it held.
    const CtlRun info = runCtl(env, withPort({"info"}));
    EXPECT_EQ(info.exitCode, 0) << info.err;
    ASSERT_EQ(runCtl(env, withPort({"bank", "export", "0", "after.qbk"})).exitCode, 0);
    const CtlRun same = runCtl(env, {"bank", "diff", "before.qbk", "after.qbk"});
    EXPECT_EQ(same.exitCode, 0) << same.out;
}

// The clock is set in one request (start, put, enable): it is finished, not cut, and the
// controller is left in normal operation.
TEST(QavixctlInterrupt, CtrlCDuringAClockSyncFinishesTheRequestAndEnds130) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string log = dir + "/sim.log";
    // A slow line keeps the few exchanges of the request in flight long enough.
    SimProcess sim({"--line-rate", "1200", "--log", log});
    ASSERT_FALSE(sim.device().empty());
    const CtlEnv env = onDevice(sim, dir);

    CtlChild sync(env, withPort({"clock", "--sync"}));
    ASSERT_TRUE(sync.started());
    ASSERT_TRUE(interruptAt(sim, sync, log, "SS", 1)) << readBytes(log);
    const CtlRun run = sync.wait(20s);
    ASSERT_EQ(run.exitCode, kExitInterrupted) << "ended by signal " << run.signal << "\n"
                                              << run.err;
    EXPECT_TRUE(run.out.empty()) << "the clock is not printed: " << run.out;
    const std::vector<std::string> sent = loggedCommands(log);
    const size_t started = indexOf(sent, "SS");
    EXPECT_EQ(countFrom(sent, started, "PC"), 1u);
    EXPECT_EQ(countFrom(sent, started, "ES"), 1u);
    // Read without --yes: a controller left in setting mode would be refused.
    const CtlRun clock = runCtl(env, withPort({"clock"}));
    EXPECT_EQ(clock.exitCode, 0) << clock.err;
}

// Ctrl+C while the connection is made is answered when the request in flight ends; the
// levels are never read.
TEST(QavixctlInterrupt, LevelsAnswerCtrlCWhileConnecting) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string log = dir + "/sim.log";
    SimProcess sim({"--line-rate", "300", "--log", log});
    ASSERT_FALSE(sim.device().empty());

    CtlChild levels(onDevice(sim, dir), withPort({"levels", "--csv", "levels.csv"}));
    ASSERT_TRUE(levels.started());
    ASSERT_TRUE(interruptAt(sim, levels, log, "GC", 1)) << "the status check of the connection";
    const CtlRun run = levels.wait(20s);
    ASSERT_EQ(run.exitCode, kExitInterrupted) << "ended by signal " << run.signal << "\n"
                                              << run.err;
    EXPECT_TRUE(contains(run.err, "中断しました")) << run.err;
    EXPECT_EQ(countFrom(loggedCommands(log), 0, "GP"), 0u) << readBytes(log);
}

// Ctrl+C while the first status is asked for on a line that never answers: the command ends
// with 130 and says so, not as a lost connection.
TEST(QavixctlInterrupt, CtrlCWhileConnectingToASilentLineEnds130) {
    const TempDir tmp;
    const std::string dir = tmp.str();
    const std::string log = dir + "/sim.log";
    // It answers unit 5 only and the command asks unit 0: every request is logged, none
    // answered.
    SimProcess sim({"--unit", "5", "--log", log});
    ASSERT_FALSE(sim.device().empty());
    CtlChild info(onDevice(sim, dir), withPort({"info"}));
    ASSERT_TRUE(info.started());
    waitUntil([&] { return countFrom(loggedCommands(log), 0, "GC") > 0; }, 20s, 1ms);
    ASSERT_EQ(countFrom(loggedCommands(log), 0, "GC"), 1u) << "the status check of the connection";
    info.signal(SIGINT);
    const CtlRun run = info.wait(20s);
    ASSERT_EQ(run.exitCode, kExitInterrupted) << "ended by signal " << run.signal << "\n"
                                              << run.err;
    EXPECT_TRUE(contains(run.err, "中断しました")) << run.err;
    EXPECT_FALSE(contains(run.err, "断絶")) << run.err;
}

// Ctrl+C while a device server holds up the open, silent or sending without end: the attempt
// in flight ends at its time-out, no further one is made, and the command ends with 130.
TEST(QavixctlInterrupt, CtrlCWhileADeviceServerHoldsUpTheOpenMakesNoFurtherAttempt) {
    const std::string junk(4096, 'x');
    const std::vector<std::pair<const char*, FakeDeviceServer::Script>> servers = {
        {"silent", [](int fd) { link::test::readUntilClosed(fd, 20s); }},
        {"flooding", [&junk](int fd) { link::test::floodUntilClosed(fd, junk, 20s); }},
    };
    for (const auto& [name, script] : servers) {
        const TempDir tmp;
        const std::string dir = tmp.str();
        FakeDeviceServer server(script, 3);
        const std::string target = "rfc2217:127.0.0.1:" + std::to_string(server.port());
        CtlChild info(CtlEnv{dir, {{"QAVLINK_COM1", target}, {"QAVLINK_CONNECT_TIMEOUT", "1500"}}},
                      withPort({"info"}));
        ASSERT_TRUE(info.started()) << name;
        waitUntil([&] { return server.accepted() > 0; }, 20s, 1ms);
        ASSERT_EQ(server.accepted(), 1) << name;
        info.signal(SIGINT);
        const CtlRun run = info.wait(20s);
        ASSERT_EQ(run.exitCode, kExitInterrupted)
            << name << ": ended by signal " << run.signal << "\n"
            << run.err;
        EXPECT_TRUE(contains(run.err, "中断しました")) << name << ": " << run.err;
        EXPECT_EQ(server.accepted(), 1) << name << ": " << run.err;
    }
}

}  // namespace
}  // namespace qavix::cli::test
