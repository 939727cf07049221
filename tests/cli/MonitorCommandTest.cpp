// qavixctl monitor against Debian's mosquitto and the emulator on a pseudo-terminal: what a
// subscriber of the plant sees, and what it sees when the broker, the monitor or the line
// fails. Every broker, emulator and monitor a test starts is stopped when the test ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <sys/stat.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include "BrokerProcess.h"
#include "CtlProcess.h"
#include "FileText.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

using namespace std::chrono_literals;

constexpr auto kWait = 8000ms;

void write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

class MonitorTest : public ::testing::Test {
  protected:
    std::unique_ptr<CtlChild> startMonitor(std::vector<std::string> args,
                                           const std::string& output = "monitor") {
        args.insert(args.begin(), "monitor");
        return std::make_unique<CtlChild>(
            CtlEnv{dir, {}, 0, dir + "/" + output + ".out", dir + "/" + output + ".err"}, args);
    }
    std::vector<std::string> monitorArgs(const std::string& device, const std::string& name) {
        return {"--mqtt",       "mqtt://127.0.0.1:" + std::to_string(broker->port()),
                "--device",     device,
                "--name",       name,
                "--interval",   "0.25",
                "--retry-max",  "0.5",
                "--state-file", dir + "/" + name + ".state"};
    }
    std::string monitorErr() const { return readBytes(dir + "/monitor.err"); }
    void startBroker(const std::string& persistent = {}, const BrokerRules& rules = {}) {
        broker = std::make_unique<Broker>(dir, BrokerTls{}, persistent, rules);
        ASSERT_TRUE(broker->start()) << readBytes(dir + "/mosquitto1.err");
    }
    static bool has(const Subscriber& s, const std::string& topic, size_t n = 1) {
        return s.payloads(topic).size() >= n;
    }

    const TempDir scratch;
    const std::string dir = scratch.str();
    std::unique_ptr<Broker> broker;
};

// What `qavixctl levels --count 1` prints for one sensor: level, ON, OFF per beam.
struct LevelsTable {
    std::vector<int> level, on, off;
};
LevelsTable levelsRead(const std::string& device, int channel) {
    const CtlRun run = runCtl(CtlEnv{{}, {{"QAVLINK_COM1", device}}},
                              {"levels", "--count", "1", "--channel", std::to_string(channel)});
    LevelsTable t;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const std::string& line : lines(run.out)) {
        if (line.rfind("CH", 0) != 0) {
            continue;
        }
        std::stringstream s(line);
        std::string beam, level, on, off;
        std::getline(s, beam, '\t');
        std::getline(s, level, '\t');
        std::getline(s, on, '\t');
        std::getline(s, off, '\t');
        t.level.push_back(std::stoi(level));
        t.on.push_back(std::stoi(on));
        t.off.push_back(std::stoi(off));
    }
    return t;
}

TEST_F(MonitorTest, PublishesRetainedStatusAndLevelsAsTheLevelsCommandReadsThem) {
    SimProcess sim({"--sensors", "40,32", "--light", "steady"});
    ASSERT_FALSE(sim.device().empty());
    startBroker();
    Subscriber sub(dir, broker->port());
    auto monitor = startMonitor(monitorArgs(sim.device(), "line7"));
    ASSERT_TRUE(sub.waitFor(
        [](const Subscriber& s) {
            return has(s, "qavix/line7/levels/CH1", 2) && has(s, "qavix/line7/levels/CH2", 2) &&
                   has(s, "qavix/line7/status", 2);
        },
        kWait))
        << monitorErr();
    EXPECT_EQ(sub.payloads("qavix/line7/online").front(), "true");
    const std::string status = sub.payloads("qavix/line7/status").back();
    EXPECT_EQ(jsonField(status, "line"), "ok");
    EXPECT_EQ(jsonField(status, "state"), "normal");
    EXPECT_NE(
        status.find("\"sensors\":[{\"channel\":1,\"beams\":40},{\"channel\":2,\"beams\":32}]"),
        std::string::npos)
        << status;

    // SIGTERM: "offline" said, exit 0, the last status kept by the broker.
    monitor->signal(SIGTERM);
    EXPECT_EQ(monitor->wait(5000ms).exitCode, 0) << monitorErr();
    const auto kept = retained(broker->port(), "qavix/line7/#");
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], "qavix/line7/online false");
    EXPECT_EQ(kept[1].rfind("qavix/line7/status {", 0), 0u);

    // The port is free again: the levels command reads the same values.
    for (int channel : {1, 2}) {
        const std::string payload =
            sub.payloads("qavix/line7/levels/CH" + std::to_string(channel)).back();
        const LevelsTable table = levelsRead(sim.device(), channel);
        ASSERT_EQ(table.level.size(), channel == 1 ? 40u : 32u);
        EXPECT_EQ(jsonIntArray(payload, "level"), table.level);
        EXPECT_EQ(jsonIntArray(payload, "on"), table.on);
        EXPECT_EQ(jsonIntArray(payload, "off"), table.off);
    }
}

