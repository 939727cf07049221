#include "MonitorOptions.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>

#include "ExitCodes.h"
#include "IniText.h"
#include "broker/BrokerFiles.h"
#include "files/FileIo.h"
#include "telemetry/ConfigFile.h"
#include "telemetry/MonitorPayloads.h"

namespace qavix::cli {

namespace {

bool givenOnCommandLine(const std::vector<std::string>& args, const std::string& key) {
    const std::string option = "--" + key;
    return std::any_of(args.begin(), args.end(), [&](const std::string& a) {
        return a == option || a.rfind(option + "=", 0) == 0;
    });
}

// Taken all the same (a service must not stop over it), but said: any user of the machine
// could log in at the broker as the monitor.
void warnIfEveryoneReads(const std::string& path) {
    if (std::string mode; broker::everyoneReads(path, mode)) {
        std::cerr << "monitor: warning: --password-file " << ini::printable(path)
                  << " can be read by every user (mode " << mode
                  << "); make it readable by its owner alone (chmod 600)\n";
    }
}

}  // namespace

std::chrono::milliseconds toMs(double seconds) {
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0 + 0.5));
}

int checkMonitorArgs(const MonitorArgs& a, std::optional<telemetry::BrokerUrl>& broker,
                     std::string& password) {
    const auto usage = [](const std::string& text) {
        std::cerr << "monitor: " << text << '\n';
        return kExitUsage;
    };
    if (a.mqtt.empty() && a.jsonl.empty()) {
        return usage("give --mqtt mqtt://HOST[:PORT] or --jsonl FILE|- (or both)");
    }
    if (!a.mqtt.empty()) {
        std::string error;
        broker = telemetry::parseBrokerUrl(a.mqtt, error);
        if (!broker) {
            return usage(error);
        }
    }
    const bool tlsOptions = !a.caFile.empty() || !a.certFile.empty() || !a.keyFile.empty();
    if (tlsOptions && (!broker || !broker->tls)) {
        return usage("--cafile, --cert and --key need an mqtts:// broker");
    }
    if (a.certFile.empty() != a.keyFile.empty()) {
        return usage("--cert and --key go together");
    }
    if (!a.passwordFile.empty() && a.username.empty()) {
        return usage("--password-file needs --username");
    }
    if ((!a.username.empty() || !a.passwordFile.empty()) && !broker) {
        return usage("--username and --password-file need --mqtt");
    }
    for (const auto& [option, path] : {std::pair{"--cafile", a.caFile},
                                       {"--cert", a.certFile},
                                       {"--key", a.keyFile},
                                       {"--password-file", a.passwordFile}}) {
        if (!path.empty()) {
            if (const std::string why = broker::unreadableFile(option, path); !why.empty()) {
                return usage(why);
            }
        }
    }
    if (!a.passwordFile.empty()) {
        std::string error;
        password = broker::readPasswordFile("--password-file", a.passwordFile, error);
        if (!error.empty()) {
            return usage(error);
        }
        warnIfEveryoneReads(a.passwordFile);
    }
    if (a.nameGiven) {
        if (const std::string why = telemetry::topicNameProblem(a.name); !why.empty()) {
            return usage("--name \"" + ini::printable(a.name) + "\" cannot stand in a topic: it " +
                         why + " (1..64 bytes of UTF-8, no blanks, '/', '+' or '#')");
        }
    }
    if (!a.device.empty() && a.device.find('\0') != std::string::npos) {
        return usage("--device holds a NUL byte");
    }
    return kExitOk;
}

bool expandMonitorConfig(std::vector<std::string>& args, std::string& error) {
    const auto command = std::find(args.begin(), args.end(), kMonitorCommand);
    if (command == args.end()) {
        return true;
    }
    std::string path;
    for (auto it = command + 1; it != args.end(); ++it) {
        if (*it == "--config" && it + 1 != args.end()) {
            path = *(it + 1);
        } else if (it->rfind("--config=", 0) == 0) {
            path = it->substr(9);
        }
    }
    if (path.empty()) {
        return true;
    }
    const fileio::ReadResult file = fileio::readFile(path);
    if (!file.ok()) {
        error = "--config " + path + ": " + file.error;
        return false;
    }
    telemetry::ConfigEntries entries;
    if (!telemetry::parseConfigText(file.bytes, entries, error)) {
        error = path + ": " + error;
        return false;
    }
    std::vector<std::string> extra;
    for (const auto& [key, value] : entries) {
        const bool flag = telemetry::isConfigFlag(key);
        if (givenOnCommandLine(args, key)) {
            continue;
        }
        if (flag) {
            const std::optional<bool> on = ini::truthValue(value);
            if (!on) {
                error = path + ": " + key + " takes true or false, got \"" + ini::printable(value) +
                        "\"";
                return false;
            }
            if (*on) {
                extra.push_back("--" + key);
            }
            continue;
        }
        // One argument, so that a value starting with a dash stays the option's value.
        extra.push_back("--" + key + "=" + value);
    }
    const auto at = std::find(args.begin(), args.end(), kMonitorCommand) + 1;
    args.insert(at, extra.begin(), extra.end());
    return true;
}

}  // namespace qavix::cli
