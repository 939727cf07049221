// The network transports against scripted device servers on loopback: raw bytes both ways,
// RFC 2217 line settings sent from the port's settings and their answers checked, 0xFF
// escaped on the wire, and each way a connection fails named for what it is.

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "FakeDeviceServer.h"
#include "Rfc2217Transport.h"
#include "TcpConnect.h"
#include "TcpTransport.h"
#include "TelnetCodec.h"
#include "TempDir.h"
#include "WaitUntil.h"

namespace qavix::link {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using test::FakeDeviceServer;
using test::readUntil;
using test::readUntilClosed;
using test::sendAll;

constexpr auto kTimeout = 300ms;
constexpr auto kIoWait = 2s;
// How long a hostile server keeps on at most; a client that gives up at its own deadline
// leaves long before.
constexpr auto kFloodLimit = 10s;

NetworkAddress loopback(int port, NetProtocol protocol = NetProtocol::Tcp) {
    return {protocol, "127.0.0.1", port};
}

PortSettings line7E2(int baud) {
    PortSettings s;
    s.baud = baud;
    s.dataBits = 7;
    s.parity = Parity::Even;
    s.stopBits = 2;
    return s;
}

std::string ff(const std::string& before, const std::string& after) {
    return before + "\xff" + after;
}

// The greeting of ser2net 4 on a telnet(rfc2217) accepter.
std::string deviceServerGreeting() {
    using namespace telnet;
    return negotiation(kWill, kOptionSuppressGoAhead) + negotiation(kDo, kOptionSuppressGoAhead) +
           negotiation(kWill, kOptionEcho) + negotiation(kDont, kOptionEcho) +
           negotiation(kDo, kOptionBinary) + negotiation(kWill, kOptionBinary) +
           negotiation(kDo, kOptionComPort);
}

std::string answer(unsigned char command, std::uint32_t value) {
    return telnet::comPortCommand(command + telnet::kServerReply, value);
}

const std::string kControlCommand = telnet::comPortCommand(telnet::kSetControl, 1);

// An open of a loopback port as the library makes it, with what it said when it failed.
struct Opening {
    std::unique_ptr<Transport> transport;
    PortProblemKind failure{};
    std::string detail;
};

Opening openOn(int port, NetProtocol protocol = NetProtocol::Tcp, int baud = 9600,
               const std::string& device = "x") {
    Opening o;
    if (protocol == NetProtocol::Tcp) {
        o.transport = TcpTransport::open(loopback(port), device, kTimeout, o.failure, o.detail);
    } else {
        o.transport = Rfc2217Transport::open(loopback(port, protocol), device, line7E2(baud),
                                             kTimeout, o.failure, o.detail);
    }
    return o;
}

std::string readAll(Transport& transport, std::size_t size) {
    std::string out;
    const auto deadline = Clock::now() + kIoWait;
    while (out.size() < size && transport.read(out, deadline) == IoStatus::Ok) {
    }
    return out;
}

TEST(TcpTransport, CarriesEveryByteUnchangedBothWays) {
    const std::string toServer =
        ff("\x02"
           "001ST",
           "\x03"
           "6");
    const std::string toClient =
        ff("\x02"
           "00",
           "reply\x03"
           "x");
    std::string received;
    {
        FakeDeviceServer server([&](int fd) {
            received = readUntil(fd, toServer);
            sendAll(fd, toClient);
            readUntilClosed(fd);
        });
        auto [transport, failure, detail] = openOn(server.port());
        ASSERT_TRUE(transport) << detail;
        ASSERT_EQ(transport->write(toServer, Clock::now() + kIoWait), IoStatus::Ok);
        EXPECT_EQ(readAll(*transport, toClient.size()), toClient);
        EXPECT_FALSE(transport->lineProblem());
    }
    EXPECT_EQ(received, toServer);
}

TEST(TcpTransport, AConnectionTheServerClosesIsALostLineSaidSo) {
    FakeDeviceServer server([](int fd) { readUntil(fd, "go"); });
    auto [transport, failure, detail] = openOn(server.port(), NetProtocol::Tcp, 0, "tcp:plc:1");
    ASSERT_TRUE(transport) << detail;
    ASSERT_EQ(transport->write("go", Clock::now() + kIoWait), IoStatus::Ok);
    std::string out;
    EXPECT_EQ(transport->read(out, Clock::now() + kIoWait), IoStatus::Failed);
    const auto problem = transport->lineProblem();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->kind, PortProblemKind::Dropped);
    EXPECT_EQ(problem->device, "tcp:plc:1");
    // Writing to it afterwards fails too, and raises no SIGPIPE (which would end the test).
    EXPECT_EQ(transport->write("again", Clock::now() + kIoWait), IoStatus::Failed);
}

