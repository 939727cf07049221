#pragma once
// The controller's parameter codes in one table: every put and every read the program
// sends, with its paired code, how start and count address its elements, the field of a
// channel record it carries and the values the controller takes. The codec, the read
// sequences, the page reads and the bank-file check read it; the emulator keeps its own
// account of the same pairs (tests/comm/CodeTableTest.cpp holds the two together).

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/ControllerLimits.h"
#include "model/DeviceData.h"

namespace qavix {

// The time-out every request hands the link library unless its caller asks for less.
constexpr int kRequestTimeoutMs = 1500;

namespace code {

enum Code : int {
    // Puts of the current set; each is read back with its pair below.
    kPutControllerText = 1,
    kPutIdNumber = 2,
    kPutPioFunctions = 3,
    kPutPioInversion = 4,
    kPutSetAxis = 5,
    kPutOnTh = 6,
    kPutOffTh = 7,
    kPutSensorId = 8,
    kPutFunction = 9,
    kPutSubConf = 10,
    kPutAlmConf = 11,
    kPutTimeConf = 12,
    kPutCountConf = 13,
    kPutReserved1 = 14,
    kPutReserved2 = 15,
    kPutFunctionBit1 = 16,  // the sensor page's fixed-blanking switch
    kPutFixConf = 17,
    kPutFixAxis = 18,
    kPutFunctionBit2 = 19,  // the sensor page's floating-blanking switch
    kPutFloConfBit4 = 20,   // the floating-blanking mode
    kPutFloConfBit5 = 21,
    kPutFloConf = 22,
    kPutZero = 23,
    kPutAxisTh = 24,
    kPutHys = 25,
    kPutThCnf = 26,
    kPutOnThAgain = 27,  // ON_TH once more after OFF_TH; nothing reads it back
    kPutOnOffDiff = 28,
    kPutAllOnOffCnf = 29,
    kPutFixCnf = 30,
    kPutAllOn = 31,
    kPutAllOff = 32,
    kPutParaCnf = 33,
    kPutParaType = 34,
    kPutParaRes = 35,
    kPutParaUnit = 36,
    kPutGrpCnf = 37,
    kPutGrpUp = 38,
    kPutGrpLow = 39,
    kPutTchCnf = 40,
    kPutBankFunction = 41,
    kPutBank1Image = 42,  // Bank 1..4: 42..45
    kPutBank4Image = 45,

    // Reads.
    kReadControlTexts = 46,
    kReadControlNumber = 47,
    kReadClock = 49,
    kReadType = 57,
    kReadSensorModel = 58,
    kReadControllerText = 59,
    kReadSensorVersion = 60,
    kReadSerialText = 61,
    kReadIdNumber = 62,
    kReadPioFunctions = 63,
    kReadPioInversion = 64,
    kReadSetAxis = 66,
    kReadOnTh = 67,
    kReadOffTh = 68,
    kReadSensorId = 69,
    kReadReceiverSerial = 70,
    kReadFunction = 71,
    kReadBeamCounts = 72,  // TYPE_1 of every channel
    kReadSubConf = 73,
    kReadAlmConf = 74,
    kReadTimeConf = 75,
    kReadCountConf = 76,
    kReadSetting77 = 77,
    kReadVerR = 78,
    kReadSetting79 = 79,
    kReadJointNum = 80,
    kReadSetting81 = 81,
    kReadEmitterSerial = 82,
    kReadVerE = 83,
    kReadType2 = 84,
    kReadType3 = 85,
    kReadReserved1 = 86,
    kReadReserved2 = 87,
    kReadAbsLevel = 88,
    kReadRatioLevel = 89,
    kReadAbsOnTh = 90,
    kReadRatioOnTh = 91,
    kReadBeamState = 92,
    kReadAbsOffTh = 93,
    kReadRatioOffTh = 94,
    kReadFunctionBit1 = 95,
    kReadFixConf = 96,
    kReadFixAxis = 97,
    kReadFunctionBit2 = 98,
    kReadFloConfBit4 = 99,
    kReadFloConfBit5 = 100,
    kReadFloConf = 101,
    kReadZero = 102,
    kReadAxisTh = 103,
    kReadHys = 104,
    kReadThCnf = 105,
    kReadOnOffDiff = 106,
    // Entry k of the error history is read with 107 + k; the newest (k = 0) is also the
    // error block the status check evaluates.
    kReadErrorLog = 107,
    kReadAllOnOffCnf = 127,
    kReadFixCnf = 128,
    kReadAllOn = 129,
    kReadAllOff = 130,
    kReadParaWords1 = 131,
    kReadParaWords2 = 132,
    kReadParaCnf = 133,
    kReadParaType = 134,
    kReadParaRes = 135,
    kReadParaUnit = 136,
    kReadGroupWords1 = 137,  // 137..142, three words each
    kReadGroupWords6 = 142,
    kReadGrpCnf = 143,
    kReadGrpUp = 144,
    kReadGrpLow = 145,
    kReadWordTable1 = 146,
    kReadWordTable2 = 147,
    kReadTchCnf = 148,
    kReadBankFunction = 149,
    kReadBank1Image = 150,  // Bank 1..4: 150..153
    kReadBank4Image = 153,
};

enum class Kind : uint8_t { Put, Read };

// How start and count of a request select a code's elements.
enum class Area : uint8_t {
    Controller,    // controller-wide values, from start 0
    Text,          // a text; argument 1 names whose (a sensor 1..3, or 4 the controller's)
    ChannelValue,  // one value of `bytes` bytes per channel, at bytes * channel
    BeamFlags,     // flag bytes of a channel, at 16 * channel + byte; eight beams a byte
    BeamValues,    // one value of `bytes` bytes per beam, at 128 * channel + beam
    BankImage,     // bytes of a bank image
};

struct Interval {
    int32_t low = 0;
    int32_t high = 0;
};

// The values the controller takes: a few closed intervals; none means any value.
struct ValueRange {
    static constexpr size_t kMaxIntervals = 5;
    std::array<Interval, kMaxIntervals> intervals{};
    size_t count = 0;

