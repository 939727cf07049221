#include "files/ProfileFile.h"

#include <climits>
#include <cstdlib>

#include "IniText.h"
#include "ShiftJis.h"
#include "files/TextFile.h"

// Qavix.ini is read by the link library too, with the same cap.
static_assert(qavix::ini::kMaxFileSize == qavix::fileio::kMaxReadSize);

namespace qavix {

namespace {

using ini::Entry;
using ini::headerName;
using ini::parseEntry;
using ini::sameName;
using ini::trim;
using ini::unquote;

bool matchesKey(std::string_view line, std::string_view key) {
    const Entry entry = parseEntry(line);
    return entry.kind == Entry::Key && sameName(entry.key, key);
}

// A NUL or another control character would make the file no settings text when it is read
// again (ini::textProblem); a tab is a blank and stays.
bool hasControl(std::string_view s) {
    size_t start = 0;
    for (;;) {
        const size_t tab = s.find('\t', start);
        const std::string_view part =
            s.substr(start, tab == std::string_view::npos ? tab : tab - start);
        if (ini::printable(part) != part) {
            return true;
        }
        if (tab == std::string_view::npos) {
            return false;
        }
        start = tab + 1;
    }
}

bool validSectionName(std::string_view s) {
    return !trim(s).empty() && !hasControl(s) && s.find(']') == std::string_view::npos &&
           sjis::representable(s);
}

bool validKey(std::string_view key) {
    const std::string_view t = trim(key);
    return !t.empty() && t == key && !hasControl(key) && key.find('=') == std::string_view::npos &&
           key.front() != ';' && key.front() != '[' && sjis::representable(key);
}

bool validValue(std::string_view value) {
    return !hasControl(value) && sjis::representable(value);
}

// Where a new key goes: after the last non-blank line, so blank lines that separate this
// section from the next stay between them.
size_t appendPosition(const std::vector<std::string>& lines) {
    size_t position = lines.size();
    while (position > 0 && trim(lines[position - 1]).empty()) {
        --position;
    }
    return position;
}

}  // namespace

ProfileFile ProfileFile::fromText(std::string_view text) {
    ProfileFile profile;
    for (std::string& line : textfile::splitLines(text)) {
        if (auto name = headerName(line)) {
            profile.m_sections.push_back(Section{std::string(*name), line, {}});
        } else {
            profile.m_sections.back().lines.push_back(std::move(line));
        }
    }
    return profile;
}

bool ProfileFile::load(const std::string& path, std::string* error) {
    *this = ProfileFile();
    textfile::TextReadResult read = textfile::readText(path);
    if (read.status == fileio::ReadStatus::Missing) {
        return true;
    }
    if (!read.ok()) {
        if (error != nullptr) {
            *error = read.error;
        }
        return false;
    }
    *this = fromText(read.text);
    return true;
}

ProfileFile ProfileFile::loadSettings(const std::string& path, std::string& problem) {
    problem.clear();
    const fileio::ReadResult read = fileio::readFile(path);
    if (read.status == fileio::ReadStatus::Missing) {
        return ProfileFile();
    }
    if (!read.ok()) {
        problem = read.error;
        return ProfileFile();
    }
    if (const std::string damage = ini::textProblem(read.bytes); !damage.empty()) {
        problem = path + ": " + damage;
        return ProfileFile();
    }
    return fromText(sjis::fromCp932(read.bytes).text);
}

fileio::WriteResult ProfileFile::save(const std::string& path) const {
    return textfile::writeText(path, text());
}

std::string ProfileFile::text() const {
    std::string out;
    for (const Section& section : m_sections) {
        if (!section.header.empty()) {
            out += section.header;
            out += "\r\n";
        }
        for (const std::string& line : section.lines) {
            out += line;
            out += "\r\n";
        }
    }
    return out;
}

ProfileFile::Section* ProfileFile::findSection(std::string_view name) {
    for (size_t i = 1; i < m_sections.size(); ++i) {
        if (sameName(m_sections[i].name, trim(name))) {
            return &m_sections[i];
        }
    }
    return nullptr;
}

const ProfileFile::Section* ProfileFile::findSection(std::string_view name) const {
    return const_cast<ProfileFile*>(this)->findSection(name);
}

ProfileFile::Section& ProfileFile::sectionForWriting(std::string_view name) {
    if (Section* existing = findSection(name)) {
        return *existing;
    }
    const std::string trimmed(trim(name));
    m_sections.push_back(Section{trimmed, "[" + trimmed + "]", {}});
    return m_sections.back();
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
    const Section* s = findSection(section);
    if (s == nullptr) {
        return std::nullopt;
    }
    for (const std::string& line : s->lines) {
        const Entry entry = parseEntry(line);
        if (entry.kind == Entry::Key && sameName(entry.key, trim(key))) {
            if (!entry.value) {
                return std::nullopt;
            }
            return std::string(unquote(*entry.value));
        }
    }
    return std::nullopt;
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
    if (auto v = value(section, key)) {
        return *v;
    }
    return std::string(fallback);
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int fallback) const {
    const auto v = value(section, key);
    if (!v || v->empty()) {
        return fallback;
    }
    const char* text = v->c_str();
    char* end = nullptr;
    const long long parsed = std::strtoll(text, &end, 10);
    if (end == text) {
        return 0;
    }
    if (parsed > INT_MAX) {
        return INT_MAX;
    }
    if (parsed < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(parsed);
}

bool ProfileFile::setString(std::string_view section, std::string_view key,
                            std::string_view value) {
    if (!validSectionName(section) || !validKey(key) || !validValue(value)) {
        return false;
    }
    Section& s = sectionForWriting(section);
    for (std::string& line : s.lines) {
        if (matchesKey(line, key)) {
            // Keep the key as the file spells it; only the value changes.
            const std::string spelled(parseEntry(line).key);
            line = spelled + "=" + std::string(value);
            return true;
        }
    }
    const auto position = static_cast<std::ptrdiff_t>(appendPosition(s.lines));
    s.lines.insert(s.lines.begin() + position, std::string(key) + "=" + std::string(value));
    return true;
}

bool ProfileFile::setInt(std::string_view section, std::string_view key, int value) {
    return setString(section, key, std::to_string(value));
}

bool ProfileFile::removeKey(std::string_view section, std::string_view key) {
    Section* s = findSection(section);
    if (s == nullptr) {
        return false;
    }
    for (auto it = s->lines.begin(); it != s->lines.end(); ++it) {
        if (matchesKey(*it, key)) {
            s->lines.erase(it);
            return true;
        }
    }
    return false;
}

bool ProfileFile::removeSection(std::string_view section) {
    Section* s = findSection(section);
    if (s == nullptr) {
        return false;
    }
    m_sections.erase(m_sections.begin() + (s - m_sections.data()));
    return true;
}

bool ProfileFile::hasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

std::vector<std::string> ProfileFile::sectionNames() const {
    std::vector<std::string> names;
    for (size_t i = 1; i < m_sections.size(); ++i) {
        names.push_back(m_sections[i].name);
    }
    return names;
}

std::vector<std::string> ProfileFile::section(std::string_view name) const {
    std::vector<std::string> entries;
    const Section* s = findSection(name);
    if (s == nullptr) {
        return entries;
    }
    for (const std::string& line : s->lines) {
        const Entry entry = parseEntry(line);
        if (entry.kind != Entry::Key) {
            continue;
        }
        std::string text(entry.key);
        if (entry.value) {
            text += "=";
            text += *entry.value;
        }
        entries.push_back(std::move(text));
    }
    return entries;
}

bool ProfileFile::writeSection(std::string_view name, const std::vector<std::string>& lines) {
    if (!validSectionName(name)) {
        return false;
    }
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (trim(line).empty()) {
            continue;
        }
        if (hasControl(line) || headerName(line) || !sjis::representable(line)) {
            return false;
        }
        kept.push_back(line);
    }
    sectionForWriting(name).lines = std::move(kept);
    return true;
}

}  // namespace qavix