const char* const kDirtyLens =
    "[events]\n"
    "1.0 = light CH1:5 50\n"   // lens of beam 5 dirty: about 55..60 % of the ON threshold left
    "3.0 = light CH1:5 100\n"  // cleaned
    "2.0 = error A2\n";        // the controller detects mutual interference

TEST_F(MonitorTest, ErrorOnceAndOneMarginAlertEachWayAndNoRepeatAfterRestart) {
    write(dir + "/scenario.ini", kDirtyLens);
    SimProcess sim(
        {"--sensors", "40,32", "--light", "steady", "--scenario", dir + "/scenario.ini"});
    ASSERT_FALSE(sim.device().empty());
    startBroker();
    Subscriber sub(dir, broker->port());
    auto args = monitorArgs(sim.device(), "line8");
    args.insert(args.end(), {"--errors-every", "0.25", "--warn-count", "2"});
    auto monitor = startMonitor(args);
    ASSERT_TRUE(sub.waitFor(
        [](const Subscriber& s) {
            return has(s, "qavix/line8/alerts", 2) && has(s, "qavix/line8/errors");
        },
        kWait))
        << monitorErr();
    // More cycles and error-log reads (one with each cycle here): nothing repeats.
    const size_t cyclesSoFar = sub.payloads("qavix/line8/status").size();
    ASSERT_TRUE(sub.waitFor(
        [&](const Subscriber& s) {
            return s.payloads("qavix/line8/status").size() >= cyclesSoFar + 6;
        },
        kWait));

    const auto alerts = sub.payloads("qavix/line8/alerts");
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(jsonField(alerts[0], "alert"), "margin-low");
    EXPECT_EQ(jsonField(alerts[0], "channel"), "1");
    EXPECT_EQ(jsonField(alerts[0], "beam"), "5");
    EXPECT_LT(std::stod(jsonField(alerts[0], "margin")), 130.0);
    EXPECT_EQ(jsonField(alerts[1], "alert"), "margin-ok");

    // Only the new entry; the three the controller held before the start are not news.
    const auto errors = sub.payloads("qavix/line8/errors");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(jsonField(errors[0], "number"), "A2");
    EXPECT_EQ(jsonField(errors[0], "text"), "相互干渉エラー");
    const std::string status = sub.payloads("qavix/line8/status").back();
    EXPECT_EQ(jsonField(status, "state"), "error");
    EXPECT_EQ(jsonField(status, "number"), "A2");
    EXPECT_EQ(jsonField(status, "kind"), "installation");

    // A restart with the same state file publishes no entry again.
    monitor->signal(SIGTERM);
    ASSERT_EQ(monitor->wait(5000ms).exitCode, 0);
    const size_t statusBefore = sub.payloads("qavix/line8/status").size();
    monitor = startMonitor(args);
    ASSERT_TRUE(sub.waitFor(
        [&](const Subscriber& s) {
            return s.payloads("qavix/line8/status").size() >= statusBefore + 5;
        },
        kWait));
    EXPECT_EQ(sub.payloads("qavix/line8/errors").size(), 1u);
}

