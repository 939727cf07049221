#include "model/ControllerCodes.h"

#include <algorithm>

namespace qavix::code {

namespace {

constexpr int kFlagBytesPerChannel = kMaxBeams / 8;

constexpr CodeRow row(Kind kind, int number, const char* name, int pair, Area area) {
    CodeRow s;
    s.code = number;
    s.kind = kind;
    s.name = name;
    s.pair = pair;
    s.area = area;
    return s;
}

constexpr CodeRow put(int number, const char* name, int readCode, Area area) {
    return row(Kind::Put, number, name, readCode, area);
}

constexpr CodeRow read(int number, const char* name, int putCode, Area area) {
    return row(Kind::Read, number, name, putCode, area);
}

constexpr ValueRange between(int32_t low, int32_t high) {
    ValueRange r;
    r.intervals[0] = {low, high};
    r.count = 1;
    return r;
}

constexpr ValueRange kSwitch = between(0, 1);
constexpr ValueRange kUpToTwo = between(0, 2);
constexpr ValueRange kBeamNumber = between(0, kMaxBeams);
// FLO_CONF below its two switch bits: the number of floating-blanking beams.
constexpr ValueRange kFloatingBeams = between(0, 3);
// The P-I/O function codes the controller knows.
constexpr ValueRange kPioCodes = {
    {{{0, 0}, {0x8000, 0x8000}, {0x8010, 0x8015}, {0x8030, 0x805B}, {0x8060, 0x806B}}}, 5};
// Output resolutions: three groups of six.
constexpr ValueRange kResolutions = {{{{0x00, 0x06}, {0x11, 0x16}, {0x21, 0x26}}}, 3};
constexpr ValueRange kTeachConf = {{{{0, 0}, {0x10, 0x11}}}, 2};

using A = Area;
using R = ChannelRecord;

// clang-format off
constexpr CodeRow kCodes[] = {
    put(kPutControllerText, "CONTROLLER_TEXT", kReadControllerText, A::Text),
    put(kPutIdNumber, "ID_NUMBER", kReadIdNumber, A::Controller),
    put(kPutPioFunctions, "PIO", kReadPioFunctions, A::Controller).withBytes(2).withRange(kPioCodes),
    put(kPutPioInversion, "PIO_INV", kReadPioInversion, A::Controller),
    put(kPutSetAxis, "SET_AXIS", kReadSetAxis, A::BeamFlags).withBeams(&R::setAxis),
    put(kPutOnTh, "ON_TH", kReadOnTh, A::ChannelValue).withValue(&R::onTh)
        .withRange(between(kMinOnThreshold, kMaxOnThreshold)),
    put(kPutOffTh, "OFF_TH", kReadOffTh, A::ChannelValue).withValue(&R::offTh)
        .withRange(between(kMinOffThreshold, kMaxOffThreshold)),
    put(kPutSensorId, "SENSOR_ID", kReadSensorId, A::ChannelValue).withBytes(2),
    put(kPutFunction, "FUNCTION", kReadFunction, A::ChannelValue).withValue(&R::function),
    put(kPutSubConf, "SUB_CONF", kReadSubConf, A::ChannelValue).withValue(&R::subConf),
    put(kPutAlmConf, "ALM_CONF", kReadAlmConf, A::ChannelValue).withValue(&R::almConf),
    put(kPutTimeConf, "TIME_CONF", kReadTimeConf, A::ChannelValue).withBytes(2)
        .withValue(&R::timeConf),
    put(kPutCountConf, "COUNT_CONF", kReadCountConf, A::ChannelValue).withValue(&R::countConf),
    // The reads of 14 and 15 change nothing, so no field of ours is known to be theirs:
    // they send the channel's reserved word, 0 unless something stored one.
    put(kPutReserved1, "RESERVED_1", kReadReserved1, A::ChannelValue).withValue(&R::reserved),
    put(kPutReserved2, "RESERVED_2", kReadReserved2, A::ChannelValue).withValue(&R::reserved),
    put(kPutFunctionBit1, "FUNCTION_BIT1", kReadFunctionBit1, A::ChannelValue)
        .withValue(&R::functionBit1).withRange(kSwitch),
    put(kPutFixConf, "FIX_CONF", kReadFixConf, A::ChannelValue).withValue(&R::fixConf)
        .withRange(kSwitch),
    put(kPutFixAxis, "FIX_AXIS", kReadFixAxis, A::BeamFlags).withBeams(&R::fixAxis),
    put(kPutFunctionBit2, "FUNCTION_BIT2", kReadFunctionBit2, A::ChannelValue)
        .withValue(&R::functionBit2).withRange(kSwitch),
    put(kPutFloConfBit4, "FLO_CONF_BIT4", kReadFloConfBit4, A::ChannelValue)
        .withValue(&R::floConfBit4).withRange(kSwitch),
    put(kPutFloConfBit5, "FLO_CONF_BIT5", kReadFloConfBit5, A::ChannelValue)
        .withValue(&R::floConfBit5).withRange(kSwitch),
    put(kPutFloConf, "FLO_CONF", kReadFloConf, A::ChannelValue).withValue(&R::floConf)
        .withRange(kFloatingBeams),
    put(kPutZero, "ZERO", kReadZero, A::BeamValues).withBeams(&R::zero)
        .withRange(between(kDefaultZeroPoint, kFullScale)),
    put(kPutAxisTh, "AXIS_TH", kReadAxisTh, A::BeamValues).withBeams(&R::axisTh)
        .withRange(between(0, kFullScale)),
    put(kPutHys, "HYS", kReadHys, A::ChannelValue).withValue(&R::hys)
        .withRange(between(0, kMaxHysteresis)),
    put(kPutThCnf, "TH_CNF", kReadThCnf, A::ChannelValue).withValue(&R::thCnf).withRange(kSwitch),
    put(kPutOnThAgain, "ON_TH", 0, A::ChannelValue).withValue(&R::onTh),
    put(kPutOnOffDiff, "ON_OFF_DIFF", kReadOnOffDiff, A::ChannelValue).withValue(&R::onOffDiff),
    put(kPutAllOnOffCnf, "ALL_ONOFF_CNF", kReadAllOnOffCnf, A::Controller).withRange(kUpToTwo),
    put(kPutFixCnf, "FIX_CNF", kReadFixCnf, A::Controller).withRange(kSwitch),
    put(kPutAllOn, "ALL_ON", kReadAllOn, A::Controller).withBytes(2).withRange(kBeamNumber),
    put(kPutAllOff, "ALL_OFF", kReadAllOff, A::Controller).withBytes(2).withRange(kBeamNumber),
    put(kPutParaCnf, "PARA_CNF", kReadParaCnf, A::Controller).withRange(kUpToTwo),
    put(kPutParaType, "PARA_TYPE", kReadParaType, A::Controller).withRange(kSwitch),
    put(kPutParaRes, "PARA_RES", kReadParaRes, A::Controller).withRange(kResolutions),
    put(kPutParaUnit, "PARA_UNIT", kReadParaUnit, A::Controller).withRange(kSwitch),
    put(kPutGrpCnf, "GRP_CNF", kReadGrpCnf, A::Controller).withRange(kUpToTwo),
    // The group tables' ranges are those of their beam half; the channel half holds 0..3.
    put(kPutGrpUp, "GRP_UP", kReadGrpUp, A::Controller).withRange(kBeamNumber),
    put(kPutGrpLow, "GRP_LOW", kReadGrpLow, A::Controller).withRange(kBeamNumber),
    put(kPutTchCnf, "TCH_CNF", kReadTchCnf, A::Controller).withRange(kTeachConf),
    put(kPutBankFunction, "BANK_FUNCTION", kReadBankFunction, A::Controller),
    put(42, "BANK1_IMAGE", 150, A::BankImage),
    put(43, "BANK2_IMAGE", 151, A::BankImage),
    put(44, "BANK3_IMAGE", 152, A::BankImage),
    put(45, "BANK4_IMAGE", 153, A::BankImage),

    read(kReadControlTexts, "CONTROL_TEXTS", 0, A::Controller),
    read(kReadControlNumber, "CONTROL_NUMBER", 0, A::Controller),
    read(kReadClock, "CLOCK", 0, A::Controller),
    read(kReadType, "TYPE", 0, A::Text),
    read(kReadSensorModel, "SENSOR_MODEL", 0, A::Text),
    read(kReadControllerText, "CONTROLLER_TEXT", kPutControllerText, A::Text),
    read(kReadSensorVersion, "SENSOR_VERSION", 0, A::ChannelValue).withBytes(2),
    read(kReadSerialText, "SERIAL", 0, A::Controller),
    read(kReadIdNumber, "ID_NUMBER", kPutIdNumber, A::Controller),
    read(kReadPioFunctions, "PIO", kPutPioFunctions, A::Controller).withBytes(2),
    read(kReadPioInversion, "PIO_INV", kPutPioInversion, A::Controller),
    read(kReadSetAxis, "SET_AXIS", kPutSetAxis, A::BeamFlags).withBeams(&R::setAxis),
    read(kReadOnTh, "ON_TH", kPutOnTh, A::ChannelValue).withValue(&R::onTh),
    read(kReadOffTh, "OFF_TH", kPutOffTh, A::ChannelValue).withValue(&R::offTh),
    read(kReadSensorId, "SENSOR_ID", kPutSensorId, A::ChannelValue).withBytes(2),
    read(kReadReceiverSerial, "RECEIVER_SERIAL", 0, A::ChannelValue).withBytes(4),
    read(kReadFunction, "FUNCTION", kPutFunction, A::ChannelValue).withValue(&R::function),
    read(kReadBeamCounts, "TYPE_1", 0, A::ChannelValue).withValue(&R::beamCount),
    read(kReadSubConf, "SUB_CONF", kPutSubConf, A::ChannelValue).withValue(&R::subConf),
    read(kReadAlmConf, "ALM_CONF", kPutAlmConf, A::ChannelValue).withValue(&R::almConf),
    read(kReadTimeConf, "TIME_CONF", kPutTimeConf, A::ChannelValue).withBytes(2)
        .withValue(&R::timeConf),
    read(kReadCountConf, "COUNT_CONF", kPutCountConf, A::ChannelValue).withValue(&R::countConf),
    read(kReadSetting77, "SETTING_77", 0, A::ChannelValue).withValue(&R::setting77),
    read(kReadVerR, "VER_R", 0, A::ChannelValue).withBytes(2),
    read(kReadSetting79, "SETTING_79", 0, A::ChannelValue).withValue(&R::setting79),
    read(kReadJointNum, "JOINT_NUM", 0, A::Controller).withRange(between(1, kChannelCount)),
    read(kReadSetting81, "SETTING_81", 0, A::ChannelValue).withValue(&R::setting81),
    read(kReadEmitterSerial, "EMITTER_SERIAL", 0, A::ChannelValue).withBytes(4),
    read(kReadVerE, "VER_E", 0, A::ChannelValue).withBytes(2),
    read(kReadType2, "TYPE_2", 0, A::ChannelValue).withValue(&R::type2),
    read(kReadType3, "TYPE_3", 0, A::ChannelValue).withValue(&R::type3),
    read(kReadReserved1, "RESERVED_1", kPutReserved1, A::ChannelValue),
    read(kReadReserved2, "RESERVED_2", kPutReserved2, A::ChannelValue),
    read(kReadAbsLevel, "ABS_LEVEL", 0, A::BeamValues).withBeams(&R::absLevel),
    read(kReadRatioLevel, "RATIO_LEVEL", 0, A::BeamValues).withBytes(2).withBeams(&R::ratioLevel),
    read(kReadAbsOnTh, "ABS_ON_TH", 0, A::BeamValues).withBeams(&R::absOnTh),
    read(kReadRatioOnTh, "RATIO_ON_TH", 0, A::BeamValues).withBytes(2).withBeams(&R::ratioOnTh),
    read(kReadBeamState, "BEAM_STATE", 0, A::BeamFlags).withBeams(&R::beamState),
    read(kReadAbsOffTh, "ABS_OFF_TH", 0, A::BeamValues).withBeams(&R::absOffTh),
    read(kReadRatioOffTh, "RATIO_OFF_TH", 0, A::BeamValues).withBytes(2).withBeams(&R::ratioOffTh),
    read(kReadFunctionBit1, "FUNCTION_BIT1", kPutFunctionBit1, A::ChannelValue)
        .withValue(&R::functionBit1),
    read(kReadFixConf, "FIX_CONF", kPutFixConf, A::ChannelValue).withValue(&R::fixConf),
    read(kReadFixAxis, "FIX_AXIS", kPutFixAxis, A::BeamFlags).withBeams(&R::fixAxis),
    read(kReadFunctionBit2, "FUNCTION_BIT2", kPutFunctionBit2, A::ChannelValue)
        .withValue(&R::functionBit2),
    read(kReadFloConfBit4, "FLO_CONF_BIT4", kPutFloConfBit4, A::ChannelValue)
        .withValue(&R::floConfBit4),
    read(kReadFloConfBit5, "FLO_CONF_BIT5", kPutFloConfBit5, A::ChannelValue)
        .withValue(&R::floConfBit5),
    read(kReadFloConf, "FLO_CONF", kPutFloConf, A::ChannelValue).withValue(&R::floConf),
    read(kReadZero, "ZERO", kPutZero, A::BeamValues).withBeams(&R::zero),
    read(kReadAxisTh, "AXIS_TH", kPutAxisTh, A::BeamValues).withBeams(&R::axisTh),
    read(kReadHys, "HYS", kPutHys, A::ChannelValue).withValue(&R::hys),
    read(kReadThCnf, "TH_CNF", kPutThCnf, A::ChannelValue).withValue(&R::thCnf),
    read(kReadOnOffDiff, "ON_OFF_DIFF", kPutOnOffDiff, A::ChannelValue).withValue(&R::onOffDiff),
    read(107, "ERROR_LOG_1", 0, A::Controller),
    read(108, "ERROR_LOG_2", 0, A::Controller),
    read(109, "ERROR_LOG_3", 0, A::Controller),
    read(110, "ERROR_LOG_4", 0, A::Controller),
    read(111, "ERROR_LOG_5", 0, A::Controller),
    read(112, "ERROR_LOG_6", 0, A::Controller),
    read(113, "ERROR_LOG_7", 0, A::Controller),
    read(114, "ERROR_LOG_8", 0, A::Controller),
    read(115, "ERROR_LOG_9", 0, A::Controller),
    read(116, "ERROR_LOG_10", 0, A::Controller),
    read(117, "ERROR_LOG_11", 0, A::Controller),
    read(118, "ERROR_LOG_12", 0, A::Controller),
    read(119, "ERROR_LOG_13", 0, A::Controller),
    read(120, "ERROR_LOG_14", 0, A::Controller),
    read(121, "ERROR_LOG_15", 0, A::Controller),
    read(122, "ERROR_LOG_16", 0, A::Controller),
    read(123, "ERROR_LOG_17", 0, A::Controller),
    read(124, "ERROR_LOG_18", 0, A::Controller),
    read(125, "ERROR_LOG_19", 0, A::Controller),
    read(126, "ERROR_LOG_20", 0, A::Controller),
    read(kReadAllOnOffCnf, "ALL_ONOFF_CNF", kPutAllOnOffCnf, A::Controller),
    read(kReadFixCnf, "FIX_CNF", kPutFixCnf, A::Controller),
    read(kReadAllOn, "ALL_ON", kPutAllOn, A::Controller).withBytes(2),
    read(kReadAllOff, "ALL_OFF", kPutAllOff, A::Controller).withBytes(2),
    read(kReadParaWords1, "PARA_WORDS_1", 0, A::Controller),
    read(kReadParaWords2, "PARA_WORDS_2", 0, A::Controller),
    read(kReadParaCnf, "PARA_CNF", kPutParaCnf, A::Controller),
    read(kReadParaType, "PARA_TYPE", kPutParaType, A::Controller),
    read(kReadParaRes, "PARA_RES", kPutParaRes, A::Controller),
    read(kReadParaUnit, "PARA_UNIT", kPutParaUnit, A::Controller),
    read(137, "GROUP_WORDS_1", 0, A::Controller),
    read(138, "GROUP_WORDS_2", 0, A::Controller),
    read(139, "GROUP_WORDS_3", 0, A::Controller),
    read(140, "GROUP_WORDS_4", 0, A::Controller),
    read(141, "GROUP_WORDS_5", 0, A::Controller),
    read(142, "GROUP_WORDS_6", 0, A::Controller),
    read(kReadGrpCnf, "GRP_CNF", kPutGrpCnf, A::Controller),
    read(kReadGrpUp, "GRP_UP", kPutGrpUp, A::Controller),
    read(kReadGrpLow, "GRP_LOW", kPutGrpLow, A::Controller),
    read(kReadWordTable1, "WORD_TABLE_1", 0, A::Controller),
    read(kReadWordTable2, "WORD_TABLE_2", 0, A::Controller),
    read(kReadTchCnf, "TCH_CNF", kPutTchCnf, A::Controller),
    read(kReadBankFunction, "BANK_FUNCTION", kPutBankFunction, A::Controller),
    read(150, "BANK1_IMAGE", 42, A::BankImage),
    read(151, "BANK2_IMAGE", 43, A::BankImage),
    read(152, "BANK3_IMAGE", 44, A::BankImage),
    read(153, "BANK4_IMAGE", 45, A::BankImage),
};
// clang-format on

constexpr bool inCodeOrder() {
    for (size_t i = 1; i < std::size(kCodes); ++i) {
        if (kCodes[i - 1].code >= kCodes[i].code) {
            return false;
        }
    }
    return true;
}
static_assert(inCodeOrder(), "find() searches the table by code");

}  // namespace

const CodeRow* find(int code) {
    const CodeRow* end = std::end(kCodes);
    const CodeRow* it = std::lower_bound(std::begin(kCodes), end, code,
                                         [](const CodeRow& s, int c) { return s.code < c; });
    return it != end && it->code == code ? it : nullptr;
}

Table table() {
    return {std::begin(kCodes), std::end(kCodes)};
}

int readOfPut(int putCode) {
    const CodeRow* entry = find(putCode);
    return entry != nullptr && entry->kind == Kind::Put ? entry->pair : 0;
}

bool isPerChannel(const CodeRow& entry) {
    return entry.area == Area::ChannelValue || entry.area == Area::BeamFlags ||
           entry.area == Area::BeamValues;
}

Address channelAddress(const CodeRow& entry, int channel, int beams) {
    const int c = channel - 1;
    switch (entry.area) {
        case Area::ChannelValue:
            return {entry.bytes * c, entry.bytes};
        case Area::BeamFlags:
            return {kFlagBytesPerChannel * c, flagByteCount(beams)};
        case Area::BeamValues:
            return {kMaxBeams * c, beams};
        default:
            return {};
    }
}

bool accepts(int code, int32_t value) {
    const CodeRow* entry = find(code);
    return entry == nullptr || entry->range.contains(value);
}

}  // namespace qavix::code
