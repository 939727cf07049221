#include "Ser2netProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace qavix::link::test {

namespace {

constexpr const char* kProgram = "/usr/sbin/ser2net";
constexpr int kStartAttempts = 3;
constexpr auto kListenWait = std::chrono::seconds(5);
constexpr auto kStopWait = std::chrono::seconds(2);

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

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

bool exited(pid_t pid) {
    return waitpid(pid, nullptr, WNOHANG) == pid;
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
    std::ifstream in(m_dir.file("ser2net.log"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
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
    const std::string pidFile = m_dir.file("ser2net.pid");
    const std::string logFile = m_dir.file("ser2net.log");
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        // Dies with the test: a crashed or killed test leaves no server behind.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (log >= 0 && null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
        }
        // -n: stay in the foreground, -u: no UUCP lock files in /var/lock.
        ::execl(kProgram, kProgram, "-n", "-u", "-c", config.c_str(), "-P", pidFile.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    m_pid = pid;
    const auto until = std::chrono::steady_clock::now() + kListenWait;
    while (std::chrono::steady_clock::now() < until) {
        if (listening(port)) {
            m_port = port;
            return true;
        }
        if (exited(m_pid)) {
            m_pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stop();
    return false;
}

void Ser2netProcess::kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

void Ser2netProcess::stop() {
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + kStopWait;
    while (std::chrono::steady_clock::now() < until) {
        if (exited(m_pid)) {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill();
}

}  // namespace qavix::link::test
