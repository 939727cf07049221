#include "PlantCommands.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "PlantStatus.h"

namespace qavix::cli {

namespace {

constexpr double kMaxWaitSeconds = 3600.0;

}  // namespace

void addPlantCommands(CLI::App& app, int& exitCode) {
    CLI::App* plant = app.add_subcommand(
        "plant", "The plant's controllers as their monitors publish them to an MQTT broker");
    plant->require_subcommand(1);
    auto a = std::make_shared<PlantStatusArgs>();
    CLI::App* cmd = plant->add_subcommand(
        "status",
        "Print every controller the broker's retained messages name: online, line, state, "
        "margins, last alert and error, last seen. Exit 0 all online and well, 1 any offline "
        "or needing attention (or none found), 3 the broker could not be reached");
    cmd->add_option("--mqtt", a->mqtt,
                    "broker: mqtt://HOST[:PORT] or mqtts://HOST[:PORT] (default: [Plant] "
                    "BrokerUrl of Qavix.ini)");
    cmd->add_option("--cafile", a->caFile, "certificate authority that signed the broker's");
    cmd->add_option("--username", a->username, "login at the broker");
    cmd->add_option("--password-file", a->passwordFile,
                    "file whose first line is the password (never on the command line)");
    cmd->add_option("--topic-root", a->topicRoot, "the monitors' topic root (default qavix)");
    cmd->add_option("--wait", a->waitSeconds,
                    "also listen this many seconds for what the monitors publish now (levels, "
                    "alerts, error entries); default: the retained messages only")
        ->check(CLI::Range(0.0, kMaxWaitSeconds));
    cmd->add_flag("--json", a->json, "print one JSON document instead of the table");
    cmd->callback([a, &exitCode] { exitCode = runPlantStatus(*a); });
}

}  // namespace qavix::cli
