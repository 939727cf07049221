#include "telemetry/MonitorPayloads.h"

#include <cstdio>

#include "comm/StatusCheck.h"
#include "model/ErrorLog.h"
#include "telemetry/Json.h"

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

std::string topic(const std::string& name, const std::string& leaf) {
    return std::string(kTopicRoot) + '/' + name + '/' + leaf;
}

std::string levelsLeaf(int channel) {
    return "levels/CH" + std::to_string(channel);
}

bool isValidTopicName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '+' || c == '#' || u <= 0x20 || u == 0x7F) {
            return false;
        }
    }
    return true;
}

std::string isoTime(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char buf[40];
    const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string s(buf, n);
    // %z gives +0900; ISO 8601's extended form wants +09:00.
    if (s.size() >= 5) {
        s.insert(s.size() - 2, ":");
    }
    return s;
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
    JsonWriter j;
    j.beginObject();
    j.key("time").value(isoTime(r.time));
    j.key("name").value(r.name);
    j.key("port").value(r.port);
    j.key("unit").value(r.unit);
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
    j.key("read").value(r.readError.empty() && r.line == LineState::Ok ? "ok" : "failed");
    j.key("read_error");
    r.readError.empty() ? j.null() : j.value(r.readError);
    j.endObject();
    return j.take();
}

std::string levelsPayload(std::time_t time, int channel, const std::vector<levels::BarView>& bars,
                          const SensorMargin& margin) {
    JsonWriter j;
    // 3 arrays of numbers and one of words per beam: about 40 bytes a beam.
    j.reserve(160 + 40 * bars.size());
    j.beginObject();
    j.key("time").value(isoTime(time));
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
        j.key("percent").number(margin.percent, kMarginDecimals);
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
    JsonWriter j;
    j.beginObject();
    j.key("time").value(isoTime(time));
    j.key("date");
    if (entry.hasDate()) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", entry.year + 2000,
                      entry.month, entry.day, entry.hour, entry.minute, entry.second);
        j.value(buf);
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
    JsonWriter j;
    j.beginObject();
    j.key("time").value(isoTime(time));
    j.key("alert").value(alert.kind == MarginAlert::Kind::Low ? "margin-low" : "margin-ok");
    j.key("channel").value(alert.channel);
    j.key("beam").value(alert.beam);
    j.key("margin").number(alert.percent, kMarginDecimals);
    j.key("warn_margin").number(warnPercent, kMarginDecimals);
    j.key("warn_count").value(warnCount);
    j.endObject();
    return j.take();
}

}  // namespace qavix::telemetry
