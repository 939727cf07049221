#pragma once
// Conversion between the data model and the controller's parameter blocks: texts with two
// upper-case hexadecimal digits per byte (a few fields are decimal or verbatim characters).
//
// Addressing: a read or put names an identifier, a start and a count. Start and count
// count elements of that identifier's area: per-channel values are indexed by channel
// (0..2), 16-bit per-channel values likewise with two bytes each, per-beam tables by
// 128 * channel + beam, beam flag bytes by 16 * channel + byte.

#include <string>
#include <string_view>

#include "model/DeviceData.h"

namespace qavix {

class DeviceModel;

namespace codec {

// Bank image sub-blocks, 1..11, as a bank is written and read back.
enum SubBlock : int {
    kSubChannel1 = 1,
    kSubChannel2 = 2,
    kSubChannel3 = 3,
    kSubGeneral = 4,
    kSubThreshold1 = 5,
    kSubThreshold2 = 6,
    kSubThreshold3 = 7,
    kSubZero1 = 8,
    kSubZero2 = 9,
    kSubZero3 = 10,
    kSubExtended = 11,
};
constexpr int kSubBlockCount = 11;
constexpr int kBankImageSize = 1134;  // bytes: the last sub-block ends at 1040 + 94

struct SubBlockLayout {
    int start;  // byte offset in the bank image
    int count;  // bytes
};
SubBlockLayout subBlockLayout(int subBlock);

// Encodes a bank image sub-block from `set`. The channel configuration normalises the
// model first (ON_TH raised to 18, OFF_TH recomputed), as the controller would store it.
std::string encodeSubBlock(int subBlock, SettingsData& set);

// A put request built from the model: code, channel argument, start, count and text.
struct PutRequest {
    int code = 0;
    int channel = 0;  // argument 1: 1..3 for per-channel blocks, else 0
    int start = 0;
    int count = 0;
    std::string text;
};
// Put codes 1..41 except 27. `channel` is 1..3 for per-channel codes and ignored otherwise.
PutRequest encodePut(int putCode, int channel, SettingsData& set);

// The read code whose decoder takes a put text apart (42..45 pair with 150..153);
// 0 when the put code has none.
int pairedReadCode(int putCode);

enum class DecodeResult {
    Ok,
    Malformed,  // too short, not hexadecimal or not decimal where a number was expected
    Unknown,    // the code has no decoder
};

// Decodes the reply of a read into the model's working set (codes 46..149 and the
// error-history codes 107..126, which go to the model's error history; 72 also sets the
// total number of beams). A malformed reply changes nothing.
DecodeResult decodeReply(int readCode, int arg1, int start, std::string_view text,
                         DeviceModel& model);

// Decodes the same codes into an arbitrary set (the working set's fields only).
DecodeResult decodeReply(int readCode, int arg1, int start, std::string_view text,
                         SettingsData& set);

// Decodes a piece of a bank image starting at byte `start` into `set`: every field that
// the text covers completely is taken. Used for bank reads (150..153), bank summaries
// (300..303) and imported bank files.
DecodeResult decodeBankImage(int start, std::string_view text, SettingsData& set);

// What a put of `putCode` with `text` does to a set when a bank is selected: the text is
// decoded with the paired read code. Code 27 and unpaired codes change nothing.
DecodeResult applyOffline(int putCode, int channel, int start, std::string_view text,
                          SettingsData& set);

// The pitch text of a TYPE_2 value (its low four bits).
std::string pitchText(int32_t type2);

}  // namespace codec
}  // namespace qavix
