#include "MonitorCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "ExitCodes.h"
#include "JsonlSink.h"
#include "MqttClient.h"
#include "PortSelection.h"
#include "StopSignals.h"
#include "comm/LinkLibrary.h"
#include "files/FileIo.h"
#include "telemetry/BrokerUrl.h"
#include "telemetry/ConfigFile.h"
#include "telemetry/ControllerMonitor.h"
#include "telemetry/ErrorLogWatch.h"
#include "telemetry/Publisher.h"

namespace qavix::cli {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using telemetry::OutMessage;

constexpr const char* kCommand = "monitor";
constexpr double kMinInterval = 0.1;
constexpr double kMaxInterval = 86400.0;
// How long the end of a run may wait for the broker to take what is still queued.
constexpr milliseconds kShutdownWait{3000};
// --once: how long the broker may take to be reached and to take the messages.
constexpr milliseconds kOnceWait{10000};
constexpr milliseconds kServiceSlice{50};
constexpr size_t kMaxPasswordLength = 4096;

// The keys of a config file: the command's long options, and the device options.
const char* const kFlagKeys[] = {"once"};
const char* const kValueKeys[] = {
    "mqtt",         "cafile", "cert",       "key",          "username",    "password-file",
    "mqtt-version", "name",   "interval",   "errors-every", "warn-margin", "warn-count",
    "retry-max",    "jsonl",  "state-file", "device",       "port",        "unit"};

void say(const std::string& text) {
    std::cerr << "monitor: " << text << '\n';
    std::cerr.flush();
}

milliseconds toMs(double seconds) {
    return milliseconds(static_cast<long long>(seconds * 1000.0 + 0.5));
}

bool givenOnCommandLine(const std::vector<std::string>& args, const std::string& key) {
    const std::string option = "--" + key;
    return std::any_of(args.begin(), args.end(), [&](const std::string& a) {
        return a == option || a.rfind(option + "=", 0) == 0;
    });
}

bool truthValue(const std::string& v, bool& out) {
    if (v == "true" || v == "yes" || v == "1" || v == "on") {
        out = true;
        return true;
    }
    if (v == "false" || v == "no" || v == "0" || v == "off") {
        out = false;
        return true;
    }
    return false;
}

// A file the monitor needs before it connects: there, a regular file, readable.
std::string unreadableFile(const std::string& option, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return option + " " + path + ": no such file";
    }
    if (!S_ISREG(st.st_mode)) {
        return option + " " + path + ": not a regular file";
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return option + " " + path + ": cannot be read by this user";
    }
    return {};
}

std::string readPassword(const std::string& path, std::string& error) {
    const fileio::ReadResult r = fileio::readFile(path);
    if (!r.ok()) {
        error = "--password-file " + path + ": " + r.error;
        return {};
    }
    std::string password = r.bytes.substr(0, r.bytes.find('\n'));
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (password.empty() || password.size() > kMaxPasswordLength) {
        error = "--password-file " + path + ": the first line holds no password";
        return {};
    }
    return password;
}

std::string defaultStateFile(const std::string& name) {
    const std::string file = "monitor-" + name + ".state";
    if (const char* dir = std::getenv("STATE_DIRECTORY"); dir != nullptr && *dir) {
        // systemd's StateDirectory=; several are separated by ':'.
        const std::string first = std::string(dir).substr(0, std::string(dir).find(':'));
        return first + "/" + file;
    }
    std::string base;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        return file;
    }
    std::error_code ec;
    std::filesystem::create_directories(base + "/qavix", ec);
    return base + "/qavix/" + file;
}

