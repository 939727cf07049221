// Put requests of the current set and their pairing with the reads of the same blocks.

#include <algorithm>

#include "model/Codec.h"
#include "model/CodecDetail.h"
#include "model/ControllerCodes.h"
#include "model/HexText.h"

namespace qavix::codec {

namespace {

using namespace code;

constexpr int kText59Start = 4;  // the controller's string slot (1..3 are sensors)
constexpr size_t kText59Length = 16;
constexpr size_t kIdTextLength = 6;
constexpr int kIdTextCount = 3;  // bytes: six digits

const CodeRow* putRow(int putCode) {
    const CodeRow* entry = find(putCode);
    return entry != nullptr && entry->kind == Kind::Put ? entry : nullptr;
}

// What a 0 entry of a per-beam table is sent as: the controller never holds 0 there.
int32_t zeroEntrySentAs(int putCode) {
    return putCode == kPutZero ? kDefaultZeroPoint : kMinOnThreshold;
}

template <size_t N>
std::string hexBytes(const std::array<int32_t, N>& values, size_t first, size_t count) {
    std::string out;
    for (size_t i = first; i < first + count && i < N; ++i) {
        out += hex::byteHex(values[i]);
    }
    return out;
}

template <size_t N>
std::string decimalPairs(const std::array<int32_t, N>& values) {
    std::string out;
    for (int32_t v : values) {
        out += hex::decimal2(v);
    }
    return out;
}

template <size_t N>
std::string hexWords(const std::array<int32_t, N>& values) {
    std::string out;
    for (int32_t v : values) {
        out += hex::wordHex(v);
    }
    return out;
}

std::string idText(const std::string& text) {
    std::string out = text.substr(0, kIdTextLength);
    out.insert(0, kIdTextLength - out.size(), '0');
    return out;
}

PutRequest channelPut(const CodeRow& entry, int channel, ChannelRecord& ch) {
    const int beams = std::clamp(ch.beamCount, 0, kMaxBeams);
    const Address at = channelAddress(entry, channel, beams);
    PutRequest put{entry.code, channel, at.start, at.count, {}};
    if (entry.value == &ChannelRecord::onTh) {
        ch.onTh = std::max(ch.onTh, kMinOnThreshold);
    }
    if (entry.value != nullptr) {
        const int32_t v = ch.*entry.value;
        put.text = entry.bytes == 2 ? hex::wordHex(v) : hex::byteHex(v);
    } else if (entry.area == Area::BeamFlags) {
        put.text = detail::encodeFlags(ch.*entry.beams, 0, at.count);
    } else if (entry.area == Area::BeamValues) {
        put.text = detail::encodeBeams(ch.*entry.beams, 0, beams, 2 * entry.bytes,
                                       zeroEntrySentAs(entry.code));
    } else if (entry.code == kPutSensorId) {
        put.text = detail::codeText(ch.sensorId);
    } else {
        return {};
    }
    return put;
}

PutRequest controllerPut(int putCode, GeneralBlock& g) {
    auto oneByte = [putCode](int32_t value) {
        return PutRequest{putCode, 0, 0, 1, hex::byteHex(value)};
    };
    switch (putCode) {
        case kPutControllerText:
            return {putCode, 0, kText59Start, static_cast<int>(kText59Length),
                    g.text59.substr(0, kText59Length)};
        case kPutIdNumber:
            return {putCode, 0, 0, kIdTextCount, idText(g.idText)};
        case kPutPioFunctions: {
            std::string text;
            for (const std::string& pio : g.pio) {
                text += detail::codeText(pio);
            }
            return {putCode, 0, 0, kPioCount, text};
        }
        case kPutPioInversion:
            return {putCode, 0, 0, kPioCount, decimalPairs(g.pioInv)};
        case kPutAllOnOffCnf:
            return oneByte(g.allOnOffCnf);
        case kPutFixCnf:
            return {putCode, 0, 0, kChannelCount, hexBytes(g.fixCnf, 0, kChannelCount)};
        case kPutAllOn:
            return {putCode, 0, 0, kChannelCount, hexWords(g.allOn)};
        case kPutAllOff:
            return {putCode, 0, 0, kChannelCount, hexWords(g.allOff)};
        case kPutParaCnf:
            return oneByte(g.paraCnf);
        case kPutParaType:
            return {putCode, 0, 0, 2, decimalPairs(g.paraType)};
        case kPutParaRes:
            return {putCode, 0, 0, 2, hexBytes(g.paraRes, 0, 2)};
        case kPutParaUnit:
            return {putCode, 0, 0, 2, decimalPairs(g.paraUnit)};
        case kPutGrpCnf:
            return oneByte(g.grpCnf);
        case kPutGrpUp:
            return {putCode, 0, 0, kGroupTableSize, hexBytes(g.grpUp, 0, kGroupTableSize)};
        case kPutGrpLow:
            return {putCode, 0, 0, kGroupTableSize, hexBytes(g.grpLow, 0, kGroupTableSize)};
        case kPutTchCnf:
            return oneByte(g.tchCnf);
        case kPutBankFunction:
            return oneByte(g.bankFunction);
        default:
            return {};
    }
}

}  // namespace

PutRequest encodePut(int putCode, int channel, SettingsData& set) {
    const CodeRow* entry = putRow(putCode);
    if (entry != nullptr && isPerChannel(*entry)) {
        if (channel < 1 || channel > kChannelCount) {
            return {};
        }
        return channelPut(*entry, channel, set.channel(channel - 1));
    }
    return controllerPut(putCode, set.general);
}

int pairedReadCode(int putCode) {
    return readOfPut(putCode);
}

DecodeResult applyOffline(int putCode, int channel, int start, std::string_view text,
                          SettingsData& set) {
    if (putCode == kPutOnThAgain) {
        return DecodeResult::Ok;
    }
    const int readCode = pairedReadCode(putCode);
    if (readCode == 0) {
        return DecodeResult::Unknown;
    }
    return decodeReply(readCode, channel, start, text, set);
}

}  // namespace qavix::codec
