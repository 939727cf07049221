#pragma once
// Conversion between the data model and the controller's parameter blocks: texts with two
// upper-case hexadecimal digits per byte (a few fields are decimal or verbatim characters).
//
// Addressing: a read or put names an identifier, a start and a count. Start and count
// count elements of that identifier's area: per-channel values are indexed by channel
// (0..2), 16-bit per-channel values likewise with two bytes each (TIME_CONF and the sensor
// ID at 2 * channel, count 2), per-beam tables by 128 * channel + beam, beam flag bytes by
// 16 * channel + byte. Controller-wide puts start at 0 and count their values (three for
// FIX_CNF, ALL_ON and ALL_OFF, sixteen for the P-I/O tables, 32 for a group table, 1 for a
// single byte); put 2 counts the three bytes of its six-digit text, and put 1 addresses
// the controller's string slot as read code 59 does (start 4, count 16).
//
// Texts the codec sends at a fixed width are cut or padded: TYPE to 20 characters and
// SFT_VER to 5 (padded with spaces), VER_R, VER_E, P-I/O codes and the sensor ID to 4
// ("0000" when empty, else padded with '0'), the ID of put 2 to 6 (zeros in front), the
// text of put 1 cut to 16. Hexadecimal numbers are sent from their low byte or low 16 bits
// and two-digit decimals clamped to 0..99, so no field grows past its width.

#include <cstdint>
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

// Byte offset of JOINT_NUM (two decimal digits) in the general sub-block.
constexpr int kGeneralJointNumOffset = 28;

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
// Put codes 1..41. `channel` is 1..3 for per-channel codes and ignored otherwise. ON_TH is
// raised to 18 in `set` before puts 6 and 27 (27 repeats ON_TH and has no read pair).
// Puts 14 and 15 pair with reads that change nothing; they send the channel's reserved
// word as one byte. An unknown code, 42..45 (use encodeSubBlock) or a per-channel code
// without a channel 1..3 gives a request with code 0 and no text.
PutRequest encodePut(int putCode, int channel, SettingsData& set);

// The read code whose decoder takes a put text apart (42..45 pair with 150..153);
// 0 when the put code has none.
int pairedReadCode(int putCode);

enum class DecodeResult {
    Ok,
    Malformed,  // too short or too long, not hexadecimal or not decimal where a number was
                // expected, control characters in a text, or addressed outside its area
    Unknown,    // the code has no decoder for this target
};

// Decodes the reply of a read into the model's working set: codes 46..149 (86 and 87
// change nothing), the error-history codes 107..126 into the model's error history, and
// the bank image codes 150..153, 209..214 and 300..303 (start = byte in the image).
// Read 72 sets each channel's number of beams (TYPE_1, which the later per-beam reads
// depend on) and the total number of beams. A malformed reply changes nothing.
//
// Per-channel single values: a reply with one value goes to the channel of `arg1`; a
// reply with several (104 and 105 are read with start 0 and count 3) fills one channel
// per value from the channel that `start` addresses. Per-beam and flag replies go to the
// channel of `arg1` (or the one `start` addresses when `arg1` is not 1..3) from position
// start mod 128 (or mod 16).
DecodeResult decodeReply(int readCode, int arg1, int start, std::string_view text,
                         DeviceModel& model);

// Decodes the same codes into an arbitrary set. The error history lives in the model only:
// codes 107..126 give Unknown here.
DecodeResult decodeReply(int readCode, int arg1, int start, std::string_view text,
                         SettingsData& set);

// Decodes a piece of a bank image starting at byte `start` into `set`: every field that
// the text covers completely is taken. Used for bank reads (150..153), bank summaries
// (300..303) and imported bank files. Besides the fields its encoders send, a channel
// block sets the pitch text from TYPE_2, the ON/OFF difference as ON_TH - OFF_TH, the two
// FUNCTION switches from bits 1 and 2 and the two FLO_CONF switches from bits 4 and 5, so
// that encoding the decoded set gives the same text back. Character codes end at the first
// 0. A number of beams above 128 or a JOINT_NUM above 3 is malformed.
DecodeResult decodeBankImage(int start, std::string_view text, SettingsData& set);

// What a put of `putCode` with `text` does to a set when a bank is selected: the text is
// decoded with the paired read code. Code 27 changes nothing (Ok); codes without a pair
// change nothing and give Unknown.
DecodeResult applyOffline(int putCode, int channel, int start, std::string_view text,
                          SettingsData& set);

// The pitch text of a TYPE_2 value (its low four bits); "無効" as written for a value that is
// no pitch (the manifest keeps it so; a screen shows it through i18n::translate).
std::string pitchText(int32_t type2);

}  // namespace codec
}  // namespace qavix
