// qavixctl through Debian's ser2net on loopback, its connector the pseudo-terminal of a
// qavix-sim: the same information and error log as over the pseudo-terminal, through the
// command line's target or the port's, and the messages of a port that cannot be reached.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CtlProcess.h"
#include "Ser2netProcess.h"
#include "SimProcess.h"
#include "TempDir.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

struct Ser2netCtl : ::testing::Test {
    void SetUp() override {
        if (!Ser2netProcess::available()) {
            GTEST_SKIP() << "ser2net is not installed (scripts/setup.sh installs it)";
        }
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    const TempDir tmp;
    std::string dir = tmp.str();
};

TEST_F(Ser2netCtl, InfoAndErrorsThroughEitherServer) {
    SimProcess sim({"--sensors", "40,32"});
    ASSERT_FALSE(sim.device().empty());
    const CtlEnv direct{dir, {{"QAVLINK_COM1", sim.device()}}};
    const CtlRun info = runCtl(direct, {"info"});
    const CtlRun errors = runCtl(direct, {"errors"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    ASSERT_EQ(errors.exitCode, 0) << errors.err;

    for (bool rfc2217 : {false, true}) {
        Ser2netProcess server({rfc2217, sim.device(), "9600e72"});
        ASSERT_TRUE(server.running()) << server.log();
        // The target on the command line, or mapped to the port: both reach the server.
        const CtlEnv none{dir, {}};
        const CtlEnv mapped{dir, {{"QAVLINK_COM1", server.target()}}};
        const CtlRun infoThrough = runCtl(none, {"info", "--port", server.target()});
        EXPECT_EQ(infoThrough.exitCode, 0) << infoThrough.err;
        EXPECT_EQ(infoThrough.out, info.out) << server.target();
        if (rfc2217) {  // the comm tests compare what is read through both kinds
            const CtlRun errorsThrough = runCtl(mapped, {"errors"});
            EXPECT_EQ(errorsThrough.exitCode, 0) << errorsThrough.err;
            EXPECT_EQ(errorsThrough.out, errors.out) << server.target();
        }
    }
}

TEST_F(Ser2netCtl, APortNobodyServesAndAMalformedTargetSayWhy) {
    SimProcess sim({});
    int port = 0;
    {
        Ser2netProcess server({false, sim.device(), "9600e72"});
        ASSERT_TRUE(server.running()) << server.log();
        port = server.port();
    }
    // The server is gone: its port refuses.
    const CtlRun refused =
        runCtl({dir, {}}, {"info", "--port", "rfc2217:127.0.0.1:" + std::to_string(port)});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_NE(refused.err.find("接続先 rfc2217:127.0.0.1:" + std::to_string(port) +
                               " への接続が拒否されました"),
              std::string::npos)
        << refused.err;

    const CtlRun malformed = runCtl({dir, {}}, {"info", "--port", "tcp:[::1]"});
    EXPECT_EQ(malformed.exitCode, 64);
    EXPECT_NE(malformed.err.find("tcp:[::1]"), std::string::npos) << malformed.err;
    const CtlRun mappedBadly = runCtl({dir, {{"QAVLINK_COM1", "tcp:plc:99999"}}}, {"info"});
    EXPECT_EQ(mappedBadly.exitCode, 3);
    EXPECT_NE(mappedBadly.err.find("書き方が正しくありません"), std::string::npos)
        << mappedBadly.err;
}

}  // namespace
}  // namespace qavix::cli::test
