#pragma once
// ISO 8601 times as the program writes them into JSON (the monitor's payloads, the backup
// manifest): one format, so a collector parses them all the same way.

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace qavix {

// "2024-03-15T10:00:00+09:00": the moment in the machine's time zone, with its offset in
// the extended form most readers expect (strftime's %z alone gives +0900).
std::string isoLocalTime(std::time_t t);
std::string isoLocalTime(std::chrono::system_clock::time_point when);

enum class IsoTimeForm {
    // Exactly isoLocalTime's form ("Z" for UTC taken too): what the program reads back from
    // a payload or a file. A text without an offset names no known moment.
    Written,
    // Also as a person gives a date: "2026-12-07" (local midnight), "2026-12-07 10:15"
    // (local time), an offset without its colon ("+0900").
    Given,
};

// The moment the text names; nothing for a text that is not of the form.
std::optional<std::time_t> parseIsoTime(std::string_view text,
                                        IsoTimeForm form = IsoTimeForm::Written);

// "2002-12-05T13:04:59": a date and time that carries no zone, as a controller's clock.
std::string isoDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace qavix
