#include "telemetry/ControllerMonitor.h"

#include <algorithm>

#include "IniText.h"
#include "comm/StatusCheck.h"
#include "comm/Transactions.h"
#include "model/ErrorLog.h"
#include "monitor/LevelReading.h"

namespace qavix::telemetry {

namespace {

constexpr int kQosAtLeastOnce = 1;

OutMessage message(MessageKind kind, std::string topicText, std::string payload, bool retain) {
    OutMessage m;
    m.kind = kind;
    m.topic = std::move(topicText);
    m.payload = std::move(payload);
    m.qos = kQosAtLeastOnce;
    m.retain = retain;
    return m;
}

std::vector<PageRead> sensorReads() {
    return {PageRead{code::kReadJointNum, 0, 0, 0, levels::kLevelReadTimeoutMs},
            PageRead{code::kReadBeamCounts, 1, 0, kChannelCount, levels::kLevelReadTimeoutMs}};
}

}  // namespace

std::string nameOfId(const std::string& idText) {
    std::string name;
    for (const char c : idText) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ') {
            continue;
        }
        name += (c == '/' || c == '+' || c == '#' || u < 0x20 || u == 0x7F) ? '_' : c;
    }
    return name;
}

ControllerMonitor::ControllerMonitor(ControllerReader& reader, const MonitorConfig& config,
                                     WallClock wallClock)
    : m_reader(reader),
      m_config(config),
      m_wallClock(std::move(wallClock)),
      m_name(config.name),
      m_alerts(config.warnMarginPercent, config.warnCount),
      m_lineBackoff(config.interval, std::max(config.interval, config.retryMax)) {}

bool ControllerMonitor::identify(std::string& problem) {
    if (!m_name.empty()) {
        return true;
    }
    LineResult r = m_reader.open();
    if (r.ok()) {
        r = m_reader.read({PageRead{code::kReadIdNumber, 0, 0, 0, levels::kLevelReadTimeoutMs}},
                          m_model);
    }
    const std::string name = nameOfId(m_model.working().general.idText);
    const std::string why = topicNameProblem(name);
    if (r.ok() && why.empty()) {
        m_name = name;
    } else if (r.ok()) {
        r.readError = "the controller's ID \"" + ini::printable(m_model.working().general.idText) +
                      "\" cannot name a topic (it " + why + "): give --name";
    }
    problem = r.problem.empty() ? r.readError : r.problem;
    endCycle(r);
    return !m_name.empty();
}

void ControllerMonitor::endCycle(const LineResult& result) {
    // Another program may have held the port and written meanwhile.
    m_thresholdsStale = m_thresholdsStale || result.line != LineState::Ok;
    m_lastLine = result.line;
    m_lastOk = result.ok();
    if (!keepsLineOpen() || result.line != LineState::Ok) {
        m_reader.close();
    }
}

std::chrono::milliseconds ControllerMonitor::nextWait() {
    if (m_lastLine == LineState::Lost || m_lastLine == LineState::NoAnswer) {
        return m_lineBackoff.next();
    }
    m_lineBackoff.reset();
    return m_config.interval;
}

std::vector<OutMessage> ControllerMonitor::cycle(bool readErrors,
                                                 const DeliveryCounters& delivery) {
    std::vector<OutMessage> out;
    const std::time_t now = m_wallClock();
    StatusReport report;
    report.time = now;
    report.name = m_name;
    report.port = m_reader.portName();
    report.unit = m_config.unit;
    report.target = m_config.target;
    report.host = m_config.host;
    report.intervalSeconds = std::chrono::duration<double>(m_config.interval).count();
    report.delivery = delivery;

    LineResult r = m_reader.open();
    ControllerStatus status;
    if (r.ok()) {
        r = m_reader.readStatus(status);
    }
    if (r.line == LineState::Ok && r.readError.empty()) {
        report.state = status.reply.state;
        report.error = status.error;
        r = m_reader.read(sensorReads(), m_model);
    }
    if (r.ok()) {
        for (int s = 0; s < levels::connectedSensors(m_model.working()); ++s) {
            report.beams.push_back(m_model.working().channel(s).beamCount);
        }
        // Settings change only through setting or factory mode, and a program that does it
        // holds the port meanwhile; new sensors bring new thresholds.
        const bool settled = status.reply.state == kStateNormal;
        if (!settled || report.beams != m_beamsOfThresholds) {
            m_thresholdsStale = true;
            m_settingsStale = true;
        }
        r = readLevels(out, now, m_thresholdsStale || readErrors);
        m_beamsOfThresholds = report.beams;
        // What a write in progress has put is final only when it is enabled: read again then.
        m_thresholdsStale = m_thresholdsStale || !settled;
        if (r.ok() && settled && m_settingsStale) {
            r = readSettings();
        }
    }
    if (!r.ok()) {
        m_thresholdsStale = true;
        m_settingsStale = true;
    }
    report.fingerprint = m_fingerprint;
    if (r.ok() && readErrors) {
        r = readErrorLog(out, now);
    }
    report.line = r.line;
    report.problem = r.problem;
    report.readError = r.readError;
    out.push_back(
        message(MessageKind::Status, topic(m_name, "status"), statusPayload(report), true));
    endCycle(r);
    return out;
}

