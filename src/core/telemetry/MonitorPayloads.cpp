#include "telemetry/MonitorPayloads.h"

#include <cstdio>

#include "Utf8.h"
#include "comm/StatusCheck.h"
#include "files/IsoTime.h"
#include "files/JsonWriter.h"
#include "model/ErrorLog.h"

namespace qavix::telemetry {

namespace {

constexpr size_t kMaxNameLength = 64;
constexpr int kMarginDecimals = 1;

const char* barStateName(chart::BarState state) {
    switch (state) {
        case chart::BarState::Incident:
            return "incident";
        case chart::BarState::Unstable:
            return "unstable";
        case chart::BarState::Blocked:
            return "blocked";
        case chart::BarState::Blanked:
            return "blanked";
    }
    return "blocked";
}

const char* errorKindName(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::Setting:
            return "setting";
        case ErrorKind::Installation:
            return "installation";
        case ErrorKind::Dealer:
            return "dealer";
        case ErrorKind::Unidentified:
            break;
    }
    return "unidentified";
}

std::string hexNumber(int number) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(number) & 0xFFu);
    return buf;
}

}  // namespace

const char* lineStateName(LineState line) {
    switch (line) {
        case LineState::Ok:
            return "ok";
        case LineState::Busy:
            return "busy";
        case LineState::Lost:
            return "lost";
        case LineState::NoAnswer:
            return "no-answer";
    }
    return "lost";
}

std::optional<LineState> lineStateOfName(std::string_view name) {
    for (const LineState line :
         {LineState::Ok, LineState::Busy, LineState::Lost, LineState::NoAnswer}) {
        if (name == lineStateName(line)) {
            return line;
        }
    }
    return std::nullopt;
}

std::string topic(const std::string& name, const std::string& leaf) {
    return std::string(kTopicRoot) + '/' + name + '/' + leaf;
}

std::string levelsLeaf(int channel) {
    return "levels/CH" + std::to_string(channel);
}

std::string topicNameProblem(const std::string& name) {
    if (name.empty()) {
        return "is empty";
    }
    if (name.size() > kMaxNameLength) {
        return "is longer than " + std::to_string(kMaxNameLength) + " bytes";
    }
    if (const size_t bad = utf8::firstInvalid(name); bad != std::string::npos) {
        return "is no UTF-8 text (byte " + std::to_string(bad + 1) + ")";
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const auto u = static_cast<unsigned char>(name[i]);
        if (name[i] == '/' || name[i] == '+' || name[i] == '#') {
            return std::string("holds '") + name[i] + "', which separates or matches topics";
        }
        const bool c1 =
            u == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) <= 0x9F;
        if (u <= 0x20 || u == 0x7F || c1) {
            return "holds a blank or a control character";
        }
    }
    return {};
}

const char* controllerStateName(int state) {
    switch (state) {
        case kStateNormal:
            return "normal";
        case kStateSetting:
            return "setting";
        case kStateError:
            return "error";
        case kStateFactory:
            return "factory";
        default:
            return "abnormal";
    }
}

const char* controllerStateText(int state) {
    switch (state) {
        case kStateNormal:
            return "通常動作";
        case kStateSetting:
            return "設定モード";
        case kStateError:
            return "エラー状態";
        case kStateFactory:
            return "工場モード";
        default:
            return "動作状態が異常";
    }
}

std::string onlinePayload(bool online) {
    return online ? "true" : "false";
}

