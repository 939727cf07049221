#include "frame/NaviBoard.h"

#include <QtGlobal>
#include <map>
#include <string>

#include "MessageCatalogue.h"
#include "Translate.h"
#include "state/UiText.h"

namespace qavix::nav {

namespace {

constexpr int kFirstBankLabel[kBankCount] = {1080, 1108, 1122, 1152};
constexpr const char* kBankHeaders[kBankCount] = {
    QT_TRANSLATE_NOOP("qavix::nav", "Ｂａｎｋ１"), QT_TRANSLATE_NOOP("qavix::nav", "Ｂａｎｋ２"),
    QT_TRANSLATE_NOOP("qavix::nav", "Ｂａｎｋ３"), QT_TRANSLATE_NOOP("qavix::nav", "Ｂａｎｋ４")};
constexpr int kSensorLabelIds[kChannelCount][2] = {{1071, 1072}, {1074, 1075}, {1076, 1077}};

std::string sensorHeader(int channel) {
    return i18n::fill(uiText("qavix::nav", "センサ CH%1"), {std::to_string(channel)});
}

BoardGroup currentGroup() {
    BoardSection display{uiText("qavix::nav", "表示"), HeaderStyle::Group, Picture::Display, 0, {}};
    display.labels = {
        {1062, uiText("qavix::nav", "基本情報"), uiText("qavix::nav", "基本情報画面を表示します"),
         ItemKind::BasicInfo, 0, LabelRule::Always},
        {1063, uiText("qavix::nav", "受光レベルグラフ"),
         uiText("qavix::nav", "受光レベルグラフ画面を表示します"), ItemKind::LevelGraph, 0,
         LabelRule::Always},
        {1064, uiText("qavix::nav", "受光レベルリスト"),
         uiText("qavix::nav", "受光レベルリスト画面を表示します"), ItemKind::LevelList, 0,
         LabelRule::Always},
        {1065, uiText("qavix::nav", "スキャンモニタ"),
         uiText("qavix::nav", "スキャンモニタ画面を表示します"), ItemKind::ScanMonitor, 0,
         LabelRule::Always},
        {1078, uiText("qavix::nav", "設定一覧"), uiText("qavix::nav", "設定一覧の画面を表示します"),
         ItemKind::SettingsList, 0, LabelRule::Always},
        {1097, uiText("qavix::nav", "エラーログ"),
         uiText("qavix::nav", "エラーログの画面を表示します"), ItemKind::ErrorLog, 0,
         LabelRule::Always},
    };
    BoardSection settings{
        uiText("qavix::nav", "設定"), HeaderStyle::Group, Picture::Settings, 0, {}};
    settings.labels = {
        {1066, uiText("qavix::nav", "P-I/O 割付け"),
         uiText("qavix::nav", "P-I/Oの設定を行う画面を表示します"), ItemKind::Pio, 0,
         LabelRule::Always},
        {1070, uiText("qavix::nav", "オプション設定"),
         uiText("qavix::nav", "オプション設定を行う画面を表示します"), ItemKind::Options, 0,
         LabelRule::ExtendedOnly},
        {1073, uiText("qavix::nav", "時計設定"),
         uiText("qavix::nav", "時計設定を行う画面を表示します"), ItemKind::Clock, 0,
         LabelRule::Always},
    };
    BoardSection measurement{
        uiText("qavix::nav", "計測処理"), HeaderStyle::Measurement, Picture::Measurement, 0, {}};
    measurement.labels = {
        {1067, uiText("qavix::nav", "総合ON/OFF判定"),
         uiText("qavix::nav", "総合ON/OFFの設定を行う画面を表示します"), ItemKind::OverallJudgement,
         0, LabelRule::OverallSwitch},
        {1068, uiText("qavix::nav", "パラレル出力"),
         uiText("qavix::nav", "パラレル出力の設定を行う画面を表示します"), ItemKind::ParallelOutput,
         0, LabelRule::ParallelSwitch},
        {1069, uiText("qavix::nav", "グループ判定"),
         uiText("qavix::nav", "グループ判定の設定を行う画面を表示します"), ItemKind::GroupJudgement,
         0, LabelRule::GroupSwitch},
    };
    return BoardGroup{uiText("qavix::nav", "コントローラ"),
                      Picture::Controller,
                      kCurrentSet,
                      {display, settings, measurement}};
}

BoardGroup sensorGroup(int channel) {
    const int* ids = kSensorLabelIds[channel - 1];
    BoardSection section;
    section.labels = {
        {ids[0], uiText("qavix::nav", "動作設定"), uiText("qavix::nav", "動作設定画面を表示します"),
         ItemKind::SensorOperation, channel, LabelRule::Always},
        // The per-sensor graph exists in the tree only in extended mode.
        {ids[1], uiText("qavix::nav", "受光レベルグラフ"),
         uiText("qavix::nav", "受光レベルグラフ画面を表示します"), ItemKind::SensorGraph, channel,
         LabelRule::ExtendedOnly},
    };
    return BoardGroup{sensorHeader(channel), Picture::Sensor, kCurrentSet, {section}};
}

BoardGroup bankGroup(int bank) {
    const int first = kFirstBankLabel[bank - 1];
    BoardSection controller{
        uiText("qavix::nav", "コントローラ"), HeaderStyle::Group, Picture::None, 0, {}};
    controller.labels = {
        {first, uiText("qavix::nav", "しきい値設定"),
         uiText("qavix::nav", "しきい値設定の画面を表示します"), ItemKind::BankThresholdList, 0,
         LabelRule::Always},
        {first + 1, uiText("qavix::nav", "P-I/O 割付け"),
         uiText("qavix::nav", "P-I/Oの設定を行う画面を表示します"), ItemKind::Pio, 0,
         LabelRule::Always},
        {first + 5, uiText("qavix::nav", "オプション設定"),
         uiText("qavix::nav", "オプション設定を行う画面を表示します"), ItemKind::Options, 0,
         LabelRule::ExtendedOnly},
        {first + 12, uiText("qavix::nav", "設定一覧"),
         uiText("qavix::nav", "設定一覧の画面を表示します"), ItemKind::SettingsList, 0,
         LabelRule::Always},
    };
    BoardSection measurement{
        uiText("qavix::nav", "計測処理"), HeaderStyle::Measurement, Picture::None, 0, {}};
    measurement.labels = {
        {first + 2, uiText("qavix::nav", "総合ON/OFF判定"),
         uiText("qavix::nav", "総合ON/OFFの設定を行う画面を表示します"), ItemKind::OverallJudgement,
         0, LabelRule::OverallSwitch},
        {first + 3, uiText("qavix::nav", "パラレル出力"),
         uiText("qavix::nav", "パラレル出力の設定を行う画面を表示します"), ItemKind::ParallelOutput,
         0, LabelRule::ParallelSwitch},
        {first + 4, uiText("qavix::nav", "グループ判定"),
         uiText("qavix::nav", "グループ判定の設定を行う画面を表示します"), ItemKind::GroupJudgement,
         0, LabelRule::GroupSwitch},
    };
    BoardGroup group{uiText("qavix::nav", kBankHeaders[bank - 1]),
                     Picture::Bank,
                     bank,
                     {controller, measurement}};
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        const int id = first + 6 + (ch - 1) * 2;
        BoardSection sensor{sensorHeader(ch), HeaderStyle::Group, Picture::None, ch, {}};
        sensor.labels = {
            {id, uiText("qavix::nav", "しきい値設定画面"),
             uiText("qavix::nav", "しきい値設定の画面を表示します"), ItemKind::BankThresholdScreen,
             ch, LabelRule::ExtendedOnly},
            {id + 1, uiText("qavix::nav", "動作設定"),
             uiText("qavix::nav", "動作設定の画面を表示します"), ItemKind::SensorOperation, ch,
             LabelRule::Always},
        };
        group.sections.push_back(sensor);
    }
    return group;
}

std::vector<BoardGroup> makeGroups() {
    std::vector<BoardGroup> groups;
    groups.push_back(currentGroup());
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        groups.push_back(sensorGroup(ch));
    }
    for (int b = 1; b <= kBankCount; ++b) {
        groups.push_back(bankGroup(b));
    }
    return groups;
}

}  // namespace