// Checks everything that can be checked before anything connects.
int checkArgs(const MonitorArgs& a, std::optional<telemetry::BrokerUrl>& broker,
              std::string& password) {
    const auto usage = [](const std::string& text) {
        std::cerr << "monitor: " << text << '\n';
        return kExitUsage;
    };
    if (a.mqtt.empty() && a.jsonl.empty()) {
        return usage("give --mqtt mqtt://HOST[:PORT] or --jsonl FILE|- (or both)");
    }
    if (!a.mqtt.empty()) {
        std::string error;
        broker = telemetry::parseBrokerUrl(a.mqtt, error);
        if (!broker) {
            return usage(error);
        }
    }
    const bool tlsOptions = !a.caFile.empty() || !a.certFile.empty() || !a.keyFile.empty();
    if (tlsOptions && (!broker || !broker->tls)) {
        return usage("--cafile, --cert and --key need an mqtts:// broker");
    }
    if (a.certFile.empty() != a.keyFile.empty()) {
        return usage("--cert and --key go together");
    }
    if (!a.passwordFile.empty() && a.username.empty()) {
        return usage("--password-file needs --username");
    }
    if ((!a.username.empty() || !a.passwordFile.empty()) && !broker) {
        return usage("--username and --password-file need --mqtt");
    }
    for (const auto& [option, path] : {std::pair{"--cafile", a.caFile},
                                       {"--cert", a.certFile},
                                       {"--key", a.keyFile},
                                       {"--password-file", a.passwordFile}}) {
        if (!path.empty()) {
            if (const std::string why = unreadableFile(option, path); !why.empty()) {
                return usage(why);
            }
        }
    }
    if (!a.passwordFile.empty()) {
        std::string error;
        password = readPassword(a.passwordFile, error);
        if (!error.empty()) {
            return usage(error);
        }
    }
    if (!a.name.empty() && !telemetry::isValidTopicName(a.name)) {
        return usage("--name \"" + a.name +
                     "\" cannot stand in a topic (1..64 characters, no blanks, '/', '+' or '#')");
    }
    if (!a.device.empty() && a.device.find('\0') != std::string::npos) {
        return usage("--device holds a NUL byte");
    }
    return kExitOk;
}

// Everything one run holds, wired in one place and taken down in order.
class MonitorRun {
  public:
    MonitorRun(const MonitorArgs& args, telemetry::ControllerMonitor& monitor)
        : m_args(args), m_monitor(monitor) {}

    bool openSinks(const std::optional<telemetry::BrokerUrl>& broker, const std::string& password,
                   std::string& error);
    void restoreState();
    int loop();

  private:
    void publish(std::vector<OutMessage> messages);
    void delivered(const OutMessage& m);
    void saveState(const std::string& key);
    void reportLine();
    void serviceFor(milliseconds wait);
    int finishOnce();

    const MonitorArgs& m_args;
    telemetry::ControllerMonitor& m_monitor;
    std::unique_ptr<MqttClient> m_mqtt;
    std::unique_ptr<telemetry::Publisher> m_publisher;
    std::unique_ptr<JsonlSink> m_jsonl;
    std::string m_statePath;
    std::optional<std::string> m_savedState;
    size_t m_pendingErrors = 0;
    bool m_stateWarned = false;
    std::optional<telemetry::LineState> m_reportedLine;
    bool m_sinkFailed = false;
};

bool MonitorRun::openSinks(const std::optional<telemetry::BrokerUrl>& broker,
                           const std::string& password, std::string& error) {
    if (!m_args.jsonl.empty()) {
        m_jsonl = std::make_unique<JsonlSink>();
        if (!m_jsonl->open(m_args.jsonl, error)) {
            return false;
        }
        OutMessage online;
        online.kind = telemetry::MessageKind::Online;
        online.topic = telemetry::topic(m_monitor.name(), "online");
        online.payload = telemetry::onlinePayload(true);
        online.retain = true;
        if (!m_jsonl->write(online, error)) {
            return false;
        }
    }
    if (broker) {
        MqttOptions o;
        o.broker = *broker;
        o.caFile = m_args.caFile;
        o.certFile = m_args.certFile;
        o.keyFile = m_args.keyFile;
        o.username = m_args.username;
        o.password = password;
        o.mqtt5 = m_args.mqttVersion == "5";
        o.clientId = "qavix-" + m_monitor.name();
        o.onlineTopic = telemetry::topic(m_monitor.name(), "online");
        o.retryFirst = std::min(toMs(m_args.retryMaxSeconds), milliseconds(1000));
        o.retryMax = toMs(m_args.retryMaxSeconds);
        m_mqtt = std::make_unique<MqttClient>(o);
        if (!m_mqtt->init(error)) {
            return false;
        }
        m_publisher = std::make_unique<telemetry::Publisher>(*m_mqtt);
        m_publisher->onDelivered([this](const OutMessage& m) { delivered(m); });
        m_mqtt->attach(*m_publisher);
        m_mqtt->onNotice(say);
    }
    return true;
}

