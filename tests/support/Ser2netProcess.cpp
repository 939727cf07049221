#include "Ser2netProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FileText.h"
#include "FreePort.h"
#include "WaitUntil.h"

namespace qavix::test {

namespace {

constexpr const char* kProgram = "/usr/sbin/ser2net";
constexpr int kStartAttempts = 3;
constexpr auto kListenWait = std::chrono::seconds(5);
constexpr auto kStopWait = std::chrono::seconds(2);

// Whether 127.0.0.1:port is in the LISTEN state, read from /proc rather than by connecting
// (a connection would be a client of the server under test).
bool listening(int port) {
    std::ifstream table("/proc/net/tcp");
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted && state == "0A") {
            return true;
        }
    }
    return false;
}

}  // namespace

bool Ser2netProcess::available() {
    return ::access(kProgram, X_OK) == 0;
}

Ser2netProcess::Ser2netProcess(const Ser2netPort& port) : m_config(port) {
    if (!available() || m_config.device.empty()) {
        return;
    }
    for (int attempt = 0; attempt < kStartAttempts && !running(); ++attempt) {
        // Another program may take the free port before ser2net binds it: try another.
        start(freeLoopbackPort());
    }
}

Ser2netProcess::~Ser2netProcess() {
    stop();
}

std::string Ser2netProcess::target() const {
    return std::string(m_config.rfc2217 ? "rfc2217:" : "tcp:") +
           "127.0.0.1:" + std::to_string(m_port);
}

std::string Ser2netProcess::log() const {
    return readBytes(m_dir.file("ser2net.log")) + readBytes(m_dir.file("ser2net.err"));
}

bool Ser2netProcess::start(int port) {
    if (port <= 0) {
        return false;
    }
    const std::string config = m_dir.file("ser2net.yaml");
    {
        std::ofstream out(config);
        out << "connection: &qavix\n"
            << "  accepter: " << (m_config.rfc2217 ? "telnet(rfc2217),tcp" : "tcp") << ",127.0.0.1,"
            << port << "\n"
            << "  connector: serialdev," << m_config.device << "," << m_config.line << ",local\n"
            << "  options:\n"
            << "    kickolduser: " << (m_config.kickOldUser ? "true" : "false") << "\n"
            << "    chardelay: false\n";
    }
    ProcessSetup setup;
    setup.workDir = m_dir.path().string();
    setup.outFile = m_dir.file("ser2net.log");
    setup.errFile = m_dir.file("ser2net.err");
    // -n: stay in the foreground, -u: no UUCP lock files in /var/lock.
    m_process =
        std::make_unique<ChildProcess>(std::vector<std::string>{kProgram, "-n", "-u", "-c", config,
                                                                "-P", m_dir.file("ser2net.pid")},
                                       setup);
    bool gone = false;
    if (waitUntil(
            [&] {
                gone = !m_process->running();
                return gone || listening(port);
            },
            kListenWait) &&
        !gone) {
        m_port = port;
        return true;
    }
    stop();
    return false;
}

bool Ser2netProcess::holds(const std::string& device) const {
    if (!m_process) {
        return false;
    }
    std::error_code ec;
    const std::string fds = "/proc/" + std::to_string(m_process->pid()) + "/fd";
    for (const auto& fd : std::filesystem::directory_iterator(fds, ec)) {
        if (std::filesystem::read_symlink(fd.path(), ec) == device) {
            return true;
        }
    }
    return false;
}

void Ser2netProcess::kill() {
    if (m_process) {
        m_process->signal(SIGKILL);
        m_process->wait(kStopWait);
    }
}

void Ser2netProcess::stop() {
    if (m_process) {
        m_process->signal(SIGTERM);
        m_process->wait(kStopWait);  // killed when it does not end by then
    }
}

}  // namespace qavix::test
