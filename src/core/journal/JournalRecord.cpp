#include "journal/JournalRecord.h"

#include <array>
#include <utility>

#include "files/JsonWriter.h"
#include "files/Sha256.h"

namespace qavix::journal {

namespace {

constexpr std::array<std::pair<Operation, const char*>, 11> kOperations = {{
    {Operation::PageWrite, "page write"},
    {Operation::BankWrite, "bank write"},
    {Operation::BankCopy, "bank copy"},
    {Operation::BankErase, "bank erase"},
    {Operation::BankImport, "bank import"},
    {Operation::ClockSet, "clock set"},
    {Operation::ZeroReset, "zero reset"},
    {Operation::Teaching, "teaching"},
    {Operation::BatchThreshold, "batch threshold setting"},
    {Operation::Reset, "reset"},
    {Operation::FleetRestore, "fleet restore"},
}};

constexpr std::array<std::pair<Result, const char*>, 3> kResults = {{
    {Result::Ok, "ok"},
    {Result::Refused, "refused"},
    {Result::Failed, "failed"},
}};

constexpr const char* kStartKind = "start";
constexpr const char* kEndKind = "end";

// A line ends in its own digest: `,"hash":"` 64 digits `"}`.
constexpr std::string_view kHashKey = ",\"hash\":\"";
constexpr size_t kDigestDigits = 64;
constexpr size_t kHashSuffixLength = kHashKey.size() + kDigestDigits + 2;

bool isLowerHex(std::string_view text) {
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

// One line of JSON, through the program's JSON writer.
void writeCompact(json::Writer& j, const json::Value& v) {
    switch (v.type()) {
        case json::Value::Type::Null:
            j.null();
            return;
        case json::Value::Type::Bool:
            j.value(v.asBool());
            return;
        case json::Value::Type::Number:
            j.value(v.asNumber());
            return;
        case json::Value::Type::String:
            j.value(v.asString());
            return;
        case json::Value::Type::Array:
            j.beginArray();
            for (const json::Value& item : v.items()) {
                writeCompact(j, item);
            }
            j.endArray();
            return;
        case json::Value::Type::Object:
            j.beginObject();
            for (const auto& [key, member] : v.members()) {
                j.key(key);
                writeCompact(j, member);
            }
            j.endObject();
            return;
    }
}

std::string compactJson(const json::Value& v) {
    json::Writer j(json::Writer::Layout::Compact);
    writeCompact(j, v);
    return j.take();
}

// The name of the changes' member: a start record announces, an end record reports.
const char* changesKey(RecordKind kind) {
    return kind == RecordKind::Start ? "changes" : "written";
}

std::vector<bankfile::FieldChange> changesOf(const json::Value& record, std::string_view key) {
    std::vector<bankfile::FieldChange> changes;
    const json::Value* list = record.find(key);
    if (list == nullptr || !list->isArray()) {
        return changes;
    }
    for (const json::Value& item : list->items()) {
        changes.push_back(
            {item.stringOf("field"), item.stringOf("old"), item.stringOf("new"), "", 1});
    }
    return changes;
}

}  // namespace

const std::string kNoPreviousRecord(kDigestDigits, '0');

const char* operationName(Operation operation) {
    for (const auto& [op, name] : kOperations) {
        if (op == operation) {
            return name;
        }
    }
    return "";
}

std::optional<Operation> operationFromName(std::string_view name) {
    for (const auto& [op, text] : kOperations) {
        if (name == text) {
            return op;
        }
    }
    return std::nullopt;
}

const char* resultName(Result result) {
    for (const auto& [r, name] : kResults) {
        if (r == result) {
            return name;
        }
    }
    return "";
}

std::optional<Result> resultFromName(std::string_view name) {
    for (const auto& [r, text] : kResults) {
        if (name == text) {
            return r;
        }
    }
    return std::nullopt;
}

std::string targetName(int storedSet) {
    return storedSet == kCurrentSet ? "current" : "bank" + std::to_string(storedSet);
}

std::string lineDigest(std::string_view line) {
    return sha256Hex(line);
}

std::string formatRecord(const Record& r, const std::string& prev) {
    json::Value v = recordJson(r);
    v.set("prev", prev);
    // The digest covers the line as it reads without it.
    std::string line = compactJson(v);
    const std::string digest = sha256Hex(line);
    line.pop_back();
    line += kHashKey;
    line += digest;
    line += "\"}";
    return line;
}

bool recordIntact(std::string_view line) {
    if (line.size() <= kHashSuffixLength || line.front() != '{' || line.back() != '}') {
        return false;
    }
    const size_t suffix = line.size() - kHashSuffixLength;
    if (line.substr(suffix, kHashKey.size()) != kHashKey || line.substr(line.size() - 2) != "\"}") {
        return false;
    }
    const std::string_view digest = line.substr(suffix + kHashKey.size(), kDigestDigits);
    if (!isLowerHex(digest)) {
        return false;
    }
    std::string body(line.substr(0, suffix));
    body += '}';
    return sha256Hex(body) == digest;
}

std::string ownDigest(std::string_view line) {
    if (line.size() < kHashSuffixLength) {
        return {};
    }
    return std::string(line.substr(line.size() - kDigestDigits - 2, kDigestDigits));
}

std::optional<Record> parseRecord(std::string_view line) {
    if (!recordIntact(line)) {
        return std::nullopt;
    }
    std::string error;
    const std::optional<json::Value> parsed = json::parse(line, error);
    if (!parsed || !parsed->isObject()) {
        return std::nullopt;
    }
    const json::Value& v = *parsed;
    Record r;
    const std::string kind = v.stringOf("kind");
    if (kind != kStartKind && kind != kEndKind) {
        return std::nullopt;
    }
    r.kind = kind == kStartKind ? RecordKind::Start : RecordKind::End;
    const std::optional<Operation> operation = operationFromName(v.stringOf("operation"));
    if (!operation) {
        return std::nullopt;
    }
    r.operation = *operation;
    if (r.kind == RecordKind::End) {
        const std::optional<Result> result = resultFromName(v.stringOf("result"));
        if (!result) {
            return std::nullopt;
        }
        r.result = *result;
        r.message = v.stringOf("message");
    }
    r.operationId = v.stringOf("id");
    r.time = v.stringOf("time");
    r.user = v.stringOf("user");
    r.host = v.stringOf("host");
    r.program = v.stringOf("program");
    r.version = v.stringOf("version");
    r.port = v.stringOf("port");
    r.device = v.stringOf("device");
    r.unit = v.intOf("unit");
    if (const json::Value* c = v.find("controller"); c != nullptr && c->isObject()) {
        r.controller = fleet::identityFromJson(*c);
    }
    r.target = v.stringOf("target");
    r.detail = v.stringOf("detail");
    r.reason = v.stringOf("reason");
    r.fingerprintBefore = fingerprintFromJson(v.find("fingerprintBefore"));
    r.fingerprintAfter = fingerprintFromJson(v.find("fingerprintAfter"));
    r.changes = changesOf(v, changesKey(r.kind));
    const json::Value* damage = v.find("afterDamage");
    r.afterDamage =
        damage != nullptr && damage->type() == json::Value::Type::Bool && damage->asBool();
    r.prev = v.stringOf("prev");
    r.hash = ownDigest(line);
    return r;
}

json::Value changesJson(const std::vector<bankfile::FieldChange>& changes) {
    json::Value list = json::Value::array();
    for (const bankfile::FieldChange& c : changes) {
        json::Value item = json::Value::object();
        item.set("field", c.name);
        item.set("old", c.before);
        item.set("new", c.after);
        list.push(std::move(item));
    }
    return list;
}

json::Value recordJson(const Record& r) {
    json::Value v = json::Value::object();
    v.set("kind", r.kind == RecordKind::Start ? kStartKind : kEndKind);
    v.set("id", r.operationId);
    v.set("time", r.time);
    v.set("user", r.user);
    v.set("host", r.host);
    v.set("program", r.program);
    v.set("version", r.version);
    v.set("port", r.port);
    v.set("device", r.device);
    v.set("unit", r.unit);
    v.set("controller", fleet::identityJson(r.controller));
    v.set("target", r.target);
    v.set("operation", operationName(r.operation));
    v.set("detail", r.detail);
    v.set("reason", r.reason);
    v.set("fingerprintBefore", fingerprintJson(r.fingerprintBefore));
    v.set("fingerprintAfter", fingerprintJson(r.fingerprintAfter));
    v.set(changesKey(r.kind), changesJson(r.changes));
    if (r.kind == RecordKind::End) {
        v.set("result", resultName(r.result));
        v.set("message", r.message);
    }
    if (r.afterDamage) {
        v.set("afterDamage", true);
    }
    return v;
}

}  // namespace qavix::journal
