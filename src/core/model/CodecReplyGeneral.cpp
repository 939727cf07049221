// Decoders of the replies that fill the general block and the error history.

#include "model/CodecDetail.h"

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
        case 46:
            return decodeControlTexts(text, g);
        case 47: {
            const auto v = hex::parseDecimal(text);
            if (v) {
                g.words[0] = *v;
            }
            return v.has_value();
        }
        case 49:
            return decodeClock(text, g);
        case 57:
            return decodeWholeText(text, g.type);
        case 59:
            return decodeWholeText(text, g.text59);
        case 61:
            return decodeWholeText(text, g.serialText);
        case 62:
            return decodeWholeText(text, g.idText);
        case 63:
            return decodePioTexts(text, g);
        case 64:
            return readPieces(text, kPioCount, 2, true, g.pioInv);
        case 80: {
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
    constexpr int kGroupWordsFirst = 137;
    constexpr int kGroupWordsLast = 142;
    if (code >= kGroupWordsFirst && code <= kGroupWordsLast) {
        return readPieces(text, 3, 2, true, g.groupWords,
                          static_cast<size_t>(3 * (code - kGroupWordsFirst)));
    }
    switch (code) {
        case 127:
            return readSingleByte(text, g.allOnOffCnf);
        case 128:
            return readPieces(text, kChannelCount, 2, false, g.fixCnf);
        case 129:
            return readPieces(text, kChannelCount, 4, false, g.allOn);
        case 130:
            return readPieces(text, kChannelCount, 4, false, g.allOff);
        case 131:
            return readPieces(text, 3, 2, false, g.paraWords);
        case 132:
            return readPieces(text, 3, 2, false, g.paraWords, 3);
        case 133:
            return readSingleByte(text, g.paraCnf);
        case 134:
            return readPieces(text, 2, 2, true, g.paraType);
        case 135:
            return readPieces(text, 2, 2, false, g.paraRes);
        case 136:
            return readPieces(text, 2, 2, true, g.paraUnit);
        case 143:
            return readSingleByte(text, g.grpCnf);
        case 144:
            return readPieces(text, kGroupTableSize, 2, false, g.grpUp);
        case 145:
            return readPieces(text, kGroupTableSize, 2, false, g.grpLow);
        case 146:
            return readPieces(text, 16, 2, true, g.table146);
        case 147:
            return readPieces(text, 16, 2, true, g.table147);
        case 148:
            return readSingleByte(text, g.tchCnf);
        case 149:
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