TEST(TcpTransport, AServerSayingThePortIsInUseIsBusyWithItsWords) {
    FakeDeviceServer server([](int fd) { sendAll(fd, "Port already in use\r\n"); });
    auto [transport, failure, detail] = openOn(server.port());
    ASSERT_TRUE(transport) << detail;
    std::string out;
    const auto deadline = Clock::now() + kIoWait;
    while (transport->read(out, deadline) == IoStatus::Ok) {
    }
    const auto problem = transport->lineProblem();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->kind, PortProblemKind::Busy);
    EXPECT_EQ(problem->detail, "Port already in use");
}

TEST(LastWords, OnlyACompletedLineOfTextIsQuotedAndInUseMeansBusy) {
    LastWords words;
    words.note(
        "\x02"
        "001ST\x03"
        "6");
    EXPECT_EQ(words.words(), "") << "a frame's check character is no text";
    words.note("kicked off\n");
    EXPECT_EQ(words.words(), "kicked off");
    PortProblem dropped;
    dropped.kind = PortProblemKind::Dropped;
    EXPECT_EQ(words.explain(dropped)->kind, PortProblemKind::Dropped);
    words.note(
        "\x02"
        "001ST\x03"
        "6Port already IN USE\r\n");
    EXPECT_EQ(words.words(), "Port already IN USE");
    EXPECT_EQ(words.explain(dropped)->kind, PortProblemKind::Busy);
    EXPECT_FALSE(words.explain(std::nullopt)) << "no problem, nothing to explain";
}

TEST(TcpConnect, RefusedUnreachableInTimeAndByName) {
    const Opening refused = openOn(test::closedPort());
    EXPECT_FALSE(refused.transport);
    EXPECT_EQ(refused.failure, PortProblemKind::Refused);

    test::Blackhole blackhole;
    ASSERT_NE(blackhole.port(), 0);
    const auto start = Clock::now();
    const Opening silent = openOn(blackhole.port());
    const auto took = Clock::now() - start;
    EXPECT_FALSE(silent.transport);
    EXPECT_EQ(silent.failure, PortProblemKind::NoAnswer);
    EXPECT_GE(took, kTimeout);
    EXPECT_LT(took, kTimeout + 2s) << "bounded by the connect time-out";

    // "localhost" may give ::1 first, where nothing listens: the next address is tried.
    FakeDeviceServer server([](int fd) { readUntilClosed(fd, 1s); });
    PortProblemKind failure{};
    std::string detail;
    auto byName = TcpTransport::open({NetProtocol::Tcp, "localhost", server.port()}, "tcp:x",
                                     kTimeout, failure, detail);
    EXPECT_TRUE(byName) << detail;
}

