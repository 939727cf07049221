#include "BrokerProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "FileText.h"
#include "FreePort.h"
#include "WaitUntil.h"

namespace qavix::test {

namespace {

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

Broker::Broker(const std::string& dir, const BrokerTls& tls, const std::string& persistentDir,
               const BrokerRules& rules)
    : m_dir(dir), m_port(freeLoopbackPort()) {
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
    ProcessSetup setup;
    setup.workDir = m_dir;
    setup.outFile = m_dir + "/mosquitto" + n + ".out";
    setup.errFile = m_dir + "/mosquitto" + n + ".err";
    m_process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"mosquitto", "-c", m_dir + "/mosquitto.conf"}, setup);
    bool gone = false;
    return waitUntil(
               [&] {
                   gone = !m_process->running();
                   return gone || portAnswers(m_port);
               },
               std::chrono::seconds(5), std::chrono::milliseconds(20)) &&
           !gone;
}

void Broker::stop() {
    if (m_process) {
        m_process->signal(SIGTERM);
        m_process->wait(std::chrono::milliseconds(3000));
        m_process.reset();
    }
}

Subscriber::Subscriber(const std::string& dir, int port, const std::vector<std::string>& extra) {
    static int count = 0;
    m_file = dir + "/sub" + std::to_string(++count) + ".txt";
    // Subscribed once a probe published on a topic of its own comes back (its output is
    // written a message at a time; the client says nothing of the subscription itself).
    std::vector<std::string> argv{"mosquitto_sub",      "-h", "127.0.0.1", "-p",
                                  std::to_string(port), "-t", "qavix/#",   "-t",
                                  "qavix-probe/ready",  "-v", "-q",        "1"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    ProcessSetup setup;
    setup.outFile = m_file;
    setup.errFile = m_file + ".err";
    m_process = std::make_unique<ChildProcess>(argv, setup);
    std::vector<std::string> probe{
        "mosquitto_pub",     "-h", "127.0.0.1", "-p", std::to_string(port), "-t",
        "qavix-probe/ready", "-m", "1"};
    for (size_t i = 0; i < extra.size(); ++i) {
        if (extra[i] == "-i") {
            ++i;  // the subscriber's session is its own
        } else if (extra[i] != "-c") {
            probe.push_back(extra[i]);
        }
    }
    waitUntil(
        [&] {
            runProcess(probe, {}, std::chrono::seconds(2));
            return readBytes(m_file).find("qavix-probe/ready") != std::string::npos;
        },
        std::chrono::seconds(5), std::chrono::milliseconds(20));
}

std::vector<std::string> Subscriber::lines() const {
    std::vector<std::string> messages;
    for (const std::string& line : qavix::test::lines(readBytes(m_file))) {
        if (line.rfind("qavix/", 0) == 0) {
            messages.push_back(line);
        }
    }
    return messages;
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
    return waitUntil([&] { return done(*this); }, wait, std::chrono::milliseconds(50));
}

std::vector<std::string> retained(int port, const std::string& topicFilter,
                                  const std::vector<std::string>& extra) {
    std::vector<std::string> argv{"mosquitto_sub",      "-h", "127.0.0.1", "-p",
                                  std::to_string(port), "-t", topicFilter, "-v",
                                  "--retained-only",    "-W", "1"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return lines(runProcess(argv, {}, std::chrono::milliseconds(3000)).out);
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

}  // namespace qavix::test
