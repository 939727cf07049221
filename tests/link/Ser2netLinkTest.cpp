// The link library through Debian's ser2net on loopback, its connector the pseudo-terminal
// of a qavix-sim: the line RFC 2217 really sets, bytes 0xFF carried both ways, and every
// way the connection can fail named by KRYL_GetLastError.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "FakeDeviceServer.h"
#include "FileText.h"
#include "LinkApi.h"
#include "Ser2netProcess.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace qavix::link::test {
namespace {

using Clock = std::chrono::steady_clock;
using qavix::test::Ser2netProcess;
using qavix::test::SimProcess;
using namespace std::chrono_literals;

constexpr int kStatusId = 48;
constexpr int kTimeoutMs = 1500;
constexpr int kPutText59 = 1;
constexpr int kReadText59 = 59;
constexpr int kBank1 = 150;

const LinkApi& api() {
    return LinkApi::instance();
}

std::string lastMessage() {
    char code[KRYL_ERROR_CODE_SIZE] = {};
    char message[KRYL_ERROR_TEXT_SIZE] = {};
    api().getLastError(code, message);
    return message;
}

bool statusOk() {
    char reply[1024] = {};
    return api().getControlDataWait(kStatusId, reply, kTimeoutMs) == 1;
}

std::vector<int> block(int baud) {
    return {baud, 7, 2, 2, 0, 0};
}

// A client of the server that is not us: another engineer's program on the same port.
class OtherClient {
  public:
    explicit OtherClient(int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~OtherClient() { ::close(m_fd); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;
    bool connected() const { return m_connected; }

  private:
    int m_fd = -1;
    bool m_connected = false;
};

class Ser2netLink : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(api().missing, "");
        ASSERT_EQ(api().initialize(), 1);
    }
    void TearDown() override {
        api().close();
        api().terminate();
        ::unsetenv("QAVLINK_COM1");
        ::unsetenv("QAVLINK_CONNECT_TIMEOUT");
    }
    static void requireSer2net() {
        if (!Ser2netProcess::available()) {
            GTEST_SKIP() << "ser2net is not installed (scripts/setup.sh installs it)";
        }
    }
    static bool openVia(const std::string& target, int baud = 9600) {
        ::setenv("QAVLINK_COM1", target.c_str(), 1);
        return api().open("COM1", block(baud).data()) == 1;
    }
};

TEST_F(Ser2netLink, Rfc2217SetsTheLineRateWhileARawPortKeepsTheServersOwn) {
    requireSer2net();
    qavix::test::TempDir dir;
    const std::string log = dir.file("sim.log");
    SimProcess sim({"--line-rate", "tty", "--log", log});
    ASSERT_FALSE(sim.device().empty());
    {
        Ser2netProcess raw({false, sim.device(), "9600e72"});
        ASSERT_TRUE(raw.running()) << raw.log();
        ASSERT_TRUE(openVia(raw.target(), 115200)) << api().errorCode() << " " << lastMessage();
        EXPECT_TRUE(statusOk()) << api().errorCode();
        api().close();
    }
    {
        Ser2netProcess telnet({true, sim.device(), "9600e72"});
        ASSERT_TRUE(telnet.running()) << telnet.log();
        ASSERT_TRUE(openVia(telnet.target(), 115200)) << api().errorCode() << " " << lastMessage();
        EXPECT_TRUE(statusOk()) << api().errorCode();
        api().close();
    }
    // The emulator logs each rate it finds set on its terminal when it paces a reply.
    std::ifstream in(log);
    std::vector<std::string> rates;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("line-rate ", 0) == 0) {
            rates.push_back(line);
        }
    }
    EXPECT_EQ(rates, (std::vector<std::string>{"line-rate 9600", "line-rate 115200"}));
}

TEST_F(Ser2netLink, BytesFFInAPayloadSurviveBothWays) {
    requireSer2net();
    SimProcess sim({});
    ASSERT_FALSE(sim.device().empty());
    const std::string text =
        "AB\xff\xff"
        "C\xff";
    for (bool rfc2217 : {false, true}) {
        Ser2netProcess server({rfc2217, sim.device(), "9600e72"});
        ASSERT_TRUE(server.running()) << server.log();
        ASSERT_TRUE(openVia(server.target())) << lastMessage();
        ASSERT_EQ(api().startSetting(0), 1) << api().errorCode();
        ASSERT_EQ(api().putControlDataWait(kPutText59, text.c_str(), kTimeoutMs), 1)
            << server.target() << " " << api().errorCode();
        char reply[1024] = {};
        ASSERT_EQ(api().getControlDataWait(kReadText59, reply, kTimeoutMs), 1) << api().errorCode();
        EXPECT_EQ(std::string(reply).substr(0, text.size()), text) << server.target();
        EXPECT_EQ(api().reset(0), 1);
        api().close();
    }
}

