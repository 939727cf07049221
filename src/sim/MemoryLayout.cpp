#include "sim/MemoryLayout.h"

#include <map>

namespace qavix::sim {

namespace {

constexpr int kChannels = 3;
constexpr int kBeamsPerChannel = 128;
constexpr int kFlagBytesPerChannel = 16;
constexpr int kPioCount = 16;
constexpr int kGroupEntries = 32;
constexpr int kTextLength = 16;

class LayoutBuilder {
  public:
    std::map<int, AreaRow> areas;
    int next = kImageSize;

    // A one-value-per-channel field of the channel configuration sub-blocks.
    void channelField(int code, int offset, int bytes = 1, AreaCodec codec = AreaCodec::Hex,
                      int bit = 0) {
        AreaRow a;
        a.readCode = code;
        a.base = offset;
        a.elementBytes = bytes;
        a.elementCount = kChannels;
        a.groupSize = 1;
        a.groupStride = image::kChannelSize;
        a.codec = codec;
        a.addressing = Addressing::PerChannel;
        a.bit = bit;
        add(a);
    }
    // Contiguous elements at a fixed address.
    void flat(int code, int base, int count, int bytes = 1, AreaCodec codec = AreaCodec::Hex) {
        AreaRow a;
        a.readCode = code;
        a.base = base;
        a.elementBytes = bytes;
        a.elementCount = count;
        a.groupSize = count;
        a.groupStride = count * bytes;
        a.codec = codec;
        add(a);
    }
    // Sixteen flag bytes per channel inside each channel configuration sub-block.
    void channelFlags(int code, int offset) {
        AreaRow a;
        a.readCode = code;
        a.base = offset;
        a.elementCount = kChannels * kFlagBytesPerChannel;
        a.groupSize = kFlagBytesPerChannel;
        a.groupStride = image::kChannelSize;
        add(a);
    }
    // Areas outside the bank image get the next free bytes.
    void extraPerChannel(int code, int bytes, AreaCodec codec = AreaCodec::Hex) {
        channelField(code, next, bytes, codec);
        areas[code].groupStride = bytes;
        next += kChannels * bytes;
    }
    void extraFlat(int code, int count, int bytes = 1, AreaCodec codec = AreaCodec::Hex) {
        flat(code, next, count, bytes, codec);
        next += count * bytes;
    }
    void text(int code, int length, int channels) {
        AreaRow a;
        a.readCode = code;
        a.base = next;
        a.elementBytes = length;
        a.elementCount = channels;
        a.groupSize = 1;
        a.groupStride = length;
        a.codec = AreaCodec::Chars;
        a.addressing = Addressing::String;
        add(a);
        next += length * channels;
    }
    void add(const AreaRow& a) { areas[a.readCode] = a; }
};

void addChannelConfiguration(LayoutBuilder& b) {
    using namespace image;
    b.channelField(72, kBeamCount);
    b.areas[72].hardware = true;
    b.channelField(84, kType2);
    b.areas[84].hardware = true;
    b.channelField(85, kType3);
    b.areas[85].hardware = true;
    b.channelField(78, kVerR, 2);
    b.areas[78].hardware = true;
    b.channelField(83, kVerE, 2);
    b.areas[83].hardware = true;
    b.channelFlags(97, kFixAxis);
    b.channelFlags(66, kSetAxis);
    b.channelField(67, kOnTh);
    b.channelField(68, kOffTh);
    b.channelField(71, kFunction);
    b.channelField(95, kFunction, 1, AreaCodec::Bit, 1);
    b.channelField(98, kFunction, 1, AreaCodec::Bit, 2);
    b.channelField(96, kFixConf);
    b.channelField(101, kFloConf);
    b.channelField(99, kFloConf, 1, AreaCodec::Bit, 4);
    b.channelField(100, kFloConf, 1, AreaCodec::Bit, 5);
    b.channelField(75, kTimeConf, 2);
    b.channelField(76, kCountConf);
    b.channelField(73, kSubConf);
    b.channelField(74, kAlmConf);
}

void addGeneralBlock(LayoutBuilder& b) {
    using namespace image;
    b.flat(57, kGeneral + kType, kTypeLength, 1, AreaCodec::Chars);
    b.areas[57].addressing = Addressing::String;
    b.areas[57].elementBytes = kTypeLength;
    b.areas[57].elementCount = 1;
    b.areas[57].hardware = true;
    b.flat(80, kGeneral + kJointNum, 1, 1, AreaCodec::Decimal);
    b.areas[80].hardware = true;
    b.flat(148, kGeneral + kTeachConf, 1);
    b.flat(63, kGeneral + kPio, kPioCount, 2);
    b.flat(64, kGeneral + kPioInv, kPioCount, 1, AreaCodec::Decimal);
}

// Per-beam tables, then the hysteresis, group and parallel output block.
void addBeamTablesAndExtendedBlock(LayoutBuilder& b) {
    using namespace image;
    b.flat(103, kThreshold, kChannels * kBeamsPerChannel);
    b.flat(102, kZero, kChannels * kBeamsPerChannel);

    b.flat(104, kExtended + kHys, kChannels);
    b.flat(105, kExtended + kThCnf, kChannels);
    b.flat(128, kExtended + kFixCnf, kChannels);
    b.flat(127, kExtended + kAllOnOffCnf, 1);
    b.flat(129, kExtended + kAllOn, kChannels, 2);
    b.flat(130, kExtended + kAllOff, kChannels, 2);
    b.flat(133, kExtended + kParaCnf, 1);
    b.flat(134, kExtended + kParaType, 2, 1, AreaCodec::Decimal);
    b.flat(135, kExtended + kParaRes, 2);
    b.flat(136, kExtended + kParaUnit, 2, 1, AreaCodec::Decimal);
    b.flat(143, kExtended + kGrpCnf, 1);
    b.flat(144, kExtended + kGrpUp, kGroupEntries);
    b.flat(145, kExtended + kGrpLow, kGroupEntries);
}

void addOutsideImage(LayoutBuilder& b) {
    b.text(58, kTextLength, kChannels);
    b.text(59, kTextLength, 1);
    b.extraFlat(61, 4);
    b.areas[61].hardware = true;
    b.extraFlat(62, 3);
    b.extraPerChannel(60, 2);
    b.areas[60].hardware = true;
    b.extraPerChannel(69, 2);
    b.extraPerChannel(70, 4);
    b.areas[70].hardware = true;
    b.extraPerChannel(82, 4);
    b.areas[82].hardware = true;
    for (int code : {77, 79, 81, 86, 87, 106, kAreaPut27}) {
        b.extraPerChannel(code, 1);
    }
    b.extraFlat(131, kChannels);
    b.extraFlat(132, kChannels);
    for (int code = 137; code <= 142; ++code) {
        b.extraFlat(code, kChannels, 1, AreaCodec::Decimal);
    }
    b.extraFlat(146, kPioCount, 1, AreaCodec::Decimal);
    b.extraFlat(147, kPioCount, 1, AreaCodec::Decimal);
    b.extraFlat(149, 1);
    b.text(kAreaControlText3, 8, 1);
    b.areas[kAreaControlText3].hardware = true;
}

LayoutBuilder build() {
    LayoutBuilder b;
    addChannelConfiguration(b);
    addGeneralBlock(b);
    addBeamTablesAndExtendedBlock(b);
    // The areas outside the bank image take the bytes after it in this order.
    addOutsideImage(b);
    return b;
}

const LayoutBuilder& layout() {
    static const LayoutBuilder b = build();
    return b;
}

}  // namespace

const AreaRow* findArea(int code) {
    const auto& areas = layout().areas;
    const auto it = areas.find(code);
    return it == areas.end() ? nullptr : &it->second;
}

int memorySize() {
    return layout().next;
}

int pairedReadCode(int putCode) {
    static const std::map<int, int> pairs = {
        {1, 59},   {2, 62},   {3, 63},   {4, 64},   {5, 66},   {6, 67},   {7, 68},   {8, 69},
        {9, 71},   {10, 73},  {11, 74},  {12, 75},  {13, 76},  {14, 86},  {15, 87},  {16, 95},
        {17, 96},  {18, 97},  {19, 98},  {20, 99},  {21, 100}, {22, 101}, {23, 102}, {24, 103},
        {25, 104}, {26, 105}, {28, 106}, {29, 127}, {30, 128}, {31, 129}, {32, 130}, {33, 133},
        {34, 134}, {35, 135}, {36, 136}, {37, 143}, {38, 144}, {39, 145}, {40, 148}, {41, 149},
        {42, 150}, {43, 151}, {44, 152}, {45, 153},
    };
    const auto it = pairs.find(putCode);
    return it == pairs.end() ? 0 : it->second;
}

bool resolveRange(const AreaRow& area, int start, int count, ElementRange& range) {
    if (start < 0 || count < 0) {
        return false;
    }
    // The request sequences address a two- or four-byte channel value by its byte offset
    // (start 2 * channel, count 2); a channel index with count 1 means the same value.
    const int eb = area.elementBytes;
    if (area.addressing == Addressing::PerChannel && eb > 1 && count == eb && start % eb == 0 &&
        start / eb < area.elementCount) {
        range = {start / eb, 1};
        return true;
    }
    if (start >= area.elementCount) {
        return false;
    }
    if (count == 0) {
        range = {start, area.elementCount - start};
        return true;
    }
    if (start + count > area.elementCount) {
        return false;
    }
    range = {start, count};
    return true;
}

}  // namespace qavix::sim
