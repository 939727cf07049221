#pragma once
// Where the controller keeps each parameter of one set. The first bytes of a set are the
// bank image (the layout a bank is written and read in); the parameters that have no place
// in a bank image follow it. Every identifier that reads or writes settings is an "area":
// a run of elements mapped onto those bytes.

#include <cstdint>
#include <vector>

namespace qavix::sim {

constexpr int kImageSize = 1134;
constexpr int kBankCount = 4;

// Offsets of the bank image.
namespace image {
constexpr int kChannelSize = 64;  // channel configuration of CHn at 64 * (n - 1)
constexpr int kGeneral = 192;
constexpr int kGeneralSize = 80;
constexpr int kThreshold = 272;  // AXIS_TH of CHn at 272 + 128 * (n - 1)
constexpr int kZero = 656;       // ZERO of CHn at 656 + 128 * (n - 1)
constexpr int kExtended = 1040;  // hysteresis, group and parallel output block
constexpr int kExtendedSize = 94;

// Within a channel configuration sub-block.
constexpr int kBeamCount = 0;
constexpr int kType2 = 1;
constexpr int kType3 = 2;
constexpr int kVerR = 4;
constexpr int kVerE = 6;
constexpr int kFixAxis = 8;
constexpr int kSetAxis = 24;
constexpr int kOnTh = 40;
constexpr int kOffTh = 41;
constexpr int kFunction = 42;
constexpr int kFixConf = 43;
constexpr int kFloConf = 44;
constexpr int kTimeConf = 48;
constexpr int kCountConf = 50;
constexpr int kSubConf = 51;
constexpr int kAlmConf = 52;

// Within the general sub-block.
constexpr int kType = 0;
constexpr int kTypeLength = 20;
constexpr int kSoftwareVersion = 20;
constexpr int kSoftwareVersionLength = 5;
constexpr int kJointNum = 28;
constexpr int kTeachConf = 29;
constexpr int kPio = 32;
constexpr int kPioInv = 64;

// Within the extended block.
constexpr int kHys = 0;
constexpr int kThCnf = 3;
constexpr int kFixCnf = 6;
constexpr int kAllOnOffCnf = 9;
constexpr int kAllOn = 10;
constexpr int kAllOff = 16;
constexpr int kParaCnf = 22;
constexpr int kParaType = 23;
constexpr int kParaRes = 25;
constexpr int kParaUnit = 27;
constexpr int kGrpCnf = 29;
constexpr int kGrpUp = 30;
constexpr int kGrpLow = 62;
}  // namespace image

// How an element is shown in a reply and taken from a put text.
enum class AreaCodec {
    Hex,      // two digits per byte
    Decimal,  // the bytes hold decimal digit pairs (packed decimal); digits as for Hex
    Chars,    // one character per byte, verbatim
    Bit,      // one bit of a byte shown as "00" or "01"
};

// How start and count of a request select elements.
enum class Addressing {
    Flat,        // start and count are element indexes
    PerChannel,  // element = channel 0..2; a multi-byte element also by its byte offset
    String,      // the reply is a text: start is a channel 1..3 or a sub-code, count characters
};

struct AreaRow {
    int readCode = 0;
    int base = 0;          // byte address of element 0 in the set memory
    int elementBytes = 1;  // characters for Chars areas
    int elementCount = 1;
    int groupSize = 1;    // elements that lie side by side ...
    int groupStride = 1;  // ... and the distance between such groups
    AreaCodec codec = AreaCodec::Hex;
    Addressing addressing = Addressing::Flat;
    int bit = 0;            // for AreaCodec::Bit
    bool hardware = false;  // fixed by the connected sensors, not by settings

    int address(int element, int byte) const {
        return base + (element / groupSize) * groupStride + (element % groupSize) * elementBytes +
               byte;
    }
    int textPerElement() const {
        return codec == AreaCodec::Chars ? elementBytes
                                         : (codec == AreaCodec::Bit ? 2 : 2 * elementBytes);
    }
};

// Areas that only the emulator addresses (never a request code).
constexpr int kAreaControlText3 = 1046;  // third text of the control data
constexpr int kAreaPut27 = 1027;         // what put code 27 writes; nothing reads it back

const AreaRow* findArea(int code);
int memorySize();  // bytes of one set: the bank image followed by the other areas

// The read code whose area a put code writes; 0 when the put code has none (27).
int pairedReadCode(int putCode);
constexpr int kFirstBankPut = 42;
constexpr int kFirstBankRead = 150;
constexpr int kLastPutCode = 45;

struct ElementRange {
    int first = 0;
    int count = 0;
};

// Start and count of a request as elements of the area; false when outside it. A count
// of 0 selects everything from start on.
bool resolveRange(const AreaRow& area, int start, int count, ElementRange& range);

using SetMemory = std::vector<std::uint8_t>;

}  // namespace qavix::sim
