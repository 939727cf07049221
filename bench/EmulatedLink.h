#pragma once
// qavix-sim on a pseudo-terminal with its line-rate model on, and the program's own link to
// it (7 data bits, even parity, 2 stop bits at `baud`), status checked and polling held: for
// benchmarks that time traffic on the line. The benchmark defines QAVLINK_PATH.

#include <stdlib.h>

#include <string>

#include "SimProcess.h"
#include "comm/CCommLink.h"

namespace qavix::bench {

// 1 start, 7 data, even parity, 2 stop.
constexpr int kBitsPerCharacter = 11;

class EmulatedLink {
  public:
    EmulatedLink(CommHost& host, const std::string& sensors, int baud, bool trace = false)
        : m_sim({"--sensors", sensors, "--line-rate", "tty", "--bits",
                 std::to_string(kBitsPerCharacter)}),
          m_link(host, m_model) {
        if (m_sim.device().empty()) {
            m_problem = "qavix-sim did not start";
            return;
        }
        ::setenv("QAVLINK_COM1", m_sim.device().c_str(), 1);
        if (!m_link.start(QAVLINK_PATH)) {
            m_problem = "link library not loaded";
            return;
        }
        LinkSettings settings;
        settings.blocks[0] = {baud, 7, 2, 2, 0, 0};
        m_link.setSettings(settings);
        m_link.setTraceEnabled(trace);
        m_link.suspendPolling();
        if (m_link.open() != kRequestOk || m_link.checkStatus() != kRequestOk) {
            m_problem = "no answer from the emulator";
        }
    }

    // Why the link is not ready; empty when it is.
    const std::string& problem() const { return m_problem; }
    CCommLink& link() { return m_link; }
    DeviceModel& model() { return m_model; }

  private:
    test::SimProcess m_sim;
    DeviceModel m_model;
    CCommLink m_link;
    std::string m_problem;
};

}  // namespace qavix::bench
