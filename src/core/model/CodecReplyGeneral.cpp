// Decoders of the replies that fill the general block and the error history.

#include "model/CodecDetail.h"

#include "model/ControllerCodes.h"

namespace qavix::codec::detail {

namespace {

constexpr int kClockYearBase = 2000;

bool decodeControlTexts(std::string_view text, GeneralBlock& g) {
    constexpr size_t kTypeEnd = 20;
    constexpr size_t kVersionStart = 22;
    constexpr size_t kTextLength = 8;
    constexpr size_t kText3Start = 32;
    if (text.empty()) {
        g.type.clear();
        g.versionText.clear();
        g.text3.clear();
        return true;
    }
    if (text.size() < kText3Start + kTextLength || !isWholeText(text)) {
        return false;
    }
    g.type = std::string(text.substr(0, kTypeEnd));
    g.versionText = std::string(text.substr(kVersionStart, kTextLength));
    g.text3 = std::string(text.substr(kText3Start, kTextLength));
    return true;
}

bool decodeClock(std::string_view text, GeneralBlock& g) {
    constexpr size_t kClockFields = 7;
    constexpr size_t kFirstClockWord = 2;
    std::array<int32_t, kClockFields> clock{};
    if (!readPieces(text, kClockFields, 2, true, clock)) {
        return false;
    }
    g.words[kFirstClockWord] = clock[0] + kClockYearBase;
    for (size_t i = 1; i < kClockFields; ++i) {
        g.words[kFirstClockWord + i] = clock[i];
    }
    return true;
}

bool decodePioTexts(std::string_view text, GeneralBlock& g) {
    const size_t width = detail::kVersionCodeWidth;
    if (text.size() != kPioCount * width || !hex::isPlainText(text)) {
        return false;
    }
    for (size_t i = 0; i < kPioCount; ++i) {
        g.pio[i] = std::string(text.substr(i * width, width));
    }
    return true;
}

}  // namespace

std::optional<bool> decodeGeneralText(int code, std::string_view text, GeneralBlock& g) {
    switch (code) {
        case code::kReadControlTexts:
            return decodeControlTexts(text, g);
        case code::kReadControlNumber: {
            const auto v = hex::parseDecimal(text);
            if (v) {
                g.words[0] = *v;
            }
            return v.has_value();
        }
        case code::kReadClock:
            return decodeClock(text, g);
        case code::kReadType:
            return decodeWholeText(text, g.type);
        case code::kReadControllerText:
            return decodeWholeText(text, g.text59);
        case code::kReadSerialText:
            return decodeWholeText(text, g.serialText);
        case code::kReadIdNumber:
            return decodeWholeText(text, g.idText);
        case code::kReadPioFunctions:
            return decodePioTexts(text, g);
        case code::kReadPioInversion:
            return readPieces(text, kPioCount, 2, true, g.pioInv);
        case code::kReadJointNum: {
            const auto v = hex::parseDecimal(text, 2);
            // Loops over channels run to JOINT_NUM.
            if (!v || *v > kChannelCount) {
                return false;
            }
            g.jointNum = *v;
            return true;
        }
        default:
            return std::nullopt;
    }
}

std::optional<bool> decodeGeneralValues(int code, std::string_view text, GeneralBlock& g) {
    if (code >= code::kReadGroupWords1 && code <= code::kReadGroupWords6) {
        return readPieces(text, 3, 2, true, g.groupWords,
                          static_cast<size_t>(3 * (code - code::kReadGroupWords1)));
    }
    switch (code) {
        case code::kReadAllOnOffCnf:
            return readSingleByte(text, g.allOnOffCnf);
        case code::kReadFixCnf:
            return readPieces(text, kChannelCount, 2, false, g.fixCnf);
        case code::kReadAllOn:
            return readPieces(text, kChannelCount, 4, false, g.allOn);
        case code::kReadAllOff:
            return readPieces(text, kChannelCount, 4, false, g.allOff);
        case code::kReadParaWords1:
            return readPieces(text, 3, 2, false, g.paraWords);
        case code::kReadParaWords2:
            return readPieces(text, 3, 2, false, g.paraWords, 3);
        case code::kReadParaCnf:
            return readSingleByte(text, g.paraCnf);
        case code::kReadParaType:
            return readPieces(text, 2, 2, true, g.paraType);
        case code::kReadParaRes:
            return readPieces(text, 2, 2, false, g.paraRes);
        case code::kReadParaUnit:
            return readPieces(text, 2, 2, true, g.paraUnit);
        case code::kReadGrpCnf:
            return readSingleByte(text, g.grpCnf);
        case code::kReadGrpUp:
            return readPieces(text, kGroupTableSize, 2, false, g.grpUp);
        case code::kReadGrpLow:
            return readPieces(text, kGroupTableSize, 2, false, g.grpLow);
        case code::kReadWordTable1:
            return readPieces(text, 16, 2, true, g.table146);
        case code::kReadWordTable2:
            return readPieces(text, 16, 2, true, g.table147);
        case code::kReadTchCnf:
            return readSingleByte(text, g.tchCnf);
        case code::kReadBankFunction:
            return readSingleByte(text, g.bankFunction);
        default:
            return std::nullopt;
    }
}

bool decodeErrorEntry(std::string_view text, ErrorHistoryEntry& e) {
    constexpr size_t kCodeStart = 14;
    constexpr size_t kSerialStart = 16;
    constexpr size_t kSerialLength = 8;
    if (text.size() < kSerialStart + kSerialLength || !isWholeText(text)) {
        return false;
    }
    std::array<int32_t, 7> numbers{};
    if (!readPieces(text.substr(0, kCodeStart), numbers.size(), 2, true, numbers)) {
        return false;
    }
    e.year = numbers[0];
    e.month = numbers[1];
    e.day = numbers[2];
    e.hour = numbers[3];
    e.minute = numbers[4];
    e.second = numbers[5];
    e.reserved = numbers[6];
    e.codeText = std::string(text.substr(kCodeStart, 2));
    e.serialText = std::string(text.substr(kSerialStart, kSerialLength));
    return true;
}

}  // namespace qavix::codec::detail
