#include "files/BankImport.h"

#include "model/ImportCheck.h"

namespace qavix::bankfile {

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
    ImportResult result;
    const BlockRead read = readBlocks(path);
    if (!read.ok()) {
        result.status = read.status == ReadStatus::CannotOpen ? ImportStatus::CannotOpen
                                                              : ImportStatus::InvalidData;
        result.message = read.message;
        return result;
    }
    if (decodeBlocks(read.texts, set) != codec::DecodeResult::Ok) {
        result.status = ImportStatus::InvalidData;
        result.message = kInvalidDataMessage;
        return result;
    }
    if (auto field = findOutOfRangeField(set)) {
        result.status = ImportStatus::OutOfRange;
        result.field = *field;
        result.message = importAbnormalMessage(*field);
        return result;
    }
    result.status = ImportStatus::Ok;
    return result;
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
        result.message = kInvalidDataMessage;
    }
    return result;
}

}  // namespace qavix::bankfile
