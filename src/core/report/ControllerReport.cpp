#include "report/ControllerReport.h"

#include <algorithm>

#include "files/Fingerprint.h"
#include "model/BeamThresholds.h"
#include "model/OverallJudgement.h"
#include "model/ParallelOutputs.h"
#include "model/PioFunctions.h"
#include "model/ResponseTimes.h"
#include "model/SerialNumber.h"

namespace qavix::report {

namespace {

constexpr int kTitleIndent = 15;
constexpr int kDateIndent = 50;
constexpr int kTmBaseYear = 1900;

void appendTitle(ReportLines& lines, const std::tm& now) {
    lines.push_back(std::string(kTitleIndent, ' ') +
                    "＃＃　エリアスキャナ　コントローラ設定内容一覧　＃＃");
    lines.push_back(std::string(kDateIndent, ' ') +
                    formatText("日付　%d/%02d/%02d   %2d：%02d：%02d", now.tm_year + kTmBaseYear,
                               now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec));
    lines.emplace_back();
}

void appendBasicInformation(ReportLines& lines, const SettingsData& set) {
    const GeneralBlock& general = set.general;
    const double base = responseTimeBase(set);
    lines.emplace_back("■ 基本情報");
    lines.push_back(itemLine("形式", general.type));
    lines.push_back(itemLine("バージョン", general.versionText));
    lines.push_back(itemLine("シリアル№", formatControllerSerial(general.serialText)));
    lines.push_back(itemLine("ＩＤ", general.idText));
    lines.push_back(itemLine(kFingerprintLabel, settingsFingerprint(set).shortForm()));
    lines.push_back(itemLine("接続センサ数", decimalText(general.jointNum)));
    lines.push_back(itemLine("P-I/O 応答時間", formatPioResponseTime(base)));
    lines.push_back(itemLine("OUT1応答時間", formatOut1ResponseTime(base)));
    lines.push_back(itemLine("OUT2,3応答時間", formatOut23ResponseTime(base)));
}

void appendPioAssignments(ReportLines& lines, const GeneralBlock& general) {
    lines.emplace_back("■P-I/O割付け");
    for (size_t i = 0; i < general.pio.size(); ++i) {
        const char* inversion = general.pioInv[i] != 0 ? "反転有効 " : "反転無効 ";
        lines.push_back(itemLine(formatText("D%02d", static_cast<int>(i)),
                                 inversion + pioFunctionName(general.pio[i])));
    }
}

void appendOverallJudgement(ReportLines& lines, const GeneralBlock& general, int sensors) {
    lines.emplace_back("■計測処理 総合ON/OFF判定");
    lines.push_back(itemLine("総合ON/OFF判定", arrangementText(general.allOnOffCnf)));
    for (int ch = 0; ch < sensors; ++ch) {
        const auto i = static_cast<size_t>(ch);
        lines.push_back(
            itemLine(formatText("CH%d FIXブランキング機能", ch + 1), onOffText(general.fixCnf[i])));
        lines.push_back(itemLine(formatText("CH%d 総合入光判定光軸数", ch + 1),
                                 formatText("%4d", general.allOn[i])));
        lines.push_back(itemLine(formatText("CH%d 総合遮光判定光軸数", ch + 1),
                                 formatText("%4d", general.allOff[i])));
    }
}

// One end of a group as "CH" + channel + beam; an end without channel or beam is not set.
std::string groupEnd(int32_t channel, int32_t beam) {
    if (channel == 0 || beam == 0) {
        return "CH-  -";
    }
    return formatText("CH%d%3d", channel, beam);
}

void appendGroups(ReportLines& lines, const GeneralBlock& general) {
    lines.emplace_back("■計測処理 グループ判定");
    for (size_t g = 0; g < kGroupCount; ++g) {
        const size_t channelAt = g + kGroupCount;
        const std::string value = groupEnd(general.grpUp[channelAt], general.grpUp[g]) +
                                  "   ～   " +
                                  groupEnd(general.grpLow[channelAt], general.grpLow[g]);
        lines.push_back(itemLine(formatText("グループ%d", static_cast<int>(g + 1)), value));
    }
}

void appendParallelOutputs(ReportLines& lines, const GeneralBlock& general) {
    lines.emplace_back("■計測処理 パラレル出力");
    lines.push_back(itemLine("パラレル出力", arrangementText(general.paraCnf)));
    for (size_t out = 0; out < general.paraRes.size(); ++out) {
        const int number = static_cast<int>(out + 1);
        lines.push_back(itemLine(formatText("P-I/O出力判定モード　%d", number),
                                 parallelTargetName(general.paraRes[out])));
        lines.push_back(itemLine(formatText("出力フォーマット　%d", number),
                                 general.paraType[out] == 0 ? "バイナリ" : "BCD"));
    }
}

void appendOptions(ReportLines& lines, const GeneralBlock& general, bool extendedMode) {
    if (!extendedMode) {
        lines.emplace_back();
        return;
    }
    lines.emplace_back("■オプション設定");
    lines.push_back(itemLine("FIX Blanking Teach 機能", onOffText(general.tchCnf)));
    lines.push_back(itemLine("Bank 機能", onOffText(general.bankFunction)));
}

int beamsOf(const ChannelRecord& channel) {
    return std::clamp(channel.beamCount, 0, kMaxBeams);
}

void appendBeamThresholds(ReportLines& lines, const SettingsData& set, int sensors) {
    lines.emplace_back("■光軸毎しきい値設定");
    for (int ch = 0; ch < sensors; ++ch) {
        const ChannelRecord& channel = set.channel(ch);
        std::vector<std::string> on;
        std::vector<std::string> off;
        for (int b = 0; b < beamsOf(channel); ++b) {
            const BeamOnOff th = beamOnOff(channel, b);
            on.push_back(decimalText(th.on));
            off.push_back(decimalText(th.off));
        }
        appendBeamRows(lines, formatText("CH%d ON しきい値 ", ch + 1), on);
        lines.emplace_back();
        appendBeamRows(lines, formatText("CH%d OFF しきい値 ", ch + 1), off);
        lines.emplace_back();
    }
}

void appendBlankingBeams(ReportLines& lines, const SettingsData& set, int sensors) {
    lines.emplace_back("■ブランキング光軸（0 : ブランキング指定無し，1 : ブランキング光軸）");
    for (int ch = 0; ch < sensors; ++ch) {
        const ChannelRecord& channel = set.channel(ch);
        appendBeamRows(lines, formatText("CH%d ブランキング光軸　", ch + 1),
                       beamFlagTexts(channel.fixAxis, beamsOf(channel)));
    }
    lines.emplace_back();
}

}  // namespace

int connectedSensorCount(const GeneralBlock& general) {
    return std::clamp(static_cast<int>(general.jointNum), 0, kChannelCount);
}

void appendControllerBlock(ReportLines& lines, const SettingsData& set, bool extendedMode,
                           const std::tm& now) {
    const GeneralBlock& general = set.general;
    const int sensors = connectedSensorCount(general);
    appendTitle(lines, now);
    appendBasicInformation(lines, set);
    appendPioAssignments(lines, general);
    appendOverallJudgement(lines, general, sensors);
    appendGroups(lines, general);
    appendParallelOutputs(lines, general);
    appendOptions(lines, general, extendedMode);
    appendBeamThresholds(lines, set, sensors);
    appendBlankingBeams(lines, set, sensors);
    lines.emplace_back();
}

}  // namespace qavix::report