std::string statusPayload(const StatusReport& r) {
    json::Writer j;
    j.beginObject();
    j.key("time").value(isoLocalTime(r.time));
    j.key("name").value(r.name);
    j.key("port").value(r.port);
    j.key("unit").value(r.unit);
    j.key("target");
    r.target.empty() ? j.null() : j.value(r.target);
    j.key("host").value(r.host);
    j.key("interval").value(r.intervalSeconds);
    j.key("line").value(lineStateName(r.line));
    j.key("problem");
    r.problem.empty() ? j.null() : j.value(r.problem);
    if (r.state) {
        j.key("state").value(controllerStateName(*r.state));
        j.key("state_code").value(*r.state);
        j.key("state_text").value(controllerStateText(*r.state));
    } else {
        j.key("state").null();
        j.key("state_code").null();
        j.key("state_text").null();
    }
    j.key("error");
    if (r.error) {
        j.beginObject();
        j.key("number").value(hexNumber(r.error->number));
        j.key("code").value(r.error->number);
        j.key("text").value(r.error->text);
        j.key("kind").value(errorKindName(r.error->kind));
        j.endObject();
    } else {
        j.null();
    }
    j.key("sensors").beginArray();
    for (size_t i = 0; i < r.beams.size(); ++i) {
        j.beginObject();
        j.key("channel").value(static_cast<int>(i + 1));
        j.key("beams").value(r.beams[i]);
        j.endObject();
    }
    j.endArray();
    j.key("fingerprint");
    writeFingerprint(j, r.fingerprint);
    j.key("read").value(r.readError.empty() && r.line == LineState::Ok ? "ok" : "failed");
    j.key("read_error");
    r.readError.empty() ? j.null() : j.value(r.readError);
    j.key("delivery").beginObject();
    j.key("levels_dropped").value(r.delivery.levelsDropped);
    j.key("refused").value(r.delivery.refused);
    j.key("alerts_lost").value(r.delivery.alertsLost);
    j.key("errors_lost").value(r.delivery.errorsLost);
    j.endObject();
    j.endObject();
    return j.take();
}

std::string levelsPayload(std::time_t time, int channel, const std::vector<levels::BarView>& bars,
                          const SensorMargin& margin) {
    json::Writer j;
    // 3 arrays of numbers and one of words per beam: about 40 bytes a beam.
    j.reserve(160 + 40 * bars.size());
    j.beginObject();
    j.key("time").value(isoLocalTime(time));
    j.key("channel").value(channel);
    j.key("beams").value(static_cast<int>(bars.size()));
    j.key("level").beginArray();
    for (const auto& b : bars) {
        j.value(static_cast<std::int64_t>(b.value));
    }
    j.endArray();
    j.key("on").beginArray();
    for (const auto& b : bars) {
        j.value(static_cast<std::int64_t>(b.thresholds.on));
    }
    j.endArray();
    j.key("off").beginArray();
    for (const auto& b : bars) {
        j.value(static_cast<std::int64_t>(b.thresholds.off));
    }
    j.endArray();
    j.key("state").beginArray();
    for (const auto& b : bars) {
        j.value(barStateName(b.state));
    }
    j.endArray();
    j.key("margin");
    if (margin.known) {
        j.beginObject();
        j.key("percent").fixed(margin.percent, kMarginDecimals);
        j.key("beam").value(margin.beam);
        j.endObject();
    } else {
        j.null();
    }
    j.endObject();
    return j.take();
}

std::string errorEntryPayload(std::time_t time, const ErrorHistoryEntry& entry) {
    const int code = parseErrorCode(entry.codeText);
    const ErrorLogRow row = errorLogRow(0, entry, emptyErrorLogRow(0), japaneseWeekdays());
    json::Writer j;
    j.beginObject();
    j.key("time").value(isoLocalTime(time));
    j.key("date");
    if (entry.hasDate()) {
        j.value(isoDateTime(entry.year + 2000, entry.month, entry.day, entry.hour, entry.minute,
                            entry.second));
    } else {
        j.null();
    }
    j.key("date_text").value(row.date);
    j.key("number").value(entry.codeText);
    j.key("code");
    code >= 0 ? j.value(code) : j.null();
    j.key("text").value(row.text);
    j.key("serial").value(row.serial);
    j.endObject();
    return j.take();
}

std::string alertPayload(std::time_t time, const MarginAlert& alert, double warnPercent,
                         int warnCount) {
    json::Writer j;
    j.beginObject();
    j.key("time").value(isoLocalTime(time));
    j.key("alert").value(alert.kind == MarginAlert::Kind::Low ? "margin-low" : "margin-ok");
    j.key("channel").value(alert.channel);
    j.key("beam").value(alert.beam);
    j.key("margin").fixed(alert.percent, kMarginDecimals);
    j.key("warn_margin").fixed(warnPercent, kMarginDecimals);
    j.key("warn_count").value(warnCount);
    j.endObject();
    return j.take();
}

}  // namespace qavix::telemetry
