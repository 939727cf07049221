#include "files/BankFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "Translate.h"
#include "files/BankFileLayout.h"
#include "files/ProfileFile.h"
#include "files/TextFile.h"

namespace qavix::bankfile {

namespace {

constexpr const char* kFileTitleLine = "## Area Scanner Configuration File";
constexpr const char* kTitleKey = "TITLE";
constexpr const char* kDateKey = "DATE";

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

// The value of a kept entry: the text after its first "=", or all of it without one.
std::string_view valueOf(std::string_view entry) {
    const size_t equals = entry.find('=');
    return equals == std::string_view::npos ? entry : entry.substr(equals + 1);
}

// The values of entries [first, first + count) joined, or nothing when they do not make
// `length` characters; missing entries are empty. The length is summed first, so a long
// value is never copied.
std::optional<std::string> joinValues(const std::vector<std::string>& entries, size_t first,
                                      size_t count, size_t length) {
    const size_t end = std::min(first + count, entries.size());
    size_t total = 0;
    for (size_t i = first; i < end; ++i) {
        total += valueOf(entries[i]).size();
    }
    if (total != length) {
        return std::nullopt;
    }
    std::string joined;
    joined.reserve(length);
    for (size_t i = first; i < end; ++i) {
        joined += valueOf(entries[i]);
    }
    return joined;
}

BlockRead failure(ReadStatus status) {
    BlockRead result;
    result.status = status;
    result.message = i18n::translate(status == ReadStatus::CannotOpen ? kOpenFailedMessage
                                                                      : kInvalidDataMessage);
    return result;
}

BlockRead cannotOpen(const std::string& reason) {
    BlockRead result = failure(ReadStatus::CannotOpen);
    result.reason = reason;
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
        result.error = QX_("タイトルは1行にしてください");
        return result;
    }
    ProfileFile profile = ProfileFile::fromText(std::string(kFileTitleLine) + "\n## Ver " +
                                                std::string(version) + "\n##\n##\n##\n");
    std::vector<std::string> attribute = {std::string(kTitleKey) + "=" + std::string(title),
                                          std::string(kDateKey) + "=" + dateText(when)};
    if (!profile.writeSection("ATTRIBUTE", attribute)) {
        result.error = QX_("タイトルに Shift-JIS で保存できない文字があります");
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
    return readBankFile(path).blocks;
}

BlockRead readBlocks(const BankFileEntries& entries) {
    BlockRead result;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const auto section =
            static_cast<BankFileEntries::Section>(BankFileEntries::kChannel1 + channel);
        auto text = joinValues(entries.entries(section), 0, BankFileEntries::kChannelEntries,
                               kBlockLengths[static_cast<size_t>(channel)]);
        if (!text) {
            return failure(ReadStatus::InvalidData);
        }
        result.texts[static_cast<size_t>(channel)] = std::move(*text);
    }
    const std::vector<std::string>& controller = entries.entries(BankFileEntries::kController);
    for (size_t i = 0; i < std::size(kControllerBlocks); ++i) {
        auto text = joinValues(controller, kControllerBlocks[i].first, kControllerBlocks[i].count,
                               kBlockLengths[3 + i]);
        if (!text) {
            return failure(ReadStatus::InvalidData);
        }
        result.texts[3 + i] = std::move(*text);
    }
    result.status = ReadStatus::Ok;
    return result;
}

std::vector<KeyMismatch> misplacedKeys(const BankFileEntries& entries) {
    auto keyOf = [](const std::string& entry) {
        std::string key = entry.substr(0, entry.find('='));
        const size_t first = key.find_first_not_of(" \t");
        const size_t last = key.find_last_not_of(" \t");
        return first == std::string::npos ? std::string() : key.substr(first, last - first + 1);
    };
    // The keys are those the writer puts at each place; any set gives them.
    static const auto expectedKeys = [&] {
        std::string error;
        std::array<std::vector<std::string>, 2> keys{
            layout::channelEntries(ChannelRecord{}, error),
            layout::controllerEntries(SettingsData{}, error)};
        for (auto& list : keys) {
            std::transform(list.begin(), list.end(), list.begin(), keyOf);
        }
        return keys;
    }();
    auto compare = [&](BankFileEntries::Section section, const std::string& name,
                       const std::vector<std::string>& expected, std::vector<KeyMismatch>& out) {
        const std::vector<std::string>& found = entries.entries(section);
        for (size_t i = 0; i < expected.size(); ++i) {
            const std::string key = i < found.size() ? keyOf(found[i]) : std::string();
            if (key != expected[i]) {
                out.push_back({name, i + 1, expected[i], key});
            }
        }
    };
    std::vector<KeyMismatch> mismatches;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        compare(static_cast<BankFileEntries::Section>(BankFileEntries::kChannel1 + channel),
                "CH" + std::to_string(channel + 1), expectedKeys[0], mismatches);
    }
    compare(BankFileEntries::kController, "CONTROLLER", expectedKeys[1], mismatches);
    return mismatches;
}

TitleAndDate readTitleAndDate(const std::string& path) {
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        return TitleAndDate{};
    }
    bool lossy = false;
    return readTitleAndDate(BankFileEntries::fromCp932(file.bytes, lossy));
}

TitleAndDate readTitleAndDate(const BankFileEntries& entries) {
    TitleAndDate result;
    const std::vector<std::string>& attribute = entries.entries(BankFileEntries::kAttribute);
    const std::string none;
    const std::string& first = attribute.size() > 0 ? attribute[0] : none;
    const std::string& second = attribute.size() > 1 ? attribute[1] : none;
    const size_t title = first.find(kTitleKey);
    if (title == std::string::npos) {
        return result;
    }
    result.title = afterKey(first, title, std::char_traits<char>::length(kTitleKey));
    const size_t date = second.find(kDateKey);
    if (date == std::string::npos) {
        return result;
    }
    result.date = afterKey(second, date, std::char_traits<char>::length(kDateKey));
    result.found = true;
    return result;
}

BankFileContents readBankFile(const std::string& path) {
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        BankFileContents contents;
        contents.blocks = cannotOpen(file.error);
        return contents;
    }
    return parseBankFile(file.bytes);
}

BankFileContents parseBankFile(std::string_view bytes) {
    BankFileContents contents;
    bool lossy = false;
    const BankFileEntries entries = BankFileEntries::fromCp932(bytes, lossy);
    contents.blocks = lossy ? failure(ReadStatus::InvalidData) : readBlocks(entries);
    contents.attribute = readTitleAndDate(entries);
    contents.misplaced = misplacedKeys(entries);
    return contents;
}

}  // namespace qavix::bankfile
