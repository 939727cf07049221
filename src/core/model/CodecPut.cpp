// Put requests of the current set and their pairing with the reads of the same blocks.

#include <algorithm>

#include "model/Codec.h"
#include "model/CodecDetail.h"
#include "model/HexText.h"

namespace qavix::codec {

namespace {

struct PutPair {
    int putCode;
    int readCode;
};

constexpr PutPair kPairs[] = {
    {1, 59},   {2, 62},   {3, 63},   {4, 64},   {5, 66},   {6, 67},   {7, 68},   {8, 69},
    {9, 71},   {10, 73},  {11, 74},  {12, 75},  {13, 76},  {14, 86},  {15, 87},  {16, 95},
    {17, 96},  {18, 97},  {19, 98},  {20, 99},  {21, 100}, {22, 101}, {23, 102}, {24, 103},
    {25, 104}, {26, 105}, {28, 106}, {29, 127}, {30, 128}, {31, 129}, {32, 130}, {33, 133},
    {34, 134}, {35, 135}, {36, 136}, {37, 143}, {38, 144}, {39, 145}, {40, 148}, {41, 149},
    {42, 150}, {43, 151}, {44, 152}, {45, 153},
};

constexpr int kPutOnThresholdAgain = 27;  // ON_TH once more after OFF_TH; nothing reads it
constexpr int kText59Start = 4;           // the controller's string slot (1..3 are sensors)
constexpr size_t kText59Length = 16;
constexpr size_t kIdTextLength = 6;
constexpr int kIdTextCount = 3;  // bytes: six digits
constexpr int kWordBytes = 2;

using ChannelInt = int32_t ChannelRecord::*;

// Per-channel one-byte values, put with (channel, channel index, 1).
ChannelInt channelByteField(int putCode) {
    switch (putCode) {
        case 6:
        case kPutOnThresholdAgain:
            return &ChannelRecord::onTh;
        case 7:
            return &ChannelRecord::offTh;
        case 9:
            return &ChannelRecord::function;
        case 10:
            return &ChannelRecord::subConf;
        case 11:
            return &ChannelRecord::almConf;
        case 13:
            return &ChannelRecord::countConf;
        // 14 and 15 pair with reads that change nothing, so no field of ours is known to
        // be theirs; they send the channel's reserved word, 0 unless something stored one.
        case 14:
        case 15:
            return &ChannelRecord::reserved;
        case 16:
            return &ChannelRecord::functionBit1;
        case 17:
            return &ChannelRecord::fixConf;
        case 19:
            return &ChannelRecord::functionBit2;
        case 20:
            return &ChannelRecord::floConfBit4;
        case 21:
            return &ChannelRecord::floConfBit5;
        case 22:
            return &ChannelRecord::floConf;
        case 25:
            return &ChannelRecord::hys;
        case 26:
            return &ChannelRecord::thCnf;
        case 28:
            return &ChannelRecord::onOffDiff;
        default:
            return nullptr;
    }
}

bool isChannelPut(int putCode) {
    return channelByteField(putCode) != nullptr || putCode == 5 || putCode == 8 || putCode == 12 ||
           putCode == 18 || putCode == 23 || putCode == 24;
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

PutRequest channelPut(int putCode, int channel, ChannelRecord& ch) {
    const int c = channel - 1;
    const int beams = std::clamp(ch.beamCount, 0, kMaxBeams);
    if (const ChannelInt field = channelByteField(putCode)) {
        if (field == &ChannelRecord::onTh) {
            ch.onTh = std::max(ch.onTh, kMinOnThreshold);
        }
        return {putCode, channel, c, 1, hex::byteHex(ch.*field)};
    }
    switch (putCode) {
        case 5:
        case 18: {
            const int bytes = flagByteCount(beams);
            const BeamTable& table = putCode == 5 ? ch.setAxis : ch.fixAxis;
            return {putCode, channel, detail::kFlagBytesPerChannel * c, bytes,
                    detail::encodeFlags(table, 0, bytes)};
        }
        case 8:
            return {putCode, channel, kWordBytes * c, kWordBytes, detail::codeText(ch.sensorId)};
        case 12:
            return {putCode, channel, kWordBytes * c, kWordBytes, hex::wordHex(ch.timeConf)};
        case 23:
            return {putCode, channel, kMaxBeams * c, beams,
                    detail::encodeBeams(ch.zero, 0, beams, 2, kDefaultZeroPoint)};
        case 24:
            return {putCode, channel, kMaxBeams * c, beams,
                    detail::encodeBeams(ch.axisTh, 0, beams, 2, kMinOnThreshold)};
        default:
            return {};
    }
}

PutRequest controllerPut(int putCode, GeneralBlock& g) {
    auto oneByte = [putCode](int32_t value) {
        return PutRequest{putCode, 0, 0, 1, hex::byteHex(value)};
    };
    switch (putCode) {
        case 1:
            return {putCode, 0, kText59Start, static_cast<int>(kText59Length),
                    g.text59.substr(0, kText59Length)};
        case 2:
            return {putCode, 0, 0, kIdTextCount, idText(g.idText)};
        case 3: {
            std::string text;
            for (const std::string& pio : g.pio) {
                text += detail::codeText(pio);
            }
            return {putCode, 0, 0, kPioCount, text};
        }
        case 4:
            return {putCode, 0, 0, kPioCount, decimalPairs(g.pioInv)};
        case 29:
            return oneByte(g.allOnOffCnf);
        case 30:
            return {putCode, 0, 0, kChannelCount, hexBytes(g.fixCnf, 0, kChannelCount)};
        case 31:
            return {putCode, 0, 0, kChannelCount, hexWords(g.allOn)};
        case 32:
            return {putCode, 0, 0, kChannelCount, hexWords(g.allOff)};
        case 33:
            return oneByte(g.paraCnf);
        case 34:
            return {putCode, 0, 0, 2, decimalPairs(g.paraType)};
        case 35:
            return {putCode, 0, 0, 2, hexBytes(g.paraRes, 0, 2)};
        case 36:
            return {putCode, 0, 0, 2, decimalPairs(g.paraUnit)};
        case 37:
            return oneByte(g.grpCnf);
        case 38:
            return {putCode, 0, 0, kGroupTableSize, hexBytes(g.grpUp, 0, kGroupTableSize)};
        case 39:
            return {putCode, 0, 0, kGroupTableSize, hexBytes(g.grpLow, 0, kGroupTableSize)};
        case 40:
            return oneByte(g.tchCnf);
        case 41:
            return oneByte(g.bankFunction);
        default:
            return {};
    }
}

}  // namespace

PutRequest encodePut(int putCode, int channel, SettingsData& set) {
    if (isChannelPut(putCode)) {
        if (channel < 1 || channel > kChannelCount) {
            return {};
        }
        return channelPut(putCode, channel, set.channel(channel - 1));
    }
    return controllerPut(putCode, set.general);
}

int pairedReadCode(int putCode) {
    for (const PutPair& pair : kPairs) {
        if (pair.putCode == putCode) {
            return pair.readCode;
        }
    }
    return 0;
}

DecodeResult applyOffline(int putCode, int channel, int start, std::string_view text,
                          SettingsData& set) {
    if (putCode == kPutOnThresholdAgain) {
        return DecodeResult::Ok;
    }
    const int readCode = pairedReadCode(putCode);
    if (readCode == 0) {
        return DecodeResult::Unknown;
    }
    return decodeReply(readCode, channel, start, text, set);
}

}  // namespace qavix::codec