const std::vector<BoardGroup>& boardGroups() {
    // Made once for each language the process has spoken: the texts are its translations.
    static std::map<std::string, std::vector<BoardGroup>> byLanguage;
    const std::string& language = i18n::currentLanguage();
    auto it = byLanguage.find(language);
    if (it == byLanguage.end()) {
        it = byLanguage.emplace(language, makeGroups()).first;
    }
    return it->second;
}

std::vector<int> groupsShown(int kind, int sensorCount) {
    if (kind == 0) {
        return {kBoardCurrent};
    }
    if (kind >= 1 && kind <= kChannelCount) {
        // A sensor folder shows the sensors up to its own, and the connected ones after it.
        std::vector<int> groups;
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (ch <= kind || ch <= sensorCount) {
                groups.push_back(kBoardCh1 + ch - 1);
            }
        }
        return groups;
    }
    if (kind >= kBoardBank1 && kind < kBoardGroupCount) {
        return {kind};
    }
    return {};
}

bool labelShown(const BoardLabel& label, const TreeShape& shape) {
    switch (label.rule) {
        case LabelRule::Always:
            return true;
        case LabelRule::OverallSwitch:
            return shape.overallJudgement;
        case LabelRule::ParallelSwitch:
            return shape.parallelOutput;
        case LabelRule::GroupSwitch:
            return shape.groupJudgement;
        case LabelRule::ExtendedOnly:
            return shape.extended;
    }
    return false;
}

bool sectionShown(const BoardSection& section, const TreeShape& shape) {
    if (section.channel > shape.sensorCount) {
        return false;
    }
    for (const BoardLabel& l : section.labels) {
        if (labelShown(l, shape)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> shownLabels(const TreeShape& shape, int kind) {
    std::vector<std::string> out;
    const std::vector<BoardGroup>& groups = boardGroups();
    for (int g : groupsShown(kind, shape.sensorCount)) {
        const BoardGroup& group = groups[static_cast<size_t>(g)];
        for (const BoardSection& section : group.sections) {
            if (!sectionShown(section, shape)) {
                continue;
            }
            for (const BoardLabel& label : section.labels) {
                if (labelShown(label, shape)) {
                    out.push_back(group.header + "/" +
                                  (section.header.empty() ? "" : section.header + "/") +
                                  label.text);
                }
            }
        }
    }
    return out;
}

}  // namespace qavix::nav
