#pragma once
// The controller's response times, all multiples of one base value the controller reports
// as a decimal text. Shown by the basic information page and the settings report.

#include <string>

#include "model/DeviceData.h"

namespace qavix {

// The base value in milliseconds: the decimal text "a.b" that read code 60 gives for the
// first sensor (the basic information page reads it with the controller's identity); a text
// that is not a number gives 0.
double responseTimeBase(const SettingsData& set);

std::string formatPioResponseTime(double base);    // "%.1fms" of 3 x base
std::string formatOut1ResponseTime(double base);   // base and 4 x base
std::string formatOut23ResponseTime(double base);  // 2 x base and 5 x base

}  // namespace qavix
