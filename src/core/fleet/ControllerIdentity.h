#pragma once
// What identifies a controller and its sensors in a backup: type, version, ID and serial
// number of the controller, and of every connected sensor its beams, pitch, versions, ID
// and serial numbers.

#include <string>
#include <vector>

#include "files/Json.h"
#include "model/DeviceData.h"
#include "model/PageRequests.h"

namespace qavix::fleet {

struct SensorIdentity {
    int channel = 0;  // 1..3
    int beams = 0;
    std::string pitch;
    std::string version;
    std::string verR;
    std::string verE;
    std::string id;
    std::string receiverSerial;
    std::string emitterSerial;
};

struct ControllerIdentity {
    std::string type;
    std::string version;
    std::string id;
    std::string serial;
    std::vector<SensorIdentity> sensors;
};

ControllerIdentity identityOf(const SettingsData& set);

// The reads that the initial read leaves out and identityOf needs: the controller's serial
// number, and the version, ID and serial numbers of each connected sensor, as the basic
// information and sensor pages read them.
std::vector<PageRead> identityReads(const SettingsData& set);

json::Value identityJson(const ControllerIdentity& identity);
ControllerIdentity identityFromJson(const json::Value& value);

}  // namespace qavix::fleet
