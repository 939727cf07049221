#pragma once
// A scripted stand-in for the link library's entries, for the worker's decision tables.
// C entry points cannot carry state, so one fake is active at a time.

#include <atomic>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "comm/CommHost.h"
#include "comm/CommTimings.h"
#include "comm/LinkApi.h"

namespace qavix::test {

struct FakeCall {
    std::string entry;
    int id = 0;
    int start = 0;
    int count = 0;
    std::string text;
};

// Waits shrunk to nothing, with a short idle poll for the tests that need one.
inline CommTimings instantTimings(std::chrono::milliseconds pollPeriod) {
    CommTimings t;
    t.pollPeriod = pollPeriod;
    t.retryDelay = std::chrono::milliseconds(0);
    t.resetSettle = std::chrono::milliseconds(0);
    t.waitSlice = std::chrono::milliseconds(1);
    t.recheckPause = std::chrono::milliseconds(0);
    t.requestTimeout = std::chrono::milliseconds(50);
    return t;
}

class FakeLink {
  public:
    FakeLink();
    ~FakeLink();

    LinkApi api() const;

    // Status replies, taken in order; the last one repeats. "" means no answer.
    std::deque<std::string> statusReplies{"0001"};
    std::string errorBlock = "00000000000000C8";
    // Replies of parameter reads by identifier (missing: 2 x count zeros).
    std::map<int, std::string> parameterReplies;
    // Entries that fail (return 0) this many more times.
    std::map<std::string, int> failures;
    bool openSucceeds = true;
    // What KRYL_GetLastError reports ("" = healthy).
    std::string errorCode;
    std::string errorMessage;

    std::vector<FakeCall> calls;
    std::vector<FakeCall> callsOf(const std::string& entry) const;
    int countOf(const std::string& entry) const;

    // Bodies of the C entries.
    int controlGet(int id, char* reply);
    int parameterGet(int id, int start, int count, char* reply);
    int record(const std::string& entry, int id = 0, int start = 0, int count = 0,
               const std::string& text = std::string());

    mutable std::mutex mutex;
    static FakeLink* active;
};

// Scripted answers and a record of what the worker showed.
class ScriptedHost : public CommHost {
  public:
    void showMessage(const std::string& text) override;
    bool ask(Question question, const std::string& text) override;
    void runCommSettings() override;
    void endProgram() override;
    bool cancelRequested() const override { return cancelled; }

    std::vector<std::string> messagesShown() const;
    std::vector<Question> questionsAsked() const;
    std::vector<std::string> questionTexts() const;
    int endCount() const;
    int settingsRuns() const;

    std::deque<bool> answers;            // empty: Cancel
    std::atomic<bool> cancelled{false};  // the user's cancel of the whole operation
    std::function<void()> onCommSettings;

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_messages;
    std::vector<Question> m_questions;
    std::vector<std::string> m_questionTexts;
    int m_ends = 0;
    int m_settingsRuns = 0;
};

}  // namespace qavix::test