void MonitorRun::restoreState() {
    m_statePath = m_args.stateFile.empty() ? defaultStateFile(m_monitor.name()) : m_args.stateFile;
    std::string error;
    m_savedState = telemetry::loadErrorState(m_statePath, error);
    if (!error.empty()) {
        say(error + " (taken as no state: old error-log entries are not published)");
    }
    m_monitor.restoreErrorState(m_savedState);
}

void MonitorRun::saveState(const std::string& key) {
    if (m_savedState && *m_savedState == key) {
        return;
    }
    std::string error;
    if (telemetry::saveErrorState(m_statePath, key, error)) {
        m_savedState = key;
        m_stateWarned = false;
    } else if (!m_stateWarned) {
        say("cannot keep the state file: " + error + " (a restart may repeat error entries)");
        m_stateWarned = true;
    }
}

void MonitorRun::delivered(const OutMessage& m) {
    if (m.kind != telemetry::MessageKind::Error) {
        return;
    }
    if (m_pendingErrors > 0) {
        --m_pendingErrors;
    }
    saveState(m.errorKey);
}

void MonitorRun::publish(std::vector<OutMessage> messages) {
    for (OutMessage& m : messages) {
        if (m_jsonl) {
            std::string error;
            if (!m_jsonl->write(m, error)) {
                say(error);
                m_sinkFailed = true;
                return;
            }
            if (!m_publisher) {
                delivered(m);
                continue;
            }
        }
        if (m_publisher) {
            m_pendingErrors += m.kind == telemetry::MessageKind::Error ? 1 : 0;
            m_publisher->publish(std::move(m));
        }
    }
    // What the log held when nothing new was in it (the first look) is known now.
    if (m_pendingErrors == 0 && m_monitor.errorState()) {
        saveState(*m_monitor.errorState());
    }
}

void MonitorRun::reportLine() {
    const telemetry::LineState line = m_monitor.lastLine();
    if (m_reportedLine && *m_reportedLine == line) {
        return;
    }
    if (m_reportedLine || line != telemetry::LineState::Ok) {
        say(std::string("controller line: ") + telemetry::lineStateName(line));
    }
    m_reportedLine = line;
}

void MonitorRun::serviceFor(milliseconds wait) {
    if (m_mqtt) {
        m_mqtt->service(std::min(wait, kServiceSlice));
        if (m_publisher) {
            m_publisher->pump();
        }
    } else {
        std::this_thread::sleep_for(std::min(wait, kServiceSlice));
    }
}

int MonitorRun::finishOnce() {
    const auto deadline = Clock::now() + kOnceWait;
    while (m_publisher && !stopRequested() && Clock::now() < deadline &&
           (!m_mqtt->connected() || !m_publisher->idle())) {
        serviceFor(kServiceSlice);
        if (!m_mqtt->connected() && m_mqtt->failedSinceConnect()) {
            break;
        }
    }
    const bool deliveredAll = !m_publisher || m_publisher->idle();
    if (!deliveredAll) {
        say("the broker did not take the messages");
        return kExitConnection;
    }
    return m_monitor.lastCycleOk() ? kExitOk : kExitConnection;
}

