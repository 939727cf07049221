#include "plant/PlantMessages.h"

#include "files/IsoTime.h"
#include "files/Json.h"

namespace qavix::plant {

namespace {

constexpr int kFirstChannel = 1;
constexpr int kLastChannel = 3;
constexpr int kMaxBeams = 128;
constexpr int kMaxUnit = 99;

// The object a payload holds, or nothing with the reason.
std::optional<json::Value> objectOf(std::string_view payload, std::string& error) {
    auto value = json::parse(payload, error);
    if (!value) {
        error = "no JSON: " + error;
        return std::nullopt;
    }
    if (!value->isObject()) {
        error = "not a JSON object";
        return std::nullopt;
    }
    return value;
}

bool isNull(const json::Value* v) {
    return v == nullptr || v->type() == json::Value::Type::Null;
}

// A whole number of the object's member within [low, high], else nothing with `error` set.
std::optional<int> wholeOf(const json::Value& o, std::string_view key, int low, int high,
                           std::string& error) {
    const json::Value* v = o.find(key);
    const auto n = v != nullptr ? v->integer() : std::nullopt;
    if (!n || *n < low || *n > high) {
        error = "\"" + std::string(key) + "\" is not a whole number from " + std::to_string(low) +
                " to " + std::to_string(high);
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

std::optional<double> numberOf(const json::Value& o, std::string_view key, std::string& error) {
    const json::Value* v = o.find(key);
    if (v == nullptr || !v->isNumber()) {
        error = "\"" + std::string(key) + "\" is not a number";
        return std::nullopt;
    }
    return v->asNumber();
}

bool stringOrNull(const json::Value& o, std::string_view key, std::string& out,
                  std::string& error) {
    const json::Value* v = o.find(key);
    if (isNull(v)) {
        out.clear();
        return true;
    }
    if (!v->isString()) {
        error = "\"" + std::string(key) + "\" is not a text";
        return false;
    }
    out = v->asString();
    return true;
}

std::optional<std::time_t> timeOf(const json::Value& o) {
    const json::Value* v = o.find("time");
    return v != nullptr && v->isString() ? parseIsoTime(v->asString()) : std::nullopt;
}

bool readSensors(const json::Value& o, StatusMessage& s, std::string& error) {
    const json::Value* sensors = o.find("sensors");
    if (isNull(sensors)) {
        return true;
    }
    if (!sensors->isArray() || sensors->items().size() > static_cast<size_t>(kLastChannel)) {
        error = "\"sensors\" is not a list of at most three sensors";
        return false;
    }
    for (const json::Value& item : sensors->items()) {
        if (!item.isObject()) {
            error = "a sensor is not an object";
            return false;
        }
        const auto channel = wholeOf(item, "channel", kFirstChannel, kLastChannel, error);
        const auto beams = wholeOf(item, "beams", 0, kMaxBeams, error);
        if (!channel || !beams) {
            return false;
        }
        s.sensors.push_back({*channel, *beams});
    }
    return true;
}

bool readError(const json::Value& o, StatusMessage& s, std::string& error) {
    const json::Value* e = o.find("error");
    if (isNull(e)) {
        return true;
    }
    if (!e->isObject()) {
        error = "\"error\" is not an object";
        return false;
    }
    ControllerErrorOfStatus ce;
    if (!stringOrNull(*e, "number", ce.number, error) ||
        !stringOrNull(*e, "text", ce.text, error)) {
        return false;
    }
    s.error = ce;
    return true;
}

// The short fingerprint: a text, or the journal's {"short": ...}.
std::string fingerprintOf(const json::Value& o) {
    const json::Value* f = o.find("fingerprint");
    if (f == nullptr) {
        return {};
    }
    if (f->isString()) {
        return f->asString();
    }
    return f->isObject() ? f->stringOf("short") : std::string();
}

}  // namespace

std::optional<bool> parseOnline(std::string_view payload, std::string& error) {
    const auto value = json::parse(payload, error);
    if (!value || value->type() != json::Value::Type::Bool) {
        error = "not true or false";
        return std::nullopt;
    }
    return value->asBool();
}

std::optional<StatusMessage> parseStatus(std::string_view payload, std::string& error) {
    const auto o = objectOf(payload, error);
    if (!o) {
        return std::nullopt;
    }
    StatusMessage s;
    s.time = timeOf(*o);
    const json::Value* line = o->find("line");
    const auto lineState = line != nullptr && line->isString()
                               ? telemetry::lineStateOfName(line->asString())
                               : std::nullopt;
    if (!lineState) {
        error = "\"line\" is not ok, busy, lost or no-answer";
        return std::nullopt;
    }
    s.line = *lineState;
    const auto unit = wholeOf(*o, "unit", 0, kMaxUnit, error);
    if (!unit || !stringOrNull(*o, "port", s.port, error) ||
        !stringOrNull(*o, "target", s.target, error) || !stringOrNull(*o, "host", s.host, error) ||
        !stringOrNull(*o, "problem", s.problem, error) ||
        !stringOrNull(*o, "state_text", s.stateText, error) ||
        !stringOrNull(*o, "read_error", s.readError, error) || !readSensors(*o, s, error) ||
        !readError(*o, s, error)) {
        return std::nullopt;
    }
    s.unit = *unit;
    if (const json::Value* code = o->find("state_code"); !isNull(code)) {
        const auto n = code->integer();
        if (!n || *n < 0 || *n > 255) {
            error = "\"state_code\" is not a state";
            return std::nullopt;
        }
        s.stateCode = static_cast<int>(*n);
    }
    if (const json::Value* interval = o->find("interval");
        interval != nullptr && interval->isNumber() && interval->asNumber() > 0) {
        s.intervalSeconds = interval->asNumber();
    }
    s.readFailed = o->stringOf("read") == "failed";
    s.fingerprint = fingerprintOf(*o);
    return s;
}

std::optional<MarginOfLevels> parseLevels(std::string_view payload, std::string& error) {
    const auto o = objectOf(payload, error);
    if (!o) {
        return std::nullopt;
    }
    MarginOfLevels m;
    const auto channel = wholeOf(*o, "channel", kFirstChannel, kLastChannel, error);
    if (!channel) {
        return std::nullopt;
    }
    m.channel = *channel;
    m.time = timeOf(*o);
    const json::Value* margin = o->find("margin");
    if (isNull(margin)) {
        return m;
    }
    if (!margin->isObject()) {
        error = "\"margin\" is not an object";
        return std::nullopt;
    }
    const auto percent = numberOf(*margin, "percent", error);
    const auto beam = wholeOf(*margin, "beam", 1, kMaxBeams, error);
    if (!percent || !beam) {
        return std::nullopt;
    }
    m.known = true;
    m.percent = *percent;
    m.beam = *beam;
    return m;
}

std::optional<AlertMessage> parseAlert(std::string_view payload, std::string& error) {
    const auto o = objectOf(payload, error);
    if (!o) {
        return std::nullopt;
    }
    AlertMessage a;
    const std::string kind = o->stringOf("alert");
    if (kind != "margin-low" && kind != "margin-ok") {
        error = "\"alert\" is not margin-low or margin-ok";
        return std::nullopt;
    }
    a.low = kind == "margin-low";
    const auto channel = wholeOf(*o, "channel", kFirstChannel, kLastChannel, error);
    const auto beam = wholeOf(*o, "beam", 1, kMaxBeams, error);
    const auto margin = numberOf(*o, "margin", error);
    if (!channel || !beam || !margin) {
        return std::nullopt;
    }
    a.time = timeOf(*o);
    a.channel = *channel;
    a.beam = *beam;
    a.margin = *margin;
    const json::Value* warn = o->find("warn_margin");
    a.warnMargin = warn != nullptr && warn->isNumber() ? warn->asNumber() : 0;
    return a;
}

std::optional<ErrorEntryMessage> parseErrorEntry(std::string_view payload, std::string& error) {
    const auto o = objectOf(payload, error);
    if (!o) {
        return std::nullopt;
    }
    ErrorEntryMessage e;
    if (!stringOrNull(*o, "number", e.number, error) || !stringOrNull(*o, "text", e.text, error) ||
        !stringOrNull(*o, "date_text", e.dateText, error)) {
        return std::nullopt;
    }
    if (e.number.empty() && e.text.empty()) {
        error = "an error entry without number and text";
        return std::nullopt;
    }
    e.time = timeOf(*o);
    return e;
}

}  // namespace qavix::plant
