#include <gtest/gtest.h>

#include <ostream>

#include <cctype>

#include <string>

#include "Message.h"

namespace qavix::link {
namespace {

using sim::Command;
using sim::Op;

Command makeCommand(Op op, int unit, int id, int start, int count, int arg3,
                    std::string text = {}) {
    Command command;
    command.op = op;
    command.unit = unit;
    command.id = id;
    command.start = start;
    command.count = count;
    command.arg3 = arg3;
    command.text = std::move(text);
    return command;
}

struct WireCase {
    Command command;
    int sequence;
    const char* payload;
};

void PrintTo(const WireCase& c, std::ostream* os) {
    *os << c.payload;
}

class RequestWire : public ::testing::TestWithParam<WireCase> {};

TEST_P(RequestWire, EncodesToKnownPayloadAndBack) {
    const WireCase& c = GetParam();
    EXPECT_EQ(encodeRequest({c.sequence, c.command}), c.payload);
    const auto decoded = decodeRequest(c.payload);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->sequence, c.sequence);
    const Command& got = decoded->command;
    EXPECT_EQ(got.op, c.command.op);
    EXPECT_EQ(got.unit, c.command.unit);
    EXPECT_EQ(got.id, c.command.id);
    EXPECT_EQ(got.start, c.command.start);
    EXPECT_EQ(got.count, c.command.count);
    EXPECT_EQ(got.arg3, c.command.arg3);
    EXPECT_EQ(got.text, c.command.text);
}

// Fields an operation does not carry stay zero so the round trip compares equal.
INSTANTIATE_TEST_SUITE_P(
    Ops, RequestWire,
    ::testing::Values(
        WireCase{makeCommand(Op::GetStatus, 0, 0, 0, 0, 0), 1, "001ST"},
        WireCase{makeCommand(Op::GetControl, 3, 48, 0, 0, 0), 2, "032GC,48"},
        WireCase{makeCommand(Op::PutControl, 0, 0, 0, 0, 0, "AB"), 3, "003PC,0:AB"},
        WireCase{makeCommand(Op::GetString, 0, 59, 4, 16, 0), 4, "004GS,59,4,16"},
        WireCase{makeCommand(Op::PutString, 0, 57, 0, 2, 0, "xy"), 5, "005PS,57,0,2:xy"},
        WireCase{makeCommand(Op::GetParameter, 99, 150, 192, 29, 0), 6, "996GP,150,192,29"},
        WireCase{makeCommand(Op::PutParameter, 0, 42, 784, 128, 0, "0A0B"), 7,
                 "007PP,42,784,128:0A0B"},
        WireCase{makeCommand(Op::PutParameter, 0, 5, 0, 0, 0, ""), 7, "007PP,5,0,0:"},
        WireCase{makeCommand(Op::StartSetting, 1, 0, 0, 0, 0), 8, "018SS"},
        WireCase{makeCommand(Op::EnableSetting, 1, 0, 0, 0, 0), 9, "019ES"},
        WireCase{makeCommand(Op::Reset, 1, 0, 0, 0, 0), 0, "010RS"},
        WireCase{makeCommand(Op::ClearBank, 0, 0, 3, 0, 0), 1, "001CB,3"},
        WireCase{makeCommand(Op::ZeroReset, 0, 0, -1, 0, 0), 2, "002ZR,-1"},
        WireCase{makeCommand(Op::TeachRatio, 0, 0, 80, 2, 1), 3, "003TR,80,2,1"},
        WireCase{makeCommand(Op::FactStart, 0, 0, 0, 0, 0), 4, "004FS"},
        WireCase{makeCommand(Op::FactEnd, 0, 0, 0, 0, 0), 5, "005FE"}),
    // The payload's letters and digits: "007PP,42,784,128:0A0B" runs as Payload007PP427841280A0B.
    [](const auto& row) {
        std::string name = "Payload";
        for (const char* c = row.param.payload; *c != '\0'; ++c) {
            if (std::isalnum(static_cast<unsigned char>(*c))) {
                name += *c;
            }
        }
        return name;
    });

TEST(Message, TextWithControlCharactersAndPercentRoundTrips) {
    const std::string text = std::string("a%b\r\n\x02\x03\x7f") + "\x83\x41";
    const Command command = makeCommand(Op::PutControl, 0, 1, 0, 0, 0, text);
    const std::string payload = encodeRequest({0, command});
    for (char c : payload) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x20u);
    }
    const auto decoded = decodeRequest(payload);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->command.text, text);
}

TEST(Message, RequestsThatCannotBeCarriedAreRefused) {
    EXPECT_TRUE(encodeRequest({0, makeCommand(Op::Reset, 100, 0, 0, 0, 0)}).empty());
    EXPECT_TRUE(encodeRequest({0, makeCommand(Op::Reset, -1, 0, 0, 0, 0)}).empty());
    EXPECT_TRUE(encodeRequest({10, makeCommand(Op::Reset, 0, 0, 0, 0, 0)}).empty());
}

TEST(Message, MalformedRequestsAreRejected) {
    for (const char* payload : {"", "00", "001", "001XX", "0a1ST", "001ST,1", "001GC", "001GC,",
                                "001GC,x", "001GP,1,2", "001GP,1,2,3,4", "001PC,1", "001PC,1:%4",
                                "001PC,1:%G0", "001GC,99999999999", "001ST:abc"}) {
        EXPECT_FALSE(decodeRequest(payload)) << payload;
    }
}

TEST(Message, HeaderIsReadableFromAnOtherwiseBrokenRequest) {
    const auto header = decodeHeader("127GP,oops");
    ASSERT_TRUE(header);
    EXPECT_EQ(header->unit, 12);
    EXPECT_EQ(header->sequence, 7);
    EXPECT_EQ(header->op, Op::GetParameter);
}

TEST(Message, RepliesRoundTrip) {
    Reply ack{5, 3, Op::GetControl, sim::kOk, "0002"};
    EXPECT_EQ(encodeReply(ack), "053GCA:0002");
    Reply empty{0, 1, Op::Reset, sim::kOk, ""};
    EXPECT_EQ(encodeReply(empty), "001RSA");
    Reply refused{0, 2, Op::PutParameter, sim::kWrongState, ""};
    EXPECT_EQ(encodeReply(refused), "002PPE04");

    for (const Reply& reply : {ack, empty, refused}) {
        const auto decoded = decodeReply(encodeReply(reply));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->unit, reply.unit);
        EXPECT_EQ(decoded->sequence, reply.sequence);
        EXPECT_EQ(decoded->op, reply.op);
        EXPECT_EQ(decoded->error, reply.error);
        EXPECT_EQ(decoded->text, reply.text);
    }
}

TEST(Message, MalformedRepliesAreRejected) {
    // E00 would be an error that is no error; an acknowledgement must not carry junk.
    for (const char* payload : {"001GC", "001GCX", "001GCE", "001GCE4", "001GCE00", "001GCE123",
                                "001GCAx", "001GCA:%zz"}) {
        EXPECT_FALSE(decodeReply(payload)) << payload;
    }
}

}  // namespace
}  // namespace qavix::link