int MonitorRun::loop() {
    const milliseconds errorsEvery = toMs(m_args.errorsEverySeconds);
    auto nextCycle = Clock::now();
    auto nextErrors = Clock::now();
    while (!stopRequested() && !m_sinkFailed) {
        const auto now = Clock::now();
        if (now >= nextCycle) {
            const bool readErrors = now >= nextErrors;
            publish(m_monitor.cycle(readErrors));
            reportLine();
            if (readErrors && m_monitor.lastCycleOk()) {
                nextErrors = now + errorsEvery;
            }
            if (m_args.once) {
                break;
            }
            nextCycle = now + m_monitor.nextWait();
        }
        const auto left = std::chrono::duration_cast<milliseconds>(nextCycle - Clock::now());
        serviceFor(std::max(left, milliseconds(1)));
    }
    int result = m_sinkFailed ? kExitFileError : kExitOk;
    if (m_args.once && !m_sinkFailed && !stopRequested()) {
        result = finishOnce();
    }
    if (m_jsonl) {
        OutMessage offline;
        offline.kind = telemetry::MessageKind::Online;
        offline.topic = telemetry::topic(m_monitor.name(), "online");
        offline.payload = telemetry::onlinePayload(false);
        offline.retain = true;
        std::string error;
        m_jsonl->write(offline, error);
    }
    if (m_mqtt) {
        m_mqtt->shutdown(kShutdownWait);
    }
    return result;
}

}  // namespace

bool expandMonitorConfig(std::vector<std::string>& args, std::string& error) {
    const auto command = std::find(args.begin(), args.end(), kCommand);
    if (command == args.end()) {
        return true;
    }
    std::string path;
    for (auto it = command + 1; it != args.end(); ++it) {
        if (*it == "--config" && it + 1 != args.end()) {
            path = *(it + 1);
        } else if (it->rfind("--config=", 0) == 0) {
            path = it->substr(9);
        }
    }
    if (path.empty()) {
        return true;
    }
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        error = "--config " + path + ": " + file.error;
        return false;
    }
    telemetry::ConfigEntries entries;
    if (!telemetry::parseConfigText(file.bytes, entries, error)) {
        error = path + ": " + error;
        return false;
    }
    std::vector<std::string> extra;
    for (const auto& [key, value] : entries) {
        const bool flag =
            std::find(std::begin(kFlagKeys), std::end(kFlagKeys), key) != std::end(kFlagKeys);
        const bool option =
            std::find(std::begin(kValueKeys), std::end(kValueKeys), key) != std::end(kValueKeys);
        if (!flag && !option) {
            error = path + ": unknown key \"" + key + "\"";
            return false;
        }
        if (givenOnCommandLine(args, key)) {
            continue;
        }
        if (flag) {
            bool on = false;
            if (!truthValue(value, on)) {
                error = path + ": " + key + " takes true or false, got \"" + value + "\"";
                return false;
            }
            if (on) {
                extra.push_back("--" + key);
            }
            continue;
        }
        extra.push_back("--" + key);
        extra.push_back(value);
    }
    const auto at = std::find(args.begin(), args.end(), kCommand) + 1;
    args.insert(at, extra.begin(), extra.end());
    return true;
}

