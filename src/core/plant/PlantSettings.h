#pragma once
// The plant view's broker settings, group "プラント" of the environment settings and section
// [Plant] of Qavix.ini: the broker's address, the authority that signed its certificate, the
// login (a user and the file holding the password: the password itself is never stored)
// and the topic root the monitors publish under; and whether a happening also sounds.

#include <optional>
#include <string>

#include "broker/MqttClient.h"
#include "telemetry/MonitorPayloads.h"

namespace qavix {
class ProfileFile;
}

namespace qavix::plant {

struct PlantSettings {
    static constexpr const char* kSection = "Plant";

    std::string brokerUrl;  // empty: no broker set up yet
    std::string caFile;
    std::string username;
    std::string passwordFile;
    std::string topicRoot = telemetry::kTopicRoot;
    bool sound = false;

    static PlantSettings load(const ProfileFile& profile);
    void save(ProfileFile& profile) const;
};

// What a subscriber needs to connect: checked settings and the password read from its file.
// Nothing, with the reason in `error` (in the operator's words), when they do not do.
std::optional<broker::MqttOptions> plantBrokerOptions(const PlantSettings& settings,
                                                      std::string& error);

// The settings' first problem, checked as the dialog's OK checks them (no file is read
// but to see that it can be); empty when there is none. An empty URL is no problem.
std::string plantSettingsProblem(const PlantSettings& settings);

}  // namespace qavix::plant
