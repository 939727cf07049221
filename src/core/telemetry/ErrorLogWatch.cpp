#include "telemetry/ErrorLogWatch.h"

#include <cstdio>
#include <tuple>

#include "IniText.h"
#include "Translate.h"
#include "files/FileIo.h"

namespace qavix::telemetry {

namespace {

constexpr const char* kStateKey = "last-error";
constexpr size_t kMaxKeyLength = 64;

// The date fields of a key, compared as a tuple: the controller's clock orders its log.
std::string datePart(const std::string& key) {
    return key.substr(0, key.find(' '));
}

}  // namespace

std::string errorEntryKey(const ErrorHistoryEntry& e) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d%02d%02d%02d %02d ", e.year % 100, e.month % 100,
                  e.day % 100, e.hour % 100, e.minute % 100, e.second % 100, e.reserved % 100);
    return buf + e.codeText + ' ' + e.serialText;
}

void ErrorLogWatch::restore(std::optional<std::string> lastKey) {
    m_last = std::move(lastKey);
    m_lastSecond.clear();
    if (m_last && !m_last->empty()) {
        m_lastSecond.insert(*m_last);
    }
}

bool ErrorLogWatch::newSinceGone(const std::string& key) const {
    const std::string date = datePart(key);
    const std::string lastDate = datePart(*m_last);
    if (date <= lastDate) {
        // Several entries share a second: of the last one seen, only those not seen are new.
        return date == lastDate && m_lastSecond.count(key) == 0;
    }
    return true;
}

void ErrorLogWatch::remember(const std::vector<std::string>& keys) {
    const std::string newestDate = datePart(keys.front());
    if (!m_last || datePart(*m_last) != newestDate) {
        m_lastSecond.clear();
    }
    for (const std::string& key : keys) {
        if (datePart(key) == newestDate) {
            m_lastSecond.insert(key);
        }
    }
    m_last = keys.front();
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
    std::vector<int> fresh;
    if (m_last) {
        size_t end = 0;
        while (end < keys.size() && keys[end] != *m_last) {
            ++end;
        }
        const bool gone = end == keys.size() && !m_last->empty();
        for (size_t k = end; k-- > 0;) {
            if (!gone || newSinceGone(keys[k])) {
                fresh.push_back(static_cast<int>(k));
            }
        }
    }
    if (!keys.empty()) {
        remember(keys);
    } else if (!m_last) {
        m_last = std::string();
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
    const ini::SettingsText text = ini::readSettingsText(r.bytes);
    if (!text.ok()) {
        const ini::TextProblem& p = text.problems.front();
        error =
            path + (p.line > 0 ? ":" + std::to_string(p.line) : std::string()) + ": " + p.message;
        return std::nullopt;
    }
    for (const ini::SettingLine& s : text.settings) {
        if (!s.section.empty() || !ini::sameName(s.key, kStateKey)) {
            continue;  // a later version's keys
        }
        if (s.value.size() > kMaxKeyLength) {
            error = path + ":" + std::to_string(s.line) + ": " +
                    i18n::fill(QX_("%1 が %2 文字より長いです"),
                               {kStateKey, std::to_string(kMaxKeyLength)});
            return std::nullopt;
        }
        return s.value;
    }
    error = path + ": " + i18n::fill(QX_("%1 の行がありません"), {kStateKey});
    return std::nullopt;
}

bool saveErrorState(const std::string& path, const std::string& lastKey, std::string& error) {
    const std::optional<std::string> value = ini::settingValueText(lastKey);
    if (!value || lastKey.size() > kMaxKeyLength) {
        error = path + ": " +
                i18n::fill(QX_("記録 \"%1\" をこのファイルに保存できません"),
                           {ini::printable(lastKey)});
        return false;
    }
    const std::string text =
        std::string("# qavixctl monitor: the newest error-log entry delivered\n") + kStateKey +
        " = " + *value + "\n";
    const fileio::WriteResult w = fileio::writeFileAtomic(path, text);
    error = w.ok ? std::string() : path + ": " + w.error;
    return w.ok;
}

}  // namespace qavix::telemetry
