// The network transports against scripted device servers on loopback: raw bytes both ways,
// RFC 2217 line settings sent from the port's settings and their answers checked, 0xFF
// escaped on the wire, and each way a connection fails named for what it is.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "FakeDeviceServer.h"
#include "Rfc2217Transport.h"
#include "TcpTransport.h"
#include "TelnetCodec.h"

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
        PortProblemKind failure{};
        std::string detail;
        auto transport =
            TcpTransport::open(loopback(server.port()), "tcp:x", kTimeout, failure, detail);
        ASSERT_TRUE(transport) << detail;
        ASSERT_EQ(transport->write(toServer, Clock::now() + kIoWait), IoStatus::Ok);
        EXPECT_EQ(readAll(*transport, toClient.size()), toClient);
        EXPECT_FALSE(transport->lineProblem());
    }
    EXPECT_EQ(received, toServer);
}

TEST(TcpTransport, AConnectionTheServerClosesIsALostLineSaidSo) {
    FakeDeviceServer server([](int fd) { readUntil(fd, "go"); });
    PortProblemKind failure{};
    std::string detail;
    auto transport =
        TcpTransport::open(loopback(server.port()), "tcp:plc:1", kTimeout, failure, detail);
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
    PortProblemKind failure{};
    std::string detail;
    auto transport =
        TcpTransport::open(loopback(server.port()), "tcp:plc:1", kTimeout, failure, detail);
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
    PortProblemKind failure{};
    std::string detail;
    EXPECT_FALSE(
        TcpTransport::open(loopback(test::closedPort()), "tcp:x", kTimeout, failure, detail));
    EXPECT_EQ(failure, PortProblemKind::Refused);

    test::Blackhole blackhole;
    ASSERT_NE(blackhole.port(), 0);
    const auto start = Clock::now();
    EXPECT_FALSE(
        TcpTransport::open(loopback(blackhole.port()), "tcp:x", kTimeout, failure, detail));
    const auto took = Clock::now() - start;
    EXPECT_EQ(failure, PortProblemKind::NoAnswer);
    EXPECT_GE(took, kTimeout);
    EXPECT_LT(took, kTimeout + 2s) << "bounded by the connect time-out";

    // "localhost" may give ::1 first, where nothing listens: the next address is tried.
    FakeDeviceServer server([](int fd) { readUntilClosed(fd, 1s); });
    auto byName = TcpTransport::open({NetProtocol::Tcp, "localhost", server.port()}, "tcp:x",
                                     kTimeout, failure, detail);
    EXPECT_TRUE(byName) << detail;
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
    std::unique_ptr<Rfc2217Transport> transport;
    std::string reply;
    {
        // The reply comes in two writes that split IAC IAC, with a modem state notice
        // between frames that must not reach the data.
        FakeDeviceServer server([&](int fd) {
            sendAll(fd, deviceServerGreeting());
            seen.commands = readUntil(fd, kControlCommand);
            sendAll(fd, answersFor(115200, 7, kParityEven, kStopTwo));
            seen.data = readUntil(fd, escapeData(request));
            sendAll(fd,
                    "\x02"
                    "00\xff");
            std::this_thread::sleep_for(30ms);
            sendAll(fd,
                    "\xff"
                    "x\x03"
                    "y" +
                        subnegotiation(kOptionComPort, "\x6b\x30"));
            readUntilClosed(fd, 1s);
        });
        PortProblemKind failure{};
        std::string detail;
        transport = Rfc2217Transport::open(loopback(server.port(), NetProtocol::Rfc2217),
                                           "rfc2217:x", line7E2(115200), kTimeout, failure, detail);
        ASSERT_TRUE(transport) << detail;
        ASSERT_EQ(transport->write(request, Clock::now() + kIoWait), IoStatus::Ok);
        reply = readAll(*transport, 6);
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
         PortProblemKind::StopSizeRefused, "応答なし"},
    };
    for (const Case& c : cases) {
        Negotiation seen;
        FakeDeviceServer server(answeringServer(seen, c.answers));
        PortProblemKind failure{};
        std::string detail;
        const auto start = Clock::now();
        EXPECT_FALSE(Rfc2217Transport::open(loopback(server.port(), NetProtocol::Rfc2217),
                                            "rfc2217:x", line7E2(115200), kTimeout, failure,
                                            detail))
            << c.name;
        EXPECT_EQ(failure, c.kind) << c.name;
        EXPECT_EQ(detail, c.detail) << c.name;
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
        PortProblemKind failure{};
        std::string detail;
        EXPECT_FALSE(Rfc2217Transport::open(loopback(server.port(), NetProtocol::Rfc2217),
                                            "rfc2217:x", line7E2(9600), kTimeout, failure, detail));
        EXPECT_EQ(failure, PortProblemKind::NoComPortOption);
    }
    {
        // A raw port taken for an RFC 2217 one: the server never answers in Telnet.
        FakeDeviceServer server([](int fd) { readUntilClosed(fd, 1s); });
        PortProblemKind failure{};
        std::string detail;
        EXPECT_FALSE(Rfc2217Transport::open(loopback(server.port(), NetProtocol::Rfc2217),
                                            "rfc2217:x", line7E2(9600), kTimeout, failure, detail));
        EXPECT_EQ(failure, PortProblemKind::NoComPortOption);
        EXPECT_EQ(detail, "応答なし");
    }
    {
        FakeDeviceServer server(
            [](int fd) { sendAll(fd, deviceServerGreeting() + "Port already in use\r\n"); });
        PortProblemKind failure{};
        std::string detail;
        EXPECT_FALSE(Rfc2217Transport::open(loopback(server.port(), NetProtocol::Rfc2217),
                                            "rfc2217:x", line7E2(9600), kTimeout, failure, detail));
        EXPECT_EQ(failure, PortProblemKind::Busy);
        EXPECT_EQ(detail, "Port already in use");
    }
}

}  // namespace
}  // namespace qavix::link
