// Decoders of read replies. Each decodes into a copy and commits only a whole success, so a
// malformed reply never leaves half its fields behind.

#include <optional>

#include "model/Codec.h"
#include "model/CodecDetail.h"
#include "model/DeviceModel.h"
#include "model/HexText.h"

namespace qavix::codec {

namespace {

constexpr size_t kMaxReplyLength = 2048;  // the request block's text buffer
constexpr int kErrorHistoryFirst = 107;
constexpr int kBankReadFirst = 150;
constexpr int kBankReadLast = 153;
constexpr int kBankApplyFirst = 209;
constexpr int kBankApplyLast = 214;
constexpr int kBankSummaryFirst = 300;
constexpr int kBankSummaryLast = 303;
constexpr int kClockYearBase = 2000;

using ChannelInt = int32_t ChannelRecord::*;

struct ChannelValue {
    ChannelInt field;
    size_t digits;
};

std::optional<ChannelValue> channelValue(int readCode) {
    switch (readCode) {
        case 67:
            return ChannelValue{&ChannelRecord::onTh, 2};
        case 68:
            return ChannelValue{&ChannelRecord::offTh, 2};
        case 71:
            return ChannelValue{&ChannelRecord::function, 2};
        case 72:
            return ChannelValue{&ChannelRecord::beamCount, 2};
        case 73:
            return ChannelValue{&ChannelRecord::subConf, 2};
        case 74:
            return ChannelValue{&ChannelRecord::almConf, 2};
        case 75:
            return ChannelValue{&ChannelRecord::timeConf, 4};
        case 76:
            return ChannelValue{&ChannelRecord::countConf, 2};
        case 77:
            return ChannelValue{&ChannelRecord::setting77, 2};
        case 79:
            return ChannelValue{&ChannelRecord::setting79, 2};
        case 81:
            return ChannelValue{&ChannelRecord::setting81, 2};
        case 84:
            return ChannelValue{&ChannelRecord::type2, 2};
        case 85:
            return ChannelValue{&ChannelRecord::type3, 2};
        case 95:
            return ChannelValue{&ChannelRecord::functionBit1, 2};
        case 96:
            return ChannelValue{&ChannelRecord::fixConf, 2};
        case 98:
            return ChannelValue{&ChannelRecord::functionBit2, 2};
        case 99:
            return ChannelValue{&ChannelRecord::floConfBit4, 2};
        case 100:
            return ChannelValue{&ChannelRecord::floConfBit5, 2};
        case 101:
            return ChannelValue{&ChannelRecord::floConf, 2};
        case 104:
            return ChannelValue{&ChannelRecord::hys, 2};
        case 105:
            return ChannelValue{&ChannelRecord::thCnf, 2};
        case 106:
            return ChannelValue{&ChannelRecord::onOffDiff, 2};
        default:
            return std::nullopt;
    }
}

std::optional<int> channelIndex(int arg1) {
    if (arg1 < 1 || arg1 > kChannelCount) {
        return std::nullopt;
    }
    return arg1 - 1;
}

// One value per channel. A one-value reply belongs to the channel of argument 1; a reply
// holding several (read with start 0 and count 3) starts at the channel that `start`
// addresses, each value taking digits / 2 bytes of the area.
bool decodeChannelValues(int arg1, int start, std::string_view text, const ChannelValue& v,
                         SettingsData& s) {
    if (text.empty() || text.size() % v.digits != 0 || start < 0) {
        return false;
    }
    const size_t count = text.size() / v.digits;
    const auto fromArg = channelIndex(arg1);
    const size_t first = (count == 1 && fromArg) ? static_cast<size_t>(*fromArg)
                                                 : static_cast<size_t>(start) / (v.digits / 2);
    if (first + count > kChannelCount) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        const auto value = hex::readHex(text, i * v.digits, v.digits);
        if (!value) {
            return false;
        }
        ChannelRecord& ch = s.channel(static_cast<int>(first + i));
        ch.*v.field = *value;
        if (v.field == &ChannelRecord::type2) {
            ch.pitchText = pitchText(*value);
        }
        // Every per-beam loop runs to this count over 128-entry tables.
        if (v.field == &ChannelRecord::beamCount && *value > kMaxBeams) {
            return false;
        }
    }
    return true;
}

// Where a per-beam or flag reply lands: the channel of argument 1 (or the one `start`
// addresses when argument 1 names none) and the position within that channel's area.
struct AreaPlace {
    int channel;
    int offset;
};

std::optional<AreaPlace> areaPlace(int arg1, int start, int areaPerChannel) {
    if (start < 0 || start >= areaPerChannel * kChannelCount) {
        return std::nullopt;
    }
    const int channel = channelIndex(arg1).value_or(start / areaPerChannel);
    return AreaPlace{channel, start % areaPerChannel};
}

BeamTable ChannelRecord::*flagTable(int readCode) {
    switch (readCode) {
        case 66:
            return &ChannelRecord::setAxis;
        case 92:
            return &ChannelRecord::beamState;
        case 97:
            return &ChannelRecord::fixAxis;
        default:
            return nullptr;
    }
}

struct BeamValues {
    BeamTable ChannelRecord::*table;
    int digits;
};

std::optional<BeamValues> beamValues(int readCode) {
    switch (readCode) {
        case 88:
            return BeamValues{&ChannelRecord::absLevel, 2};
        case 89:
            return BeamValues{&ChannelRecord::ratioLevel, 4};
        case 90:
            return BeamValues{&ChannelRecord::absOnTh, 2};
        case 91:
            return BeamValues{&ChannelRecord::ratioOnTh, 4};
        case 93:
            return BeamValues{&ChannelRecord::absOffTh, 2};
        case 94:
            return BeamValues{&ChannelRecord::ratioOffTh, 4};
        case 102:
            return BeamValues{&ChannelRecord::zero, 2};
        case 103:
            return BeamValues{&ChannelRecord::axisTh, 2};
        default:
            return std::nullopt;
    }
}

bool isWholeText(std::string_view text) {
    return text.size() <= kMaxReplyLength && hex::isPlainText(text);
}

// `count` pieces of `width` digits filling values[first..]; the text holds exactly those.
template <size_t N>
bool readPieces(std::string_view text, size_t count, size_t width, bool decimal,
                std::array<int32_t, N>& values, size_t first = 0) {
    if (text.size() != count * width || first + count > N) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        const auto v = decimal ? hex::readDecimal(text, i * width, width)
                               : hex::readHex(text, i * width, width);
        if (!v) {
            return false;
        }
        values[first + i] = *v;
    }
    return true;
}

