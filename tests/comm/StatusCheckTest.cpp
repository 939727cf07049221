// The status check's rules, driven directly: no thread, no link library. The worker's
// part (the reads through the library, the unit's flag) is covered once at the end.

#include "comm/StatusCheck.h"

#include <gtest/gtest.h>

#include <cctype>
#include <deque>
#include <ostream>

#include "FakeLink.h"
#include "comm/CCommThread.h"
#include "comm/CommMessages.h"
#include "comm/RequestBlock.h"

namespace qavix::test {
namespace {

using std::chrono::milliseconds;

// A controller's answers as a script. An empty text is a read that got no answer; the
// last entry of a script repeats.
class ScriptedLine : public StatusLine {
  public:
    std::deque<std::string> statusReplies{"0001"};
    std::deque<std::string> errorBlocks{"00000000000000C8"};
    bool connectingNow = false;
    std::string openProblemText;
    // Stop after this many pauses; negative never.
    int stopAfterPauses = -1;

    int statusReads = 0;
    int errorBlockReads = 0;
    int resets = 0;
    std::vector<milliseconds> pauses;
    std::optional<bool> connected;
    std::string statusText;
    std::vector<std::string> lostCauses;

    std::optional<std::string> readStatus() override {
        ++statusReads;
        return next(statusReplies);
    }
    std::optional<std::string> readErrorBlock() override {
        ++errorBlockReads;
        return next(errorBlocks);
    }
    bool resetController() override {
        ++resets;
        return true;
    }
    void pause(milliseconds duration) override { pauses.push_back(duration); }
    bool stopping() const override {
        return stopAfterPauses >= 0 && static_cast<int>(pauses.size()) >= stopAfterPauses;
    }
    bool connecting() const override { return connectingNow; }
    void setConnected(bool on) override { connected = on; }
    void setStatusText(const std::string& text) override { statusText = text; }
    std::string openProblem() const override { return openProblemText; }
    int lost(const char* cause) override {
        lostCauses.emplace_back(cause);
        return kWorkerLost;
    }

  private:
    static std::optional<std::string> next(std::deque<std::string>& script) {
        const std::string text = script.front();
        if (script.size() > 1) {
            script.pop_front();
        }
        if (text.empty()) {
            return std::nullopt;
        }
        return text;
    }
};

CommTimings timings() {
    CommTimings t = instantTimings(milliseconds(5));
    // Distinct pauses, so a test can tell which one the check took.
    t.retryDelay = milliseconds(11);
    t.resetSettle = milliseconds(22);
    t.recheckPause = milliseconds(33);
    return t;
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
    ScriptedLine line;
    line.statusReplies = {row.status, "0001"};  // after a reset the controller is normal
    ScriptedHost host;
    host.answers.assign(row.answers.begin(), row.answers.end());
    StatusCheck check(line, host, timings());

    EXPECT_EQ(check.run(row.mode), row.expected);
    const auto messages = host.messagesShown();
    if (row.message == nullptr) {
        EXPECT_TRUE(messages.empty()) << messages.front();
    } else {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], row.message);
    }
    EXPECT_EQ(static_cast<int>(host.questionsAsked().size()), row.questions);
    EXPECT_EQ(line.resets, row.resets);
    if (row.resets > 0) {
        // The controller is given its settling time before it is looked at again.
        EXPECT_EQ(line.pauses, (std::vector<milliseconds>{milliseconds(22), milliseconds(33)}));
    }
    // An answer is a connection, whatever the state.
    EXPECT_EQ(line.connected, std::optional<bool>(true));
    EXPECT_TRUE(line.lostCauses.empty());
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
                             Row{"0001", 0, {}, kWorkerBadMode, nullptr, 0, 0},
                             // Setting mode: reset on OK, end on Cancel, fine during a write.
                             Row{"0101", 1, {true}, kWorkerOk, nullptr, 1, 1},
                             Row{"0101", 2, {false}, kWorkerLost, nullptr, 1, 0},
                             Row{"0101", 5, {}, kWorkerOk, nullptr, 0, 0},
                             Row{"0101", 7, {true}, kWorkerFailed, msg::kBankClearFailed, 1, 1},
                             // Factory mode: fine only before a bank clear.
                             Row{"3001", 2, {true}, kWorkerOk, nullptr, 1, 1},
                             Row{"3001", 5, {false}, kWorkerLost, nullptr, 1, 0},
                             Row{"3001", 7, {}, kWorkerOk, nullptr, 0, 0},
                             // Abnormal states, a status that cannot be read and no sensor
                             // end the program.
                             Row{"0501", 2, {}, kWorkerLost, msg::kAbnormalState, 0, 0},
                             Row{"3101", 7, {}, kWorkerLost, msg::kAbnormalState, 0, 0},
                             Row{"0000", 1, {}, kWorkerLost, msg::kNoSensor, 0, 0},
                             Row{"0?01", 2, {}, kWorkerLost, msg::kAbnormalState, 0, 0},
                             Row{"000", 2, {}, kWorkerLost, msg::kAbnormalState, 0, 0}),
                         // "0101" in mode 2 runs as Status0101Mode2; other characters as X.
                         [](const auto& row) {
                             std::string name = "Status";
                             for (const char* c = row.param.status; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : 'X';
                             }
                             return name + "Mode" + std::to_string(row.param.mode);
                         });

