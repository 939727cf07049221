#pragma once
// One line of the change journal: a write to a controller about to start, or how it ended.
// Records are JSON objects, one a line; each carries the SHA-256 of the line before it
// ("prev") and of itself ("hash"), so a changed, removed or reordered record shows.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/BankFields.h"
#include "files/Json.h"
#include "fleet/ControllerIdentity.h"
#include "files/Fingerprint.h"

namespace qavix::journal {

enum class RecordKind { Start, End };

// Every operation that writes to a controller.
enum class Operation {
    PageWrite,       // a setting page's write, detail: the page's name
    BankWrite,       // the selected bank written ("Bank書込み")
    BankCopy,        // a stored set copied onto the current values, detail: the source
    BankErase,       // one bank erased
    BankImport,      // a bank file written to the current values or a bank, detail: the file
    ClockSet,        // the controller's clock set
    ZeroReset,       // the zero points taken again by the controller, detail: the sensor
    Teaching,        // thresholds taught by the controller, detail: the sensor and mode
    BatchThreshold,  // the threshold tuning's batch setting
    Reset,           // the controller reset out of setting or factory mode at the user's word
    FleetRestore,    // a backup's current values written back, detail: the backup file
};

const char* operationName(Operation operation);
std::optional<Operation> operationFromName(std::string_view name);

// How a write ended.
enum class Result {
    Ok,       // written, and what was read back matched
    Refused,  // nothing was sent that the controller took
    Failed,   // stopped part-way; `changes` of the end record holds what was written
};

const char* resultName(Result result);
std::optional<Result> resultFromName(std::string_view name);

// The target of a write: the current values or Bank 1..4.
std::string targetName(int storedSet);

struct Record {
    RecordKind kind = RecordKind::Start;
    std::string operationId;  // shared by the start and end records of one write
    std::string time;         // ISO 8601 with the offset
    std::string user;
    std::string host;
    std::string program;
    std::string version;
    std::string port;    // as the program names it: "COM2"
    std::string device;  // what the port leads to: "/dev/ttyUSB0", "tcp:plc:4001", "sim"
    int unit = 0;
    // As `info` and a backup manifest show it: type, version, ID, serial number, sensors.
    fleet::ControllerIdentity controller;
    std::string target;  // targetName()
    Operation operation = Operation::PageWrite;
    std::string detail;
    std::string reason;
    Fingerprint fingerprintBefore;
    Fingerprint fingerprintAfter;
    // Start: what the write is about to change. End: what reached the controller.
    std::vector<bankfile::FieldChange> changes;
    // End records only.
    Result result = Result::Ok;
    std::string message;
    // The line before this one was no whole record (cut short by a power loss, or damaged):
    // this record was appended after it all the same.
    bool afterDamage = false;

    // Set when the record is appended or read.
    std::string prev;
    std::string hash;
};

// The record as one line (no line end), chained to the line before it: `prev` is the
// SHA-256 of that line's bytes (64 zeros for the first record of a journal).
std::string formatRecord(const Record& record, const std::string& prev);

// The SHA-256 of a line's bytes, as the next record's "prev" names it.
std::string lineDigest(std::string_view line);
// The "prev" of a journal's first record.
extern const std::string kNoPreviousRecord;

// Whether `line` is a whole record whose own hash matches its bytes.
bool recordIntact(std::string_view line);
// The "hash" a line written by formatRecord ends in.
std::string ownDigest(std::string_view line);

// The record of an intact line; nothing for a line that is not one (see recordIntact) or
// whose fields cannot be read.
std::optional<Record> parseRecord(std::string_view line);

// The record as a JSON object, for listings (prev and hash left out).
json::Value recordJson(const Record& record);
json::Value changesJson(const std::vector<bankfile::FieldChange>& changes);

}  // namespace qavix::journal
