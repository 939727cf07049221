#include "report/SensorReport.h"

#include <algorithm>
#include <cstdlib>

#include "Translate.h"
#include "model/SensorOperation.h"
#include "model/SensorOutputs.h"
#include "model/SerialNumber.h"

namespace qavix::report {

namespace {

constexpr int kTitleIndent = 15;
constexpr int kOutputChannel = 0;  // only CH1 has the auxiliary outputs OUT2 and OUT3
const char* const kNotApplicable = " ━ ";

// "0102" -> "Ver 1.02": the major number is decimal, the minor one is kept as stored.
std::string versionText(const std::string& stored) {
    const long major = std::strtol(stored.substr(0, 2).c_str(), nullptr, 10);
    const std::string minor = stored.size() > 2 ? stored.substr(stored.size() - 2) : "";
    return formatText("Ver %ld.%s", major, minor.c_str());
}

void appendBasicInformation(ReportLines& lines, const ChannelRecord& channel) {
    lines.emplace_back(QX_("■基本情報"));
    lines.push_back(itemLine(QX_("形式"), channel.modelText));
    lines.push_back(itemLine(QX_("投光器バージョン"), versionText(channel.verE)));
    lines.push_back(itemLine(QX_("受光器バージョン"), versionText(channel.verR)));
    lines.push_back(itemLine(QX_("投光器シリアルNo."), formatSensorSerial(channel.emitterSerial)));
    lines.push_back(itemLine(QX_("受光器シリアルNo."), formatSensorSerial(channel.receiverSerial)));
    lines.push_back(itemLine(QX_("ＩＤ"), channel.sensorId));
    lines.push_back(itemLine(QX_("光軸数"), decimalText(channel.beamCount)));
    lines.push_back(itemLine(QX_("光軸ピッチ"), i18n::translate(channel.pitchText.c_str())));
}

void appendOutputs(ReportLines& lines, const ChannelRecord& channel) {
    lines.emplace_back(QX_("■出力設定"));
    lines.push_back(itemLine("OUT2", sensorOutputName(channel.subConf)));
    lines.push_back(itemLine("OUT3", sensorOutputName(channel.almConf)));
}

void appendThresholds(ReportLines& lines, const ChannelRecord& channel) {
    lines.emplace_back(QX_("■しきい値"));
    lines.push_back(itemLine(QX_("ONしきい値"), decimalText(channel.onTh)));
    lines.push_back(itemLine(QX_("OFFしきい値"), decimalText(channel.offTh)));
}

void appendFunctions(ReportLines& lines, const ChannelRecord& channel) {
    const bool floating = channel.functionBit2 != 0;
    lines.emplace_back(QX_("■機能設定"));
    lines.push_back(itemLine(QX_("FIX ブランキング"), onOffText(channel.functionBit1)));
    lines.push_back(itemLine(QX_("Floating ブランキング"), onOffText(channel.functionBit2)));
    lines.push_back(
        itemLine(QX_("Floating ブランキング光軸数"),
                 floating ? decimalText(channel.floConf & kFloatingBeamsMask) : kNotApplicable));
    lines.push_back(itemLine(QX_("Floating ブランキング連続設定"),
                             floating ? onOffText(channel.floConfBit4) : kNotApplicable));
}

int beamsOf(const ChannelRecord& channel) {
    return std::clamp(channel.beamCount, 0, kMaxBeams);
}

}  // namespace

void appendSensorBlock(ReportLines& lines, const ChannelRecord& channel, int channelIndex,
                       bool extendedMode) {
    lines.push_back(std::string(kTitleIndent, ' ') +
                    i18n::fill(QX_("＃＃　エリアスキャナ　センサ　CH%1　設定内容一覧　＃＃"),
                               {std::to_string(channelIndex + 1)}));
    lines.emplace_back();
    appendBasicInformation(lines, channel);
    if (channelIndex == kOutputChannel) {
        appendOutputs(lines, channel);
    }
    if (extendedMode) {
        appendThresholds(lines, channel);
        appendFunctions(lines, channel);
        lines.emplace_back(
            QX_("■ブランキング光軸（0 : ブランキング指定無し，1 : ブランキング光軸）"));
        appendBeamRows(lines, QX_("ブランキング光軸　"),
                       beamFlagTexts(channel.fixAxis, beamsOf(channel)));
    }
    lines.emplace_back(QX_("■指定光軸（0 : 光軸指定無し，1 : 指定光軸）"));
    appendBeamRows(lines, QX_("指定光軸　"), beamFlagTexts(channel.setAxis, beamsOf(channel)));
    lines.emplace_back();
    lines.emplace_back();
}

}  // namespace qavix::report
