#include "journal/JournalReader.h"

#include <cstdio>
#include <map>

#include "files/IsoTime.h"
#include "journal/JournalLines.h"

namespace qavix::journal {

namespace {

bool matches(const Record& r, const JournalFilter& f) {
    if (!f.controllerId.empty() && r.controller.id != f.controllerId) {
        return false;
    }
    if (!f.serial.empty() && r.controller.serial != f.serial) {
        return false;
    }
    if (!f.user.empty() && r.user != f.user) {
        return false;
    }
    if (f.since) {
        const std::optional<std::time_t> when = parseIsoTime(r.time, IsoTimeForm::Given);
        if (!when || *when < *f.since) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string JournalEntry::status() const {
    return end ? resultName(end->result) : "not finished";
}

const Fingerprint& JournalEntry::fingerprintAfter() const {
    return end ? end->fingerprintAfter : start->fingerprintAfter;
}

const std::vector<bankfile::FieldChange>& JournalEntry::changes() const {
    return end ? end->changes : start->changes;
}

JournalListing readJournal(const std::string& folder, const JournalFilter& filter) {
    JournalListing listing;
    std::map<std::string, size_t> open;  // operation id -> entry waiting for its end
    forEachLine(
        folder,
        [&](const JournalLine& line) {
            std::optional<Record> record = line.terminated ? parseRecord(line.bytes) : std::nullopt;
            if (!record) {
                ++listing.damagedLines;
                return true;
            }
            if (record->kind == RecordKind::End) {
                const auto it = open.find(record->operationId);
                if (it != open.end()) {
                    listing.entries[it->second].end = std::move(record);
                    open.erase(it);
                    return true;
                }
                listing.entries.push_back({std::nullopt, std::move(record)});
                return true;
            }
            open[record->operationId] = listing.entries.size();
            listing.entries.push_back({std::move(record), std::nullopt});
            return true;
        },
        listing.error);
    std::vector<JournalEntry> kept;
    for (JournalEntry& entry : listing.entries) {
        if (matches(entry.first(), filter)) {
            kept.push_back(std::move(entry));
        }
    }
    listing.entries = std::move(kept);
    return listing;
}

}  // namespace qavix::journal
