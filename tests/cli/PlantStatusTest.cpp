// qavixctl plant status against Debian's mosquitto and real monitors on the built-in
// emulator: the table a script reads, its exit status when a monitor dies, and a broker that
// is not there or refuses what is published under the root.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <fstream>

#include "BrokerProcess.h"
#include "CtlProcess.h"
#include "FileText.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

using namespace std::chrono_literals;

constexpr auto kWait = 10000ms;
// Well under the emulator's margins, which stray around the monitor's own default.
constexpr const char* kWarnMargin = "60";

// mosquitto_pub of one retained message, as another publisher on the plant's broker would.
int publishRetained(int port, const std::string& topic, const std::string& payload) {
    return runProcess({"mosquitto_pub", "-h", "127.0.0.1", "-p", std::to_string(port), "-r", "-t",
                       topic, "-m", payload},
                      {}, kWait)
        .exitCode;
}

class PlantStatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        broker = std::make_unique<Broker>(dir);
        ASSERT_TRUE(broker->start()) << readBytes(dir + "/mosquitto1.err");
    }
    std::string url() const { return "mqtt://127.0.0.1:" + std::to_string(broker->port()); }
    std::unique_ptr<CtlChild> startMonitor(const std::string& name, const std::string& device) {
        return std::make_unique<CtlChild>(
            CtlEnv{dir, {}, 0, dir + "/" + name + ".out", dir + "/" + name + ".err"},
            std::vector<std::string>{"monitor", "--mqtt", url(), "--device", device, "--name", name,
                                     "--interval", "0.25", "--warn-margin", kWarnMargin,
                                     "--state-file", dir + "/" + name + ".state"});
    }
    // Until every one of `names` has a retained status.
    bool waitForStatuses(const std::vector<std::string>& names) {
        return waitUntil(
            [&] {
                const auto got = retained(broker->port(), "qavix/+/status");
                return std::all_of(names.begin(), names.end(), [&](const std::string& n) {
                    return std::any_of(got.begin(), got.end(), [&](const std::string& line) {
                        return line.rfind("qavix/" + n + "/status ", 0) == 0;
                    });
                });
            },
            kWait, std::chrono::milliseconds(100));
    }
    CtlRun status(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{"plant", "status", "--mqtt", url()};
        args.insert(args.end(), extra.begin(), extra.end());
        return runCtl(CtlEnv{}, args);
    }

    const TempDir tmp;
    const std::string dir = tmp.str();
    std::unique_ptr<Broker> broker;
};

TEST_F(PlantStatusTest, ThreeMonitorsThenOneKilled) {
    auto a = startMonitor("press-1", "sim:--sensors 40");
    auto b = startMonitor("press-2", "sim:--sensors 40,32");
    auto c = startMonitor("line7", "sim:--sensors 16");
    ASSERT_TRUE(waitForStatuses({"press-1", "press-2", "line7"})) << readBytes(dir + "/line7.err");

    const CtlRun all = status({"--json"});
    EXPECT_EQ(all.exitCode, 0) << all.out << all.err;
    EXPECT_NE(all.out.find(R"("controllers":3,"offline":0,"attention":0)"), std::string::npos)
        << all.out;
    for (const char* name : {"press-1", "press-2", "line7"}) {
        EXPECT_NE(all.out.find(std::string(R"({"name":")") + name + R"(","severity":"ok")"),
                  std::string::npos)
            << name << "\n"
            << all.out;
    }
    EXPECT_NE(all.out.find(R"("target":"sim")"), std::string::npos) << all.out;

    // SIGKILL: the monitor says nothing; the broker says its last will at once, as the
    // connection breaks.
    b->signal(SIGKILL);
    CtlRun one;
    waitUntil(
        [&] {
            one = status({"--json"});
            return one.exitCode != 0;
        },
        kWait, std::chrono::milliseconds(100));
    EXPECT_EQ(one.exitCode, 1) << one.out << one.err;
    EXPECT_NE(one.out.find(R"("offline":1)"), std::string::npos) << one.out;
    EXPECT_NE(one.out.find(R"({"name":"press-2","severity":"offline")"), std::string::npos)
        << one.out;

    // The table for a person: a line per controller and the summary.
    const CtlRun table = status();
    EXPECT_EQ(table.exitCode, 1);
    EXPECT_NE(table.out.find("3 台 / オフライン 1 / 注意 0"), std::string::npos) << table.out;
    EXPECT_EQ(lines(table.out).size(), 5u) << table.out;
}

TEST_F(PlantStatusTest, WhatCannotBeReadIsCountedAndNoMonitorIsNotWell) {
    const CtlRun none = status();
    EXPECT_EQ(none.exitCode, 1) << none.out << none.err;
    EXPECT_NE(none.err.find("qavix/ の下に送信しているモニターがありません"), std::string::npos)
        << none.err;

    // Someone else's publisher on the root: a payload no monitor makes, and a name with a
    // right-to-left override (the broker refuses control characters in topics itself).
    ASSERT_EQ(publishRetained(broker->port(), "qavix/odd\u202Eevil/status", "{not json"), 0);
    ASSERT_EQ(publishRetained(broker->port(), "qavix/odd\u202Eevil/online", "true"), 0);
    const CtlRun odd = status();
    EXPECT_EQ(odd.exitCode, 1);
    EXPECT_NE(odd.err.find("1 件のメッセージを読めませんでした"), std::string::npos) << odd.err;
    EXPECT_NE(odd.out.find("odd\\u202Eevil"), std::string::npos) << odd.out;
    EXPECT_EQ(odd.out.find("\u202E"), std::string::npos);
    EXPECT_NE(odd.out.find("状態未受信"), std::string::npos) << odd.out;
}

TEST_F(PlantStatusTest, ABrokerThatIsNotThereEndsAtOnce) {
    const int port = broker->port();
    broker->stop();
    const auto started = std::chrono::steady_clock::now();
    const CtlRun down =
        runCtl(CtlEnv{}, {"plant", "status", "--mqtt", "mqtt://127.0.0.1:" + std::to_string(port)});
    EXPECT_EQ(down.exitCode, 3) << down.out << down.err;
    EXPECT_NE(down.err.find("ブローカー mqtt://127.0.0.1:"), std::string::npos) << down.err;
    // Not the whole wait for a broker that answers late: a refused connection is final here.
    EXPECT_LT(std::chrono::steady_clock::now() - started, kWait);

    const CtlRun usage = runCtl(CtlEnv{}, {"plant", "status", "--mqtt", "http://x"});
    EXPECT_EQ(usage.exitCode, 64) << usage.err;
    const CtlRun noBroker = runCtl(CtlEnv{}, {"plant", "status"});
    EXPECT_EQ(noBroker.exitCode, 64) << noBroker.err;
}

}  // namespace
}  // namespace qavix::cli::test
