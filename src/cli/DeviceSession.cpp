#include "DeviceSession.h"

#include <iostream>

#include "ExitCodes.h"
#include "PortSelection.h"
#include "comm/LinkLibrary.h"

namespace qavix::cli {

DeviceSession::DeviceSession(const DeviceOptions& options, SessionSetup setup)
    : m_host(options.yes, setup.keepMessages),
      m_options(options),
      m_setup(std::move(setup)),
      m_link(m_host, m_model),
      m_transactions(m_link, m_model) {}

int DeviceSession::connect() {
    LinkSettings settings;
    if (m_setup.link) {
        settings = *m_setup.link;
    } else {
        const PortSelection selection = selectPort(kSettingsFileName, m_options);
        if (!selection.error.empty()) {
            std::cerr << kSettingsFileName << ": " << selection.error << '\n';
            return kExitFileError;
        }
        settings = selection.link;
    }
    const LinkConnection connection =
        m_setup.ownConnection ? LinkConnection::Own : LinkConnection::Shared;
    if (!m_link.start(std::string(), connection)) {
        m_host.showMessage(std::string(kLinkLoadFailedMessage) + "\n(" + m_link.libraryError() +
                           ")");
        return kExitConnection;
    }
    // Nothing of a backup or a check needs saving when its line is lost, and a session
    // among several must not write into the working directory.
    if (m_setup.keepMessages) {
        m_link.setRecoveryWriter([](const DeviceModel&) { return RecoverySave{}; });
    }
    m_link.setSettings(settings);
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
