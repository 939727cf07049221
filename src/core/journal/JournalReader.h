#pragma once
// The journal read back as operations: each start record with the end record of the same
// write, if there is one. A start without an end is a write that never finished (the
// program ended, or the power failed, in between); it is never shown as done.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal/JournalRecord.h"

namespace qavix::journal {

struct JournalEntry {
    std::optional<Record> start;
    std::optional<Record> end;

    bool finished() const { return end.has_value(); }
    // The record that describes the write: the start, else the end (whose start was lost).
    const Record& first() const { return start ? *start : *end; }
    // "ok", "refused", "failed", or "not finished".
    std::string status() const;
    // What a finished write left (its fingerprint after, the fields it wrote); for a write
    // that never finished, what it set out to do.
    const Fingerprint& fingerprintAfter() const;
    const std::vector<bankfile::FieldChange>& changes() const;
};

struct JournalFilter {
    std::string controllerId;  // the controller's ID text, as `info` prints it
    std::string serial;        // the controller's serial number text
    std::string user;
    std::optional<std::time_t> since;  // writes that started at or after it
};

struct JournalListing {
    std::vector<JournalEntry> entries;  // in the order they were written
    size_t damagedLines = 0;            // lines that are no record (see verify)
    std::string error;                  // a file could not be read
};

JournalListing readJournal(const std::string& folder, const JournalFilter& filter = {});

}  // namespace qavix::journal