TEST_F(Ser2netLink, AServerKilledDuringAReadIsALostLineNeverASuccess) {
    requireSer2net();
    for (bool rfc2217 : {false, true}) {
        // A reply of 800 characters takes most of a second at 9600 baud: the server is
        // killed once the emulator has the request.
        const qavix::test::TempDir dir;
        const std::string requests = dir.file("requests.log");
        SimProcess sim({"--line-rate", "9600", "--log", requests});
        Ser2netProcess server({rfc2217, sim.device(), "9600e72"});
        ASSERT_TRUE(server.running()) << server.log();
        ASSERT_TRUE(openVia(server.target())) << lastMessage();
        ASSERT_TRUE(statusOk());
        const size_t before = qavix::test::lines(qavix::test::readBytes(requests)).size();
        std::thread killer([&] {
            qavix::test::waitUntil(
                [&] {
                    return qavix::test::lines(qavix::test::readBytes(requests)).size() > before;
                },
                10s);
            server.kill();
        });
        char reply[1024] = {};
        const int result = api().getParameterDataWait(kBank1, 0, 400, reply, 5000);
        killer.join();
        EXPECT_EQ(result, 0) << server.target();
        EXPECT_EQ(api().errorCode(), "DROPPED") << server.target();
        EXPECT_EQ(std::string(reply), "");
        EXPECT_EQ(lastMessage().rfind("通信ポート COM1 の接続先 " + server.target(), 0), 0u)
            << lastMessage();
        EXPECT_FALSE(statusOk()) << "and it stays lost";
        api().close();
    }
}

TEST_F(Ser2netLink, ASecondClientTakingThePortIsNamedForWhatItIs) {
    requireSer2net();
    SimProcess sim({});
    for (bool rfc2217 : {false, true}) {
        // kickolduser: the newcomer wins and our connection is closed under us.
        Ser2netProcess kicking({rfc2217, sim.device(), "9600e72", true});
        ASSERT_TRUE(kicking.running()) << kicking.log();
        ASSERT_TRUE(openVia(kicking.target())) << lastMessage();
        ASSERT_TRUE(statusOk());
        OtherClient other(kicking.port());
        ASSERT_TRUE(other.connected());
        EXPECT_FALSE(statusOk());
        EXPECT_EQ(api().errorCode(), "DROPPED") << kicking.target();
        api().close();
    }
    for (bool rfc2217 : {false, true}) {
        // Without it the newcomer is turned away with the server's own words.
        Ser2netProcess keeping({rfc2217, sim.device(), "9600e72", false});
        ASSERT_TRUE(keeping.running()) << keeping.log();
        OtherClient other(keeping.port());
        ASSERT_TRUE(other.connected());
        ASSERT_TRUE(qavix::test::waitUntil([&] { return keeping.holds(sim.device()); }, 5s))
            << "the server gives the line to the first client";
        const bool opened = openVia(keeping.target());
        // A raw port cannot tell before the first request; RFC 2217 fails the open.
        EXPECT_EQ(opened, !rfc2217);
        if (opened) {
            EXPECT_FALSE(statusOk());
        }
        EXPECT_EQ(api().errorCode(), "BUSY") << keeping.target();
        EXPECT_NE(lastMessage().find("他のクライアントが使用中"), std::string::npos)
            << lastMessage();
        api().close();
    }
}

TEST_F(Ser2netLink, AWrongPortIsRefusedAndASilentAddressEndsAtTheConnectTimeout) {
    EXPECT_FALSE(openVia("tcp:127.0.0.1:" + std::to_string(closedPort())));
    EXPECT_EQ(api().errorCode(), "REFUSED");
    EXPECT_NE(lastMessage().find("拒否されました"), std::string::npos) << lastMessage();

    ::setenv("QAVLINK_CONNECT_TIMEOUT", "300", 1);
    Blackhole blackhole;
    ASSERT_NE(blackhole.port(), 0);
    for (const char* protocol : {"tcp:", "rfc2217:"}) {
        const auto start = Clock::now();
        EXPECT_FALSE(
            openVia(protocol + std::string("127.0.0.1:") + std::to_string(blackhole.port())));
        EXPECT_EQ(api().errorCode(), "NOREPLY") << protocol;
        EXPECT_NE(lastMessage().find("0.3 秒以内に接続に応じません"), std::string::npos)
            << lastMessage();
        EXPECT_LT(Clock::now() - start, 2300ms) << "bounded by the connect time-out";
    }
    EXPECT_FALSE(openVia("tcp:[::1"));
    EXPECT_EQ(api().errorCode(), "ADDRESS");
}

}  // namespace
}  // namespace qavix::link::test
