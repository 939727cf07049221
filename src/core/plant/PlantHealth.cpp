#include "plant/PlantHealth.h"

#include <algorithm>
#include <chrono>

#include "comm/StatusCheck.h"
#include "telemetry/ControllerMonitor.h"

namespace qavix::plant {

double intervalSecondsOf(const PlantRow& row) {
    if (row.status && row.status->intervalSeconds) {
        return *row.status->intervalSeconds;
    }
    return std::chrono::duration<double>(telemetry::kDefaultInterval).count();
}

bool isStale(const PlantRow& row, std::time_t now) {
    if (!row.lastSeen) {
        return false;
    }
    return static_cast<double>(now - *row.lastSeen) >
           kStaleIntervals * intervalSecondsOf(row) + kTimeResolutionSeconds;
}

namespace {

void addLineReasons(const StatusMessage& s, std::vector<Reason>& out) {
    switch (s.line) {
        case telemetry::LineState::Lost:
            out.push_back(Reason::LineLost);
            return;
        case telemetry::LineState::NoAnswer:
            out.push_back(Reason::NoAnswer);
            return;
        case telemetry::LineState::Busy:
            out.push_back(Reason::LineBusy);
            return;
        case telemetry::LineState::Ok:
            break;
    }
    if (s.readFailed) {
        out.push_back(Reason::ReadFailed);
    }
    if (!s.stateCode) {
        return;
    }
    switch (*s.stateCode) {
        case kStateNormal:
            break;
        case kStateSetting:
            out.push_back(Reason::SettingMode);
            break;
        case kStateError:
            out.push_back(Reason::ControllerError);
            break;
        case kStateFactory:
            out.push_back(Reason::FactoryMode);
            break;
        default:
            out.push_back(Reason::Abnormal);
            break;
    }
}

}  // namespace

std::vector<Reason> reasonsOf(const PlantRow& row, std::time_t now) {
    std::vector<Reason> out;
    if (row.online == false) {
        out.push_back(Reason::Offline);
    } else if (isStale(row, now)) {
        out.push_back(Reason::Stale);
    }
    if (row.status) {
        addLineReasons(*row.status, out);
    } else if (row.online == true) {
        out.push_back(Reason::NoStatus);
    }
    if (std::any_of(row.sensors.begin(), row.sensors.end(),
                    [](const SensorMarginView& s) { return s.marginLow; })) {
        out.push_back(Reason::MarginLow);
    }
    if ((row.marks & kMarkWentOffline) != 0 && row.online != false) {
        out.push_back(Reason::WentOffline);
    }
    if ((row.marks & kMarkNewError) != 0) {
        out.push_back(Reason::NewError);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](Reason a, Reason b) { return severityOfReason(a) > severityOfReason(b); });
    return out;
}

Severity severityOfReason(Reason reason) {
    switch (reason) {
        case Reason::Offline:
            return Severity::Offline;
        case Reason::LineLost:
        case Reason::NoAnswer:
        case Reason::ReadFailed:
        case Reason::ControllerError:
        case Reason::Abnormal:
            return Severity::Fault;
        case Reason::Stale:
        case Reason::LineBusy:
        case Reason::SettingMode:
        case Reason::FactoryMode:
        case Reason::MarginLow:
        case Reason::WentOffline:
        case Reason::NewError:
        case Reason::NoStatus:
            return Severity::Attention;
    }
    return Severity::Attention;
}

const char* severityName(Severity severity) {
    switch (severity) {
        case Severity::Ok:
            return "ok";
        case Severity::Attention:
            return "attention";
        case Severity::Fault:
            return "fault";
        case Severity::Offline:
            return "offline";
    }
    return "attention";
}

Severity severityOf(const PlantRow& row, std::time_t now) {
    const auto reasons = reasonsOf(row, now);
    return reasons.empty() ? Severity::Ok : severityOfReason(reasons.front());
}

PlantSummary summarize(const std::map<std::string, PlantRow>& rows, std::time_t now) {
    PlantSummary s;
    for (const auto& [name, row] : rows) {
        ++s.controllers;
        const Severity severity = severityOf(row, now);
        s.offline += severity == Severity::Offline ? 1 : 0;
        s.attention += severity == Severity::Fault || severity == Severity::Attention ? 1 : 0;
    }
    return s;
}

}  // namespace qavix::plant
