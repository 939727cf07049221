#include <gtest/gtest.h>

#include <ostream>

#include <cctype>

#include "FakeLink.h"
#include "comm/CCommThread.h"
#include "comm/CommMessages.h"

namespace qavix::test {
namespace {

CommTimings instant() {
    return instantTimings(std::chrono::milliseconds(5));
}

struct Row {
    const char* status;  // reply of the status read
    int mode;
    std::vector<bool> answers;
    int expected;
    const char* message;  // nullptr: none
    int questions;
    int resets;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << "status " << row.status << ", mode " << row.mode;
}

class StatusCheckTable : public ::testing::TestWithParam<Row> {};

TEST_P(StatusCheckTable, StateAndModeDecideTheOutcome) {
    const Row& row = GetParam();
    FakeLink fake;
    fake.statusReplies = {row.status, "0001"};  // after a reset the controller is normal
    ScriptedHost host;
    host.answers.assign(row.answers.begin(), row.answers.end());
    CCommThread worker(fake.api(), host, instant());

    EXPECT_EQ(worker.statusCheck(row.mode), row.expected);
    const auto messages = host.messagesShown();
    if (row.message == nullptr) {
        EXPECT_TRUE(messages.empty()) << messages.front();
    } else {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], row.message);
    }
    EXPECT_EQ(static_cast<int>(host.questionsAsked().size()), row.questions);
    EXPECT_EQ(fake.countOf("Reset"), row.resets);
}

INSTANTIATE_TEST_SUITE_P(Table, StatusCheckTable,
                         ::testing::Values(
                             // Normal operation.
                             Row{"0001", 1, {}, kWorkerOk, nullptr, 0, 0},
                             Row{"0003", 2, {}, kWorkerOk, nullptr, 0, 0},
                             Row{"0001", 4, {}, kWorkerOk, nullptr, 0, 0},
                             Row{"0001", 5, {}, kWorkerFailed, msg::kWriteFailed, 0, 0},
                             Row{"0001", 7, {}, kWorkerFailed, msg::kBankClearFailed, 0, 0},
                             Row{"0001", 9, {}, kWorkerBadMode, nullptr, 0, 0},
                             // Setting mode: reset on OK, end on Cancel, fine during a write.
                             Row{"0101", 1, {true}, kWorkerOk, nullptr, 1, 1},
                             Row{"0101", 2, {false}, kWorkerLost, nullptr, 1, 0},
                             Row{"0101", 5, {}, kWorkerOk, nullptr, 0, 0},
                             Row{"0101", 7, {true}, kWorkerFailed, msg::kBankClearFailed, 1, 1},
                             // Factory mode: fine only before a bank clear.
                             Row{"3001", 2, {true}, kWorkerOk, nullptr, 1, 1},
                             Row{"3001", 5, {false}, kWorkerLost, nullptr, 1, 0},
                             Row{"3001", 7, {}, kWorkerOk, nullptr, 0, 0},
                             // Abnormal states and no sensor end the program.
                             Row{"0501", 2, {}, kWorkerLost, msg::kAbnormalState, 0, 0},
                             Row{"3101", 7, {}, kWorkerLost, msg::kAbnormalState, 0, 0},
                             Row{"0000", 1, {}, kWorkerLost, msg::kNoSensor, 0, 0},
                             Row{"0?01", 2, {}, kWorkerLost, msg::kAbnormalState, 0, 0}),
                         // "0101" in mode 2 runs as Status0101Mode2; other characters as X.
                         [](const auto& row) {
                             std::string name = "Status";
                             for (const char* c = row.param.status; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : 'X';
                             }
                             return name + "Mode" + std::to_string(row.param.mode);
                         });

