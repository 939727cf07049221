#include "DeviceSession.h"

#include <stdlib.h>

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
    if (!selection.error.empty()) {
        std::cerr << kSettingsFileName << ": " << selection.error << '\n';
        return kExitFileError;
    }
    if (!selection.networkTarget.empty()) {
        // The target stands in for the active port in this process only, as QAVLINK_COMn
        // would: the library, and the messages about it, resolve the port to it alike.
        const std::string variable = "QAVLINK_COM" + std::to_string(selection.link.activePort + 1);
        ::setenv(variable.c_str(), selection.networkTarget.c_str(), 1);
    }
    if (!m_link.start()) {
        m_host.showMessage(kLinkLoadFailedMessage);
        std::cerr << "(" << m_link.libraryError() << ")\n";
        return kExitConnection;
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
        return kExitConnection;
    }
    return kExitOk;
}

int DeviceSession::failureExit() const {
    if (m_host.programEnded() || m_link.programEnding() || m_link.lastRequestLostConnection()) {
        return kExitConnection;
    }
    return kExitFailed;
}

int DeviceSession::exitFor(int requestResult) const {
    return requestResult == kRequestOk ? kExitOk : failureExit();
}

}  // namespace qavix::cli
