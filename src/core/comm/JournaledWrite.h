#pragma once
// One write to a controller as the change journal sees it: a start record on the disk before
// anything that changes a setting is sent, an end record with the result afterwards. Every
// write sequence of Transactions runs inside one, so the program and qavixctl record alike.
// On a link without a journal it records nothing and lets the write go.

#include <optional>
#include <string>
#include <vector>

#include "comm/CCommLink.h"
#include "files/BankFields.h"
#include "fleet/ControllerIdentity.h"
#include "journal/JournalRecord.h"
#include "model/DeviceData.h"

namespace qavix {

// The controller's current values as the program holds them: the working set while it
// shows them, else their stored set.
const SettingsData& currentValues(const DeviceModel& model);
// A set's settings once the initial read has found the sensors; nothing before (a command
// that never read them, such as setting the clock).
std::optional<SettingsData> knownSettings(const SettingsData& set);

// Reads what the initial read leaves out of the controller's identity (its serial number;
// everything when it did not run), as a JournaledWrite does first. Reads change nothing.
void readIdentityForJournal(CCommLink& link);

struct WriteDescription {
    journal::Operation operation = journal::Operation::PageWrite;
    std::string detail;  // the page's name, the bank file, the source of a copy
};

class JournaledWrite {
  public:
    // `target` is the stored set written (0 the current values, 1..4 a bank); `before` what
    // it holds (nothing: no settings for this controller, or not known), `after` what it will
    // hold (nothing: known only from the controller afterwards, as for a zero reset);
    // `otherChanges` what the write changes beside the settings (the clock). The start
    // record is written here; allowed() says whether the write may go out.
    // What the initial read leaves out of the controller's identity (its serial number) is
    // read first, unless `identityReads` is false (on the worker thread, which cannot post).
    JournaledWrite(CCommLink& link, WriteDescription what, int target,
                   std::optional<SettingsData> before, std::optional<SettingsData> after,
                   std::vector<bankfile::FieldChange> otherChanges = {}, bool identityReads = true);
    // A write left without finish() is recorded as failed.
    ~JournaledWrite();
    JournaledWrite(const JournaledWrite&) = delete;
    JournaledWrite& operator=(const JournaledWrite&) = delete;

    bool allowed() const { return m_allowed; }

    // Writes the end record. `requestResult` is the sequence's; `reached` the target with
    // everything the controller acknowledged applied (for a zero reset: as read back). The
    // result is ok only for a sequence that succeeded, which includes its read-back.
    void finish(int requestResult, const std::optional<SettingsData>& reached);

  private:
    void fillSource(journal::Record& record);
    bool append(journal::Record& record, const char* failureText);

    CCommLink& m_link;
    WriteJournal* m_journal;
    journal::Record m_start;
    std::optional<SettingsData> m_before;
    std::vector<bankfile::FieldChange> m_otherChanges;
    fleet::ControllerIdentity m_identity;
    long m_sentAtStart = 0;
    bool m_allowed = true;
    bool m_finished = false;
};

// The reset that the status check makes at the user's word, recorded like a write; false
// when the journal could not take its record (nothing was sent). Called on the worker; the
// records are made on the thread that owns the device data.
bool journaledReset(CCommLink& link, const std::function<bool()>& reset);

}  // namespace qavix
