#pragma once
// A stored set as the named fields of a bank file, in a fixed order, for printing and
// comparing. Names are the bank file's keys with their section in front ("CH2.ON_TH",
// "CONTROLLER.AXIS_TH1_3"); numbers are decimal; per-beam values come 16 to a line,
// comma-separated.

#include <string>
#include <vector>

#include "model/DeviceData.h"

namespace qavix::bankfile {

struct Field {
    std::string name;
    std::string value;
};

std::vector<Field> bankFields(const SettingsData& set);

// A text value made safe for one output line: control characters, bytes that are not UTF-8
// and the backslash itself written as escapes (\xNN, \\).
std::string printableText(const std::string& text);

}  // namespace qavix::bankfile
