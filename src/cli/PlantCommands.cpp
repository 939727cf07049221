#include "PlantCommands.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "PlantStatus.h"
#include "Translate.h"

namespace qavix::cli {

namespace {

constexpr double kMaxWaitSeconds = 3600.0;

}  // namespace

void addPlantCommands(CLI::App& app, int& exitCode) {
    CLI::App* plant = app.add_subcommand(
        "plant", QX_("モニターが MQTT ブローカーに送信するプラントのコントローラ"));
    plant->require_subcommand(1);
    auto a = std::make_shared<PlantStatusArgs>();
    CLI::App* cmd = plant->add_subcommand(
        "status",
        QX_("ブローカーの保持メッセージにある全コントローラを表示する: オンライン、回線、状態、"
            "マージン、最後のアラートとエラー、最終受信。終了コード 0 全てオンラインで正常、"
            "1 オフラインか要対応のものがある（または1台もない）、3 ブローカーに接続できない"));
    cmd->add_option("--mqtt", a->mqtt,
                    QX_("ブローカー: mqtt://HOST[:PORT] または mqtts://HOST[:PORT]（既定: "
                        "Qavix.ini の [Plant] BrokerUrl）"));
    cmd->add_option("--cafile", a->caFile, QX_("ブローカーの証明書に署名した認証局"));
    cmd->add_option("--username", a->username, QX_("ブローカーのログイン名"));
    cmd->add_option("--password-file", a->passwordFile,
                    QX_("1行目がパスワードのファイル（パスワードはコマンドラインに書かない）"));
    cmd->add_option("--topic-root", a->topicRoot, QX_("モニターのトピックのルート（既定 qavix）"));
    cmd->add_option("--wait", a->waitSeconds,
                    QX_("モニターがいま送信するもの（受光レベル、アラート、エラー記録）もこの秒数"
                        "だけ受信する。既定: 保持メッセージだけ"))
        ->check(CLI::Range(0.0, kMaxWaitSeconds));
    cmd->add_flag("--json", a->json, QX_("表の代わりに1つの JSON ドキュメントを表示する"));
    cmd->callback([a, &exitCode] { exitCode = runPlantStatus(*a); });
}

}  // namespace qavix::cli
