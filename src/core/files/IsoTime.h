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

// The moment a time of isoLocalTime's form names ("Z" for UTC taken too); nothing for a
// text of another form or without an offset, whose moment is unknown.
std::optional<std::time_t> parseIsoTime(std::string_view text);

// "2002-12-05T13:04:59": a date and time that carries no zone, as a controller's clock.
std::string isoDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace qavix
