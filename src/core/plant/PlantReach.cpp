#include "plant/PlantReach.h"

#include <chrono>

#include "NetworkAddress.h"
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
        row.status && !row.status->host.empty() ? shownText(row.status->host) : "不明";
    switch (reach.problem) {
        case ReachProblem::None:
            return {};
        case ReachProblem::NoStatus:
            return "このコントローラの状態をまだ受信していません。";
        case ReachProblem::NoTarget:
            return "モニタがポートの接続先を知らせていません (古いモニタか、ポートが未設定です)。";
        case ReachProblem::EmulatorInMonitor:
            return "このコントローラはモニタ内蔵のエミュレータです。ほかのプログラムからは開けませ"
                   "ん。";
        case ReachProblem::OtherMachine:
            return "ポート " + shownText(reach.target) + " はモニタの PC (" + host +
                   ") につながっています。この PC からは開けません。その PC で開いてください。";
        case ReachProblem::BadTarget:
            return "ポートの接続先 " + shownText(reach.target) + " が正しくありません。";
    }
    return {};
}

std::string busyPortText(const Reach& reach) {
    std::string text = "ポート " + shownText(reach.target) +
                       " は使用中です。プラントのモニタ (qavixctl monitor) が保持しています。";
    if (reach.monitorHoldsPort) {
        text +=
            "モニタの読込み間隔が 5 秒未満のため、ポートは開いたままです。"
            "モニタを止めるか、間隔を 5 秒以上にしてください。";
    } else {
        text += "モニタは読込みの合間にポートを空けます。しばらくして、もう一度開いてください。";
    }
    return text;
}

}  // namespace qavix::plant
