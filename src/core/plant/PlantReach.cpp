#include "plant/PlantReach.h"

#include <chrono>

#include "NetworkAddress.h"
#include "Translate.h"
#include "plant/PlantText.h"
#include "telemetry/ControllerMonitor.h"

namespace qavix::plant {

namespace {

bool isLoopback(const std::string& host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

}  // namespace

Reach reachOf(const PlantRow& row, const std::string& thisHost) {
    Reach r;
    if (!row.status) {
        r.problem = ReachProblem::NoStatus;
        return r;
    }
    const StatusMessage& s = *row.status;
    r.target = s.target;
    r.unit = s.unit;
    r.portName = s.port;
    const double shared = std::chrono::duration<double>(telemetry::kSharedLineInterval).count();
    r.monitorHoldsPort = row.online != false && s.intervalSeconds && *s.intervalSeconds < shared;
    const bool sameMachine = !s.host.empty() && s.host == thisHost;
    if (s.target.empty()) {
        r.problem = ReachProblem::NoTarget;
    } else if (s.target == "sim" || s.target.rfind("sim:", 0) == 0) {
        r.problem = ReachProblem::EmulatorInMonitor;
    } else if (link::isNetworkValue(s.target)) {
        const auto address = link::parseNetworkAddress(s.target);
        if (!address) {
            r.problem = ReachProblem::BadTarget;
        } else if (isLoopback(address->host) && !sameMachine) {
            r.problem = ReachProblem::OtherMachine;
        }
    } else if (!sameMachine) {
        r.problem = ReachProblem::OtherMachine;
    }
    return r;
}

std::string reachProblemText(const Reach& reach, const PlantRow& row) {
    const std::string host =
        row.status && !row.status->host.empty() ? shownText(row.status->host) : QX_("不明");
    switch (reach.problem) {
        case ReachProblem::None:
            return {};
        case ReachProblem::NoStatus:
            return QX_("このコントローラの状態をまだ受信していません。");
        case ReachProblem::NoTarget:
            return QX_(
                "モニタがポートの接続先を知らせていません (古いモニタか、ポートが未設定です)。");
        case ReachProblem::EmulatorInMonitor:
            return QX_(
                "このコントローラはモニタ内蔵のエミュレータです。ほかのプログラムからは"
                "開けません。");
        case ReachProblem::OtherMachine:
            return i18n::fill(QX_("ポート %1 はモニタの PC (%2) につながっています。この PC からは"
                                  "開けません。その PC で開いてください。"),
                              {shownText(reach.target), host});
        case ReachProblem::BadTarget:
            return i18n::fill(QX_("ポートの接続先 %1 が正しくありません。"),
                              {shownText(reach.target)});
    }
    return {};
}

std::string busyPortText(const Reach& reach) {
    std::string text = i18n::fill(QX_("ポート %1 は使用中です。プラントのモニタ (qavixctl monitor) "
                                      "が保持しています。"),
                                  {shownText(reach.target)});
    if (reach.monitorHoldsPort) {
        text +=
            QX_("モニタの読込み間隔が 5 秒未満のため、ポートは開いたままです。"
                "モニタを止めるか、間隔を 5 秒以上にしてください。");
    } else {
        text +=
            QX_("モニタは読込みの合間にポートを空けます。しばらくして、もう一度開いてください。");
    }
    return text;
}

}  // namespace qavix::plant
