#include "MonitorRun.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "ExitCodes.h"
#include "StopSignals.h"
#include "Translate.h"
#include "telemetry/ErrorLogWatch.h"

namespace qavix::cli {

namespace {

using Clock = StopClock;
using std::chrono::milliseconds;
using telemetry::OutMessage;

// How long the end of a run may wait for the broker to take what is still queued.
constexpr milliseconds kShutdownWait{3000};
// --once: how long the broker may take to be reached and to take the messages.
constexpr milliseconds kOnceWait{10000};
// The least time the broker is served between two reads.
constexpr milliseconds kBrokerShare{500};

void say(const std::string& text) {
    std::cerr << i18n::fill(QX_("monitor: %1"), {text}) << '\n';
    std::cerr.flush();
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

// What the broker says as the will when the monitor goes, said by the monitor in the JSON
// lines itself.
OutMessage onlineMessage(const std::string& name, bool online) {
    OutMessage m;
    m.kind = telemetry::MessageKind::Online;
    m.topic = telemetry::topic(name, "online");
    m.payload = telemetry::onlinePayload(online);
    m.retain = true;
    return m;
}

}  // namespace

bool waitForIdentity(telemetry::ControllerMonitor& monitor, bool once, int& exitCode) {
    std::string problem;
    std::string lastProblem;
    while (!monitor.identify(problem)) {
        if (problem != lastProblem) {
            say(i18n::fill(QX_("コントローラの ID を読めません: %1"), {problem}));
            lastProblem = problem;
        }
        if (once) {
            exitCode = kExitConnection;
            return false;
        }
        const auto until = Clock::now() + monitor.nextWait();
        while (!stopRequested() && Clock::now() < until) {
            waitUntil(until);
        }
        if (stopRequested()) {
            exitCode = kExitOk;
            return false;
        }
    }
    return true;
}

bool MonitorRun::openSinks(const std::optional<telemetry::BrokerUrl>& broker,
                           const std::string& password, std::string& error) {
    if (!m_args.jsonl.empty()) {
        m_jsonl = std::make_unique<JsonlSink>();
        if (!m_jsonl->open(m_args.jsonl, error)) {
            return false;
        }
    }
    if (broker) {
        broker::MqttOptions o;
        o.broker = *broker;
        o.caFile = m_args.caFile;
        o.certFile = m_args.certFile;
        o.keyFile = m_args.keyFile;
        o.username = m_args.username;
        o.password = password;
        o.mqtt5 = m_args.mqttVersion == "5";
        o.clientId = broker::uniqueClientId(m_monitor.name());
        o.onlineTopic = telemetry::topic(m_monitor.name(), "online");
        o.retryFirst = std::min(toMs(m_args.retryMaxSeconds), milliseconds(1000));
        o.retryMax = toMs(m_args.retryMaxSeconds);
        m_mqtt = std::make_unique<broker::MqttClient>(o, waitUntil);
        if (!m_mqtt->init(error)) {
            return false;
        }
        m_publisher = std::make_unique<telemetry::Publisher>(*m_mqtt);
        m_publisher->onDelivered([this](const OutMessage& m) { delivered(m); });
        m_publisher->onRefused(
            [this](const OutMessage& m, const std::string& reason) { refused(m, reason); });
        m_mqtt->attach(*m_publisher);
        m_mqtt->onNotice(say);
    }
    if (m_jsonl) {
        if (!writeJsonl(onlineMessage(m_monitor.name(), true))) {
            error = QX_("JSON の行を書けません");
            return false;
        }
    }
    return true;
}

void MonitorRun::restoreState() {
    m_statePath = m_args.stateFile.empty() ? defaultStateFile(m_monitor.name()) : m_args.stateFile;
    std::string error;
    m_savedState = telemetry::loadErrorState(m_statePath, error);
    if (!error.empty()) {
        say(i18n::fill(QX_("%1（状態なしとして扱います: 古いエラー履歴の記録は送信しません）"),
                       {error}));
    }
    m_monitor.restoreErrorState(m_savedState);
}

void MonitorRun::saveState(const std::string& key) {
    // Past an entry the broker refused the state stays put: a restart (once the broker's
    // rules are mended) publishes it again, with what came after it, rather than losing it.
    if (m_errorRefused || (m_savedState && *m_savedState == key)) {
        return;
    }
    std::string error;
    if (telemetry::saveErrorState(m_statePath, key, error)) {
        m_savedState = key;
        m_stateWarned = false;
    } else if (!m_stateWarned) {
        say(i18n::fill(QX_("状態ファイルを保存できません: %1（再起動でエラー記録を再び送信する"
                           "ことがあります）"),
                       {error}));
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

void MonitorRun::refused(const OutMessage& m, const std::string& reason) {
    const bool entry = m.kind == telemetry::MessageKind::Error;
    if (entry) {
        m_pendingErrors -= m_pendingErrors > 0 ? 1 : 0;
        m_errorRefused = true;
    }
    if (entry || m.kind == telemetry::MessageKind::Alert) {
        say(i18n::fill(entry ? QX_("ブローカーが %1 を拒否しました（%2）: エラー履歴の記録が"
                                   "失われます")
                             : QX_("ブローカーが %1 を拒否しました（%2）: アラートが失われます"),
                       {m.topic, reason}));
        return;
    }
    // Every cycle would say it again: once per topic and reason is enough to find the rule.
    if (m_refusalsTold.insert(m.topic + '\n' + reason).second) {
        say(i18n::fill(QX_("ブローカーが %1 を拒否しました（%2）。このようなメッセージは"
                           "破棄します"),
                       {m.topic, reason}));
    }
}

bool MonitorRun::writeJsonl(const OutMessage& m) {
    std::string error;
    if (m_jsonl->write(m, error)) {
        return true;
    }
    if (!m_publisher) {
        say(error);
        m_sinkFailed = true;
        return false;
    }
    // The broker is the monitor's main road: a full disk under the log file must not end it.
    say(i18n::fill(QX_("%1: JSON の行はこれ以上書きません。ブローカーへの送信は続けます"),
                   {error}));
    m_jsonl.reset();
    return true;
}

void MonitorRun::publish(std::vector<OutMessage> messages) {
    for (OutMessage& m : messages) {
        if (m_jsonl) {
            if (!writeJsonl(m)) {
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
        say(i18n::fill(QX_("コントローラの回線: %1"), {telemetry::lineStateName(line)}));
    }
    m_reportedLine = line;
}

void MonitorRun::serveUntil(Clock::time_point until) {
    if (m_mqtt) {
        m_mqtt->service(until);
        m_publisher->pump();
    } else {
        waitUntil(until);
    }
}

int MonitorRun::finishOnce() {
    const auto deadline = Clock::now() + kOnceWait;
    while (m_publisher && !stopRequested() && Clock::now() < deadline &&
           (!m_mqtt->connected() || !m_publisher->idle())) {
        serveUntil(deadline);
        if (!m_mqtt->connected() && m_mqtt->failedSinceConnect()) {
            break;
        }
    }
    const bool deliveredAll =
        !m_publisher || (m_publisher->idle() && m_publisher->counters().refused == 0);
    if (!deliveredAll) {
        say(QX_("ブローカーがメッセージを受け取りませんでした"));
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
            publish(m_monitor.cycle(
                readErrors, m_publisher ? m_publisher->counters() : telemetry::DeliveryCounters{}));
            reportLine();
            if (readErrors && m_monitor.lastCycleOk()) {
                nextErrors = now + errorsEvery;
            }
            if (m_args.once) {
                break;
            }
            // A read slower than the interval (a silent line's time-outs, a slow line) still
            // leaves the broker its share before the next one: it is served only in between.
            const milliseconds wait = m_monitor.nextWait();
            nextCycle = std::max(now + wait, Clock::now() + std::min(wait, kBrokerShare));
        }
        serveUntil(nextCycle);
    }
    int result = m_sinkFailed ? kExitFileError : kExitOk;
    if (m_args.once && !m_sinkFailed && !stopRequested()) {
        result = finishOnce();
    }
    if (m_jsonl) {
        std::string error;
        m_jsonl->write(onlineMessage(m_monitor.name(), false), error);
    }
    if (m_mqtt) {
        m_mqtt->shutdown(kShutdownWait);
    }
    return result;
}

}  // namespace qavix::cli
