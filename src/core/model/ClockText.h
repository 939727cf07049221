#pragma once
// The controller's clock as texts: what setting it sends, and how its time is shown.

#include <ctime>
#include <optional>
#include <string>

#include "model/DeviceData.h"

namespace qavix {

// 0 = Sunday .. 6 = Saturday for a date of the Gregorian calendar.
int dayOfWeek(int year, int month, int day);

// The text that sets the clock: "%y%m%d%H%M%S", then "0" and the weekday digit (0 = Sunday),
// 14 characters. The weekday is worked out from the date, so `when` needs only its date and
// time fields: 2002-12-05 18:30:45 gives "02120518304504".
std::string clockSetText(const std::tm& when);

// The controller time of the general block (words 2..7: four-digit year, month, day, hour,
// minute, second) as "%y/%m/%d %H:%M:%S"; nothing when the month or the day cannot be a
// date, which leaves the previous display as it was.
std::optional<std::string> formatControllerClock(const GeneralBlock& general);

// A local time as the PC clock display shows it, "%y/%m/%d %H:%M:%S".
std::string formatClockTime(const std::tm& when);

}  // namespace qavix
