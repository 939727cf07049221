#include "DeviceSession.h"

#include <iostream>

#include "ExitCodes.h"
#include "PortSelection.h"
#include "comm/LinkLibrary.h"

namespace qavix::cli {

DeviceSession::DeviceSession(const DeviceOptions& options)
    : m_host(options.yes),
      m_options(options),
      m_link(m_host, m_model),
      m_transactions(m_link, m_model) {}

int DeviceSession::connect() {
    const PortSelection selection = selectPort(kSettingsFileName, m_options);
    reportUnreadableSettings(selection);
    if (!m_link.start()) {
        m_host.showMessage(kLinkLoadFailedMessage);
        std::cerr << "(" << m_link.libraryError() << ")\n";
        return kExitConnection;
    }
    // The worker runs with the signals held off; from here this thread takes them.
    m_signals.listen();
    if (stopRequested()) {
        return interruptedExit();
    }
    m_link.setSettings(selection.link);
    // An Open that fails is no error of its own: the status check that follows finds no
    // answer and asks, as at start-up, whether to set up the communication (here: never).
    m_link.setConnecting(true);
    m_link.open();
    m_link.setConnecting(false);
    // A port that could not be opened (busy, forbidden, unplugged) says so; the status
    // check would only call it a cut line.
    if (const std::string problem = m_link.worker().openProblem(); !problem.empty()) {
        m_host.showMessage(problem);
        return kExitConnection;
    }
    if (m_link.checkStatus() != kRequestOk) {
        return m_link.lastRequestCancelled() ? interruptedExit() : kExitConnection;
    }
    // Ctrl+C during the connection is answered as soon as its request is done.
    return stopRequested() ? interruptedExit() : kExitOk;
}

int DeviceSession::failureExit() {
    if (m_link.lastRequestCancelled()) {
        return interruptedExit();
    }
    if (m_host.programEnded() || m_link.programEnding() || m_link.lastRequestLostConnection()) {
        return kExitConnection;
    }
    return kExitFailed;
}

int DeviceSession::exitFor(int requestResult) {
    return requestResult == kRequestOk ? kExitOk : failureExit();
}

int DeviceSession::interruptedExit(const std::string& what) {
    std::string text = what;
    if (m_link.worker().settingOpen()) {
        // A write given up half-way: without EnableSetting the reset discards its puts, so
        // the controller keeps the settings it had and answers normally again.
        text += m_link.leaveSettingMode() == kRequestOk
                    ? "; the controller was reset out of setting mode and keeps its previous "
                      "settings (nothing of this write was taken)"
                    : "; the controller could not be reset out of setting mode (answer its "
                      "question with --yes on the next command, or power it off and on)";
    }
    m_host.showMessage(text);
    return kExitInterrupted;
}

}  // namespace qavix::cli