// Makes this process (a child of the test) a machine of its own: only loopback, and a name
// server on it that takes every query and never answers. False when the system does not
// let an unprivileged process make namespaces.
bool behindASilentNameServer(const std::string& resolvConf) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET) != 0) {
        return false;
    }
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(resolvConf.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) {
        return false;
    }
    const int control = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq loopbackUp{};
    std::snprintf(loopbackUp.ifr_name, IFNAMSIZ, "lo");
    loopbackUp.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
    if (control < 0 || ::ioctl(control, SIOCSIFFLAGS, &loopbackUp) != 0) {
        return false;
    }
    // Left open until the process ends: every query lands here and is never read.
    const int dns = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return dns >= 0 && ::bind(dns, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// The whole open is one deadline, name lookup included: a silent name server (which the
// resolver would wait for ten seconds) ends it at the deadline as no answer in time.
TEST(TcpConnect, ASilentNameServerEndsTheOpenAtItsDeadline) {
    namespace fs = std::filesystem;
    const qavix::test::TempDir tmp;
    const fs::path& dir = tmp.path();
    const std::string resolvConf = (dir / "resolv.conf").string();
    std::ofstream(resolvConf) << "nameserver 127.0.0.1\noptions timeout:5 attempts:2\n";
    int result[2];
    ASSERT_EQ(::pipe2(result, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(result[0]);
        std::string outcome = "skip";
        if (behindASilentNameServer(resolvConf)) {
            PortProblemKind failure{};
            std::string detail;
            const int fd = connectTcp({NetProtocol::Tcp, "controller.plant.example", 4001},
                                      Clock::now() + kTimeout, failure, detail);
            outcome = fd >= 0 ? "connected" : std::string(portProblemCode(failure)) + " " + detail;
        }
        [[maybe_unused]] const ssize_t n = ::write(result[1], outcome.data(), outcome.size());
        ::_exit(0);
    }
    ::close(result[1]);
    std::string outcome;
    pollfd pfd{result[0], POLLIN, 0};
    char buffer[256];
    ssize_t got = 0;
    // Bounded: without the deadline the resolver answers after ten seconds.
    while (::poll(&pfd, 1, 30000) > 0 && (got = ::read(result[0], buffer, sizeof buffer)) > 0) {
        outcome.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(result[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    if (outcome == "skip") {
        GTEST_SKIP() << "no user, mount and network namespaces to fake a name server in";
    }
    EXPECT_EQ(outcome, "NOREPLY ホスト名の問い合わせに応答がありません");
}

// A device server that does what RFC 2217 asks, with the answers given by `answers`.
struct Negotiation {
    std::string commands;  // what the client sent up to its SET-CONTROL
    std::string data;      // what arrived after it
};

FakeDeviceServer::Script answeringServer(Negotiation& seen, std::string answers,
                                         std::string afterwards = {}) {
    return [&seen, answers, afterwards](int fd) {
        sendAll(fd, deviceServerGreeting());
        seen.commands = readUntil(fd, kControlCommand);
        sendAll(fd, answers);
        if (!afterwards.empty()) {
            seen.data = readUntil(fd, afterwards);
        }
        readUntilClosed(fd, 1s);
    };
}

std::string answersFor(std::uint32_t baud, std::uint32_t size, std::uint32_t parity,
                       std::uint32_t stop) {
    using namespace telnet;
    return answer(kSetBaudRate, baud) + answer(kSetDataSize, size) + answer(kSetParity, parity) +
           answer(kSetStopSize, stop);
}

TEST(Rfc2217Transport, SetsTheLineFromThePortSettingsAndEscapesFFBothWays) {
    using namespace telnet;
    Negotiation seen;
    const std::string request =
        ff("\x02"
           "001PC,1:",
           "\x03"
           "M");
    std::unique_ptr<Transport> transport;
    std::string reply;
    std::atomic<bool> firstPartRead{false};
    {
        // The reply comes in two writes that split IAC IAC, the second only once the client
        // has read the first, with a modem state notice between frames that must not reach
        // the data.
        FakeDeviceServer server([&](int fd) {
            sendAll(fd, deviceServerGreeting());
            seen.commands = readUntil(fd, kControlCommand);
            sendAll(fd, answersFor(115200, 7, kParityEven, kStopTwo));
            seen.data = readUntil(fd, escapeData(request));
            sendAll(fd,
                    "\x02"
                    "00\xff");
            qavix::test::waitUntil([&] { return firstPartRead.load(); }, kIoWait);
            sendAll(fd,
                    "\xff"
                    "x\x03"
                    "y" +
                        subnegotiation(kOptionComPort, "\x6b\x30"));
            readUntilClosed(fd, 1s);
        });
        Opening opened = openOn(server.port(), NetProtocol::Rfc2217, 115200);
        ASSERT_TRUE(opened.transport) << opened.detail;
        transport = std::move(opened.transport);
        ASSERT_EQ(transport->write(request, Clock::now() + kIoWait), IoStatus::Ok);
        // The first part's lone IAC waits for what follows it.
        reply = readAll(*transport, 3);
        firstPartRead = true;
        reply += readAll(*transport, 4);
        transport.reset();
    }
    for (const std::string& command :
         {comPortCommand(kSetBaudRate, 115200), comPortCommand(kSetDataSize, 7),
          comPortCommand(kSetParity, kParityEven), comPortCommand(kSetStopSize, kStopTwo)}) {
        EXPECT_NE(seen.commands.find(command), std::string::npos);
    }
    EXPECT_NE(seen.commands.find(negotiation(kWill, kOptionComPort)), std::string::npos);
    EXPECT_EQ(seen.data, escapeData(request)) << "0xFF doubled on the way out";
    EXPECT_EQ(reply,
              "\x02"
              "00\xff"
              "x\x03"
              "y")
        << "and single again on the way in";
}

TEST(Rfc2217Transport, ASettingTheServerChangesOrLeavesUnansweredFailsTheOpenByName) {
    using namespace telnet;
    struct Case {
        const char* name;
        std::string answers;
        PortProblemKind kind;
        const char* detail;
    };
    const Case cases[] = {
        {"rate changed", answersFor(9600, 7, kParityEven, kStopTwo), PortProblemKind::RateRefused,
         "要求 115200 bps、応答 9600 bps"},
        {"data size changed", answersFor(115200, 8, kParityEven, kStopTwo),
         PortProblemKind::DataSizeRefused, "要求 7 ビット、応答 8 ビット"},
        {"parity changed", answersFor(115200, 7, kParityNone, kStopTwo),
         PortProblemKind::ParityRefused, "要求 偶数、応答 無し"},
        {"stop size unanswered",
         answer(kSetBaudRate, 115200) + answer(kSetDataSize, 7) + answer(kSetParity, kParityEven),
         PortProblemKind::StopSizeRefused, "要求 2、応答なし"},
    };
    for (const Case& c : cases) {
        Negotiation seen;
        FakeDeviceServer server(answeringServer(seen, c.answers));
        const auto start = Clock::now();
        const Opening o = openOn(server.port(), NetProtocol::Rfc2217, 115200);
        EXPECT_FALSE(o.transport) << c.name;
        EXPECT_EQ(o.failure, c.kind) << c.name;
        EXPECT_EQ(o.detail, c.detail) << c.name;
        EXPECT_LT(Clock::now() - start, kTimeout + 2s) << c.name;
    }
}

TEST(Rfc2217Transport, AServerWithoutTheComPortOptionOrWithTheLineInUse) {
    using namespace telnet;
    {
        FakeDeviceServer server([](int fd) {
            readUntil(fd, negotiation(kWill, kOptionComPort));
            sendAll(fd, negotiation(kDont, kOptionComPort));
            readUntilClosed(fd, 1s);
        });
        const auto [transport, failure, detail] = openOn(server.port(), NetProtocol::Rfc2217);
        EXPECT_FALSE(transport);
        EXPECT_EQ(failure, PortProblemKind::NoComPortOption);
    }
    {
        // A raw port taken for an RFC 2217 one: the server never answers in Telnet.
        FakeDeviceServer server([](int fd) { readUntilClosed(fd, 1s); });
        const auto [transport, failure, detail] = openOn(server.port(), NetProtocol::Rfc2217);
        EXPECT_FALSE(transport);
        EXPECT_EQ(failure, PortProblemKind::NoComPortOption);
        EXPECT_EQ(detail, "応答なし");
    }
    {
        FakeDeviceServer server(
            [](int fd) { sendAll(fd, deviceServerGreeting() + "Port already in use\r\n"); });
        const auto [transport, failure, detail] = openOn(server.port(), NetProtocol::Rfc2217);
        EXPECT_FALSE(transport);
        EXPECT_EQ(failure, PortProblemKind::Busy);
        EXPECT_EQ(detail, "Port already in use");
    }
}

// A server that says why it closes and goes while our write is on its way resets the
// connection: the write fails, but the reason it sent first still names the problem.
TEST(NetTransport, AReasonLeftUnreadIsHeardWhenAWriteFindsTheServerGone) {
    using namespace telnet;
    for (const NetProtocol protocol : {NetProtocol::Tcp, NetProtocol::Rfc2217}) {
        FakeDeviceServer server([&](int fd) {
            if (protocol == NetProtocol::Rfc2217) {
                sendAll(fd, deviceServerGreeting());
                readUntil(fd, kControlCommand);
                sendAll(fd, answersFor(9600, 7, kParityEven, kStopTwo));
            }
            sendAll(fd, "Port already in use\r\n");
            readUntil(fd, "first");
        });
        Opening o = openOn(server.port(), protocol);
        ASSERT_TRUE(o.transport) << o.detail;
        Transport* transport = o.transport.get();
        ASSERT_EQ(transport->write("first", Clock::now() + kIoWait), IoStatus::Ok);
        // Written on, never read: the server's reset ends the writes.
        EXPECT_TRUE(qavix::test::waitUntil(
            [&] { return transport->write("again", Clock::now() + kIoWait) == IoStatus::Failed; },
            kIoWait));
        const auto problem = transport->lineProblem();
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->kind, PortProblemKind::Busy) << static_cast<int>(protocol);
        EXPECT_EQ(problem->detail, "Port already in use");
    }
}

// Once the line is set, what a server sent in one go is taken a few frames' worth at a
// time: the discard before a request leaves the rest for the frame scanner, and Telnet
// commands without data do not keep a read going past its deadline.
TEST(HostileServer, ReadsAndDiscardsTakeAFewFramesWorthAtATime) {
    using namespace telnet;
    const std::string junk(16 * kMaxReadBytes, 'x');
    std::string noOperations;
    while (noOperations.size() < junk.size()) {
        noOperations += {static_cast<char>(kIac), static_cast<char>(241)};  // IAC NOP
    }
    struct Case {
        const char* name;
        NetProtocol protocol;
        std::string backlog;
        bool discardFirst;
        IoStatus expected;  // of a read whose deadline has passed
    };
    const Case cases[] = {
        {"raw data", NetProtocol::Tcp, junk, true, IoStatus::Ok},
        {"data through Telnet", NetProtocol::Rfc2217, junk, true, IoStatus::Ok},
        {"Telnet commands before one byte", NetProtocol::Rfc2217, noOperations + "Z", false,
         IoStatus::TimedOut},
    };
    for (const Case& c : cases) {
        std::atomic<bool> sent{false};
        FakeDeviceServer server([&](int fd) {
            if (c.protocol == NetProtocol::Rfc2217) {
                sendAll(fd, deviceServerGreeting());
                readUntil(fd, kControlCommand);
                sendAll(fd, answersFor(9600, 7, kParityEven, kStopTwo));
            }
            sendAll(fd, c.backlog);
            sent = true;
            readUntilClosed(fd, kFloodLimit);
        });
        auto [transport, failure, detail] = openOn(server.port(), c.protocol);
        ASSERT_TRUE(transport) << c.name << ": " << detail;
        // On loopback the whole backlog is in the client's buffer once the server sent it.
        ASSERT_TRUE(qavix::test::waitUntil([&] { return sent.load(); }, kIoWait)) << c.name;
        if (c.discardFirst) {
            transport->discardInput();
        }
        std::string out;
        EXPECT_EQ(transport->read(out, Clock::now() - 1ms), c.expected) << c.name << ": " << out;
        EXPECT_LE(out.size(), kMaxReadBytes) << c.name;
    }
}

// A read asked for with its deadline already behind it looks once and returns: poll() must
// never get a negative time-out, which would wait until the server speaks.
TEST(Deadline, AReadWhoseDeadlineHasPassedReturnsAtOnce) {
    FakeDeviceServer server([](int fd) { readUntilClosed(fd, 10s); });
    Opening o = openOn(server.port());
    ASSERT_TRUE(o.transport) << o.detail;
    Transport* transport = o.transport.get();
    auto read = std::async(std::launch::async, [&] {
        std::string out;
        return transport->read(out, Clock::now() - 1s);
    });
    ASSERT_EQ(read.wait_for(5s), std::future_status::ready) << "the read waited for the server";
    EXPECT_EQ(read.get(), IoStatus::TimedOut);
    EXPECT_EQ(millisecondsLeft(Clock::now() - 1ms), 0);
}

}  // namespace
}  // namespace qavix::link