TEST(StatusCheck, NoAnswerAtFirstConnectionOffersTheSettingsThenLooksAgain) {
    struct Case {
        const char* openProblem;
        bool namesTheProblem;
    };
    for (const Case& c : {Case{"", false}, Case{"/dev/ttyUSB0 がありません", true}}) {
        SCOPED_TRACE(c.openProblem);
        ScriptedLine line;
        line.statusReplies = {"", "", "0001"};
        line.openProblemText = c.openProblem;
        ScriptedHost host;
        host.answers = {true};
        StatusCheck check(line, host, timings());
        EXPECT_EQ(check.run(kStatusFirstConnection), kWorkerOk);
        EXPECT_EQ(host.settingsRuns(), 1);
        ASSERT_EQ(host.questionsAsked(), std::vector<Question>{Question::CommSetup});
        const std::string asked = host.questionTexts().at(0);
        if (c.namesTheProblem) {
            EXPECT_EQ(asked.rfind(c.openProblem, 0), 0u) << asked;
            EXPECT_NE(asked.find(msg::kAskCommSetupOnly), std::string::npos) << asked;
        } else {
            EXPECT_EQ(asked, msg::kAskCommSetup);
        }
        EXPECT_EQ(line.statusReads, 3);  // two tries, then once more after the settings
        EXPECT_EQ(line.connected, std::optional<bool>(true));
        EXPECT_EQ(line.statusText, msg::kConnectedStatus);
    }
}

TEST(StatusCheck, NoAnswerEndsQuietlyAtFirstConnectionAndAsACutConnectionLater) {
    for (const int mode : {kStatusFirstConnection, kStatusIdle, kStatusBeforeWrite}) {
        SCOPED_TRACE(mode);
        ScriptedLine line;
        line.statusReplies = {""};
        ScriptedHost host;  // Cancel
        StatusCheck check(line, host, timings());
        EXPECT_EQ(check.run(mode), kWorkerLost);
        EXPECT_EQ(line.statusReads, kStatusReadAttempts);
        EXPECT_EQ(line.pauses, std::vector<milliseconds>{milliseconds(11)});
        EXPECT_EQ(line.connected, std::optional<bool>(false));
        EXPECT_TRUE(host.messagesShown().empty());
        if (mode == kStatusFirstConnection) {
            EXPECT_TRUE(line.lostCauses.empty());
        } else {
            EXPECT_EQ(line.lostCauses, std::vector<std::string>{msg::kCommunicationCut});
        }
    }
}

TEST(StatusCheck, SettingErrorIsShownOnceUntilTheControllerIsNormalAgain) {
    ScriptedLine line;
    line.statusReplies = {"0201"};
    line.errorBlocks = {"02120513045900C8020B04D2"};
    ScriptedHost host;
    StatusCheck check(line, host, timings());
    EXPECT_EQ(check.run(kStatusIdle), kWorkerOk);
    EXPECT_EQ(check.run(kStatusIdle), kWorkerOk);
    ASSERT_EQ(host.messagesShown().size(), 1u);
    EXPECT_NE(host.messagesShown()[0].find("P-I/O機能割当エラー"), std::string::npos);
    EXPECT_EQ(line.statusText, "P-I/O機能割当エラー");
    // An unknown mode is still refused while the setting error stands.
    EXPECT_EQ(check.run(9), kWorkerBadMode);

    line.statusReplies = {"0001"};
    EXPECT_EQ(check.run(kStatusIdle), kWorkerOk);
    EXPECT_EQ(line.statusText, msg::kConnectedStatus);
    line.statusReplies = {"0201"};
    EXPECT_EQ(check.run(kStatusIdle), kWorkerOk);
    EXPECT_EQ(host.messagesShown().size(), 2u);
}