bool readSingleByte(std::string_view text, int32_t& target) {
    const auto v = text.size() == 2 ? hex::readHex(text, 0, 2) : std::nullopt;
    if (v) {
        target = *v;
    }
    return v.has_value();
}

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

// "major.minor" from the first and the last byte of the reply.
bool decodeVersionNumber(std::string_view text, ChannelRecord& ch) {
    if (text.size() < 4 || text.size() % 2 != 0) {
        return false;
    }
    for (size_t pos = 0; pos < text.size(); pos += 2) {
        if (!hex::readHex(text, pos, 2)) {
            return false;
        }
    }
    const int32_t major = *hex::readHex(text, 0, 2);
    const int32_t minor = *hex::readHex(text, text.size() - 2, 2);
    ch.versionText = std::to_string(major) + "." + std::to_string(minor);
    return true;
}

// First two characters followed by the last two.
bool decodeEndsText(std::string_view text, std::string& target) {
    if (text.size() < 4 || !isWholeText(text)) {
        return false;
    }
    target = std::string(text.substr(0, 2)) + std::string(text.substr(text.size() - 2));
    return true;
}

bool decodeWholeText(std::string_view text, std::string& target) {
    if (!isWholeText(text)) {
        return false;
    }
    target = std::string(text);
    return true;
}

