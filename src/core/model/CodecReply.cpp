// Decoders of read replies. Each decodes into a copy and commits only a whole success, so a
// malformed reply never leaves half its fields behind.

#include <optional>

#include "Translate.h"
#include "model/Codec.h"
#include "model/CodecDetail.h"
#include "model/ControllerCodes.h"
#include "model/DeviceModel.h"
#include "model/ErrorLog.h"
#include "model/HexText.h"

namespace qavix::codec {

namespace {

constexpr int kBankApplyFirst = 209;
constexpr int kBankApplyLast = 214;
constexpr int kBankSummaryFirst = 300;
constexpr int kBankSummaryLast = 303;

using ChannelInt = int32_t ChannelRecord::*;

struct ChannelValue {
    ChannelInt field;
    size_t digits;
};

const code::CodeRow* readRow(int readCode) {
    const code::CodeRow* entry = code::find(readCode);
    return entry != nullptr && entry->kind == code::Kind::Read ? entry : nullptr;
}

std::optional<ChannelValue> channelValue(int readCode) {
    const code::CodeRow* entry = readRow(readCode);
    if (entry == nullptr || entry->area != code::Area::ChannelValue || entry->value == nullptr) {
        return std::nullopt;
    }
    return ChannelValue{entry->value, 2 * static_cast<size_t>(entry->bytes)};
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
    if (text.size() < 4 || !detail::isWholeText(text)) {
        return false;
    }
    target = std::string(text.substr(0, 2)) + std::string(text.substr(text.size() - 2));
    return true;
}

std::optional<bool> decodeChannelText(int code, int arg1, std::string_view text, SettingsData& s) {
    std::string ChannelRecord::*field = nullptr;
    switch (code) {
        case code::kReadSensorModel:
            field = &ChannelRecord::modelText;
            break;
        case code::kReadSensorId:
            field = &ChannelRecord::sensorId;
            break;
        case code::kReadReceiverSerial:
            field = &ChannelRecord::receiverSerial;
            break;
        case code::kReadEmitterSerial:
            field = &ChannelRecord::emitterSerial;
            break;
        case code::kReadSensorVersion:
        case code::kReadVerR:
        case code::kReadVerE:
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
        case code::kReadSensorVersion:
            return decodeVersionNumber(text, ch);
        case code::kReadVerR:
            return decodeEndsText(text, ch.verR);
        case code::kReadVerE:
            return decodeEndsText(text, ch.verE);
        default:
            return detail::decodeWholeText(text, ch.*field);
    }
}

std::optional<bool> decodeBeamReply(int code, int arg1, int start, std::string_view text,
                                    SettingsData& s) {
    const code::CodeRow* entry = readRow(code);
    if (entry == nullptr || entry->beams == nullptr) {
        return std::nullopt;
    }
    const bool flags = entry->area == code::Area::BeamFlags;
    const auto place = areaPlace(arg1, start, flags ? detail::kFlagBytesPerChannel : kMaxBeams);
    if (!place) {
        return false;
    }
    BeamTable& table = s.channel(place->channel).*entry->beams;
    return flags ? detail::decodeFlags(text, place->offset, table)
                 : detail::decodeBeams(text, place->offset, 2 * entry->bytes, table);
}

bool isBankImageCode(int code) {
    return (code >= code::kReadBank1Image && code <= code::kReadBank4Image) ||
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
    if (auto r = detail::decodeGeneralText(code, text, s.general)) {
        return r;
    }
    if (auto r = detail::decodeGeneralValues(code, text, s.general)) {
        return r;
    }
    return decodeBeamReply(code, arg1, start, text, s);
}

bool isErrorHistoryCode(int code) {
    return code >= code::kReadErrorLog && code < code::kReadErrorLog + kErrorHistoryCount;
}

}  // namespace

DecodeResult decodeReply(int readCode, int arg1, int start, std::string_view text,
                         SettingsData& set) {
    if (readCode == code::kReadReserved1 || readCode == code::kReadReserved2) {
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
        if (!detail::decodeErrorEntry(text, entry)) {
            return DecodeResult::Malformed;
        }
        model.errorHistory[static_cast<size_t>(readCode - code::kReadErrorLog)] = entry;
        return DecodeResult::Ok;
    }
    SettingsData& working = model.working();
    const DecodeResult result = decodeReply(readCode, arg1, start, text, working);
    if (result == DecodeResult::Ok && readCode == code::kReadBeamCounts) {
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
            return N_("無効");
    }
}

}  // namespace qavix::codec
