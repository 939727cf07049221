#include "fleet/ControllerIdentity.h"

#include <algorithm>

#include "comm/CommTimings.h"
#include "model/BasicInformation.h"
#include "model/SensorOperation.h"

namespace qavix::fleet {

namespace {

int connectedSensors(const SettingsData& set) {
    return std::clamp(set.general.jointNum, 0, kChannelCount);
}

}  // namespace

ControllerIdentity identityOf(const SettingsData& set) {
    const BasicInformation info = basicInformation(set);
    ControllerIdentity identity;
    identity.type = info.type;
    identity.version = info.version;
    identity.id = info.id;
    identity.serial = info.serial;
    for (int c = 0; c < connectedSensors(set); ++c) {
        const ChannelRecord& ch = set.channel(c);
        SensorIdentity sensor;
        sensor.channel = c + 1;
        sensor.beams = ch.beamCount;
        sensor.pitch = ch.pitchText;
        sensor.version = ch.versionText;
        sensor.verR = ch.verR;
        sensor.verE = ch.verE;
        sensor.id = ch.sensorId;
        sensor.receiverSerial = ch.receiverSerial;
        sensor.emitterSerial = ch.emitterSerial;
        identity.sensors.push_back(sensor);
    }
    return identity;
}

std::vector<PageRead> identityReads(const SettingsData& set) {
    std::vector<PageRead> reads = {{code::kReadSerialText, 0, 0, 0, kRequestTimeoutMs}};
    for (int channel = 1; channel <= connectedSensors(set); ++channel) {
        reads.push_back({code::kReadSensorVersion, channel, channel - 1, 1, kRequestTimeoutMs});
        for (const PageRead& read : sensorIdentityReads(channel)) {
            reads.push_back(read);
        }
    }
    return reads;
}

json::Value identityJson(const ControllerIdentity& identity) {
    json::Value v = json::Value::object();
    v.set("type", identity.type);
    v.set("version", identity.version);
    v.set("id", identity.id);
    v.set("serial", identity.serial);
    json::Value& sensors = v.set("sensors", json::Value::array());
    for (const SensorIdentity& s : identity.sensors) {
        json::Value& sensor = sensors.push(json::Value::object());
        sensor.set("channel", s.channel);
        sensor.set("beams", s.beams);
        sensor.set("pitch", s.pitch);
        sensor.set("version", s.version);
        sensor.set("verR", s.verR);
        sensor.set("verE", s.verE);
        sensor.set("id", s.id);
        sensor.set("receiverSerial", s.receiverSerial);
        sensor.set("emitterSerial", s.emitterSerial);
    }
    return v;
}

ControllerIdentity identityFromJson(const json::Value& v) {
    ControllerIdentity identity;
    identity.type = v.stringOf("type");
    identity.version = v.stringOf("version");
    identity.id = v.stringOf("id");
    identity.serial = v.stringOf("serial");
    if (const json::Value* sensors = v.find("sensors"); sensors != nullptr) {
        for (const json::Value& s : sensors->items()) {
            SensorIdentity sensor;
            sensor.channel = s.intOf("channel");
            sensor.beams = s.intOf("beams");
            sensor.pitch = s.stringOf("pitch");
            sensor.version = s.stringOf("version");
            sensor.verR = s.stringOf("verR");
            sensor.verE = s.stringOf("verE");
            sensor.id = s.stringOf("id");
            sensor.receiverSerial = s.stringOf("receiverSerial");
            sensor.emitterSerial = s.stringOf("emitterSerial");
            identity.sensors.push_back(sensor);
        }
    }
    return identity;
}

}  // namespace qavix::fleet
