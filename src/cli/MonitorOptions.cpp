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
#include "Translate.h"
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
        std::cerr << i18n::fill(QX_("monitor: 警告: --password-file %1 は全ユーザーが読めます"
                                    "（モード %2）。所有者だけが読めるようにしてください"
                                    "（chmod 600）"),
                                {ini::printable(path), mode})
                  << '\n';
    }
}

}  // namespace

std::chrono::milliseconds toMs(double seconds) {
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0 + 0.5));
}

int checkMonitorArgs(const MonitorArgs& a, std::optional<telemetry::BrokerUrl>& broker,
                     std::string& password) {
    const auto usage = [](const std::string& text) {
        std::cerr << i18n::fill(QX_("monitor: %1"), {text}) << '\n';
        return kExitUsage;
    };
    if (a.mqtt.empty() && a.jsonl.empty()) {
        return usage(
            QX_("--mqtt mqtt://HOST[:PORT] または --jsonl FILE|-（または両方）を指定"
                "してください"));
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
        return usage(QX_("--cafile、--cert と --key には mqtts:// のブローカーが必要です"));
    }
    if (a.certFile.empty() != a.keyFile.empty()) {
        return usage(QX_("--cert と --key は一緒に指定してください"));
    }
    if (!a.passwordFile.empty() && a.username.empty()) {
        return usage(QX_("--password-file には --username が必要です"));
    }
    if ((!a.username.empty() || !a.passwordFile.empty()) && !broker) {
        return usage(QX_("--username と --password-file には --mqtt が必要です"));
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
            return usage(i18n::fill(QX_("--name \"%1\" はトピックに使えません: %2（UTF-8 で "
                                        "1..64 バイト、空白、'/'、'+'、'#' なし）"),
                                    {ini::printable(a.name), why}));
        }
    }
    if (!a.device.empty() && a.device.find('\0') != std::string::npos) {
        return usage(QX_("--device に NUL バイトがあります"));
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
        error = i18n::fill(QX_("--config %1: %2"), {path, file.error});
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
                error = i18n::fill(QX_("%1: %2 には true か false を指定してください（指定: "
                                       "\"%3\"）"),
                                   {path, key, ini::printable(value)});
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
