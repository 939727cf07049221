#include "journal/JournalReader.h"

#include <cstdio>
#include <map>

#include "journal/JournalLines.h"

namespace qavix::journal {

namespace {

bool digits(std::string_view text, size_t at, size_t count, int& value) {
    if (at + count > text.size()) {
        return false;
    }
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

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
        const std::optional<std::time_t> when = parseIsoTime(r.time);
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

std::optional<std::time_t> parseIsoTime(std::string_view text) {
    std::tm tm{};
    int year = 0;
    int month = 0;
    int day = 0;
    if (!digits(text, 0, 4, year) || text.size() < 10 || text[4] != '-' ||
        !digits(text, 5, 2, month) || text[7] != '-' || !digits(text, 8, 2, day) || month < 1 ||
        month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    size_t at = 10;
    if (at < text.size()) {
        if (text[at] != 'T' && text[at] != ' ') {
            return std::nullopt;
        }
        int hour = 0;
        int minute = 0;
        if (!digits(text, at + 1, 2, hour) || text.size() < at + 6 || text[at + 3] != ':' ||
            !digits(text, at + 4, 2, minute) || hour > 23 || minute > 59) {
            return std::nullopt;
        }
        tm.tm_hour = hour;
        tm.tm_min = minute;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            int second = 0;
            if (!digits(text, at + 1, 2, second) || second > 60) {
                return std::nullopt;
            }
            tm.tm_sec = second;
            at += 3;
        }
    }
    if (at == text.size()) {
        tm.tm_isdst = -1;
        const std::time_t local = std::mktime(&tm);
        return local == static_cast<std::time_t>(-1) ? std::nullopt : std::optional(local);
    }
    int offsetMinutes = 0;
    if (text.substr(at) != "Z") {
        const char sign = text[at];
        int hours = 0;
        int minutes = 0;
        const std::string_view rest = text.substr(at + 1);
        const bool colon = rest.size() == 5 && rest[2] == ':';
        if ((sign != '+' && sign != '-') || !(colon || rest.size() == 4) ||
            !digits(rest, 0, 2, hours) || !digits(rest, colon ? 3 : 2, 2, minutes)) {
            return std::nullopt;
        }
        offsetMinutes = (hours * 60 + minutes) * (sign == '-' ? -1 : 1);
    }
    const std::time_t utc = timegm(&tm);
    return utc - static_cast<std::time_t>(offsetMinutes) * 60;
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
