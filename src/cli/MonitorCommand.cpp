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
#include "Translate.h"
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
        QX_("1台のコントローラを動作中ずっと読み、状態、受光レベル、エラー履歴の新しい記録と"
            "レンズ汚れのアラートを MQTT ブローカーに送信する（docs/monitor.md）"));
    cmd->add_option("--mqtt", a->mqtt,
                    QX_("ブローカー: mqtt://HOST[:PORT] または mqtts://HOST[:PORT]"));
    cmd->add_option("--cafile", a->caFile, QX_("ブローカーの証明書に署名した認証局"));
    cmd->add_option("--cert", a->certFile, QX_("クライアント証明書（--key と共に）"));
    cmd->add_option("--key", a->keyFile, QX_("クライアント鍵（--cert と共に）"));
    cmd->add_option("--username", a->username, QX_("ブローカーのログイン名"));
    cmd->add_option("--password-file", a->passwordFile,
                    QX_("1行目がパスワードのファイル（パスワードはコマンドラインに書かない）"));
    cmd->add_option("--mqtt-version", a->mqttVersion, QX_("5（既定）または 3.1.1"))
        ->check(CLI::IsMember({"5", "3.1.1"}));
    cmd->add_option("--name", a->name,
                    QX_("トピックでのコントローラの名前（既定: 最初に読む ID）"));
    cmd->add_option("--interval", a->intervalSeconds,
                    QX_("状態と受光レベルを読む間隔の秒数（既定 10。5 以上では読むたびにポートを"
                        "開き、その間は空けておく）"))
        ->check(CLI::Range(kMinInterval, kMaxInterval));
    cmd->add_option("--errors-every", a->errorsEverySeconds,
                    QX_("エラー履歴を読む間隔の秒数（既定 60）"))
        ->check(CLI::Range(kMinInterval, kMaxInterval));
    cmd->add_option("--warn-margin", a->warnMargin,
                    QX_("センサのマージン（受光レベル / ONしきい値）がこのパーセントを下回り"
                        "続けたらアラートを出す（既定 130）"))
        ->check(CLI::Range(1.0, 1000.0));
    cmd->add_option("--warn-count", a->warnCount, QX_("…この回数の読込みの間（既定 3）"))
        ->check(CLI::Range(1, 1000));
    cmd->add_option("--retry-max", a->retryMaxSeconds,
                    QX_("応答しないコントローラや見つからないブローカーへの再試行の最長間隔、"
                        "秒（既定 60）"))
        ->check(CLI::Range(kMinInterval, 3600.0));
    cmd->add_option("--config", a->config,
                    QX_("これらのオプションを INI ファイルから読む（key = value、キーは長い"
                        "オプション名。コマンドラインが優先）"));
    cmd->add_flag("--once", a->once, QX_("一度読んで送信し、終了する（0: 全て完了、3: 未完了）"));
    cmd->add_option("--jsonl", a->jsonl,
                    QX_("全てのメッセージを JSON の行として FILE にも書く（'-': 標準出力）"));
    cmd->add_option("--state-file", a->stateFile,
                    QX_("最後に送信したエラー記録を保存する場所（既定: $STATE_DIRECTORY または "
                        "~/.local/state/qavix）"));
    cmd->add_option("--device", a->device,
                    QX_("Qavix.ini の代わりに、ポートの接続先（デバイスのパス、sim:...、"
                        "またはその他のポートの接続先）"));
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
        std::cerr << i18n::fill(QX_("monitor: %1"), {error}) << '\n';
        return kExitFileError;
    }
    run.restoreState();
    return run.loop();
}

}  // namespace qavix::cli