TEST_F(MonitorTest, AlertsMadeWhileTheBrokerIsAwayArriveAfterwardsInOrder) {
    write(dir + "/scenario.ini", "[events]\n1.5 = light CH1:5 50\n3.0 = light CH1:5 100\n");
    SimProcess sim({"--sensors", "40", "--light", "steady", "--scenario", dir + "/scenario.ini"});
    ASSERT_FALSE(sim.device().empty());
    const TempDir tmp;
    const std::string sessions = tmp.str();
    startBroker(sessions);
    // A collector whose session the broker keeps over its restart: what comes for it while
    // it is away waits for it.
    const std::vector<std::string> session{"-c", "-i", "plant-collector"};
    auto sub = std::make_unique<Subscriber>(dir, broker->port(), session);
    auto args = monitorArgs(sim.device(), "line9");
    // The JSON lines show the alerts as they are made, whether or not a broker is there.
    const std::string made = dir + "/line9.jsonl";
    args.insert(args.end(), {"--warn-count", "2", "--jsonl", made});
    auto monitor = startMonitor(args);
    ASSERT_TRUE(
        sub->waitFor([](const Subscriber& s) { return has(s, "qavix/line9/status"); }, kWait))
        << monitorErr();
    ASSERT_TRUE(sub->payloads("qavix/line9/alerts").empty());
    sub.reset();
    broker->stop();
    ASSERT_TRUE(waitUntil(
        [&] { return occurrences(readBytes(made), "\"topic\":\"qavix/line9/alerts\"") >= 2; },
        kWait))
        << "both alert changes happen meanwhile\n"
        << monitorErr();
    ASSERT_TRUE(monitor->running()) << monitorErr();
    EXPECT_NE(monitorErr().find("接続が切れました"), std::string::npos) << monitorErr();
    ASSERT_TRUE(broker->start());
    sub = std::make_unique<Subscriber>(dir, broker->port(), session);
    ASSERT_TRUE(
        sub->waitFor([](const Subscriber& s) { return has(s, "qavix/line9/alerts", 2); }, kWait))
        << monitorErr();
    const auto alerts = sub->payloads("qavix/line9/alerts");
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(jsonField(alerts[0], "alert"), "margin-low");
    EXPECT_EQ(jsonField(alerts[1], "alert"), "margin-ok");
    EXPECT_LT(jsonField(alerts[0], "time"), jsonField(alerts[1], "time"));
}

// An ACL that denies the errors topic: the broker refuses the entry (MQTT 5 says so in its
// acknowledgement). It is reported as lost, counted, and the state file stays before it,
// so a restart once the ACL is mended publishes it.
TEST_F(MonitorTest, ErrorEntryTheBrokerRefusesIsLostAloudAndNotMarkedDelivered) {
    write(dir + "/scenario.ini", "[events]\n1.0 = error A2\n");
    SimProcess sim({"--sensors", "8", "--light", "steady", "--scenario", dir + "/scenario.ini"});
    ASSERT_FALSE(sim.device().empty());
    // The subscriber's probe (BrokerProcess) may be written; the errors topic may not.
    startBroker({}, BrokerRules{"topic read qavix/#\n"
                                "topic readwrite qavix-probe/ready\n"
                                "topic write qavix/+/status\n"
                                "topic write qavix/+/online\n"
                                "topic write qavix/+/levels/#\n",
                                0});
    Subscriber sub(dir, broker->port());
    auto args = monitorArgs(sim.device(), "acl1");
    args.insert(args.end(), {"--errors-every", "0.25"});
    auto monitor = startMonitor(args);
    const std::string state = dir + "/acl1.state";
    ASSERT_TRUE(sub.waitFor([&](const Subscriber&) { return !readBytes(state).empty(); }, kWait))
        << monitorErr();
    const std::string before = readBytes(state);
    ASSERT_TRUE(sub.waitFor(
        [](const Subscriber& s) {
            const auto st = s.payloads("qavix/acl1/status");
            return !st.empty() && jsonField(st.back(), "errors_lost") == "1";
        },
        kWait))
        << monitorErr();
    EXPECT_TRUE(sub.payloads("qavix/acl1/errors").empty());
    EXPECT_EQ(occurrences(monitorErr(), "ブローカーが qavix/acl1/errors を拒否しました"), 1u)
        << monitorErr();
    EXPECT_NE(monitorErr().find("失われます"), std::string::npos) << monitorErr();
    EXPECT_EQ(readBytes(state), before);
    monitor->signal(SIGTERM);
    EXPECT_EQ(monitor->wait(5000ms).exitCode, 0);
}