TEST(StatusCheck, NoAnswerAtFirstConnectionOffersTheSettingsThenLooksAgain) {
    FakeLink fake;
    fake.statusReplies = {"", "", "0001"};
    ScriptedHost host;
    host.answers = {true};
    CCommThread worker(fake.api(), host, instant());
    EXPECT_EQ(worker.statusCheck(kStatusFirstConnection), kWorkerOk);
    EXPECT_EQ(host.settingsRuns(), 1);
    EXPECT_EQ(host.questionsAsked(), std::vector<Question>{Question::CommSetup});
    EXPECT_TRUE(worker.unitConnected(0));
    EXPECT_EQ(worker.statusText(), "接続");
}

TEST(StatusCheck, NoAnswerAtFirstConnectionCancelledEndsWithoutAMessage) {
    FakeLink fake;
    fake.statusReplies = {""};
    ScriptedHost host;
    CCommThread worker(fake.api(), host, instant());
    EXPECT_EQ(worker.statusCheck(kStatusFirstConnection), kWorkerLost);
    EXPECT_TRUE(host.messagesShown().empty());
    EXPECT_EQ(fake.countOf("GetControl"), 2);  // two tries
}

TEST(StatusCheck, NoAnswerWhileIdleShowsTheCutMessage) {
    FakeLink fake;
    fake.statusReplies = {""};
    ScriptedHost host;
    CCommThread worker(fake.api(), host, instant());
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerLost);
    EXPECT_EQ(host.messagesShown(), std::vector<std::string>{msg::kCommunicationCut});
    EXPECT_FALSE(worker.unitConnected(0));
}

TEST(StatusCheck, SettingErrorIsShownOnceAndTheProgramGoesOn) {
    FakeLink fake;
    fake.statusReplies = {"0201"};
    fake.errorBlock = "02120513045900C8020B04D2";
    ScriptedHost host;
    CCommThread worker(fake.api(), host, instant());
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerOk);
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerOk);
    ASSERT_EQ(host.messagesShown().size(), 1u);
    EXPECT_NE(host.messagesShown()[0].find("P-I/O機能割当エラー"), std::string::npos);
    EXPECT_EQ(worker.statusText(), "P-I/O機能割当エラー");

    // Back to normal: the error is forgotten, so the same error later shows again.
    fake.statusReplies = {"0001"};
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerOk);
    fake.statusReplies = {"0201"};
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerOk);
    EXPECT_EQ(host.messagesShown().size(), 2u);
}

TEST(StatusCheck, OtherControllerErrorsEndTheProgram) {
    FakeLink fake;
    fake.statusReplies = {"0201"};
    fake.errorBlock = "00000000000000D5";
    ScriptedHost host;
    CCommThread worker(fake.api(), host, instant());
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerLost);
    ASSERT_EQ(host.messagesShown().size(), 1u);
    EXPECT_NE(host.messagesShown()[0].find("原因不明エラー"), std::string::npos);
}

TEST(StatusCheck, UnreadableErrorBlockIsPolledAgain) {
    FakeLink fake;
    fake.statusReplies = {"0201", "0201", "0001"};
    fake.failures["GetParameter"] = 1;  // the first error-block read fails
    ScriptedHost host;
    CCommThread worker(fake.api(), host, instant());
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerOk);
    EXPECT_GE(fake.countOf("GetParameter"), 2);
}

TEST(StatusCheck, AnErrorBlockThatNeverComesIsALostConnection) {
    struct Case {
        const char* name;
        int failingReads;
        const char* errorBlock;
    };
    // Unanswered reads, and a block that answers but cannot be taken apart.
    const Case cases[] = {{"unanswered", 1000, "00000000000000C8"}, {"unreadable", 0, "zz"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeLink fake;
        fake.statusReplies = {"0201"};
        fake.failures["GetParameter"] = c.failingReads;
        fake.errorBlock = c.errorBlock;
        ScriptedHost host;
        CCommThread worker(fake.api(), host, instant());
        EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerLost);
        EXPECT_EQ(fake.countOf("GetParameter"), kErrorBlockReadAttempts);
        EXPECT_EQ(host.messagesShown(), std::vector<std::string>{msg::kCommunicationCut});
        EXPECT_FALSE(worker.unitConnected(0));
    }
}

}  // namespace
}  // namespace qavix::test
