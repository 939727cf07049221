#pragma once
// Serial numbers as the controller stores them (hexadecimal year, month and number
// fields) and as people read them: number, a one-character month (X, Y, Z for 10..12),
// two-digit year.

#include <string>
#include <string_view>

namespace qavix {

// Controller and sensor serial texts, e.g. "020B002A" -> "0042Y02".
std::string formatControllerSerial(std::string_view serial);

// Sensor serial texts keep their number and year parts as stored and only decode the month,
// which is decimal here: "21110123" -> "0123Y21".
std::string formatSensorSerial(std::string_view serial);

// The serial of an error-log entry: empty or "00000000" gives "---"; the number part is
// converted only for controller errors (code C0 and above), sensor errors keep it as stored.
std::string formatErrorLogSerial(std::string_view serial, int errorCode);

}  // namespace qavix