// Level messages above the broker's message_size_limit: each is refused, said once, and
// what comes behind it (the other sensor's levels, every status) goes on.
TEST_F(MonitorTest, MessageAboveTheSizeLimitIsDroppedAndTheQueueGoesOn) {
    SimProcess sim({"--sensors", "128,4", "--light", "steady"});
    ASSERT_FALSE(sim.device().empty());
    startBroker({}, BrokerRules{{}, 1200});
    Subscriber sub(dir, broker->port());
    auto monitor = startMonitor(monitorArgs(sim.device(), "big"));
    ASSERT_TRUE(sub.waitFor(
        [](const Subscriber& s) {
            const auto st = s.payloads("qavix/big/status");
            return has(s, "qavix/big/levels/CH2", 4) && !st.empty() &&
                   std::atoi(jsonField(st.back(), "refused").c_str()) >= 3;
        },
        kWait))
        << monitorErr();
    EXPECT_TRUE(sub.payloads("qavix/big/levels/CH1").empty());
    EXPECT_EQ(occurrences(monitorErr(), "ブローカーが qavix/big/levels/CH1 を拒否しました"), 1u)
        << monitorErr();
    EXPECT_EQ(jsonField(sub.payloads("qavix/big/status").back(), "errors_lost"), "0");
}

// Two monitors given the same name (two controllers with the same ID) each keep their own
// session at the broker instead of taking it from each other in turn.
TEST_F(MonitorTest, TwoMonitorsOfOneNameDoNotTakeEachOthersSession) {
    SimProcess simA({"--sensors", "8"});
    SimProcess simB({"--sensors", "8"});
    startBroker();
    Subscriber sub(dir, broker->port());
    auto a = startMonitor(monitorArgs(simA.device(), "twin"));
    auto args = monitorArgs(simB.device(), "twin");
    args.back() = dir + "/twin-b.state";
    auto b = startMonitor(args, "b");
    ASSERT_TRUE(
        sub.waitFor([](const Subscriber& s) { return has(s, "qavix/twin/status", 12); }, kWait))
        << monitorErr();
    EXPECT_EQ(monitorErr().find("接続が切れました"), std::string::npos) << monitorErr();
    EXPECT_EQ(readBytes(dir + "/b.err").find("接続が切れました"), std::string::npos)
        << readBytes(dir + "/b.err");
}

// A JSON-lines file on a full disk is the side road: said, dropped, and the broker goes on.
TEST_F(MonitorTest, FailingJsonLinesLeaveTheBrokerGoingOn) {
    SimProcess sim({"--sensors", "8"});
    startBroker();
    Subscriber sub(dir, broker->port());
    auto args = monitorArgs(sim.device(), "full");
    args.insert(args.end(), {"--jsonl", "/dev/full"});
    auto monitor = startMonitor(args);
    ASSERT_TRUE(
        sub.waitFor([](const Subscriber& s) { return has(s, "qavix/full/status", 3); }, kWait))
        << monitorErr();
    EXPECT_TRUE(monitor->running());
    EXPECT_EQ(occurrences(monitorErr(), "JSON の行はこれ以上書きません"), 1u) << monitorErr();
}

