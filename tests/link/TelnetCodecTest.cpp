// The Telnet layer of RFC 2217 ports against known byte sequences: 0xFF doubled both ways,
// commands split at every possible point, and the answers a client gives to the greeting
// a real device server (ser2net 4) sends.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TelnetCodec.h"

namespace qavix::link::telnet {
namespace {

using namespace std::string_literals;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

struct Decoded {
    std::string data;
    std::vector<Event> events;
};

Decoded decodeInPieces(const std::string& stream, const std::vector<std::size_t>& cuts) {
    Decoder decoder;
    Decoded out;
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        decoder.feed(std::string_view(stream).substr(from, cut - from), out.data, out.events);
        from = cut;
    }
    decoder.feed(std::string_view(stream).substr(from), out.data, out.events);
    return out;
}

TEST(TelnetCodec, EscapingDoublesEveryFFAndNothingElse) {
    struct Case {
        std::string plain;
        std::string wire;
    };
    const Case cases[] = {
        {"", ""},
        {"\x02"
         "001ST\x03"
         "6",
         "\x02"
         "001ST\x03"
         "6"},
        {bytes({0xFF}), bytes({0xFF, 0xFF})},
        {bytes({'A', 0xFF, 0xFF, 'B'}), bytes({'A', 0xFF, 0xFF, 0xFF, 0xFF, 'B'})},
        {bytes({0xFE, 0xFA, 0xF0}), bytes({0xFE, 0xFA, 0xF0})},  // commands only after IAC
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapeData(c.plain), c.wire);
        const Decoded back = decodeInPieces(c.wire, {});
        EXPECT_EQ(back.data, c.plain);
        EXPECT_TRUE(back.events.empty());
    }
}

TEST(TelnetCodec, ComPortCommandsAsTheWireCarriesThem) {
    // SET-BAUDRATE 115200 = 00 01 C2 00, four bytes, high byte first.
    EXPECT_EQ(comPortCommand(kSetBaudRate, 115200),
              bytes({0xFF, 0xFA, 44, 1, 0x00, 0x01, 0xC2, 0x00, 0xFF, 0xF0}));
    EXPECT_EQ(comPortCommand(kSetBaudRate, 9600),
              bytes({0xFF, 0xFA, 44, 1, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0}));
    EXPECT_EQ(comPortCommand(kSetDataSize, 7), bytes({0xFF, 0xFA, 44, 2, 7, 0xFF, 0xF0}));
    EXPECT_EQ(comPortCommand(kSetParity, kParityEven), bytes({0xFF, 0xFA, 44, 3, 3, 0xFF, 0xF0}));
    EXPECT_EQ(comPortCommand(kSetStopSize, kStopTwo), bytes({0xFF, 0xFA, 44, 4, 2, 0xFF, 0xF0}));
    // A value byte of 0xFF inside a subnegotiation is doubled too.
    EXPECT_EQ(comPortCommand(kSetBaudRate, 0x0001FF00),
              bytes({0xFF, 0xFA, 44, 1, 0x00, 0x01, 0xFF, 0xFF, 0x00, 0xFF, 0xF0}));
}

TEST(TelnetCodec, AnswersAreReadBackWithTheirValues) {
    const std::string wire = comPortCommand(kSetBaudRate + kServerReply, 0x0001FF00) +
                             comPortCommand(kSetParity + kServerReply, kParityNone);
    const Decoded d = decodeInPieces(wire, {});
    ASSERT_EQ(d.events.size(), 2u);
    EXPECT_EQ(d.events[0].kind, Event::Kind::Subnegotiation);
    EXPECT_EQ(d.events[0].option, kOptionComPort);
    EXPECT_EQ(static_cast<unsigned char>(d.events[0].body[0]), kSetBaudRate + kServerReply);
    EXPECT_EQ(comPortValue(d.events[0].body), 0x0001FF00u);
    EXPECT_EQ(comPortValue(d.events[1].body), kParityNone);
    EXPECT_TRUE(d.data.empty());
}

