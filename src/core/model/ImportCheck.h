#pragma once
// The value ranges an imported bank file must keep before it may replace a stored set.

#include <optional>
#include <string>

#include "Translate.h"
#include "model/DeviceData.h"

namespace qavix {

// The message shown for a set that fails the check; "%1" is the failing field's name.
constexpr const char* kImportAbnormalFormat =
    N_("インポートしたデータが異常です。\nファイルの内容を確認して下さい。\n（%1）");

constexpr const char* kJointNumField = "JOINT_NUM";

// The name of the first field outside its range, in the check's fixed order, formed as the
// bank file names it ("PIO_07", "AXIS_TH2_2", "ON_OFF_TH1"); nothing when all fields pass.
// All three sensors are examined whatever the joint number.
std::optional<std::string> findOutOfRangeField(const SettingsData& set);

// kImportAbnormalFormat, translated, with `fieldName` put in.
std::string importAbnormalMessage(const std::string& fieldName);

}  // namespace qavix
