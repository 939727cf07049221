#pragma once
// Two stored sets made comparable field by field, as `bank diff` compares two files: each as
// a bank file written now would hold it, and, where only the settings count, without the
// beams no sensor has. The drift check, the configuration fingerprint and the change journal
// compare through these.

#include "model/DeviceData.h"

namespace qavix::bankfile {

// The set as a bank file written now would hold it: what the writer stores in place of an
// empty value (a threshold of 0 as 12, for one) is then the same on both sides of a
// comparison. A set no file can hold is returned as it is.
SettingsData asBankFileHolds(const SettingsData& set);

// Beams a sensor does not have, and every beam of a sensor that is not connected, carry no
// setting (the initial read does not read them): their per-beam values are cleared so that
// they take no part in a comparison.
void clearMissingBeams(SettingsData& set);

}  // namespace qavix::bankfile