LineResult ControllerMonitor::readSettings() {
    std::vector<PageRead> reads;
    for (const ReadStep& step : settingsReadSteps(m_model.working())) {
        reads.push_back(
            {step.code, step.arg1, step.start, step.count, levels::kLevelReadTimeoutMs});
    }
    const LineResult r = m_reader.read(reads, m_model);
    if (r.ok()) {
        m_fingerprint = settingsFingerprint(m_model.working());
        m_settingsStale = false;
    }
    return r;
}

LineResult ControllerMonitor::readLevels(std::vector<OutMessage>& out, std::time_t now,
                                         bool withThresholds) {
    SettingsData& set = m_model.working();
    const levels::GraphChoice all{levels::kAllChannels, false};
    // Blanking every cycle (a few bytes); the ratio thresholds of every beam, most of a
    // cycle's line time, only when they may have changed and with every error-log read, so
    // a change nobody saw is in the payloads within that time.
    std::vector<PageRead> reads = levels::operationReads(levels::Operation::RefreshRatio, set, all);
    if (!withThresholds) {
        reads.erase(std::remove_if(reads.begin(), reads.end(),
                                   [](const PageRead& r) {
                                       return r.code == code::kReadRatioOnTh ||
                                              r.code == code::kReadRatioOffTh;
                                   }),
                    reads.end());
    }
    const auto levelReads = levels::operationReads(levels::Operation::LevelsRatio, set, all);
    reads.insert(reads.end(), levelReads.begin(), levelReads.end());
    const LineResult r = m_reader.read(reads, m_model);
    if (!r.ok()) {
        return r;
    }
    m_thresholdsStale = m_thresholdsStale && !withThresholds;
    std::vector<OutMessage> alerts;
    for (int s = 0; s < levels::connectedSensors(set); ++s) {
        const auto bars = levels::barViews(set, levels::GraphChoice{s, false}, true);
        const SensorMargin margin = sensorMargin(bars);
        out.push_back(message(MessageKind::Levels, topic(m_name, levelsLeaf(s + 1)),
                              levelsPayload(now, s + 1, bars, margin), false));
        if (const auto alert = m_alerts.update(s + 1, margin)) {
            alerts.push_back(message(
                MessageKind::Alert, topic(m_name, "alerts"),
                alertPayload(now, *alert, m_alerts.warnPercent(), m_alerts.warnCount()), false));
        }
    }
    out.insert(out.end(), alerts.begin(), alerts.end());
    return r;
}

LineResult ControllerMonitor::readErrorLog(std::vector<OutMessage>& out, std::time_t now) {
    std::vector<PageRead> reads;
    for (int k = 0; k < kErrorHistoryCount; ++k) {
        reads.push_back(PageRead{code::kReadErrorLog + k, 0, 0, 0, levels::kLevelReadTimeoutMs});
    }
    const LineResult r = m_reader.read(reads, m_model);
    if (!r.ok()) {
        // Half a log proves nothing about what is new; the next read decides.
        return r;
    }
    for (const int k : m_watch.look(m_model.errorHistory)) {
        const ErrorHistoryEntry& entry = m_model.errorHistory[static_cast<size_t>(k)];
        OutMessage m = message(MessageKind::Error, topic(m_name, "errors"),
                               errorEntryPayload(now, entry), false);
        m.errorKey = errorEntryKey(entry);
        out.push_back(std::move(m));
    }
    return r;
}

}  // namespace qavix::telemetry
