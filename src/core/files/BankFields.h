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
    // A comma-separated list of one value per beam, pin or group: what one entry is called
    // ("beam", "P-I/O", "group") and the number of the list's first entry (beam 17 starts
    // AXIS_TH1_2). Empty for a single value.
    std::string element;
    int firstElement = 1;
};

std::vector<Field> bankFields(const SettingsData& set);

// A field whose value differs between two sets: the comparison `bank diff` makes, value by
// value in the fixed order of bankFields.
struct FieldChange {
    std::string name;
    std::string before;
    std::string after;
    std::string element;  // as Field
    int firstElement = 1;
};
std::vector<FieldChange> fieldChanges(const SettingsData& before, const SettingsData& after);
// The same of two lists of the same fields (named values that are no bank file's, too).
std::vector<FieldChange> fieldChanges(const std::vector<Field>& before,
                                      const std::vector<Field>& after);
// "NAME: BEFORE -> AFTER", the line `bank diff` prints.
std::string changeLine(const FieldChange& change);

// A text value made safe for one output line: control characters, bytes that are not UTF-8
// and the backslash itself written as escapes (\xNN, \\).
std::string printableText(const std::string& text);

}  // namespace qavix::bankfile
