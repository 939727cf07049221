#include "sim/Controller.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "sim/AreaAccess.h"
#include "sim/FactorySettings.h"
#include "sim/HexText.h"

namespace qavix::sim {

namespace {

constexpr int kChannels = 3;
constexpr int kBeamsPerChannel = 128;
constexpr int kFlagBytesPerChannel = 16;

// Request codes the controller answers outside the parameter areas.
constexpr int kClockPut = 0;
constexpr int kPut27 = 27;
constexpr int kControlData = 46;
constexpr int kWriteCounter = 47;
constexpr int kStatus = 48;
constexpr int kClock = 49;
constexpr int kAbsLevel = 88;
constexpr int kRatioLevel = 89;
constexpr int kAbsOnTh = 90;
constexpr int kRatioOnTh = 91;
constexpr int kBeamState = 92;
constexpr int kAbsOffTh = 93;
constexpr int kRatioOffTh = 94;
constexpr int kFirstErrorEntry = 107;
constexpr int kLastErrorEntry = 126;
constexpr int kLastBankRead = 153;
constexpr int kFirstInternalArea = 1000;

constexpr int kAreaBeamCount = 72;
constexpr int kAreaJointNum = 80;
constexpr int kAreaThreshold = 103;
constexpr int kAreaZero = 102;
constexpr int kAreaHys = 104;
constexpr int kAreaThCnf = 105;
constexpr int kAreaType = 57;
constexpr int kAreaSerial = 61;
constexpr int kAreaReceiverSerial = 70;
constexpr int kSerialBytes = 4;

constexpr int kMaxLevel = 255;
constexpr int kMaxRatio = 0xFFFF;
constexpr int kMinZero = 20;
constexpr int kMaxZero = 200;
constexpr int kMaxTeachOn = 200;  // taught thresholds stay in 8..200
constexpr int kMinTeachOff = 8;
constexpr int kMaxPercent = 1000;
constexpr int kFirstControllerError = 0xC0;

const AreaSpec& bankArea() {
    static const AreaSpec area = [] {
        AreaSpec a;
        a.elementCount = kImageSize;
        a.groupSize = kImageSize;
        a.groupStride = kImageSize;
        return a;
    }();
    return area;
}

Response fail(int error) {
    return Response{error, {}};
}
Response reply(std::string text) {
    return Response{kOk, std::move(text)};
}

}  // namespace

Controller::Controller(const Options& options, const Scenario& scenario, TimeSource pcTime)
    : m_pcTime(pcTime ? std::move(pcTime) : TimeSource(systemTime)),
      m_clock(m_pcTime),
      m_light(options.seed),
      m_unit(options.unit),
      m_current(factorySettings(options.beams)),
      m_history(ErrorHistory::factory()) {
    for (const ScenarioEdit& edit : scenario.current) {
        applyEdit(m_current, edit);
    }
    m_banks = factoryBanks(m_current);
    for (int b = 0; b < kBankCount; ++b) {
        SetMemory& bank = m_banks[static_cast<size_t>(b)];
        const BankScenario& s = scenario.banks[static_cast<size_t>(b)];
        if (s.clear) {
            std::fill(bank.begin(), bank.end(), 0);
        }
        for (const ScenarioEdit& edit : s.edits) {
            applyEdit(bank, edit);
        }
    }
    for (const auto& [index, entry] : scenario.errors) {
        m_history.setEntry(index, entry);
    }
    if (options.state == kStateError) {
        raiseErrorLocked(options.errorNumber);
    } else {
        m_state = options.state;
    }
}

std::unique_ptr<Controller> Controller::create(const Options& options, std::string& error,
                                               TimeSource pcTime) {
    Scenario scenario;
    if (!options.scenarioFile.empty() && !Scenario::load(options.scenarioFile, scenario, error)) {
        return nullptr;
    }
    return std::make_unique<Controller>(options, scenario, std::move(pcTime));
}

int Controller::state() const {
    std::lock_guard lock(m_mutex);
    return m_state;
}

int Controller::errorNumber() const {
    std::lock_guard lock(m_mutex);
    return m_state == kStateError ? m_errorNumber : 0;
}

int Controller::unit() const {
    return m_unit;
}

void Controller::raiseError(int errorNumber) {
    std::lock_guard lock(m_mutex);
    raiseErrorLocked(errorNumber);
}

void Controller::raiseErrorLocked(int errorNumber) {
    m_state = kStateError;
    m_errorNumber = errorNumber & 0xFF;
    // Controller errors are logged with the controller's serial, sensor errors with the
    // serial of the first sensor's receiver.
    const std::string serial =
        m_errorNumber >= kFirstControllerError
            ? readElements(m_current, *findArea(kAreaSerial), {0, kSerialBytes})
            : readElements(m_current, *findArea(kAreaReceiverSerial), {0, 1});
    m_history.record(
        ErrorHistory::makeEntry(formatClockDigits(m_clock.now()), m_errorNumber, serial));
}

bool Controller::isSettingError(int errorNumber) const {
    switch (errorNumber) {
        case 200:
        case 201:
        case 202:
        case 203:
        case 204:
        case 206:
        case 207:
        case 209:
        case 210:
        case 212:
            return true;
        default:
            return false;
    }
}

Response Controller::execute(const Command& command) {
    std::lock_guard lock(m_mutex);
    if (command.unit != m_unit) {
        return fail(kBadUnit);
    }
    switch (command.op) {
        case Op::GetStatus:
            return reply(statusText());
        case Op::GetControl:
        case Op::GetString:
        case Op::GetParameter:
            return read(command.id, command.start, command.count);
        case Op::PutControl:
        case Op::PutString:
        case Op::PutParameter:
            return put(command.id, command.start, command.count, command.text);
        case Op::StartSetting:
            return startSetting();
        case Op::EnableSetting:
            return enableSetting();
        case Op::Reset:
            return reset();
        case Op::ClearBank:
            return clearBank(command.start);
        case Op::ZeroReset:
            return zeroReset(command.start);
        case Op::TeachRatio:
            return teachRatio(command.start, command.count, command.arg3);
        case Op::FactStart:
            return factStart();
        case Op::FactEnd:
            return factEnd();
    }
    return fail(kUnknownId);
}

// ---- reads ----

std::string Controller::statusText() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02X", m_state, sensorCount(),
                  m_state == kStateError ? m_errorNumber : 0);
    return buf;
}

