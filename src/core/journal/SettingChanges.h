#pragma once
// What a write changes, field by field: the comparison `bank diff` makes of the two sets as
// bank files would hold them, then the settings a write can change that no bank file holds
// (the controller's and the sensors' IDs, the bank function switch), named the same way.

#include <vector>

#include "files/BankFields.h"
#include "model/DeviceData.h"

namespace qavix::journal {

std::vector<bankfile::FieldChange> settingChanges(const SettingsData& before,
                                                  const SettingsData& after);

}  // namespace qavix::journal
