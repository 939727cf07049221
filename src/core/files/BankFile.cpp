#include "files/BankFile.h"

#include <cstdio>
#include <vector>

#include "files/BankFileLayout.h"
#include "files/ProfileFile.h"
#include "files/TextFile.h"

namespace qavix::bankfile {

namespace {

constexpr const char* kFileTitleLine = "## Area Scanner Configuration File";
constexpr const char* kTitleKey = "TITLE";
constexpr const char* kDateKey = "DATE";

// Entries kept per section: the reader takes values by position up to these counts.
constexpr size_t kAttributeEntries = 3;
constexpr size_t kChannelEntries = 22;
constexpr size_t kControllerEntries = 99;

struct ControllerRange {
    size_t first;  // 0-based entry index
    size_t count;
};
// Entries of the CONTROLLER section that make blocks 4..11.
constexpr ControllerRange kControllerBlocks[] = {
    {0, 23}, {23, 8}, {31, 8}, {39, 8}, {47, 8}, {55, 8}, {63, 8}, {71, 28},
};

std::string dateText(const std::tm& when) {
    char buffer[64];
    const size_t n = std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M:%S", &when);
    return std::string(buffer, n);
}

std::vector<std::string> keptEntries(const ProfileFile& profile, std::string_view section,
                                     size_t count) {
    std::vector<std::string> entries = profile.section(section);
    entries.resize(count);  // missing entries are empty
    return entries;
}

std::string valueOf(const std::string& entry) {
    const size_t equals = entry.find('=');
    return equals == std::string::npos ? entry : entry.substr(equals + 1);
}

std::string joinValues(const std::vector<std::string>& entries, size_t first, size_t count) {
    std::string joined;
    for (size_t i = first; i < first + count; ++i) {
        joined += valueOf(entries[i]);
    }
    return joined;
}

BlockRead failure(ReadStatus status) {
    BlockRead result;
    result.status = status;
    result.message = status == ReadStatus::CannotOpen ? kOpenFailedMessage : kInvalidDataMessage;
    return result;
}

// The text after `key` and the character that follows it (its "="), or empty when the entry
// ends before that.
std::string afterKey(const std::string& entry, size_t keyStart, size_t keyLength) {
    const size_t start = keyStart + keyLength + 1;
    return start < entry.size() ? entry.substr(start) : std::string();
}

}  // namespace

BankFileText formatBankFile(const SettingsData& set, std::string_view version,
                            std::string_view title, const std::tm& when) {
    BankFileText result;
    if (title.find_first_of("\r\n") != std::string_view::npos) {
        result.error = "the title must be one line";
        return result;
    }
    ProfileFile profile = ProfileFile::fromText(std::string(kFileTitleLine) + "\n## Ver " +
                                                std::string(version) + "\n##\n##\n##\n");
    std::vector<std::string> attribute = {std::string(kTitleKey) + "=" + std::string(title),
                                          std::string(kDateKey) + "=" + dateText(when)};
    if (!profile.writeSection("ATTRIBUTE", attribute)) {
        result.error = "the title holds characters that Shift-JIS cannot store";
        return result;
    }
    std::string error;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const auto entries = layout::channelEntries(set.channel(channel), error);
        if (!error.empty()) {
            result.error = "CH" + std::to_string(channel + 1) + ": " + error;
            return result;
        }
        profile.writeSection("CH" + std::to_string(channel + 1), entries);
    }
    const auto controller = layout::controllerEntries(set, error);
    if (!error.empty()) {
        result.error = "CONTROLLER: " + error;
        return result;
    }
    profile.writeSection("CONTROLLER", controller);
    result.ok = true;
    result.text = profile.text();
    return result;
}

fileio::WriteResult writeBankFile(const std::string& path, const SettingsData& set,
                                  std::string_view version, std::string_view title,
                                  const std::tm& when) {
    const BankFileText file = formatBankFile(set, version, title, when);
    if (!file.ok) {
        fileio::WriteResult refused;
        refused.error = file.error;
        return refused;
    }
    return textfile::writeText(path, file.text);
}

BlockRead readBlocks(const std::string& path) {
    const textfile::TextReadResult file = textfile::readText(path);
    if (!file.ok()) {
        return failure(ReadStatus::CannotOpen);
    }
    if (file.lossy) {
        return failure(ReadStatus::InvalidData);
    }
    return readBlocks(ProfileFile::fromText(file.text));
}

BlockRead readBlocks(const ProfileFile& profile) {
    BlockRead result;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const auto entries =
            keptEntries(profile, "CH" + std::to_string(channel + 1), kChannelEntries);
        result.texts[static_cast<size_t>(channel)] = joinValues(entries, 0, kChannelEntries);
    }
    const auto controller = keptEntries(profile, "CONTROLLER", kControllerEntries);
    for (size_t i = 0; i < std::size(kControllerBlocks); ++i) {
        result.texts[3 + i] =
            joinValues(controller, kControllerBlocks[i].first, kControllerBlocks[i].count);
    }
    for (size_t i = 0; i < kBlockCount; ++i) {
        if (result.texts[i].size() != kBlockLengths[i]) {
            return failure(ReadStatus::InvalidData);
        }
    }
    result.status = ReadStatus::Ok;
    return result;
}

std::vector<KeyMismatch> misplacedKeys(const ProfileFile& profile) {
    auto keyOf = [](const std::string& entry) {
        std::string key = entry.substr(0, entry.find('='));
        const size_t first = key.find_first_not_of(" \t");
        const size_t last = key.find_last_not_of(" \t");
        return first == std::string::npos ? std::string() : key.substr(first, last - first + 1);
    };
    auto compare = [&](const std::string& section, const std::vector<std::string>& expected,
                       std::vector<KeyMismatch>& out) {
        const std::vector<std::string> entries = profile.section(section);
        for (size_t i = 0; i < expected.size(); ++i) {
            const std::string want = keyOf(expected[i]);
            const std::string found = i < entries.size() ? keyOf(entries[i]) : std::string();
            if (found != want) {
                out.push_back({section, i + 1, want, found});
            }
        }
    };
    // The keys are those the writer puts at each place; any set gives them.
    std::vector<KeyMismatch> mismatches;
    std::string error;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        compare("CH" + std::to_string(channel + 1), layout::channelEntries(ChannelRecord{}, error),
                mismatches);
    }
    compare("CONTROLLER", layout::controllerEntries(SettingsData{}, error), mismatches);
    return mismatches;
}

TitleAndDate readTitleAndDate(const std::string& path) {
    ProfileFile profile;
    if (!profile.load(path)) {
        return TitleAndDate{};
    }
    return readTitleAndDate(profile);
}

TitleAndDate readTitleAndDate(const ProfileFile& profile) {
    TitleAndDate result;
    const auto entries = keptEntries(profile, "ATTRIBUTE", kAttributeEntries);
    const size_t title = entries[0].find(kTitleKey);
    if (title == std::string::npos) {
        return result;
    }
    result.title = afterKey(entries[0], title, std::char_traits<char>::length(kTitleKey));
    const size_t date = entries[1].find(kDateKey);
    if (date == std::string::npos) {
        return result;
    }
    result.date = afterKey(entries[1], date, std::char_traits<char>::length(kDateKey));
    result.found = true;
    return result;
}

}  // namespace qavix::bankfile
