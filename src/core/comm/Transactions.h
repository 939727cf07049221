#pragma once
// The fixed sequences of requests: reading everything, reading the banks, writing the
// current set or a bank with verification, clearing banks, teach and zero reset.

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/CCommLink.h"
#include "comm/JournaledWrite.h"
#include "model/Codec.h"
#include "model/DeviceModel.h"

namespace qavix {

// One request of a sequence: code, argument 1, start, count.
struct ReadStep {
    int code;
    int arg1;
    int start;
    int count;
    bool operator==(const ReadStep& o) const {
        return code == o.code && arg1 == o.arg1 && start == o.start && count == o.count;
    }
};

// The requests of the initial read that do not depend on the sensors' beam counts.
std::vector<ReadStep> readAllFixedSteps();
// The per-beam requests for the connected sensors, from the counts already read.
std::vector<ReadStep> readAllBeamSteps(const SettingsData& set);

// The reads that give every setting a bank file holds, from which the configuration
// fingerprint is made: Read all without the texts and the derived thresholds it reads for the
// pages. The per-beam tables follow the beam counts already read in `set`.
std::vector<ReadStep> settingsReadSteps(const SettingsData& set);

// Sub-blocks of a bank write, in the order they are sent.
extern const int kBankWriteOrder[codec::kSubBlockCount];

// The sub-blocks in which `working` differs from `stored`, in write order. Per-sensor
// tables are compared over the sensor's beams only; a sensor without beams is unchanged.
std::vector<int> changedSubBlocks(const SettingsData& working, const SettingsData& stored);

// The puts that write every setting a bank carries to the controller's current set, for
// the connected sensors.
std::vector<codec::PutRequest> wholeSetPuts(SettingsData& set);

// Hooks for the window: the wait window and greyed menus while a sequence runs.
struct TransactionObserver {
    std::function<void(bool writing)> lock;
    std::function<void()> unlock;
    std::function<void(int done, int total)> progress;
};

class Transactions {
  public:
    // Requests of readBanks: per bank the selection and its summary, then the current set.
    static constexpr int kBankReadRequests = kBankCount * 2 + 1;

    Transactions(CCommLink& link, DeviceModel& model) : m_link(link), m_model(model) {}

    void setObserver(TransactionObserver observer) { m_observer = std::move(observer); }

    // Results are kRequestOk or kRequestFailed; a sequence stops at its first failure.
    int readAll();
    int readBanks();
    // Makes stored set `index` the working set and reads the bank function switch again.
    int selectStoredSet(int index);
    // Re-reads bank 1..4 from the controller into its stored set.
    int rereadBank(int bank);

    // Every write below runs inside a JournaledWrite: on a link with a change journal its
    // start record is on the disk before anything is sent, and a write the journal cannot
    // record is refused (kRequestFailed) before the controller is involved.

    // Start setting, the puts, enable setting with verification. With a bank selected the
    // puts only change the working set (the bank is marked edited).
    // `startTimeoutMs` is the time-out the start setting carries (a page may ask for less).
    int writeCurrentSet(std::vector<codec::PutRequest> puts,
                        const WriteDescription& what = WriteDescription{},
                        int startTimeoutMs = kRequestTimeoutMs);
    // Writes every setting of the working set (which must hold the current values) to the
    // controller, as an import or a copy onto the current values does. `before` is what
    // the controller held until the working set was replaced.
    int writeCurrentValues(const SettingsData& before, const WriteDescription& what);
    // Writes the selected bank: every sub-block when its write-all flag is set, else the
    // changed ones when it is edited, else nothing. A bank written whole (a copy or an import
    // replaced it here) is read from the controller first when a journal records what it held.
    int writeSelectedBank(const WriteDescription& what = {journal::Operation::BankWrite, ""});
    // Erases the given banks (1..4) and reads back their summaries.
    int clearBanks(const std::vector<int>& banks);
    // Sets the controller's clock to the local time `now` gives (its date and time fields),
    // asked for when everything before the write is done, so the time sent is current.
    int setClock(const std::function<std::tm()>& now);

    // A zero reset or a teaching of sensor `channel`: the controller works out the new values
    // itself; with a journal they are read back for its end record.
    int zeroReset(int channel);
    int teachRatio(int channel, int arg5, int arg6,
                   const WriteDescription& what = {journal::Operation::Teaching, ""});

  private:
    int runSteps(const std::vector<ReadStep>& steps, int& done, int total);
    // The write of writeCurrentSet; `reached` takes every put the controller acknowledged.
    int sendCurrentSet(const std::vector<codec::PutRequest>& puts, int startTimeoutMs,
                       SettingsData& reached);
    // The whole image of bank 1..4 into `into`.
    int readBankImage(int bank, StoredSet& into);
    // What bank 1..4 holds on the controller: the stored set when it is that, else read; nothing
    // when it holds no settings for this controller.
    std::optional<SettingsData> bankAsHeld(int bank);
    // The zero points and thresholds of sensor `channel` read again, after the controller set
    // them; the current values as they then stand, or nothing when a read failed.
    std::optional<SettingsData> readTaughtValues(int channel);
    void finishTaught(JournaledWrite& journaled, int result, int channel);
    void report(int done, int total);
    void lock(bool writing);
    void unlock();

    CCommLink& m_link;
    DeviceModel& m_model;
    TransactionObserver m_observer;
};

}  // namespace qavix
