#include "DeviceOptions.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <memory>
#include <string>

#include "NetworkAddress.h"
#include "comm/LinkSettings.h"

namespace qavix::cli {

namespace {

constexpr int kMaxUnit = 99;  // two decimal digits on the line

// "COM3" (any case) -> 2; nothing for a name outside COM1..COM6.
std::optional<int> portIndex(const std::string& name) {
    static constexpr char kPrefix[] = "COM";
    if (name.size() != 4) {
        return std::nullopt;
    }
    for (size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != kPrefix[i]) {
            return std::nullopt;
        }
    }
    const int n = name[3] - '0';
    if (n < 1 || n > kPortCount) {
        return std::nullopt;
    }
    return n - 1;
}

}  // namespace

void addDeviceOptions(CLI::App& app, DeviceOptions& options) {
    // Options given after a subcommand are passed up to the command that owns them.
    app.fallthrough();
    app.add_option_function<std::string>(
           "--port",
           [&options](const std::string& name) {
               if (link::isNetworkValue(name)) {
                   link::AddressProblem problem = link::AddressProblem::None;
                   if (!link::parseNetworkAddress(name, &problem)) {
                       throw CLI::ValidationError("--port",
                                                  link::addressProblemText(problem) + ": " + name);
                   }
                   options.networkTarget = name;
                   options.port.reset();
                   return;
               }
               const auto index = portIndex(name);
               if (!index) {
                   throw CLI::ValidationError(
                       "--port",
                       "expected COM1 .. COM6, tcp:HOST:PORT or rfc2217:HOST:PORT, got " + name);
               }
               options.port = *index;
               options.networkTarget.clear();
           },
           "serial port COM1..COM6 (default: ActivePort of Qavix.ini), or a device server "
           "tcp:HOST:PORT / rfc2217:HOST:PORT opened with the active port's line settings")
        ->type_name("COMn|TARGET");
    app.add_option_function<int>(
           "--unit", [&options](int unit) { options.unit = unit; },
           "unit number of the controller (default: ActiveMachine of Qavix.ini)")
        ->check(CLI::Range(0, kMaxUnit))
        ->type_name("N");
    app.add_flag("--yes,-y", options.yes,
                 "answer OK to every question (reset the controller, overwrite a bank)");
    app.add_option("--journal", options.journalFolder,
                   "folder of the change journal (default: [Journal] Folder of Qavix.ini, else "
                   "$XDG_STATE_HOME/qavix/journal)")
        ->type_name("DIR");
    app.add_option("--reason", options.reason,
                   "why the command writes to the controller, recorded in the change journal")
        ->type_name("TEXT");
}

}  // namespace qavix::cli