// A killed monitor's last will: PlantStatusTest.cpp.
TEST_F(MonitorTest, PulledLineIsPublishedAsNoAnswerAndTheMonitorGoesOn) {
    // The first cycle's 12 requests of status and levels, then the cable is pulled while the
    // error log is read.
    SimProcess sim({"--sensors", "40,32", "--hang-after", "12"});
    startBroker();
    Subscriber sub(dir, broker->port());
    auto monitor = startMonitor(monitorArgs(sim.device(), "line11"));
    ASSERT_TRUE(sub.waitFor(
        [](const Subscriber& s) {
            const auto st = s.payloads("qavix/line11/status");
            return !st.empty() && jsonField(st.back(), "line") == "no-answer";
        },
        kWait))
        << monitorErr();
    EXPECT_TRUE(has(sub, "qavix/line11/levels/CH1"));  // read while the line was there
    EXPECT_TRUE(monitor->running());
    monitor->signal(SIGTERM);
    EXPECT_EQ(monitor->wait(6000ms).exitCode, 0);
}

// Runs a tool of the test's own (openssl, mosquitto_passwd) and says whether it succeeded.
bool tool(const std::string& dir, const std::vector<std::string>& argv) {
    ProcessSetup setup;
    setup.workDir = dir;
    return runProcess(argv, setup, 10000ms).exitCode == 0;
}

// A throw-away authority and a certificate it signs for 127.0.0.1.
bool makeCa(const std::string& dir, const std::string& name) {
    return tool(
        dir, {"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
              "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", dir + "/" + name + ".key",
              "-out", dir + "/" + name + ".pem", "-days", "1", "-subj", "/CN=qavix test " + name});
}

