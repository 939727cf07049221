#pragma once
// What changed in one controller's stored files between two versions, setting by setting:
// bank files by the comparison `bank diff` makes (so the DATE line and the way a file was
// written do not count), lists of per-beam values broken down to the beam, and the identity
// by its named values.

#include <map>
#include <string>
#include <vector>

#include "files/Json.h"

namespace qavix::history {

// A controller's files by name: "current.qbk", "bank1.qbk" .. "bank4.qbk", "identity.json".
using ControllerFiles = std::map<std::string, std::string>;

constexpr const char* kIdentityFile = "identity.json";

struct SettingChange {
    std::string file;     // "current.qbk", "bank2.qbk", "identity.json"
    std::string field;    // "CH1.ON_TH", "CONTROLLER.AXIS_TH1_1", "sensors.1.receiverSerial";
                          // empty when the file came or went as a whole
    std::string element;  // "beam 12", "group 3"; empty for a single value
    std::string before;   // for a whole file: "absent" or "saved"
    std::string after;
};

std::vector<SettingChange> compareControllerFiles(const ControllerFiles& before,
                                                  const ControllerFiles& after);

// "CONTROLLER.AXIS_TH1_1 beam 12: 45 -> 50" for the current values, "bank2 CH1.ON_TH: 40 ->
// 45" for a bank, "identity serial: 0300920 -> 0300921", "bank3: saved -> absent".
std::string describeChange(const SettingChange& change);

json::Value changeJson(const SettingChange& change);
json::Value changesJson(const std::vector<SettingChange>& changes);

}  // namespace qavix::history