std::string Controller::controlText() const {
    std::string type = readText(m_current, *findArea(kAreaType), 0);
    std::string version = "VER";
    for (int i = 0; i < image::kSoftwareVersionLength; ++i) {
        version += static_cast<char>(m_current[image::kGeneral + image::kSoftwareVersion + i]);
    }
    return type + "  " + version + "  " + readText(m_current, *findArea(kAreaControlText3), 0);
}

int Controller::sensorCount() const {
    const std::string digits = readElements(m_current, *findArea(kAreaJointNum), {0, 1});
    return std::stoi(digits);
}

int Controller::beamCount(int channel) const {
    return std::min(valueOf(m_current, kAreaBeamCount, channel), kBeamsPerChannel);
}

Response Controller::read(int id, int start, int count) {
    switch (id) {
        case kControlData:
            return reply(controlText());
        case kWriteCounter:
            return reply(std::to_string(m_writeCount));
        case kStatus:
            return reply(statusText());
        case kClock:
            return reply(m_clock.text());
        default:
            break;
    }
    if (id >= kAbsLevel && id <= kRatioOffTh) {
        return readLive(id, start, count);
    }
    if (id >= kFirstErrorEntry && id <= kLastErrorEntry) {
        return reply(m_history.entry(id - kFirstErrorEntry));
    }
    if (id >= kFirstBankRead && id <= kLastBankRead) {
        return readBank(id - kFirstBankRead, start, count);
    }
    const AreaSpec* area = id < kFirstInternalArea ? findArea(id) : nullptr;
    if (area == nullptr) {
        return fail(kUnknownId);
    }
    return area->addressing == Addressing::String ? readString(*area, start, count)
                                                  : readArea(*area, start, count);
}