TEST_F(MonitorTest, TlsWithTheRightAuthorityAndLoginOnly) {
    ASSERT_TRUE(makeCa(dir, "ca"));
    ASSERT_TRUE(makeCa(dir, "other-ca"));
    write(dir + "/san.cnf", "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    ASSERT_TRUE(tool(dir, {"openssl", "req", "-newkey", "ec", "-pkeyopt",
                           "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", dir + "/server.key",
                           "-out", dir + "/server.csr", "-subj", "/CN=localhost"}));
    ASSERT_TRUE(tool(dir, {"openssl", "x509", "-req", "-in", dir + "/server.csr", "-CA",
                           dir + "/ca.pem", "-CAkey", dir + "/ca.key", "-CAcreateserial", "-out",
                           dir + "/server.pem", "-days", "1", "-extfile", dir + "/san.cnf"}));
    ASSERT_TRUE(tool(dir, {"mosquitto_passwd", "-c", "-b", dir + "/passwd", "plant", "s3cret"}));
    write(dir + "/password", "s3cret\n");
    write(dir + "/wrong-password", "guess\n");
    broker = std::make_unique<Broker>(
        dir, BrokerTls{dir + "/ca.pem", dir + "/server.pem", dir + "/server.key", dir + "/passwd"});
    ASSERT_TRUE(broker->start()) << readBytes(dir + "/mosquitto1.err");
    const std::string url = "mqtts://127.0.0.1:" + std::to_string(broker->port());
    const auto monitorArgs = [&](const std::string& ca, const std::string& password) {
        return std::vector<std::string>{"monitor",
                                        "--mqtt",
                                        url,
                                        "--cafile",
                                        dir + "/" + ca,
                                        "--username",
                                        "plant",
                                        "--password-file",
                                        dir + "/" + password,
                                        "--name",
                                        "tls",
                                        "--once",
                                        "--state-file",
                                        dir + "/st"};
    };
    const CtlEnv env{{}, {{"QAVLINK_COM1", "sim:--sensors 8"}}};

    Subscriber sub(dir, broker->port(),
                   {"--cafile", dir + "/ca.pem", "-u", "plant", "-P", "s3cret"});
    ::chmod((dir + "/password").c_str(), 0644);
    const CtlRun good = runCtl(env, monitorArgs("ca.pem", "password"));
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_NE(good.err.find("は全ユーザーが読めます"), std::string::npos) << good.err;
    EXPECT_TRUE(sub.waitFor([](const Subscriber& s) { return has(s, "qavix/tls/status"); }, kWait));

    // Each certificate fault says what it is: an unknown authority, an expired certificate,
    // one made out to another host.
    const CtlRun wrongCa = runCtl(env, monitorArgs("other-ca.pem", "password"));
    EXPECT_EQ(wrongCa.exitCode, 3);
    EXPECT_NE(wrongCa.err.find("信頼されていない認証局"), std::string::npos) << wrongCa.err;
    const auto otherBroker = [&](const std::string& name, const std::vector<std::string>& extra) {
        const std::string folder = dir + "/" + name;
        std::filesystem::create_directory(folder);
        EXPECT_TRUE(
            tool(dir, {"openssl", "req", "-newkey", "ec", "-pkeyopt",
                       "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", folder + "/server.key",
                       "-out", folder + "/server.csr", "-subj", "/CN=" + name}));
        std::vector<std::string> sign{"openssl",
                                      "x509",
                                      "-req",
                                      "-in",
                                      folder + "/server.csr",
                                      "-CA",
                                      dir + "/ca.pem",
                                      "-CAkey",
                                      dir + "/ca.key",
                                      "-CAcreateserial",
                                      "-out",
                                      folder + "/server.pem"};
        sign.insert(sign.end(), extra.begin(), extra.end());
        EXPECT_TRUE(tool(dir, sign));
        auto b =
            std::make_unique<Broker>(folder, BrokerTls{dir + "/ca.pem", folder + "/server.pem",
                                                       folder + "/server.key", dir + "/passwd"});
        EXPECT_TRUE(b->start()) << readBytes(folder + "/mosquitto1.err");
        return b;
    };
    write(dir + "/other-host.cnf", "subjectAltName=DNS:elsewhere.example\n");
    for (const auto& [name, extra, says] :
         {std::tuple{"expired",
                     std::vector<std::string>{"-days", "-1", "-extfile", dir + "/san.cnf"},
                     "有効期限が切れています"},
          std::tuple{"elsewhere",
                     std::vector<std::string>{"-days", "1", "-extfile", dir + "/other-host.cnf"},
                     "127.0.0.1 ではない別のホスト宛てです"}}) {
        const auto b = otherBroker(name, extra);
        auto args = monitorArgs("ca.pem", "password");
        args[2] = "mqtts://127.0.0.1:" + std::to_string(b->port());
        const CtlRun run = runCtl(env, args);
        EXPECT_EQ(run.exitCode, 3) << name;
        EXPECT_NE(run.err.find(says), std::string::npos) << name << ": " << run.err;
    }

    ::chmod((dir + "/wrong-password").c_str(), 0600);
    const CtlRun wrongPassword = runCtl(env, monitorArgs("ca.pem", "wrong-password"));
    EXPECT_EQ(wrongPassword.err.find("every user"), std::string::npos) << wrongPassword.err;
    EXPECT_EQ(wrongPassword.exitCode, 3);
    EXPECT_NE(wrongPassword.err.find("接続を拒否されました"), std::string::npos)
        << wrongPassword.err;
    std::string said = wrongPassword.err;
    std::transform(said.begin(), said.end(), said.begin(), ::tolower);
    EXPECT_NE(said.find("not authori"), std::string::npos) << wrongPassword.err;
}

