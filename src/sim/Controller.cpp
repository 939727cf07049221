#include "sim/Controller.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "sim/AreaAccess.h"
#include "sim/BankFileImage.h"
#include "sim/BeamMonitor.h"
#include "sim/FactorySettings.h"
#include "sim/HexText.h"

namespace qavix::sim {

namespace {

// Request codes the controller answers outside the parameter areas.
constexpr int kClockPut = 0;
constexpr int kPut27 = 27;
constexpr int kControlData = 46;
constexpr int kWriteCounter = 47;
constexpr int kStatus = 48;
constexpr int kClock = 49;
constexpr int kFirstErrorEntry = 107;
constexpr int kLastErrorEntry = 126;
constexpr int kLastBankRead = 153;
constexpr int kFirstInternalArea = 1000;

constexpr int kAreaJointNum = 80;
constexpr int kAreaType = 57;
constexpr int kAreaSerial = 61;
constexpr int kAreaReceiverSerial = 70;
constexpr int kSerialBytes = 4;

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
      m_monitor(options.seed, options.steadyLight),
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
    m_events = scenario.events;
    m_startMs = pcMillis();
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
    if (options.bankFile.empty() && options.bankImage.empty()) {
        return std::make_unique<Controller>(options, scenario, std::move(pcTime));
    }
    // A bank file describes a whole controller: its sensors replace --sensors, and its image
    // goes under the scenario's own edits so that a scenario can still adjust it.
    BankFileImage file;
    if (!options.bankFile.empty() && !options.bankImage.empty()) {
        error = "--bank-file and --bank-image exclude each other";
        return nullptr;
    }
    if (!options.bankFile.empty() && !loadBankFileImage(options.bankFile, file, error)) {
        return nullptr;
    }
    if (!options.bankImage.empty() && !bankImageFromHex(options.bankImage, file, error)) {
        error = "--bank-image: " + error;
        return nullptr;
    }
    Options fromFile = options;
    fromFile.beams = file.beams;
    scenario.current.insert(
        scenario.current.begin(),
        ScenarioEdit{kImageEdit, 0, toHex(file.image.data(), file.image.size())});
    return std::make_unique<Controller>(fromFile, scenario, std::move(pcTime));
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

void Controller::applyDueEvents() {
    const std::int64_t elapsed = pcMillis() - m_startMs;
    while (m_nextEvent < m_events.size() && m_events[m_nextEvent].atMs <= elapsed) {
        const ScenarioEvent& e = m_events[m_nextEvent++];
        if (e.kind == ScenarioEvent::Kind::Error) {
            raiseErrorLocked(e.errorNumber);
        } else {
            m_monitor.setLightPercent(e.channel, e.firstBeam, e.lastBeam, e.percent);
        }
    }
}

Response Controller::execute(const Command& command) {
    std::lock_guard lock(m_mutex);
    applyDueEvents();
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
    if (BeamMonitor::isMonitorRead(id)) {
        return m_monitor.read(m_current, id, start, count, pcMillis());
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

std::int64_t Controller::pcMillis() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_pcTime().time_since_epoch())
        .count();
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
    m_monitor.restart();
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
    m_monitor.zeroReset(m_current, first, last, pcMillis());
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
    m_monitor.teach(m_current, first, last, reference, percent);
    return reply({});
}

}  // namespace qavix::sim
