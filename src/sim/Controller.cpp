#include "sim/Controller.h"

#include <algorithm>
#include <utility>

#include "sim/AreaAccess.h"
#include "sim/BankFileImage.h"
#include "sim/BeamMonitor.h"
#include "sim/ControllerReplies.h"
#include "sim/FactorySettings.h"
#include "sim/HexText.h"

namespace qavix::sim {

namespace {

constexpr int kAreaSerial = 61;
constexpr int kAreaReceiverSerial = 70;
constexpr int kSerialBytes = 4;
constexpr int kFirstControllerError = 0xC0;

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

std::int64_t Controller::pcMillis() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_pcTime().time_since_epoch())
        .count();
}

}  // namespace qavix::sim