TEST(StatusCheck, OtherControllerErrorsEndTheProgram) {
    ScriptedLine line;
    line.statusReplies = {"0201"};
    line.errorBlocks = {"00000000000000D5"};
    ScriptedHost host;
    StatusCheck check(line, host, timings());
    EXPECT_EQ(check.run(kStatusIdle), kWorkerLost);
    ASSERT_EQ(host.messagesShown().size(), 1u);
    EXPECT_NE(host.messagesShown()[0].find("原因不明エラー"), std::string::npos);
    EXPECT_TRUE(line.lostCauses.empty());
}

TEST(StatusCheck, ALateErrorBlockIsLookedForAgainAndAMissingOneIsALostConnection) {
    {
        SCOPED_TRACE("late");
        ScriptedLine line;
        line.statusReplies = {"0201", "0201", "0001"};
        line.errorBlocks = {"", "00000000000000C8"};
        ScriptedHost host;
        StatusCheck check(line, host, timings());
        EXPECT_EQ(check.run(kStatusIdle), kWorkerOk);
        EXPECT_EQ(line.errorBlockReads, 2);
        EXPECT_EQ(line.pauses, std::vector<milliseconds>{milliseconds(33)});
    }
    // Unanswered reads, and a block that answers but cannot be taken apart; while a port
    // is being opened the caller tells, so nothing is announced.
    for (const char* block : {"", "zz"}) {
        for (const bool connecting : {false, true}) {
            SCOPED_TRACE(std::string(block) + (connecting ? " connecting" : ""));
            ScriptedLine line;
            line.statusReplies = {"0201"};
            line.errorBlocks = {block};
            line.connectingNow = connecting;
            ScriptedHost host;
            StatusCheck check(line, host, timings());
            EXPECT_EQ(check.run(kStatusIdle), kWorkerLost);
            EXPECT_EQ(line.errorBlockReads, kErrorBlockReadAttempts);
            EXPECT_EQ(line.connected, std::optional<bool>(false));
            EXPECT_EQ(line.lostCauses, connecting
                                           ? std::vector<std::string>{}
                                           : std::vector<std::string>{msg::kCommunicationCut});
            EXPECT_TRUE(host.messagesShown().empty());
            // The misses count again from zero in the next check.
            line.errorBlocks = {"", "00000000000000C8"};
            line.statusReplies = {"0201", "0001"};
            EXPECT_EQ(check.run(kStatusIdle), kWorkerOk);
        }
    }
}

TEST(StatusCheck, AStoppingWorkerDoesNotLookAgain) {
    ScriptedLine line;
    line.statusReplies = {"0101"};  // would ask and reset for ever
    line.stopAfterPauses = 1;
    ScriptedHost host;
    host.answers = {true, true, true};
    StatusCheck check(line, host, timings());
    EXPECT_EQ(check.run(kStatusIdle), kWorkerOk);
    EXPECT_EQ(line.resets, 1);
    EXPECT_EQ(line.statusReads, 1);
}

// The worker's side: its reads go through the library and the unit's flag follows.
TEST(StatusCheckOnTheWorker, ReadsThroughTheLibraryAndKeepsTheUnitsFlag) {
    FakeLink fake;
    fake.statusReplies = {"0201"};
    fake.failures["GetParameter"] = 1000;
    ScriptedHost host;
    CCommThread worker(fake.api(), host, instantTimings(milliseconds(5)));
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerLost);
    EXPECT_EQ(fake.countOf("GetParameter"), kErrorBlockReadAttempts);
    EXPECT_EQ(host.messagesShown(), std::vector<std::string>{msg::kCommunicationCut});
    EXPECT_FALSE(worker.unitConnected(0));

    fake.statusReplies = {"0001"};
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerOk);
    EXPECT_TRUE(worker.unitConnected(0));
    EXPECT_EQ(worker.statusText(), msg::kConnectedStatus);
    host.answers = {true};
    fake.statusReplies = {"0101", "0001"};
    EXPECT_EQ(worker.statusCheck(kStatusIdle), kWorkerOk);
    EXPECT_EQ(fake.countOf("Reset"), 1);
}

}  // namespace
}  // namespace qavix::test
