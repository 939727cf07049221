#include "files/BankImport.h"

#include <algorithm>
#include <optional>

#include "Translate.h"
#include "model/ImportCheck.h"

namespace qavix::bankfile {

namespace {

constexpr size_t kGeneralBlock = 3;  // channels 1..3 come first

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The decoder does not take a JOINT_NUM beyond the channel count (loops over channels run
// to it), so such a file fails decoding. When that is the only reason, the file is judged
// by the range check instead, which names JOINT_NUM (or a field it checks earlier), rather
// than called invalid data.
std::optional<std::string> rangeFailureBehindJointNum(BlockTexts texts) {
    std::string& general = texts[kGeneralBlock];
    const size_t at = 2 * static_cast<size_t>(codec::kGeneralJointNumOffset);
    if (general.size() < at + 2 || general[at] < '0' || general[at] > '9' ||
        general[at + 1] < '0' || general[at + 1] > '9') {
        return std::nullopt;
    }
    const int value = (general[at] - '0') * 10 + (general[at + 1] - '0');
    general.replace(at, 2, "01");
    SettingsData probe;
    if (decodeBlocks(texts, probe) != codec::DecodeResult::Ok) {
        return std::nullopt;
    }
    probe.general.jointNum = value;
    return findOutOfRangeField(probe);
}

}  // namespace

codec::DecodeResult decodeBlocks(const BlockTexts& texts, SettingsData& set) {
    codec::DecodeResult result = codec::DecodeResult::Ok;
    for (int i = 0; i < kBlockCount; ++i) {
        const int start = codec::subBlockLayout(codec::kSubChannel1 + i).start;
        const codec::DecodeResult block =
            codec::decodeBankImage(start, texts[static_cast<size_t>(i)], set);
        if (block != codec::DecodeResult::Ok) {
            result = codec::DecodeResult::Malformed;
        }
    }
    return result;
}

ImportResult importFile(const std::string& path, SettingsData& set) {
    return importBlocks(readBlocks(path), set);
}

ImportResult importBlocks(const BlockRead& read, SettingsData& set) {
    ImportResult result;
    if (!read.ok()) {
        result.status = read.status == ReadStatus::CannotOpen ? ImportStatus::CannotOpen
                                                              : ImportStatus::InvalidData;
        result.message = read.message;
        result.reason = read.reason;
        return result;
    }
    if (decodeBlocks(read.texts, set) != codec::DecodeResult::Ok) {
        if (auto field = rangeFailureBehindJointNum(read.texts)) {
            result.status = ImportStatus::OutOfRange;
            result.field = *field;
            result.message = importAbnormalMessage(*field);
            return result;
        }
        result.status = ImportStatus::InvalidData;
        result.message = i18n::translate(kInvalidDataMessage);
        return result;
    }
    if (auto field = findOutOfRangeField(set)) {
        result.status = ImportStatus::OutOfRange;
        result.field = *field;
        result.message = importAbnormalMessage(*field);
        return result;
    }
    if (!describesAController(read.texts, set)) {
        result.status = ImportStatus::InvalidData;
        result.message = i18n::translate(kInvalidDataMessage);
        return result;
    }
    result.status = ImportStatus::Ok;
    return result;
}

bool describesAController(const BlockTexts& texts, const SettingsData& set) {
    for (const std::string& text : texts) {
        if (!std::all_of(text.begin(), text.end(), isHexDigit)) {
            return false;
        }
    }
    for (int c = 0; c < std::min(set.general.jointNum, kChannelCount); ++c) {
        if (set.channel(c).beamCount < 1) {
            return false;
        }
    }
    return true;
}

std::string imageText(const BlockTexts& texts) {
    std::string image;
    image.reserve(2 * static_cast<size_t>(codec::kBankImageSize));
    for (const std::string& text : texts) {
        for (char c : text) {
            image += c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    return image;
}

ImportResult importIntoSpare(const std::string& path, DeviceModel& model) {
    StoredSet& spare = model.storedSet(kSpareSet);
    ImportResult result = importFile(path, spare);
    if (!result.ok()) {
        return result;
    }
    model.checkCompatibility();
    if (spare.compatible == 0) {
        result.status = ImportStatus::InvalidData;
        result.message = i18n::translate(kInvalidDataMessage);
    }
    return result;
}

}  // namespace qavix::bankfile
