#include "files/BankFileEntries.h"

#include <algorithm>
#include <optional>

#include "IniText.h"
#include "ShiftJis.h"

namespace qavix::bankfile {

namespace {

constexpr const char* kSectionNames[] = {"ATTRIBUTE", "CH1", "CH2", "CH3", "CONTROLLER"};
constexpr size_t kKeptEntries[] = {
    BankFileEntries::kAttributeEntries,  BankFileEntries::kChannelEntries,
    BankFileEntries::kChannelEntries,    BankFileEntries::kChannelEntries,
    BankFileEntries::kControllerEntries,
};

// A bank file's lines are trimmed and its names compared as the settings files' are.
using ini::sameName;
using ini::trim;

// The section name of a header line "[name]", or nothing when the line is not one.
std::optional<std::string_view> headerName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const size_t close = trimmed.rfind(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(trimmed.substr(1, close - 1));
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Calls `take` with each line of `text`, without its line end.
template <typename Take>
void forEachLine(std::string_view text, Take take) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        take(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        take(text.substr(start));
    }
}

}  // namespace

class BankFileEntries::Builder {
  public:
    explicit Builder(BankFileEntries& out) : m_out(out) {}

    void take(std::string_view line) {
        const std::string_view t = trim(line);
        if (const auto name = headerName(t)) {
            enter(*name);
            return;
        }
        if (m_current < 0 || t.empty() || t.front() == ';') {
            return;
        }
        std::vector<std::string>& kept = m_out.m_entries[static_cast<size_t>(m_current)];
        if (kept.size() >= kKeptEntries[m_current]) {
            return;
        }
        const size_t equals = t.find('=');
        if (equals == std::string_view::npos) {
            kept.emplace_back(t);
            return;
        }
        const std::string_view key = trim(t.substr(0, equals));
        const std::string_view value = trim(t.substr(equals + 1));
        std::string entry;
        entry.reserve(key.size() + 1 + value.size());
        entry.append(key).append("=").append(value);
        kept.push_back(std::move(entry));
    }

  private:
    void enter(std::string_view name) {
        m_current = -1;
        for (int s = 0; s < kSectionCount; ++s) {
            if (sameName(name, kSectionNames[s])) {
                // Only the first section of a name counts.
                if (!m_seen[static_cast<size_t>(s)]) {
                    m_seen[static_cast<size_t>(s)] = true;
                    m_current = s;
                }
                return;
            }
        }
    }

    BankFileEntries& m_out;
    int m_current = -1;  // the section whose entries are taken, -1 for none
    std::array<bool, kSectionCount> m_seen{};
};

BankFileEntries BankFileEntries::fromText(std::string_view text) {
    BankFileEntries entries;
    Builder builder(entries);
    forEachLine(text, [&](std::string_view line) { builder.take(line); });
    return entries;
}

BankFileEntries BankFileEntries::fromCp932(std::string_view bytes, bool& lossy) {
    // Line by line: no Shift-JIS character holds a CR or LF byte, so the lines are the same
    // before and after conversion, and only the line at hand is ever held twice.
    lossy = false;
    BankFileEntries entries;
    Builder builder(entries);
    forEachLine(bytes, [&](std::string_view line) {
        if (isAscii(line)) {
            builder.take(line);
            return;
        }
        const sjis::Conversion converted = sjis::fromCp932(line);
        lossy = lossy || !converted.complete;
        builder.take(converted.text);
    });
    return entries;
}

}  // namespace qavix::bankfile
