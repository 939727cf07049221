#pragma once
// The area-scanner controller as the link library and qavix-sim see it: one Command in,
// one Response out. Thread-safe: every public member takes the controller's lock.
//
// Rules (docs/emulator.md has them in full):
// - States: 0 normal, 1 setting mode (StartSetting .. EnableSetting + Reset), 2 error,
//   30 factory mode (FactStart .. FactEnd or Reset).
// - Puts (codes 0 to 45) are taken only in setting mode; ClearBank only in factory mode;
//   ZeroReset and TeachRatio in states 0 and 2. Reads are answered in every state.
// - A Reset that ends setting mode without EnableSetting discards what was put.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/BeamMonitor.h"
#include "sim/Command.h"
#include "sim/ControllerClock.h"
#include "sim/ErrorHistory.h"
#include "sim/MemoryLayout.h"
#include "sim/Options.h"
#include "sim/Scenario.h"

namespace qavix::sim {

class Controller {
  public:
    // Factory state for the options' sensors, then the scenario on top; the options'
    // scenarioFile is not read here (create() does that).
    explicit Controller(const Options& options, const Scenario& scenario = {},
                        TimeSource pcTime = {});

    // Reads the options' scenario file if one is named; nullptr and a message on failure.
    static std::unique_ptr<Controller> create(const Options& options, std::string& error,
                                              TimeSource pcTime = {});

    Response execute(const Command& command);

    int state() const;
    int errorNumber() const;  // of state 2; 0 otherwise
    int unit() const;

    // Puts the controller into the error state with this number, logging it as the newest
    // error-history entry (as a controller does when it detects the fault).
    void raiseError(int errorNumber);

  private:
    struct Snapshot {
        SetMemory current;
        std::array<SetMemory, kBankCount> banks;
    };

    Response read(int id, int start, int count);
    Response readArea(const AreaRow& area, int start, int count) const;
    Response readString(const AreaRow& area, int start, int count) const;
    Response readBank(int bank, int start, int count) const;
    Response put(int id, int start, int count, const std::string& text);
    Response putArea(const AreaRow& area, int start, int count, const std::string& text);
    Response putBank(int bank, int start, int count, const std::string& text);

    Response startSetting();
    Response enableSetting();
    Response reset();
    Response clearBank(int index);
    Response zeroReset(int channel);
    Response teachRatio(int reference, int channel, int percent);
    Response factStart();
    Response factEnd();

    std::string statusText() const;
    std::string controlText() const;
    int sensorCount() const;
    void raiseErrorLocked(int errorNumber);
    bool isSettingError(int errorNumber) const;
    std::int64_t pcMillis() const;
    // Runs the scenario's events whose time has come.
    void applyDueEvents();
    bool channelArgument(int channel, int& first, int& last) const;

    mutable std::mutex m_mutex;
    TimeSource m_pcTime;
    ControllerClock m_clock;
    BeamMonitor m_monitor;
    int m_unit;
    int m_state = kStateNormal;
    int m_errorNumber = 0;
    int m_stateBeforeSetting = kStateNormal;
    bool m_settingEnabled = false;
    int m_writeCount = 1;
    SetMemory m_current;
    std::array<SetMemory, kBankCount> m_banks;
    std::optional<Snapshot> m_beforeSetting;
    ErrorHistory m_history;
    std::vector<ScenarioEvent> m_events;
    size_t m_nextEvent = 0;
    std::int64_t m_startMs = 0;
};

}  // namespace qavix::sim