Response Controller::readArea(const AreaSpec& area, int start, int count) const {
    ElementRange range;
    if (!resolveRange(area, start, count, range)) {
        return fail(kBadRange);
    }
    return reply(readElements(m_current, area, range));
}

Response Controller::readString(const AreaSpec& area, int start, int count) const {
    // Texts are read by channel (1..3, 0 taken as the first) or with a sub-code that
    // names nothing else.
    int element = 0;
    if (area.elementCount > 1) {
        if (start < 0 || start > area.elementCount) {
            return fail(kBadRange);
        }
        element = std::max(start - 1, 0);
    }
    if (count < 0 || count > area.elementBytes) {
        return fail(kBadRange);
    }
    const std::string text = readText(m_current, area, element);
    return reply(count == 0 ? text : text.substr(0, static_cast<size_t>(count)));
}

Response Controller::readBank(int bank, int start, int count) const {
    ElementRange range;
    if (!resolveRange(bankArea(), start, count, range)) {
        return fail(kBadRange);
    }
    return reply(readElements(m_banks[static_cast<size_t>(bank)], bankArea(), range));
}

int Controller::zeroPoint(int channel, int beam) const {
    return valueOf(m_current, kAreaZero, kBeamsPerChannel * channel + beam);
}

int Controller::onThreshold(int channel, int beam) const {
    const int axis = valueOf(m_current, kAreaThreshold, kBeamsPerChannel * channel + beam);
    const int hys = valueOf(m_current, kAreaHys, channel);
    const bool onBased = valueOf(m_current, kAreaThCnf, channel) != 0;
    return std::clamp(onBased ? axis : axis + hys, 0, kMaxLevel);
}

int Controller::offThreshold(int channel, int beam) const {
    const int axis = valueOf(m_current, kAreaThreshold, kBeamsPerChannel * channel + beam);
    const int hys = valueOf(m_current, kAreaHys, channel);
    const bool onBased = valueOf(m_current, kAreaThCnf, channel) != 0;
    return std::clamp(onBased ? axis - hys : axis, 0, kMaxLevel);
}

std::int64_t Controller::pcMillis() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_pcTime().time_since_epoch())
        .count();
}

Controller::Sample Controller::sample() {
    Sample s;
    const std::int64_t ms = pcMillis();
    for (int ch = 0; ch < kChannels; ++ch) {
        const int beams = beamCount(ch);
        for (int b = 0; b < beams; ++b) {
            const int level = m_light.level(ch, b, beams, ms);
            s.level[ch][b] = level;
            bool& incident = m_incident[ch][b];
            if (!m_beamStatesKnown) {
                incident = level >= offThreshold(ch, b);
            }
            // Hysteresis: a beam changes state only when it leaves the band between
            // the OFF and ON thresholds.
            if (level >= onThreshold(ch, b)) {
                incident = true;
            } else if (level < offThreshold(ch, b)) {
                incident = false;
            }
        }
    }
    m_beamStatesKnown = true;
    return s;
}

