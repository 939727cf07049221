#include "CliCommHost.h"

#include <iostream>

#include "StopSignals.h"

namespace qavix::cli {

void CliCommHost::print(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_keepMessages) {
        m_kept.push_back(text);
        return;
    }
    std::cerr << text;
    if (text.empty() || text.back() != '\n') {
        std::cerr << '\n';
    }
    std::cerr.flush();
}

std::vector<std::string> CliCommHost::keptMessages() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_kept;
}

void CliCommHost::showMessage(const std::string& text) {
    print(text);
}

bool CliCommHost::ask(Question question, const std::string& text) {
    if (question == Question::CommSetup) {
        if (!cancelRequested()) {
            print(text);
        }
        return false;
    }
    return confirm(text);
}

bool CliCommHost::cancelRequested() const {
    return m_stopCancels && stopRequested();
}

bool CliCommHost::confirm(const std::string& text) {
    print(text);
    return m_answerYes;
}

}  // namespace qavix::cli
