#include "model/BasicInformation.h"

#include "Translate.h"
#include "model/ResponseTimes.h"
#include "model/SerialNumber.h"

namespace qavix {

BasicInformation basicInformation(const SettingsData& set) {
    const GeneralBlock& general = set.general;
    BasicInformation info;
    const double base = responseTimeBase(set);
    info.type = general.type;
    info.version = general.softwareVersion();
    info.id = general.idText;
    info.serial = formatControllerSerial(general.serialText);
    info.sensors = std::to_string(general.jointNum);
    info.pioResponse = formatPioResponseTime(base);
    info.out1Response = formatOut1ResponseTime(base);
    info.out23Response = formatOut23ResponseTime(base);
    return info;
}

std::vector<std::pair<std::string, std::string>> basicInformationItems(
    const BasicInformation& info) {
    return {
        {QX_("形式"), info.type},
        {QX_("バージョン"), info.version},
        {QX_("ＩＤ"), info.id},
        {QX_("シリアルNo."), info.serial},
        {QX_("接続センサ数"), info.sensors},
        {QX_("P-I/O 応答時間"), info.pioResponse},
        {QX_("OUT1応答時間"), info.out1Response},
        {QX_("OUT2,3応答時間"), info.out23Response},
    };
}

}  // namespace qavix
