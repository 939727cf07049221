#pragma once
// Has a controller's current set drifted from its golden bank file? The comparison `bank
// diff` makes, field by field with the bank file's names, of the golden file against the
// current values as a bank file written now would hold them.

#include <string>
#include <vector>

#include "model/DeviceData.h"

namespace qavix::fleet {

// What tells one unit from another is in no bank file (the controller's ID and serial
// number, each sensor's ID and serial numbers), so a golden file taken from a sister unit
// compares equal; a drift report says these were left out.
extern const std::vector<std::string> kUncomparedIdentity;

struct FieldChange {
    std::string field;  // "CH1.ON_TH", "CONTROLLER.AXIS_TH1_2"
    std::string golden;
    std::string live;
};

struct DriftResult {
    // Set when the controller is another type or has other sensors than the golden file
    // was taken from: the fields are then not compared at all.
    std::string mismatch;
    std::vector<FieldChange> changes;

    bool same() const { return mismatch.empty() && changes.empty(); }
};

// Beams a sensor does not have carry no setting (the initial read does not read them), so
// they are not compared.
DriftResult compareWithGolden(const SettingsData& golden, const SettingsData& live);

// Why `live` is not the controller and sensors `golden` was taken from; empty when it is.
// The rule of the program's compatible flag, with the reason in words.
std::string controllerMismatch(const SettingsData& golden, const SettingsData& live);

}  // namespace qavix::fleet
