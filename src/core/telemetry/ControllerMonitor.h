#pragma once
// One controller watched for the plant: each cycle reads its status and levels (and, less
// often, its error log) through a ControllerReader and turns them into the messages to
// publish. It decides what a failed line means for the next cycle and keeps the margin
// alerts and the error-log watch; publishing is someone else's business.

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/DeviceModel.h"
#include "telemetry/Backoff.h"
#include "telemetry/ControllerReader.h"
#include "telemetry/ErrorLogWatch.h"
#include "telemetry/MarginAlerts.h"
#include "telemetry/PublishQueue.h"

namespace qavix::telemetry {

// From this interval on the port is opened for each cycle and closed after it, so that a
// person can start the desktop program between two reads.
constexpr std::chrono::milliseconds kSharedLineInterval{5000};
constexpr std::chrono::milliseconds kDefaultInterval{10000};
constexpr std::chrono::milliseconds kDefaultErrorsEvery{60000};
constexpr std::chrono::milliseconds kDefaultRetryMax{60000};

struct MonitorConfig {
    std::string name;  // empty: the controller's ID, read before anything is published
    std::chrono::milliseconds interval = kDefaultInterval;
    std::chrono::milliseconds errorsEvery = kDefaultErrorsEvery;
    std::chrono::milliseconds retryMax = kDefaultRetryMax;  // longest wait of a back-off
    double warnMarginPercent = kDefaultWarnMarginPercent;
    int warnCount = kDefaultWarnCount;
    int unit = 0;
    std::string target;  // what the port leads to here, as the status names it
    std::string host;    // this machine's name
};

class ControllerMonitor {
  public:
    using WallClock = std::function<std::time_t()>;

    ControllerMonitor(
        ControllerReader& reader, const MonitorConfig& config,
        WallClock wallClock = [] { return std::time(nullptr); });

    // The last delivered error-log entry of an earlier run (ErrorLogWatch::restore).
    void restoreErrorState(std::optional<std::string> lastKey) {
        m_watch.restore(std::move(lastKey));
    }

    // Reads the controller's ID when no name was given. False while it cannot be read
    // (`problem` says why); the caller waits nextWait() and tries again.
    bool identify(std::string& problem);
    const std::string& name() const { return m_name; }

    // One cycle; with `readErrors` the error log is read too. Returns the messages in the
    // order they are to be published; the status carries `delivery` as it stands.
    std::vector<OutMessage> cycle(bool readErrors, const DeliveryCounters& delivery = {});

    // The wait before the next cycle: the interval, or after a lost or silent line the
    // line's back-off (a busy port is tried again at the interval: its holder is a person).
    std::chrono::milliseconds nextWait();

    // Whether the port stays open between cycles (intervals under kSharedLineInterval).
    // The newest error-log entry seen (ErrorLogWatch::last), for the state file.
    const std::optional<std::string>& errorState() const { return m_watch.last(); }

    bool keepsLineOpen() const { return m_config.interval < kSharedLineInterval; }
    LineState lastLine() const { return m_lastLine; }
    bool lastCycleOk() const { return m_lastOk; }

  private:
    // Every setting a bank file holds, for the fingerprint of the status.
    LineResult readSettings();
    LineResult readLevels(std::vector<OutMessage>& out, std::time_t now, bool withThresholds);
    LineResult readErrorLog(std::vector<OutMessage>& out, std::time_t now);
    void endCycle(const LineResult& result);

    ControllerReader& m_reader;
    MonitorConfig m_config;
    WallClock m_wallClock;
    DeviceModel m_model;
    std::string m_name;
    MarginAlerts m_alerts;
    ErrorLogWatch m_watch;
    Backoff m_lineBackoff;
    LineState m_lastLine = LineState::Ok;
    bool m_lastOk = false;
    // The ratio thresholds held may be out of date: none read yet, a cycle failed, the
    // controller was found out of normal operation, or the sensors changed.
    bool m_thresholdsStale = true;
    // The settings are read whole, for the fingerprint, when they may have changed: as the
    // thresholds, but not with every error-log read.
    bool m_settingsStale = true;
    Fingerprint m_fingerprint;
    std::vector<int> m_beamsOfThresholds;
};

// Topic-safe name of a controller ID ("000101"): characters a topic cannot carry become '_'.
std::string nameOfId(const std::string& idText);

}  // namespace qavix::telemetry
