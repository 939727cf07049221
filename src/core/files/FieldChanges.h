#pragma once
// The comparison `bank diff` makes: two stored sets as the named fields of a bank file, one
// change per field whose value differs, in the fields' order. The drift check and the change
// journal name their changes with it, so a field is called the same everywhere.

#include <string>
#include <vector>

#include "files/BankFields.h"
#include "model/DeviceData.h"

namespace qavix::bankfile {

struct FieldChange {
    std::string name;    // "CH1.ON_TH", "CONTROLLER.AXIS_TH1_2"
    std::string before;  // the value in the first set
    std::string after;   // the value in the second set
};

// Fields of equal name lists compared position by position.
std::vector<FieldChange> fieldChanges(const std::vector<Field>& before,
                                      const std::vector<Field>& after);

// bankFields of both sets compared.
std::vector<FieldChange> changedBankFields(const SettingsData& before, const SettingsData& after);

// "NAME: BEFORE -> AFTER", the line `bank diff` prints.
std::string changeLine(const FieldChange& change);

// The set as a bank file written now would hold it: what the writer stores in place of an
// empty value (a threshold of 0 as 18, for one) is then the same on both sides of a
// comparison. A set no file can hold is returned as it is.
SettingsData asBankFileHolds(const SettingsData& set);

// Beams a sensor does not have, and every beam of a sensor that is not connected, carry no
// setting (the initial read does not read them): their per-beam values are cleared so that
// they take no part in a comparison.
void clearMissingBeams(SettingsData& set);

}  // namespace qavix::bankfile
