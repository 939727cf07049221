#include "journal/JournalCsv.h"

namespace qavix::journal {

namespace {

const char* const kHeader =
    "日時,ユーザー,ホスト,プログラム,ポート,号機,形式,ＩＤ,シリアルNo.,対象,操作,詳細,結果,理由,"
    "設定フィンガープリント(前),設定フィンガープリント(後),項目,変更前,変更後";

std::string row(const std::vector<std::string>& values) {
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        line += csvValue(values[i]);
    }
    return line;
}

}  // namespace

std::string csvValue(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::vector<std::string> journalCsvLines(const std::vector<JournalEntry>& entries) {
    std::vector<std::string> lines = {kHeader};
    for (const JournalEntry& entry : entries) {
        const Record& r = entry.first();
        const std::vector<std::string> write = {
            r.time,
            r.user,
            r.host,
            r.program + " " + r.version,
            r.port,
            std::to_string(r.unit),
            r.controller.type,
            r.controller.id,
            r.controller.serial,
            r.target,
            operationName(r.operation),
            r.detail,
            entry.status(),
            r.reason,
            r.fingerprintBefore.shortForm(),
            entry.fingerprintAfter().shortForm(),
        };
        const std::vector<bankfile::FieldChange>& changes = entry.changes();
        if (changes.empty()) {
            std::vector<std::string> values = write;
            values.insert(values.end(), {"", "", ""});
            lines.push_back(row(values));
        }
        for (const bankfile::FieldChange& c : changes) {
            std::vector<std::string> values = write;
            values.insert(values.end(), {c.name, c.before, c.after});
            lines.push_back(row(values));
        }
    }
    return lines;
}

}  // namespace qavix::journal
