#include "fleet/BackupManifest.h"

#include <ctime>

#include "Translate.h"
#include "files/Json.h"

namespace qavix::fleet {

namespace {

constexpr std::array<const char*, 4> kResultTexts = {"ok", "failed", "interrupted", "not started"};

json::Value recordJson(const ControllerRecord& r) {
    json::Value v = json::Value::object();
    v.set("name", r.name);
    v.set("port", r.port);
    v.set("unit", r.unit);
    v.set("result", resultText(r.result));
    if (!r.reason.empty()) {
        v.set("reason", r.reason);
    }
    v.set("started", r.started.empty() ? json::Value() : json::Value(r.started));
    v.set("finished", r.finished.empty() ? json::Value() : json::Value(r.finished));
    v.set("durationMs", r.durationMs);
    v.set("identity", r.identity ? identityJson(*r.identity) : json::Value());
    json::Value& files = v.set("files", json::Value::array());
    for (const BackupFile& f : r.files) {
        json::Value& file = files.push(json::Value::object());
        file.set("set", f.set == 0 ? std::string("current") : "bank" + std::to_string(f.set));
        file.set("path", f.path);
        file.set("size", f.size);
        file.set("sha256", f.sha256);
        file.set("fingerprint", fingerprintJson(f.fingerprint));
    }
    json::Value& notes = v.set("notes", json::Value::array());
    for (const std::string& note : r.notes) {
        notes.push(note);
    }
    return v;
}

std::optional<int> setFromText(const std::string& text) {
    if (text == "current") {
        return 0;
    }
    if (text.size() == 5 && text.compare(0, 4, "bank") == 0 && text[4] >= '1' && text[4] <= '4') {
        return text[4] - '0';
    }
    return std::nullopt;
}

bool readRecord(const json::Value& v, ControllerRecord& r, std::string& error) {
    if (!v.isObject()) {
        error = QX_("コントローラの項目がオブジェクトではありません");
        return false;
    }
    r.name = v.stringOf("name");
    const auto result = resultFromText(v.stringOf("result"));
    if (r.name.empty() || !result) {
        error = QX_("名前か結果のないコントローラの項目があります");
        return false;
    }
    r.result = *result;
    r.port = v.stringOf("port");
    r.unit = v.intOf("unit");
    r.reason = v.stringOf("reason");
    r.started = v.stringOf("started");
    r.finished = v.stringOf("finished");
    if (const json::Value* d = v.find("durationMs"); d != nullptr) {
        r.durationMs = d->integer().value_or(0);
    }
    if (const json::Value* identity = v.find("identity"); identity && identity->isObject()) {
        r.identity = identityFromJson(*identity);
    }
    if (const json::Value* files = v.find("files"); files != nullptr) {
        for (const json::Value& f : files->items()) {
            BackupFile file;
            const auto set = setFromText(f.stringOf("set"));
            file.path = f.stringOf("path");
            file.sha256 = f.stringOf("sha256");
            file.fingerprint = fingerprintFromJson(f.find("fingerprint"));
            const json::Value* size = f.find("size");
            const int64_t bytes = size != nullptr ? size->integer().value_or(-1) : -1;
            if (!set || file.path.empty() || file.sha256.size() != 64 || bytes < 0) {
                error = i18n::fill(QX_("%1 のファイルの項目が欠けています"), {r.name});
                return false;
            }
            file.set = *set;
            file.size = static_cast<uint64_t>(bytes);
            r.files.push_back(file);
        }
    }
    if (const json::Value* notes = v.find("notes"); notes != nullptr) {
        for (const json::Value& note : notes->items()) {
            r.notes.push_back(note.asString());
        }
    }
    return true;
}

}  // namespace

std::string backupFileName(int set) {
    return set == 0 ? std::string("current.qbk") : "bank" + std::to_string(set) + ".qbk";
}

const char* resultText(BackupResult result) {
    return kResultTexts[static_cast<size_t>(result)];
}

std::optional<BackupResult> resultFromText(std::string_view text) {
    for (size_t i = 0; i < kResultTexts.size(); ++i) {
        if (text == kResultTexts[i]) {
            return static_cast<BackupResult>(i);
        }
    }
    return std::nullopt;
}

const ControllerRecord* Manifest::find(std::string_view name) const {
    for (const ControllerRecord& r : controllers) {
        if (r.name == name) {
            return &r;
        }
    }
    return nullptr;
}

std::string manifestJson(const Manifest& manifest) {
    json::Value v = json::Value::object();
    v.set("format", kManifestFormat);
    v.set("created", manifest.created);
    v.set("plant", manifest.plant);
    int counts[4] = {};
    for (const ControllerRecord& r : manifest.controllers) {
        ++counts[static_cast<int>(r.result)];
    }
    json::Value& summary = v.set("summary", json::Value::object());
    summary.set("controllers", static_cast<int>(manifest.controllers.size()));
    for (size_t i = 0; i < kResultTexts.size(); ++i) {
        summary.set(kResultTexts[i], counts[i]);
    }
    json::Value& controllers = v.set("controllers", json::Value::array());
    for (const ControllerRecord& r : manifest.controllers) {
        controllers.push(recordJson(r));
    }
    return json::write(v);
}

std::optional<Manifest> parseManifest(std::string_view text, std::string& error) {
    const std::optional<json::Value> v = json::parse(text, error);
    if (!v) {
        return std::nullopt;
    }
    const json::Value* format = v->find("format");
    if (!v->isObject() || format == nullptr || !format->isNumber() ||
        format->asNumber() != kManifestFormat) {
        error = i18n::fill(QX_("形式 %1 のバックアップのマニフェストではありません"),
                           {std::to_string(kManifestFormat)});
        return std::nullopt;
    }
    Manifest manifest;
    manifest.created = v->stringOf("created");
    manifest.plant = v->stringOf("plant");
    const json::Value* controllers = v->find("controllers");
    if (controllers == nullptr || !controllers->isArray()) {
        error = QX_("マニフェストにコントローラがありません");
        return std::nullopt;
    }
    for (const json::Value& item : controllers->items()) {
        ControllerRecord record;
        if (!readRecord(item, record, error)) {
            return std::nullopt;
        }
        manifest.controllers.push_back(std::move(record));
    }
    return manifest;
}

}  // namespace qavix::fleet
