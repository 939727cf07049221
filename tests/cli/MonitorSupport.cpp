#include "MonitorSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "CtlProcess.h"

extern char** environ;

namespace qavix::cli::test {

namespace {

using Clock = std::chrono::steady_clock;

bool portAnswers(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

Child::Child(const std::vector<std::string>& argv, const std::string& outFile,
             const std::string& errFile,
             const std::vector<std::pair<std::string, std::string>>& env,
             const std::string& workDir) {
    m_pid = ::fork();
    if (m_pid != 0) {
        return;
    }
    // The child: its own process group, so that nothing it starts outlives a kill.
    ::setpgid(0, 0);
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) {
        ::_exit(126);
    }
    for (const auto& [name, value] : env) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

Child::~Child() {
    if (running()) {
        ::kill(m_pid, SIGKILL);
    }
    waitExit(std::chrono::milliseconds(2000));
}

bool Child::running() {
    if (m_pid <= 0 || m_reaped) {
        return false;
    }
    if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
        m_reaped = true;
        return false;
    }
    return true;
}

void Child::signal(int sig) {
    if (running()) {
        ::kill(m_pid, sig);
    }
}

int Child::waitExit(std::chrono::milliseconds wait) {
    if (m_pid <= 0) {
        return -1;
    }
    const auto until = Clock::now() + wait;
    while (running() && Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!m_reaped) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &m_status, 0);
        m_reaped = true;
        return -2;
    }
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

int freeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

Broker::Broker(const std::string& dir, const BrokerTls& tls, const std::string& persistentDir,
               const BrokerRules& rules)
    : m_dir(dir), m_port(freeTcpPort()) {
    std::ofstream conf(dir + "/mosquitto.conf");
    if (!rules.acl.empty()) {
        std::ofstream(dir + "/acl") << rules.acl;
        conf << "acl_file " << dir << "/acl\n";
    }
    if (rules.messageSizeLimit > 0) {
        conf << "message_size_limit " << rules.messageSizeLimit << "\n";
    }
    conf << "listener " << m_port << " 127.0.0.1\n";
    // Started as root it would become user mosquitto, who may not read the test's folder.
    if (const passwd* me = ::getpwuid(::geteuid()); me != nullptr) {
        conf << "user " << me->pw_name << "\n";
    }
    if (!tls.certFile.empty()) {
        conf << "cafile " << tls.caFile << "\ncertfile " << tls.certFile << "\nkeyfile "
             << tls.keyFile << "\n";
    }
    if (!tls.passwordFile.empty()) {
        conf << "allow_anonymous false\npassword_file " << tls.passwordFile << "\n";
    } else {
        conf << "allow_anonymous true\n";
    }
    if (persistentDir.empty()) {
        conf << "persistence false\n";
    } else {
        conf << "persistence true\npersistence_location " << persistentDir << "/\n";
    }
    conf << "log_dest stderr\nlog_type error\nlog_type warning\n";
}

Broker::~Broker() {
    stop();
}

bool Broker::start() {
    const std::string n = std::to_string(++m_starts);
    m_process = std::make_unique<Child>(
        std::vector<std::string>{"mosquitto", "-c", m_dir + "/mosquitto.conf"},
        m_dir + "/mosquitto" + n + ".out", m_dir + "/mosquitto" + n + ".err");
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < until) {
        if (portAnswers(m_port)) {
            return true;
        }
        if (!m_process->running()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void Broker::stop() {
    if (m_process) {
        m_process->signal(SIGTERM);
        m_process->waitExit(std::chrono::milliseconds(3000));
        m_process.reset();
    }
}

Subscriber::Subscriber(const std::string& dir, int port, const std::vector<std::string>& extra) {
    static int count = 0;
    m_file = dir + "/sub" + std::to_string(++count) + ".txt";
    std::vector<std::string> argv{
        "mosquitto_sub", "-h", "127.0.0.1", "-p", std::to_string(port), "-t",
        "qavix/#",       "-v", "-q",        "1"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    m_process = std::make_unique<Child>(argv, m_file, m_file + ".err");
    // Subscribed once the broker has sent what it retains or a moment has passed.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

std::vector<std::string> Subscriber::lines() const {
    return qavix::cli::test::lines(readBytes(m_file));
}

std::vector<std::string> Subscriber::payloads(const std::string& topic) const {
    std::vector<std::string> out;
    for (const std::string& line : lines()) {
        if (line.rfind(topic + " ", 0) == 0) {
            out.push_back(line.substr(topic.size() + 1));
        }
    }
    return out;
}

bool Subscriber::waitFor(const std::function<bool(const Subscriber&)>& done,
                         std::chrono::milliseconds wait) const {
    const auto until = Clock::now() + wait;
    while (Clock::now() < until) {
        if (done(*this)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done(*this);
}

std::vector<std::string> retained(int port, const std::string& topicFilter,
                                  const std::vector<std::string>& extra) {
    const std::string dir = makeTempDir("retained");
    static int count = 0;
    const std::string file = dir + "/retained" + std::to_string(++count) + ".txt";
    std::vector<std::string> argv{"mosquitto_sub",      "-h", "127.0.0.1", "-p",
                                  std::to_string(port), "-t", topicFilter, "-v",
                                  "--retained-only",    "-W", "1"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    Child sub(argv, file, file + ".err");
    sub.waitExit(std::chrono::milliseconds(3000));
    return lines(readBytes(file));
}

std::string jsonField(const std::string& json, const std::string& key) {
    const std::regex re("\"" + key + "\":(\"([^\"]*)\"|null|-?[0-9.]+|true|false)");
    std::smatch m;
    if (!std::regex_search(json, m, re)) {
        return {};
    }
    return m[2].matched ? m[2].str() : m[1].str();
}

std::vector<int> jsonIntArray(const std::string& json, const std::string& key) {
    const std::regex re("\"" + key + "\":\\[([-0-9,]*)\\]");
    std::smatch m;
    std::vector<int> out;
    if (!std::regex_search(json, m, re)) {
        return out;
    }
    std::stringstream s(m[1].str());
    for (std::string item; std::getline(s, item, ',');) {
        out.push_back(std::stoi(item));
    }
    return out;
}

}  // namespace qavix::cli::test