TEST_F(MonitorTest, BadOptionsAreUsageErrorsBeforeAnythingConnects) {
    write(dir + "/unknown.conf", "mqtt = mqtt://127.0.0.1\nbogus = 1\n");
    const std::string unreadable = dir + "/ca.pem";
    write(unreadable, "x");
    ::chmod(unreadable.c_str(), 0);
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const std::vector<Case> cases = {
        {{"--mqtt", "http://127.0.0.1"}, "mqtt://HOST"},
        {{"--mqtt", "mqtt://127.0.0.1:70000"}, "1..65535"},
        {{"--mqtt", "mqtts://127.0.0.1", "--cafile", dir + "/missing.pem"}, "ファイルがありません"},
        {{"--mqtt", "mqtt://127.0.0.1", "--username", "u", "--password-file", dir + "/none"},
         "ファイルがありません"},
        {{"--mqtt", "mqtt://127.0.0.1", "--password", "secret"}, "password"},
        {{"--mqtt", "mqtt://127.0.0.1", "--cafile", dir + "/unknown.conf"}, "mqtts://"},
        {{"--mqtt", "mqtt://127.0.0.1", "--name", "a/b"}, "topic"},
        {{"--mqtt", "mqtt://127.0.0.1", "--name", ""}, "is empty"},
        {{"--mqtt", "mqtt://127.0.0.1", "--name", "line\xFF\x1B[2J"}, "line\\xFF\\x1B[2J"},
        {{"--mqtt", "mqtt://127.0.0.1", "--interval", "0"}, "interval"},
        {{"--config", dir + "/unknown.conf"}, "bogus"},
        {{}, "--jsonl"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"monitor"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        // A controller that would answer: nothing may reach it, nor the broker.
        const CtlRun run =
            runCtl(CtlEnv{{}, {{"QAVLINK_COM1", "sim:--log " + dir + "/sim.log"}}}, args);
        EXPECT_EQ(run.exitCode, 64) << (c.args.empty() ? std::string() : c.args.back());
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    if (::geteuid() != 0) {  // root reads anything
        const CtlRun run =
            runCtl({}, {"monitor", "--mqtt", "mqtts://127.0.0.1", "--cafile", unreadable});
        EXPECT_EQ(run.exitCode, 64);
    }
    EXPECT_TRUE(readBytes(dir + "/sim.log").empty());
}

TEST_F(MonitorTest, ConfigFileAndJsonLinesForOneCycle) {
    const std::string out = dir + "/out.jsonl";
    write(dir + "/monitor.conf",
          "# a service's file\n[monitor]\nname = from-file\ninterval = 30\njsonl = " + out +
              "\nonce = true\nstate-file = " + dir + "/st\ndevice = \"sim:--sensors 12\"\n");
    // The command line wins over the file.
    const CtlRun run = runCtl({}, {"monitor", "--config", dir + "/monitor.conf", "--name", "cli"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto written = lines(readBytes(out));
    ASSERT_EQ(written.size(), 4u) << readBytes(out);
    EXPECT_EQ(written[0], R"({"topic":"qavix/cli/online","payload":true,"retain":true})");
    EXPECT_EQ(written[1].rfind(R"({"topic":"qavix/cli/levels/CH1","payload":{)", 0), 0u);
    EXPECT_EQ(jsonIntArray(written[1], "level").size(), 12u);
    EXPECT_EQ(written[2].rfind(R"({"topic":"qavix/cli/status","payload":{)", 0), 0u);
    EXPECT_NE(written[2].find(R"("retain":true})"), std::string::npos);
    EXPECT_EQ(written[3], R"({"topic":"qavix/cli/online","payload":false,"retain":true})");
    // The first look at the error log only remembers its newest entry.
    EXPECT_NE(readBytes(dir + "/st").find("last-error = 231105093012 00 C8"), std::string::npos);
}

TEST_F(MonitorTest, ControllerIdNamesTheTopicsWithoutName) {
    const CtlRun run = runCtl(CtlEnv{{}, {{"QAVLINK_COM1", "sim:--sensors 8"}}},
                              {"monitor", "--jsonl", "-", "--once", "--state-file", dir + "/st"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lines(run.out).front(),
              R"({"topic":"qavix/000101/online","payload":true,"retain":true})");
}

}  // namespace
}  // namespace qavix::cli::test
