#include "MonitorCommand.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>

#include <unistd.h>

#include "ExitCodes.h"
#include "MonitorRun.h"
#include "PortResolver.h"
#include "PortSelection.h"
#include "StopSignals.h"
#include "comm/LinkLibrary.h"

namespace qavix::cli {

namespace {

constexpr double kMinInterval = 0.1;
constexpr double kMaxInterval = 86400.0;

// The port resolves through the same rule as everywhere (QAVLINK_COMn first), so every kind
// of port target works here as it does for the program.
void leadPortTo(const std::string& device, const PortSelection& selection) {
    const std::string variable = "QAVLINK_COM" + std::to_string(selection.link.activePort + 1);
    ::setenv(variable.c_str(), device.c_str(), 1);
}

// What the port leads to, as the status names it for a plant view: a device server's
// address, a device path, or "sim" for the built-in emulator, which lives in this process.
std::string portTargetText(const PortSelection& selection) {
    const auto target =
        link::resolvePort("COM" + std::to_string(selection.link.activePort + 1), kSettingsFileName);
    if (!target) {
        return {};
    }
    return target->emulator ? "sim" : target->onNetwork() ? target->value : target->device;
}

std::string hostName() {
    char host[256] = {};
    return ::gethostname(host, sizeof host - 1) == 0 ? std::string(host) : std::string();
}

telemetry::MonitorConfig monitorConfig(const MonitorArgs& args, const PortSelection& selection) {
    const int unit = selection.link.unit;
    telemetry::MonitorConfig config;
    config.name = args.name;
    config.interval = toMs(args.intervalSeconds);
    config.errorsEvery = toMs(args.errorsEverySeconds);
    config.retryMax = toMs(args.retryMaxSeconds);
    config.warnMarginPercent = args.warnMargin;
    config.warnCount = args.warnCount;
    config.unit = unit;
    config.target = portTargetText(selection);
    config.host = hostName();
    return config;
}

}  // namespace

void addMonitorCommand(CLI::App& app, const DeviceOptions& options, int& exitCode) {
    auto a = std::make_shared<MonitorArgs>();
    CLI::App* cmd = app.add_subcommand(
        kMonitorCommand,
        "Read one controller for as long as it runs and publish its status, levels, new "
        "error-log entries and lens-dirt alerts to an MQTT broker (docs/monitor.md)");
    cmd->add_option("--mqtt", a->mqtt, "broker: mqtt://HOST[:PORT] or mqtts://HOST[:PORT]");
    cmd->add_option("--cafile", a->caFile, "certificate authority that signed the broker's");
    cmd->add_option("--cert", a->certFile, "client certificate (with --key)");
    cmd->add_option("--key", a->keyFile, "client key (with --cert)");
    cmd->add_option("--username", a->username, "login at the broker");
    cmd->add_option("--password-file", a->passwordFile,
                    "file whose first line is the password (never on the command line)");
    cmd->add_option("--mqtt-version", a->mqttVersion, "5 (default) or 3.1.1")
        ->check(CLI::IsMember({"5", "3.1.1"}));
    cmd->add_option("--name", a->name,
                    "the controller's name in the topics (default: its ID, read first)");
    cmd->add_option("--interval", a->intervalSeconds,
                    "seconds between reads of status and levels (default 10; from 5 on the "
                    "port is opened for each read and left free in between)")
        ->check(CLI::Range(kMinInterval, kMaxInterval));
    cmd->add_option("--errors-every", a->errorsEverySeconds,
                    "seconds between reads of the error log (default 60)")
        ->check(CLI::Range(kMinInterval, kMaxInterval));
    cmd->add_option("--warn-margin", a->warnMargin,
                    "alert when a sensor's margin (level / ON threshold) stays under this "
                    "percent (default 130)")
        ->check(CLI::Range(1.0, 1000.0));
    cmd->add_option("--warn-count", a->warnCount, "... for this many reads (default 3)")
        ->check(CLI::Range(1, 1000));
    cmd->add_option("--retry-max", a->retryMaxSeconds,
                    "longest wait between attempts to reach a silent controller or an absent "
                    "broker, in seconds (default 60)")
        ->check(CLI::Range(kMinInterval, 3600.0));
    cmd->add_option("--config", a->config,
                    "read these options from an INI file (key = value, keys as the long "
                    "options); the command line wins");
    cmd->add_flag("--once", a->once, "one read, publish, then exit (0: all done, 3: not)");
    cmd->add_option("--jsonl", a->jsonl,
                    "also write every message as a JSON line to FILE ('-': standard output)");
    cmd->add_option("--state-file", a->stateFile,
                    "where the last delivered error entry is kept (default: "
                    "$STATE_DIRECTORY or ~/.local/state/qavix)");
    cmd->add_option("--device", a->device,
                    "what the port leads to (a device path, sim:..., or any port target), "
                    "instead of Qavix.ini");
    cmd->callback([a, cmd, &options, &exitCode] {
        a->nameGiven = cmd->count("--name") > 0;
        exitCode = runMonitor(options, *a);
    });
}

int runMonitor(const DeviceOptions& options, const MonitorArgs& args) {
    std::optional<telemetry::BrokerUrl> broker;
    std::string password;
    if (const int bad = checkMonitorArgs(args, broker, password); bad != kExitOk) {
        return bad;
    }
    const PortSelection selection = selectPort(kSettingsFileName, options);
    reportUnreadableSettings(selection);
    if (!args.device.empty()) {
        leadPortTo(args.device, selection);
    }
    // A reader that waits for the broker must not die of a closed pipe or socket: the
    // write fails and says so instead.
    std::signal(SIGPIPE, SIG_IGN);
    StopSignals signals;
    LinkLibrary library;
    if (!library.load()) {
        std::cerr << i18n::translate(kLinkLoadFailedMessage) << "\n(" << library.error() << ")\n";
        return kExitConnection;
    }
    signals.listen();

    telemetry::ControllerReader reader(library.api(), selection.link);
    telemetry::ControllerMonitor monitor(reader, monitorConfig(args, selection));
    if (int exitCode = kExitOk; !waitForIdentity(monitor, args.once, exitCode)) {
        return exitCode;
    }
    MonitorRun run(args, monitor);
    std::string error;
    if (!run.openSinks(broker, password, error)) {
        std::cerr << "monitor: " << error << '\n';
        return kExitFileError;
    }
    run.restoreState();
    return run.loop();
}

}  // namespace qavix::cli