void addMonitorCommand(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    auto a = std::make_shared<MonitorArgs>();
    CLI::App* cmd = app.add_subcommand(
        kCommand,
        "Read one controller for as long as it runs and publish its status, levels, new "
        "error-log entries and lens-dirt alerts to an MQTT broker (docs/monitor.md)");
    cmd->add_option("--mqtt", a->mqtt, "broker: mqtt://HOST[:PORT] or mqtts://HOST[:PORT]");
    cmd->add_option("--cafile", a->caFile, "certificate authority that signed the broker's");
    cmd->add_option("--cert", a->certFile, "client certificate (with --key)");
    cmd->add_option("--key", a->keyFile, "client key (with --cert)");
    cmd->add_option("--username", a->username, "login at the broker");
    cmd->add_option("--password-file", a->passwordFile,
                    "file whose first line is the password (never on the command line)");
    cmd->add_option("--mqtt-version", a->mqttVersion, "5 (default) or 3.1.1")
        ->check(CLI::IsMember({"5", "3.1.1"}));
    cmd->add_option("--name", a->name,
                    "the controller's name in the topics (default: its ID, read first)");
    cmd->add_option("--interval", a->intervalSeconds,
                    "seconds between reads of status and levels (default 10; from 5 on the "
                    "port is opened for each read and left free in between)")
        ->check(CLI::Range(kMinInterval, kMaxInterval));
    cmd->add_option("--errors-every", a->errorsEverySeconds,
                    "seconds between reads of the error log (default 60)")
        ->check(CLI::Range(kMinInterval, kMaxInterval));
    cmd->add_option("--warn-margin", a->warnMargin,
                    "alert when a sensor's margin (level / ON threshold) stays under this "
                    "percent (default 130)")
        ->check(CLI::Range(1.0, 1000.0));
    cmd->add_option("--warn-count", a->warnCount, "... for this many reads (default 3)")
        ->check(CLI::Range(1, 1000));
    cmd->add_option("--retry-max", a->retryMaxSeconds,
                    "longest wait between attempts to reach a silent controller or an absent "
                    "broker, in seconds (default 60)")
        ->check(CLI::Range(kMinInterval, 3600.0));
    cmd->add_option("--config", a->config,
                    "read these options from an INI file (key = value, keys as the long "
                    "options); the command line wins");
    cmd->add_flag("--once", a->once, "one read, publish, then exit (0: all done, 3: not)");
    cmd->add_option("--jsonl", a->jsonl,
                    "also write every message as a JSON line to FILE ('-': standard output)");
    cmd->add_option("--state-file", a->stateFile,
                    "where the last delivered error entry is kept (default: "
                    "$STATE_DIRECTORY or ~/.local/state/qavix)");
    cmd->add_option("--device", a->device,
                    "what the port leads to (a device path, sim:..., or any port target), "
                    "instead of Qavix.ini");
    cmd->callback([a, &options, &exitCode] { exitCode = runMonitor(options, *a); });
}

int runMonitor(const DeviceOptions& options, const MonitorArgs& args) {
    std::optional<telemetry::BrokerUrl> broker;
    std::string password;
    if (const int bad = checkArgs(args, broker, password); bad != kExitOk) {
        return bad;
    }
    const PortSelection selection = selectPort(kSettingsFileName, options);
    reportUnreadableSettings(selection);
    if (!args.device.empty()) {
        // The port resolves through the same rule as everywhere (QAVLINK_COMn first), so
        // every kind of port target works here as it does for the program.
        const std::string variable = "QAVLINK_COM" + std::to_string(selection.link.activePort + 1);
        ::setenv(variable.c_str(), args.device.c_str(), 1);
    }
    // A reader that waits for the broker must not die of a closed pipe or socket: the
    // write fails and says so instead.
    std::signal(SIGPIPE, SIG_IGN);
    StopSignals signals;
    LinkLibrary library;
    if (!library.load()) {
        std::cerr << kLinkLoadFailedMessage << "\n(" << library.error() << ")\n";
        return kExitConnection;
    }
    signals.listen();

    telemetry::MonitorConfig config;
    config.name = args.name;
    config.interval = toMs(args.intervalSeconds);
    config.errorsEvery = toMs(args.errorsEverySeconds);
    config.retryMax = toMs(args.retryMaxSeconds);
    config.warnMarginPercent = args.warnMargin;
    config.warnCount = args.warnCount;
    config.unit = selection.link.unit;
    telemetry::ControllerReader reader(library.api(), selection.link);
    telemetry::ControllerMonitor monitor(reader, config);

    // Without --name the topics are named after the controller's ID, so it is read first.
    std::string problem;
    std::string lastProblem;
    while (!monitor.identify(problem)) {
        if (problem != lastProblem) {
            say("cannot read the controller's ID: " + problem);
            lastProblem = problem;
        }
        if (args.once) {
            return kExitConnection;
        }
        const auto until = Clock::now() + monitor.nextWait();
        while (!stopRequested() && Clock::now() < until) {
            std::this_thread::sleep_for(kServiceSlice);
        }
        if (stopRequested()) {
            return kExitOk;
        }
    }
    MonitorRun run(args, monitor);
    std::string error;
    if (!run.openSinks(broker, password, error)) {
        say(error);
        return kExitFileError;
    }
    run.restoreState();
    return run.loop();
}

}  // namespace qavix::cli
