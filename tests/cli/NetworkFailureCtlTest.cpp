// qavixctl against device servers that misbehave, written for the purpose: one that floods
// or never finishes what it began ends the command at its time-out within a memory limit, a
// line setting the server changes is told apart from one it never answers, and a target's
// control characters never reach the terminal.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "CtlProcess.h"
#include "FakeDeviceServer.h"
#include "FileText.h"
#include "TelnetCodec.h"

namespace qavix::cli::test {

using namespace qavix::test;
namespace {

using link::test::FakeDeviceServer;
using namespace std::chrono_literals;
namespace telnet = link::telnet;

constexpr int kExitConnection = 3;

// Far above what a command needs (a few megabytes resident, a few hundred of address space
// for its threads), far below what a flood once took (gigabytes). AddressSanitizer reserves
// terabytes of address space up front, so the limit stays off under it.
#if defined(__SANITIZE_ADDRESS__)
constexpr unsigned long long kMemoryLimit = 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr unsigned long long kMemoryLimit = 0;
#else
constexpr unsigned long long kMemoryLimit = 512ull << 20;
#endif
#else
constexpr unsigned long long kMemoryLimit = 512ull << 20;
#endif

std::string target(const char* scheme, const FakeDeviceServer& server) {
    return std::string(scheme) + "127.0.0.1:" + std::to_string(server.port());
}

// The server's side of an RFC 2217 open up to the client's line settings, which are
// answered with `answers`.
void negotiate(int fd, const std::string& answers) {
    link::test::sendAll(fd, telnet::negotiation(telnet::kDo, telnet::kOptionComPort));
    link::test::readUntil(fd, telnet::comPortCommand(telnet::kSetControl, 1));
    link::test::sendAll(fd, answers);
}

std::string answer(unsigned char command, std::uint32_t value) {
    return telnet::comPortCommand(command + telnet::kServerReply, value);
}

// The line of a port without Qavix.ini: 9600 bps, 7 bits, even parity, 2 stop bits.
std::string answersFor(std::uint32_t baud) {
    return answer(telnet::kSetBaudRate, baud) + answer(telnet::kSetDataSize, 7) +
           answer(telnet::kSetParity, telnet::kParityEven) +
           answer(telnet::kSetStopSize, telnet::kStopTwo);
}

TEST(QavixctlNetwork, AFloodingServerEndsTheCommandAtItsTimeOutWithinAMemoryLimit) {
    const std::string junk(65536, 'x');
    struct Case {
        const char* name;
        const char* scheme;
        int connections;  // the opens the command makes: three when none succeeds
        std::function<void(int)> before;
        std::string flood;  // sent again and again after `before`
    };
    const Case cases[] = {
        {"RFC 2217, data instead of the negotiation", "rfc2217:", 3, [](int) {}, junk},
        {"RFC 2217, negotiations without end", "rfc2217:", 3, [](int) {},
         telnet::negotiation(telnet::kWill, telnet::kOptionEcho)},
        {"RFC 2217, a subnegotiation never ended", "rfc2217:", 3,
         [](int fd) {
             link::test::sendAll(fd,
                                 telnet::subnegotiation(telnet::kOptionComPort, "").substr(0, 3));
         },
         junk},
        {"RFC 2217, data once the line is set", "rfc2217:", 1,
         [](int fd) { negotiate(fd, answersFor(9600)); }, junk},
        {"raw TCP", "tcp:", 1, [](int) {}, junk},
    };
    for (const Case& c : cases) {
        std::atomic<int> outlasted{0};
        CtlRun run;
        {
            FakeDeviceServer server(
                [&](int fd) {
                    c.before(fd);
                    outlasted += link::test::floodUntilClosed(fd, c.flood, 60s) ? 0 : 1;
                },
                c.connections);
            CtlEnv env{
                {},
                {{"QAVLINK_COM1", target(c.scheme, server)}, {"QAVLINK_CONNECT_TIMEOUT", "1000"}}};
            env.memoryLimit = kMemoryLimit;
            CtlChild info(env, {"info", "--port", "COM1"});
            ASSERT_TRUE(info.started()) << c.name;
            run = info.wait(60s);
        }
        EXPECT_EQ(run.exitCode, kExitConnection) << c.name << "\n" << run.err;
        EXPECT_FALSE(contains(run.err, "bad_alloc")) << c.name;
        EXPECT_EQ(outlasted, 0) << c.name << ": the command stayed until the flood gave up";
    }
}

// A server that sets another rate and one that never answers the rate are different faults:
// the message shows what was asked for and what came back.
TEST(QavixctlNetwork, ARateTheServerChangesIsToldApartFromOneItNeverAnswers) {
    struct Case {
        const char* name;
        std::string answers;
        const char* shown;
    };
    const Case cases[] = {
        {"changed", answersFor(19200), "（要求 9600 bps、応答 19200 bps）"},
        {"never answered", "", "（要求 9600 bps、応答なし）"},
    };
    for (const Case& c : cases) {
        FakeDeviceServer server(
            [&](int fd) {
                negotiate(fd, c.answers);
                link::test::readUntilClosed(fd, 5s);
            },
            3);
        const CtlRun run = runCtl(CtlEnv{{},
                                         {{"QAVLINK_COM1", target("rfc2217:", server)},
                                          {"QAVLINK_CONNECT_TIMEOUT", "500"}}},
                                  {"info", "--port", "COM1"});
        EXPECT_EQ(run.exitCode, kExitConnection) << c.name;
        EXPECT_TRUE(contains(run.err, "通信速度の設定を受け付けません" + std::string(c.shown)))
            << c.name << ": " << run.err;
    }
}

TEST(QavixctlNetwork, ATargetsControlCharactersAreWrittenOut) {
    const CtlRun run =
        runCtl(CtlEnv{{}, {{"QAVLINK_COM1", "tcp:\x1b[2Jx:1"}}}, {"info", "--port", "COM1"});
    EXPECT_EQ(run.exitCode, kExitConnection);
    EXPECT_TRUE(contains(run.err, "tcp:\\x1B[2Jx:1")) << run.err;
    EXPECT_FALSE(contains(run.err, "\x1b")) << run.err;
}

}  // namespace
}  // namespace qavix::cli::test
