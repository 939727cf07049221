#include "DeviceOptions.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <memory>
#include <string>

#include "NetworkAddress.h"
#include "Translate.h"
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
                       throw CLI::ValidationError(
                           "--port",
                           i18n::fill(QX_("%1: %2"), {link::addressProblemText(problem), name}));
                   }
                   options.networkTarget = name;
                   options.port.reset();
                   return;
               }
               const auto index = portIndex(name);
               if (!index) {
                   throw CLI::ValidationError(
                       "--port",
                       i18n::fill(QX_("COM1 .. COM6、tcp:HOST:PORT または rfc2217:HOST:PORT を"
                                      "指定してください（指定: %1）"),
                                  {name}));
               }
               options.port = *index;
               options.networkTarget.clear();
           },
           QX_("シリアルポート COM1..COM6（既定: Qavix.ini の ActivePort）、またはアクティブな"
               "ポートの通信設定で開くデバイスサーバー tcp:HOST:PORT / rfc2217:HOST:PORT"))
        ->type_name("COMn|TARGET");
    app.add_option_function<int>(
           "--unit", [&options](int unit) { options.unit = unit; },
           QX_("コントローラの号機（既定: Qavix.ini の ActiveMachine）"))
        ->check(CLI::Range(0, kMaxUnit))
        ->type_name("N");
    app.add_flag("--yes,-y", options.yes,
                 QX_("すべての問い合わせに OK と答える（コントローラのリセット、Bankの上書き）"));
    app.add_option("--journal", options.journalFolder,
                   QX_("変更履歴のフォルダ（既定: Qavix.ini の [Journal] Folder、なければ "
                       "$XDG_STATE_HOME/qavix/journal）"))
        ->type_name("DIR");
    app.add_option("--reason", options.reason,
                   QX_("コントローラへ書き込む理由。変更履歴に記録されます"))
        ->type_name("TEXT");
}

}  // namespace qavix::cli