    constexpr bool limited() const { return count > 0; }
    constexpr bool contains(int32_t value) const {
        if (count == 0) {
            return true;
        }
        for (size_t i = 0; i < count; ++i) {
            if (value >= intervals[i].low && value <= intervals[i].high) {
                return true;
            }
        }
        return false;
    }
};

using ChannelValueField = int32_t ChannelRecord::*;
using ChannelBeamTable = BeamTable ChannelRecord::*;

struct CodeRow {
    int code = 0;
    Kind kind = Kind::Read;
    const char* name = "";  // the field as the bank file and the report call it
    int pair = 0;           // the put's read or the read's put; 0 when it has none
    Area area = Area::Controller;
    int bytes = 1;                      // of one element
    ChannelValueField value = nullptr;  // the number a ChannelValue code carries
    ChannelBeamTable beams = nullptr;   // the table a BeamFlags or BeamValues code carries
    ValueRange range;                   // what a put may send

    constexpr CodeRow withBytes(int n) const {
        CodeRow s = *this;
        s.bytes = n;
        return s;
    }
    constexpr CodeRow withValue(ChannelValueField field) const {
        CodeRow s = *this;
        s.value = field;
        return s;
    }
    constexpr CodeRow withBeams(ChannelBeamTable table) const {
        CodeRow s = *this;
        s.beams = table;
        return s;
    }
    constexpr CodeRow withRange(ValueRange r) const {
        CodeRow s = *this;
        s.range = r;
        return s;
    }
};

// The row of `code`; nullptr for a code the table does not hold.
const CodeRow* find(int code);

// Every row, in code order.
struct Table {
    const CodeRow* first;
    const CodeRow* last;
    const CodeRow* begin() const { return first; }
    const CodeRow* end() const { return last; }
};
Table table();

// The read code a put is checked and applied with; 0 for a read, code 27 or an unknown code.
int readOfPut(int putCode);

// Whether a put or read addresses one channel (argument 1 is 1..3).
bool isPerChannel(const CodeRow& entry);

// Start and count of a per-channel code for channel 1..3: the channel's value, or its first
// `beams` beams (their flag bytes for a flag table).
struct Address {
    int start = 0;
    int count = 0;
};
Address channelAddress(const CodeRow& entry, int channel, int beams);

// Whether the controller takes `value` for the field of `code` (every value when the table
// holds no range for it).
bool accepts(int code, int32_t value);

}  // namespace code
}  // namespace qavix
