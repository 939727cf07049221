#pragma once
// Pieces shared by the bank image, put and reply codecs. Internal to the codec.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/DeviceData.h"
#include "model/HexText.h"

namespace qavix::codec::detail {

constexpr int kFlagBytesPerChannel = kMaxBeams / 8;
constexpr int32_t kFunctionBit1 = 0x02;
constexpr int32_t kFunctionBit2 = 0x04;
constexpr int32_t kFloConfBit4 = 0x10;
constexpr int32_t kFloConfBit5 = 0x20;
constexpr size_t kVersionCodeWidth = 4;  // VER_R, VER_E and P-I/O codes
constexpr char kEmptyCodeText[] = "0000";

// Flag bytes `firstByte`.. of a beam flag table, "%02X" each: a byte is the sum of the
// bit weights of its eight beams.
std::string encodeFlags(const BeamTable& table, int firstByte, int byteCount);
// Takes flag bytes into the table from byte `firstByte` on; false when a byte is not two
// hexadecimal digits or the bytes run past the table.
bool decodeFlags(std::string_view text, int firstByte, BeamTable& table);

// Entries `first`.. of a per-beam table with `digits` hexadecimal digits each. A 0 entry
// is sent as `zeroAs` when that is not 0 (the controller never holds 0 there).
std::string encodeBeams(const BeamTable& table, int first, int count, int digits,
                        int32_t zeroAs = 0);
bool decodeBeams(std::string_view text, int first, int digits, BeamTable& table);

// What the controller stores when the channel block is sent: ON_TH at least 18 and OFF_TH
// following it at the ON/OFF difference.
void normaliseThresholds(ChannelRecord& channel);
// FUNCTION as sent: bits 1 and 2 are the two switches.
int32_t functionAsSent(const ChannelRecord& channel);
// FLO_CONF as sent: bits 4 and 5 are set by their switches, never cleared.
int32_t floConfAsSent(const ChannelRecord& channel);

// A four-character code as sent: "0000" when empty, else cut or padded with '0' to four.
std::string codeText(std::string_view text);

// A reply taken as a text: no control characters and no longer than the request block's
// text buffer.
bool isWholeText(std::string_view text);
bool decodeWholeText(std::string_view text, std::string& target);
// Exactly two hexadecimal digits.
bool readSingleByte(std::string_view text, int32_t& target);

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

// Replies into the general block (CodecReplyGeneral.cpp): true when taken, false when
// malformed, nothing when the code is not one of them.
std::optional<bool> decodeGeneralText(int code, std::string_view text, GeneralBlock& g);
std::optional<bool> decodeGeneralValues(int code, std::string_view text, GeneralBlock& g);
bool decodeErrorEntry(std::string_view text, ErrorHistoryEntry& entry);

}  // namespace qavix::codec::detail