std::optional<bool> decodeChannelText(int code, int arg1, std::string_view text, SettingsData& s) {
    std::string ChannelRecord::*field = nullptr;
    switch (code) {
        case 58:
            field = &ChannelRecord::modelText;
            break;
        case 69:
            field = &ChannelRecord::sensorId;
            break;
        case 70:
            field = &ChannelRecord::receiverSerial;
            break;
        case 82:
            field = &ChannelRecord::emitterSerial;
            break;
        case 60:
        case 78:
        case 83:
            break;
        default:
            return std::nullopt;
    }
    const auto c = channelIndex(arg1);
    if (!c) {
        return false;
    }
    ChannelRecord& ch = s.channel(*c);
    switch (code) {
        case 60:
            return decodeVersionNumber(text, ch);
        case 78:
            return decodeEndsText(text, ch.verR);
        case 83:
            return decodeEndsText(text, ch.verE);
        default:
            return decodeWholeText(text, ch.*field);
    }
}

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

std::optional<bool> decodeBeamReply(int code, int arg1, int start, std::string_view text,
                                    SettingsData& s) {
    if (const auto values = beamValues(code)) {
        const auto place = areaPlace(arg1, start, kMaxBeams);
        return place && detail::decodeBeams(text, place->offset, values->digits,
                                            s.channel(place->channel).*values->table);
    }
    if (const auto table = flagTable(code)) {
        const auto place = areaPlace(arg1, start, detail::kFlagBytesPerChannel);
        return place && detail::decodeFlags(text, place->offset, s.channel(place->channel).*table);
    }
    return std::nullopt;
}

bool isBankImageCode(int code) {
    return (code >= kBankReadFirst && code <= kBankReadLast) ||
           (code >= kBankApplyFirst && code <= kBankApplyLast) ||
           (code >= kBankSummaryFirst && code <= kBankSummaryLast);
}

std::optional<bool> decodeInto(int code, int arg1, int start, std::string_view text,
                               SettingsData& s) {
    if (const auto v = channelValue(code)) {
        return decodeChannelValues(arg1, start, text, *v, s);
    }
    if (auto r = decodeChannelText(code, arg1, text, s)) {
        return r;
    }
    if (auto r = decodeGeneralText(code, text, s.general)) {
        return r;
    }
    if (auto r = decodeGeneralValues(code, text, s.general)) {
        return r;
    }
    return decodeBeamReply(code, arg1, start, text, s);
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

bool isErrorHistoryCode(int code) {
    return code >= kErrorHistoryFirst && code < kErrorHistoryFirst + kErrorHistoryCount;
}

}  // namespace

DecodeResult decodeReply(int readCode, int arg1, int start, std::string_view text,
                         SettingsData& set) {
    if (readCode == 86 || readCode == 87) {
        return DecodeResult::Ok;
    }
    if (isBankImageCode(readCode)) {
        return decodeBankImage(start, text, set);
    }
    SettingsData result = set;
    const auto decoded = decodeInto(readCode, arg1, start, text, result);
    if (!decoded) {
        return DecodeResult::Unknown;
    }
    if (!*decoded) {
        return DecodeResult::Malformed;
    }
    set = std::move(result);
    return DecodeResult::Ok;
}

DecodeResult decodeReply(int readCode, int arg1, int start, std::string_view text,
                         DeviceModel& model) {
    if (isErrorHistoryCode(readCode)) {
        ErrorHistoryEntry entry;
        if (!decodeErrorEntry(text, entry)) {
            return DecodeResult::Malformed;
        }
        model.errorHistory[static_cast<size_t>(readCode - kErrorHistoryFirst)] = entry;
        return DecodeResult::Ok;
    }
    SettingsData& working = model.working();
    const DecodeResult result = decodeReply(readCode, arg1, start, text, working);
    if (result == DecodeResult::Ok && readCode == 72) {
        model.totalBeams = 0;
        for (const ChannelRecord& ch : working.channels) {
            model.totalBeams += ch.beamCount;
        }
    }
    return result;
}

std::string pitchText(int32_t type2) {
    switch (type2 & 0x0F) {
        case 1:
            return "9mm";
        case 2:
            return "15mm";
        case 3:
            return "30mm";
        case 4:
            return "45mm";
        case 5:
            return "60mm";
        default:
            return "無効";
    }
}

}  // namespace qavix::codec
