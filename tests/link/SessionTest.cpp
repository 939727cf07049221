// The request/reply exchange over the in-memory line, with a small stand-in for the
// controller so the frame faults can be provoked one by one.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "FrameServer.h"
#include "LinkSession.h"
#include "Message.h"
#include "SimTransport.h"

namespace qavix::link {
namespace {

using namespace std::chrono_literals;
using sim::Command;
using sim::Op;

// Remembers put texts by identifier and answers gets with them.
struct StandInController {
    std::map<int, std::string> texts{{48, "0002"}};
    int unit = 0;
    sim::Response operator()(const Command& command) {
        if (command.unit != unit) {
            return {sim::kBadUnit, {}};
        }
        switch (command.op) {
            case Op::GetControl: {
                auto it = texts.find(command.id);
                return it == texts.end() ? sim::Response{sim::kUnknownId, {}}
                                         : sim::Response{sim::kOk, it->second};
            }
            case Op::PutControl:
                texts[command.id] = command.text;
                return {};
            default:
                return {};
        }
    }
};

Command getControl(int id, int unit = 0) {
    Command command;
    command.op = Op::GetControl;
    command.id = id;
    command.unit = unit;
    return command;
}

Command putControl(int id, std::string text) {
    Command command;
    command.op = Op::PutControl;
    command.id = id;
    command.text = std::move(text);
    return command;
}

std::unique_ptr<LinkSession> session(LineFaults faults = {}, LineModel line = {}) {
    auto controller = std::make_shared<StandInController>();
    auto handler = [controller](const Command& c) { return (*controller)(c); };
    return std::make_unique<LinkSession>(std::make_unique<SimTransport>(handler, faults, line));
}

TEST(LinkSession, PutThenGetRoundTripsAndKeepsTheFrames) {
    auto link = session();
    ASSERT_EQ(link->exchange(putControl(7, "ABC"), 100ms).status, ExchangeStatus::Ok);
    const ExchangeResult got = link->exchange(getControl(7), 100ms);
    ASSERT_EQ(got.status, ExchangeStatus::Ok);
    EXPECT_EQ(got.text, "ABC");
    EXPECT_EQ(link->lastSent(), encodeFrame("002GC,7"));
    EXPECT_EQ(link->lastReceived(), encodeFrame("002GCA:ABC"));
}

// A refusal with its code and a unit that never answers: through the library, ApiTest.cpp.

// Every third reply goes wrong; the call in between must not suffer from it.
TEST(LinkSession, DroppedOrCorruptedReplyFailsOnlyThatExchange) {
    for (const bool corrupt : {false, true}) {
        LineFaults faults;
        (corrupt ? faults.corruptEvery : faults.dropEvery) = 3;
        auto link = session(faults);
        EXPECT_EQ(link->exchange(getControl(48), 50ms).status, ExchangeStatus::Ok);
        EXPECT_EQ(link->exchange(getControl(48), 50ms).status, ExchangeStatus::Ok);
        EXPECT_EQ(link->exchange(getControl(48), 50ms).status,
                  corrupt ? ExchangeStatus::BadCheck : ExchangeStatus::TimedOut);
        const ExchangeResult next = link->exchange(getControl(48), 50ms);
        EXPECT_EQ(next.status, ExchangeStatus::Ok);
        EXPECT_EQ(next.text, "0002");
    }
}

// A reply that arrives after its request timed out must not be taken for the answer to
// the next request.
TEST(LinkSession, LateReplyOfATimedOutRequestIsNotMistakenForTheNext) {
    LineModel slow;
    slow.enabled = true;
    slow.baud = 1200;  // ~20 characters each way at 11 bits: about 0.2 s
    auto link = session({}, slow);
    ASSERT_EQ(link->exchange(putControl(1, "first"), 300ms).status, ExchangeStatus::Ok);
    ASSERT_EQ(link->exchange(putControl(2, "second"), 300ms).status, ExchangeStatus::Ok);
    EXPECT_EQ(link->exchange(getControl(1), 20ms).status, ExchangeStatus::TimedOut);
    const ExchangeResult got = link->exchange(getControl(2), 600ms);
    ASSERT_EQ(got.status, ExchangeStatus::Ok);
    EXPECT_EQ(got.text, "second");
}

TEST(LinkSession, ReplyLongerThanTheCallersBufferFails) {
    auto link = session();
    ASSERT_EQ(link->exchange(putControl(3, std::string(kMaxReplyText + 1, 'A')), 100ms).status,
              ExchangeStatus::Ok);
    EXPECT_EQ(link->exchange(getControl(3), 100ms).status, ExchangeStatus::TooLong);
    ASSERT_EQ(link->exchange(putControl(3, std::string(kMaxReplyText, 'A')), 100ms).status,
              ExchangeStatus::Ok);
    EXPECT_EQ(link->exchange(getControl(3), 100ms).text.size(), kMaxReplyText);
}

// A line that never falls silent (noise, or another talker's frames) must not keep the
// caller past its time-out: every read returns at once with a byte, so only the
// exchange itself can watch the clock.
class ChattyLine : public Transport {
  public:
    explicit ChattyLine(std::string chunk) : m_chunk(std::move(chunk)) {}
    IoStatus write(std::string_view, Clock::time_point) override { return IoStatus::Ok; }
    IoStatus read(std::string& out, Clock::time_point deadline) override {
        // Gives up well after the deadline so a fault shows as a failed check, not a hang.
        if (Clock::now() > deadline + 2s) {
            return IoStatus::TimedOut;
        }
        out += m_chunk;
        return IoStatus::Ok;
    }
    void discardInput() override {}

