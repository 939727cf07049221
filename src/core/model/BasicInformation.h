#pragma once
// What the basic information page shows about the connected controller, as texts.

#include <string>
#include <utility>
#include <vector>

#include "model/DeviceData.h"

namespace qavix {

struct BasicInformation {
    std::string type;     // 形式
    std::string version;  // バージョン: the version text from its fourth character on
    std::string id;       // ＩＤ
    std::string serial;   // シリアルNo.: number, month, year ("0042Y02")
    std::string sensors;  // 接続センサ数
    std::string pioResponse;
    std::string out1Response;
    std::string out23Response;
};

BasicInformation basicInformation(const SettingsData& set);

// The label and value of every field, in the order the page lays them out.
std::vector<std::pair<std::string, std::string>> basicInformationItems(
    const BasicInformation& info);

}  // namespace qavix
