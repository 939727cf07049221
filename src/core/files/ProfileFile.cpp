#include "files/ProfileFile.h"

#include <climits>
#include <cstdlib>

#include "files/ShiftJis.h"
#include "files/TextFile.h"

namespace qavix {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a header line "[name]", or nothing when the line is not one.
std::optional<std::string_view> headerName(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') {
        return std::nullopt;
    }
    const size_t close = t.rfind(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(t.substr(1, close - 1));
}

// One line of a section taken apart.
struct Entry {
    enum Kind { Blank, Comment, Key } kind = Blank;
    std::string_view key;
    std::optional<std::string_view> value;
};

Entry parseEntry(std::string_view line) {
    Entry entry;
    const std::string_view t = trim(line);
    if (t.empty()) {
        return entry;
    }
    if (t.front() == ';') {
        entry.kind = Entry::Comment;
        return entry;
    }
    entry.kind = Entry::Key;
    const size_t equals = t.find('=');
    if (equals == std::string_view::npos) {
        entry.key = t;
        return entry;
    }
    entry.key = trim(t.substr(0, equals));
    entry.value = trim(t.substr(equals + 1));
    return entry;
}

bool matchesKey(std::string_view line, std::string_view key) {
    const Entry entry = parseEntry(line);
    return entry.kind == Entry::Key && sameName(entry.key, key);
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool validSectionName(std::string_view s) {
    return !trim(s).empty() && !hasLineBreak(s) && s.find(']') == std::string_view::npos &&
           sjis::representable(s);
}

bool validKey(std::string_view key) {
    const std::string_view t = trim(key);
    return !t.empty() && t == key && !hasLineBreak(key) &&
           key.find('=') == std::string_view::npos && key.front() != ';' && key.front() != '[' &&
           sjis::representable(key);
}

bool validValue(std::string_view value) {
    return !hasLineBreak(value) && sjis::representable(value);
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
        if (hasLineBreak(line) || headerName(line) || !sjis::representable(line)) {
            return false;
        }
        kept.push_back(line);
    }
    sectionForWriting(name).lines = std::move(kept);
    return true;
}

}  // namespace qavix