Response Controller::readLive(int id, int start, int count) {
    AreaSpec area;
    area.elementCount =
        id == kBeamState ? kChannels * kFlagBytesPerChannel : kChannels * kBeamsPerChannel;
    ElementRange range;
    if (!resolveRange(area, start, count, range)) {
        return fail(kBadRange);
    }
    const bool needsLevels = id == kAbsLevel || id == kRatioLevel || id == kBeamState;
    const Sample now = needsLevels ? sample() : Sample{};
    auto ratio = [this](int value, int ch, int b) {
        const int zero = zeroPoint(ch, b);
        return zero == 0 ? 0 : std::min(value * 100 / zero, kMaxRatio);
    };
    std::string out;
    for (int e = range.first; e < range.first + range.count; ++e) {
        if (id == kBeamState) {
            const int ch = e / kFlagBytesPerChannel;
            int byte = 0;
            for (int k = 0; k < 8; ++k) {
                const int b = (e % kFlagBytesPerChannel) * 8 + k;
                if (b < beamCount(ch) && m_incident[ch][b]) {
                    byte |= 1 << k;
                }
            }
            out += hexByte(byte);
            continue;
        }
        const int ch = e / kBeamsPerChannel;
        const int b = e % kBeamsPerChannel;
        const bool present = b < beamCount(ch);
        switch (id) {
            case kAbsLevel:
                out += hexByte(present ? now.level[ch][b] : 0);
                break;
            case kRatioLevel:
                out += hexWord(present ? ratio(now.level[ch][b], ch, b) : 0);
                break;
            case kAbsOnTh:
                out += hexByte(onThreshold(ch, b));
                break;
            case kAbsOffTh:
                out += hexByte(offThreshold(ch, b));
                break;
            case kRatioOnTh:
                out += hexWord(ratio(onThreshold(ch, b), ch, b));
                break;
            default:
                out += hexWord(ratio(offThreshold(ch, b), ch, b));
                break;
        }
    }
    return reply(out);
}

// ---- puts ----

Response Controller::put(int id, int start, int count, const std::string& text) {
    const bool bank = id >= kFirstBankPut && id <= kLastPutCode;
    const AreaSpec* area = nullptr;
    if (id == kPut27) {
        area = findArea(kAreaPut27);
    } else if (id > kClockPut && !bank) {
        area = findArea(pairedReadCode(id));
    }
    if (id != kClockPut && !bank && area == nullptr) {
        return fail(kUnknownId);
    }
    if (m_state != kStateSetting) {
        return fail(kWrongState);
    }
    if (id == kClockPut) {
        return m_clock.set(text) ? reply({}) : fail(kBadData);
    }
    if (bank) {
        return putBank(id - kFirstBankPut, start, count, text);
    }
    return putArea(*area, start, count, text);
}

Response Controller::putArea(const AreaSpec& area, int start, int count, const std::string& text) {
    if (area.addressing == Addressing::String) {
        const int rc = writeText(m_current, area, 0, text);
        return rc == kOk ? reply({}) : fail(rc);
    }
    const int per = area.textPerElement();
    if (count == 0) {
        // Without a count the text says how many elements follow.
        if (text.empty() || text.size() % static_cast<size_t>(per) != 0) {
            return fail(kBadData);
        }
        count = static_cast<int>(text.size()) / per;
    }
    ElementRange range;
    if (!resolveRange(area, start, count, range)) {
        return fail(kBadRange);
    }
    const int rc = writeElements(m_current, area, range, text);
    return rc == kOk ? reply({}) : fail(rc);
}

Response Controller::putBank(int bank, int start, int count, const std::string& text) {
    if (count == 0) {
        count = static_cast<int>(text.size() / 2);
    }
    ElementRange range;
    if (!resolveRange(bankArea(), start, count, range)) {
        return fail(kBadRange);
    }
    const int rc = writeElements(m_banks[static_cast<size_t>(bank)], bankArea(), range, text);
    return rc == kOk ? reply({}) : fail(rc);
}

// ---- operations ----

Response Controller::startSetting() {
    if (m_state == kStateSetting) {
        return reply({});
    }
    const bool correctable = m_state == kStateError && isSettingError(m_errorNumber);
    if (m_state != kStateNormal && !correctable) {
        return fail(kWrongState);
    }
    m_beforeSetting = Snapshot{m_current, m_banks};
    m_stateBeforeSetting = m_state;
    m_settingEnabled = false;
    m_state = kStateSetting;
    return reply({});
}

Response Controller::enableSetting() {
    if (m_state != kStateSetting) {
        return fail(kWrongState);
    }
    m_settingEnabled = true;
    return reply({});
}

