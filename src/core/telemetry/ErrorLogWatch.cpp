#include "telemetry/ErrorLogWatch.h"

#include <cstdio>
#include <tuple>

#include "files/FileIo.h"

namespace qavix::telemetry {

namespace {

constexpr const char* kStateKey = "last-error";
constexpr size_t kMaxKeyLength = 64;

// The date fields of a key, compared as a tuple: the controller's clock orders its log.
std::string datePart(const std::string& key) {
    return key.substr(0, key.find(' '));
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string errorEntryKey(const ErrorHistoryEntry& e) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d%02d%02d%02d %02d ", e.year % 100, e.month % 100,
                  e.day % 100, e.hour % 100, e.minute % 100, e.second % 100, e.reserved % 100);
    return buf + e.codeText + ' ' + e.serialText;
}

std::vector<int> ErrorLogWatch::look(
    const std::array<ErrorHistoryEntry, kErrorHistoryCount>& history) {
    std::vector<std::string> keys;
    for (const ErrorHistoryEntry& e : history) {
        if (e.isEmpty()) {
            break;
        }
        keys.push_back(errorEntryKey(e));
    }
    const std::string newest = keys.empty() ? std::string() : keys.front();
    std::vector<int> fresh;
    if (m_last) {
        size_t end = 0;
        while (end < keys.size() && keys[end] != *m_last) {
            ++end;
        }
        for (size_t k = end; k-- > 0;) {
            // Gone from the log: only what is dated after it can be new.
            if (end == keys.size() && !m_last->empty() && datePart(keys[k]) <= datePart(*m_last)) {
                continue;
            }
            fresh.push_back(static_cast<int>(k));
        }
    }
    if (!keys.empty() || !m_last) {
        m_last = newest;
    }
    return fresh;
}

std::optional<std::string> loadErrorState(const std::string& path, std::string& error) {
    error.clear();
    const fileio::ReadResult r = fileio::readFile(path);
    if (r.status == fileio::ReadStatus::Missing) {
        return std::nullopt;
    }
    if (!r.ok()) {
        error = path + ": " + r.error;
        return std::nullopt;
    }
    size_t pos = 0;
    while (pos < r.bytes.size()) {
        const size_t end = std::min(r.bytes.find('\n', pos), r.bytes.size());
        const std::string line = trim(r.bytes.substr(pos, end - pos));
        pos = end + 1;
        const auto eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos) {
            continue;
        }
        if (trim(line.substr(0, eq)) == kStateKey) {
            std::string key = trim(line.substr(eq + 1));
            if (key.size() > kMaxKeyLength) {
                break;
            }
            return key;
        }
    }
    error = path + ": no " + kStateKey + " line";
    return std::nullopt;
}

bool saveErrorState(const std::string& path, const std::string& lastKey, std::string& error) {
    const std::string text =
        std::string("# qavixctl monitor: the newest error-log entry delivered\n") + kStateKey +
        " = " + lastKey + "\n";
    const fileio::WriteResult w = fileio::writeFileAtomic(path, text);
    error = w.ok ? std::string() : path + ": " + w.error;
    return w.ok;
}

}  // namespace qavix::telemetry