  private:
    std::string m_chunk;
};

TEST(LinkSession, ALineThatNeverFallsSilentStillTimesOutOnTime) {
    // Noise outside frames, and well-formed frames that answer someone else.
    for (const std::string& chunk : {std::string("x"), encodeFrame("052GCA:0002")}) {
        LinkSession link(std::make_unique<ChattyLine>(chunk));
        const auto start = Clock::now();
        EXPECT_EQ(link.exchange(getControl(48), 50ms).status, ExchangeStatus::TimedOut);
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        EXPECT_LT(took.count(), 1000) << "chunk " << chunk;
    }
}

TEST(LinkSession, UnitBeyondTwoDigitsIsNotSent) {
    auto link = session();
    EXPECT_EQ(link->exchange(getControl(48, 100), 50ms).status, ExchangeStatus::Unsendable);
}

TEST(FrameServer, MalformedRequestGetsBadDataAndGarbageNothing) {
    int calls = 0;
    FrameServer server(
        [&](const Command&) {
            ++calls;
            return sim::Response{};
        },
        {});
    auto replies = server.feed("noise" + encodeFrame("003GC,x"));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].frame, encodeFrame("003GCE03"));
    EXPECT_EQ(calls, 0);
    std::string bad = encodeFrame("003GC,48");
    bad.back() = bad.back() == '0' ? '1' : '0';
    EXPECT_TRUE(server.feed(bad).empty());
}

TEST(FrameServer, LogsOneLinePerRequest) {
    std::ostringstream log;
    FrameServer server([](const Command&) { return sim::Response{}; }, {}, &log);
    server.feed(encodeFrame("001GP,150,192,29") + encodeFrame("002ST"));
    EXPECT_EQ(log.str(), "150 192 29 001GP,150,192,29\n0 0 0 002ST\n");
}

TEST(FrameServer, LineTimeIsCharactersTimesBitsOverBaud) {
    EXPECT_EQ(lineTime(96, 11, 9600), std::chrono::microseconds(110000));
    EXPECT_EQ(lineTime(10, 10, 115200), std::chrono::microseconds(868));
    EXPECT_EQ(lineTime(10, 10, 0), std::chrono::microseconds(0));
}

}  // namespace
}  // namespace qavix::link
