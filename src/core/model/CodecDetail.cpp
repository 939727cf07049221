#include "model/CodecDetail.h"

#include <algorithm>

#include "model/HexText.h"

namespace qavix::codec::detail {

namespace {
constexpr size_t kMaxReplyLength = 2048;  // the request block's text buffer
}  // namespace

std::string encodeFlags(const BeamTable& table, int firstByte, int byteCount) {
    std::string out;
    for (int i = firstByte; i < firstByte + byteCount && i < kFlagBytesPerChannel; ++i) {
        int32_t byte = 0;
        for (int k = 0; k < 8; ++k) {
            byte += table[static_cast<size_t>(8 * i + k)];
        }
        out += hex::byteHex(byte);
    }
    return out;
}

bool decodeFlags(std::string_view text, int firstByte, BeamTable& table) {
    if (text.size() % 2 != 0 || firstByte < 0 ||
        firstByte + static_cast<int>(text.size() / 2) > kFlagBytesPerChannel) {
        return false;
    }
    BeamTable result = table;
    for (size_t pos = 0; pos < text.size(); pos += 2) {
        const auto byte = hex::readHex(text, pos, 2);
        if (!byte) {
            return false;
        }
        const int i = firstByte + static_cast<int>(pos / 2);
        for (int k = 0; k < 8; ++k) {
            result[static_cast<size_t>(8 * i + k)] = *byte & (1 << k);
        }
    }
    table = result;
    return true;
}

std::string encodeBeams(const BeamTable& table, int first, int count, int digits, int32_t zeroAs) {
    std::string out;
    for (int b = std::max(first, 0); b < first + count && b < kMaxBeams; ++b) {
        int32_t value = table[static_cast<size_t>(b)];
        if (value == 0) {
            value = zeroAs;
        }
        out += digits == 4 ? hex::wordHex(value) : hex::byteHex(value);
    }
    return out;
}

bool decodeBeams(std::string_view text, int first, int digits, BeamTable& table) {
    const auto width = static_cast<size_t>(digits);
    if (text.size() % width != 0 || first < 0 ||
        first + static_cast<int>(text.size() / width) > kMaxBeams) {
        return false;
    }
    BeamTable result = table;
    for (size_t pos = 0; pos < text.size(); pos += width) {
        const auto value = hex::readHex(text, pos, width);
        if (!value) {
            return false;
        }
        result[static_cast<size_t>(first) + pos / width] = *value;
    }
    table = result;
    return true;
}

void normaliseThresholds(ChannelRecord& channel) {
    channel.onTh = std::max(channel.onTh, kMinOnThreshold);
    channel.offTh = channel.onTh - channel.onOffDiff;
}

int32_t functionAsSent(const ChannelRecord& channel) {
    int32_t value = channel.function & ~(kFunctionBit1 | kFunctionBit2);
    if (channel.functionBit1 == 1) {
        value |= kFunctionBit1;
    }
    if (channel.functionBit2 == 1) {
        value |= kFunctionBit2;
    }
    return value;
}

int32_t floConfAsSent(const ChannelRecord& channel) {
    int32_t value = channel.floConf;
    if (channel.floConfBit4 == 1) {
        value |= kFloConfBit4;
    }
    if (channel.floConfBit5 == 1) {
        value |= kFloConfBit5;
    }
    return value;
}

std::string codeText(std::string_view text) {
    if (text.empty()) {
        return kEmptyCodeText;
    }
    std::string out(text.substr(0, kVersionCodeWidth));
    out.resize(kVersionCodeWidth, '0');
    return out;
}

bool isWholeText(std::string_view text) {
    return text.size() <= kMaxReplyLength && hex::isPlainText(text);
}

bool decodeWholeText(std::string_view text, std::string& target) {
    if (!isWholeText(text)) {
        return false;
    }
    target = std::string(text);
    return true;
}

bool readSingleByte(std::string_view text, int32_t& target) {
    const auto v = text.size() == 2 ? hex::readHex(text, 0, 2) : std::nullopt;
    if (v) {
        target = *v;
    }
    return v.has_value();
}

}  // namespace qavix::codec::detail
