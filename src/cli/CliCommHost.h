#pragma once
// The connection's host for the command line: messages go to standard error, questions are
// answered from --yes, and there is no communication settings dialog to offer.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "comm/CommHost.h"

namespace qavix::cli {

class CliCommHost : public CommHost {
  public:
    // keepMessages: messages are kept for keptMessages() instead of printed, for a
    // connection among several whose messages are reported under its controller's name.
    // stopCancels: Ctrl+C and SIGTERM (StopSignals.h) cancel this connection's requests; a
    // connection among several is stopped by whoever runs them instead.
    explicit CliCommHost(bool answerYes, bool keepMessages = false, bool stopCancels = true)
        : m_answerYes(answerYes), m_keepMessages(keepMessages), m_stopCancels(stopCancels) {}

    void showMessage(const std::string& text) override;
    // The question is printed; the settings dialog question is always answered Cancel (and
    // not printed once the command was cancelled: a silent line is no news then), every
    // other one OK only with --yes.
    bool ask(Question question, const std::string& text) override;
    void runCommSettings() override {}
    void endProgram() override { m_ended = true; }
    // Ctrl+C or SIGTERM cancels the command's remaining requests (with stopCancels).
    bool cancelRequested() const override;

    // A question of an operation (the overwrite question of an import), answered like the
    // connection's questions.
    bool confirm(const std::string& text);

    bool programEnded() const { return m_ended; }
    std::vector<std::string> keptMessages() const;

  private:
    void print(const std::string& text);

    const bool m_answerYes;
    const bool m_keepMessages;
    const bool m_stopCancels;
    mutable std::mutex m_mutex;  // messages come from the worker and the main thread
    std::vector<std::string> m_kept;
    std::atomic<bool> m_ended{false};
};

}  // namespace qavix::cli