Response Controller::reset() {
    switch (m_state) {
        case kStateSetting:
            if (m_settingEnabled) {
                ++m_writeCount;
                m_state = kStateNormal;
                m_errorNumber = 0;
            } else {
                if (m_beforeSetting) {
                    m_current = m_beforeSetting->current;
                    m_banks = m_beforeSetting->banks;
                }
                m_state = m_stateBeforeSetting;
            }
            m_beforeSetting.reset();
            m_settingEnabled = false;
            break;
        case kStateError:
            // A hardware fault survives a reset; a setting error is looked at again and,
            // with nothing to hold it, cleared.
            if (isSettingError(m_errorNumber)) {
                m_state = kStateNormal;
                m_errorNumber = 0;
            }
            break;
        default:
            m_state = kStateNormal;
            break;
    }
    m_beamStatesKnown = false;
    return reply({});
}

Response Controller::factStart() {
    const bool correctable = m_state == kStateError && isSettingError(m_errorNumber);
    if (m_state != kStateNormal && m_state != kStateFactory && !correctable) {
        return fail(kWrongState);
    }
    m_state = kStateFactory;
    m_errorNumber = 0;
    return reply({});
}

Response Controller::factEnd() {
    if (m_state != kStateFactory) {
        return fail(kWrongState);
    }
    m_state = kStateNormal;
    return reply({});
}

Response Controller::clearBank(int index) {
    if (m_state != kStateFactory) {
        return fail(kWrongState);
    }
    if (index < 0 || index >= kBankCount) {
        return fail(kBadRange);
    }
    SetMemory& bank = m_banks[static_cast<size_t>(index)];
    std::fill(bank.begin(), bank.end(), 0);
    return reply({});
}

bool Controller::channelArgument(int channel, int& first, int& last) const {
    if (channel == 0) {
        first = 0;
        last = sensorCount() - 1;
        return true;
    }
    if (channel < 1 || channel > sensorCount()) {
        return false;
    }
    first = last = channel - 1;
    return true;
}

Response Controller::zeroReset(int channel) {
    if (m_state != kStateNormal && m_state != kStateError) {
        return fail(kWrongState);
    }
    int first = 0;
    int last = 0;
    if (!channelArgument(channel, first, last)) {
        return fail(kBadRange);
    }
    const Sample now = sample();
    for (int ch = first; ch <= last; ++ch) {
        for (int b = 0; b < beamCount(ch); ++b) {
            setValue(m_current, kAreaZero, kBeamsPerChannel * ch + b,
                     std::clamp(now.level[ch][b], kMinZero, kMaxZero));
        }
    }
    return reply({});
}

Response Controller::teachRatio(int reference, int channel, int percent) {
    if (m_state != kStateNormal && m_state != kStateError) {
        return fail(kWrongState);
    }
    int first = 0;
    int last = 0;
    if (!channelArgument(channel, first, last) || percent < 0 || percent > kMaxPercent) {
        return fail(kBadRange);
    }
    if (reference != 0 && reference != 1) {
        return fail(kBadData);
    }
    for (int ch = first; ch <= last; ++ch) {
        const int hys = valueOf(m_current, kAreaHys, ch);
        const bool onBased = valueOf(m_current, kAreaThCnf, ch) != 0;
        for (int b = 0; b < beamCount(ch); ++b) {
            const int target = zeroPoint(ch, b) * percent / 100;
            int on = 0;
            int off = 0;
            if (reference == 1) {
                on = std::max(std::min(target, kMaxTeachOn), hys + kMinTeachOff);
                off = on - hys;
            } else {
                off = std::max(target, kMinTeachOff);
                if (off + hys > kMaxTeachOn) {
                    off = kMaxTeachOn - hys;
                }
                on = off + hys;
            }
            setValue(m_current, kAreaThreshold, kBeamsPerChannel * ch + b,
                     std::clamp(onBased ? on : off, 0, kMaxLevel));
        }
    }
    return reply({});
}

}  // namespace qavix::sim