TEST(TelnetCodec, ACommandSplitAnywhereDecodesAsWhenItCameWhole) {
    // Data with an escaped FF, a negotiation, a subnegotiation holding an escaped FF, a NOP,
    // then data again: every cut into two reads, and one byte per read, give the same.
    const std::string stream = "ab"s + bytes({0xFF, 0xFF}) + "c" + negotiation(kWill, 3) +
                               comPortCommand(kSetBaudRate + kServerReply, 0x0001FF00) +
                               bytes({0xFF, 241}) + "d" + bytes({0xFF, 0xFF});
    const Decoded whole = decodeInPieces(stream, {});
    EXPECT_EQ(whole.data, "ab"s + bytes({0xFF}) + "cd" + bytes({0xFF}));
    ASSERT_EQ(whole.events.size(), 2u);
    EXPECT_EQ(whole.events[0].verb, kWill);
    EXPECT_EQ(whole.events[0].option, 3);
    EXPECT_EQ(comPortValue(whole.events[1].body), 0x0001FF00u);

    auto same = [&](const Decoded& d) {
        if (d.data != whole.data || d.events.size() != whole.events.size()) {
            return false;
        }
        for (std::size_t i = 0; i < d.events.size(); ++i) {
            if (d.events[i].kind != whole.events[i].kind ||
                d.events[i].verb != whole.events[i].verb ||
                d.events[i].option != whole.events[i].option ||
                d.events[i].body != whole.events[i].body) {
                return false;
            }
        }
        return true;
    };
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        EXPECT_TRUE(same(decodeInPieces(stream, {cut}))) << "cut at byte " << cut;
    }
    std::vector<std::size_t> everyByte;
    for (std::size_t i = 1; i < stream.size(); ++i) {
        everyByte.push_back(i);
    }
    EXPECT_TRUE(same(decodeInPieces(stream, everyByte)));
}

TEST(TelnetCodec, AnOverlongSubnegotiationIsCutNotGrown) {
    const std::string body(1000, 'x');
    const Decoded d = decodeInPieces(subnegotiation(kOptionComPort, body) + "z", {});
    ASSERT_EQ(d.events.size(), 1u);
    EXPECT_EQ(d.events[0].body.size(), kMaxSubnegotiation);
    EXPECT_EQ(d.data, "z");
}

// What ser2net 4.3 sends first on a telnet(rfc2217) accepter, as captured on this machine:
// WILL SGA, DO SGA, WILL ECHO, DONT ECHO, DO BINARY, WILL BINARY, DO COM-PORT-OPTION.
TEST(TelnetOptions, AnswersToADeviceServersGreeting) {
    Options options;
    EXPECT_EQ(options.start(),
              negotiation(kWill, kOptionBinary) + negotiation(kWill, kOptionComPort) +
                  negotiation(kDo, kOptionBinary) + negotiation(kDo, kOptionSuppressGoAhead));
    const std::string greeting = bytes({0xFF, 0xFB, 3, 0xFF, 0xFD, 3, 0xFF, 0xFB, 1, 0xFF, 0xFE, 1,
                                        0xFF, 0xFD, 0, 0xFF, 0xFB, 0, 0xFF, 0xFD, 44});
    const Decoded d = decodeInPieces(greeting, {});
    ASSERT_EQ(d.events.size(), 7u);
    std::string answers;
    for (const Event& e : d.events) {
        answers += options.answer(e.verb, e.option);
    }
    // Only the server's own request (DO SGA) and the unwanted echo get an answer; the rest
    // crossed our requests and settle them.
    EXPECT_EQ(answers,
              negotiation(kWill, kOptionSuppressGoAhead) + negotiation(kDont, kOptionEcho));
    EXPECT_TRUE(options.comPortAgreed());
    EXPECT_FALSE(options.comPortRefused());
}

TEST(TelnetOptions, RepeatedOrRefusingAnswersNeverStartALoop) {
    Options options;
    options.start();
    EXPECT_EQ(options.answer(kDo, kOptionComPort), "");
    EXPECT_EQ(options.answer(kDo, kOptionComPort), "") << "already on: no answer";
    EXPECT_EQ(options.answer(kWont, kOptionBinary), "") << "a refusal of our request";
    EXPECT_EQ(options.answer(kWont, kOptionBinary), "");
    EXPECT_EQ(options.answer(kDo, 24), negotiation(kWont, 24)) << "terminal type: not ours";
    EXPECT_EQ(options.answer(kDont, 24), "");
    EXPECT_EQ(options.answer(kDont, kOptionComPort), negotiation(kWont, kOptionComPort));
    EXPECT_TRUE(options.comPortRefused());
}

TEST(TelnetOptions, AServerWithoutComPortOptionIsSeenAsRefusing) {
    Options options;
    options.start();
    options.answer(kDont, kOptionComPort);
    EXPECT_TRUE(options.comPortRefused());
    EXPECT_FALSE(options.comPortAgreed());
}

}  // namespace
}  // namespace qavix::link::telnet
