#include "frame/NavigationTree.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "Translate.h"
#include "state/UiText.h"

namespace qavix::nav {

namespace {

constexpr int kNavKindCurrent = 0;
constexpr int kNavKindBankBase = 3;  // Bank n folders have kind 3 + n

std::string channelName(int channel) {
    return "CH" + std::to_string(channel);
}

std::string bankPrefix(int bank) {
    return "Bank " + std::to_string(bank) + " ";
}

NavItem folder(ItemKind kind, const std::string& text, int image, int navKind, int bank = 0) {
    NavItem item;
    item.kind = kind;
    item.text = text;
    item.image = image;
    item.page = kPageNavigation;
    item.navKind = navKind;
    item.bank = bank;
    return item;
}

// A page's title as shown, and as written: the change journal records a page by the
// latter, so that its files read the same whatever language wrote them.
struct Title {
    std::string shown;
    std::string written;
};

Title title(const char* written) {
    return {uiText("qavix::nav", written), written};
}

Title filled(const char* pattern, std::initializer_list<std::string_view> values) {
    return {i18n::fill(uiText("qavix::nav", pattern), values), i18n::fill(pattern, values)};
}

NavItem page(ItemKind kind, const std::string& text, int image, int pageIndex, const Title& title,
             int bank = 0, int channel = 0) {
    NavItem item;
    item.kind = kind;
    item.text = text;
    item.image = image;
    item.page = pageIndex;
    item.title = title.shown;
    item.writtenTitle = title.written;
    item.bank = bank;
    item.channel = channel;
    return item;
}

int navKindOf(int bank) {
    return bank == 0 ? kNavKindCurrent : kNavKindBankBase + bank;
}

Title titled(int bank, const Title& title) {
    return bank == 0 ? title
                     : Title{bankPrefix(bank) + title.shown, bankPrefix(bank) + title.written};
}

}  // namespace

TreeShape shapeOf(const DeviceModel& model, bool extended) {
    const GeneralBlock& g = model.working().general;
    TreeShape s;
    s.sensorCount = std::clamp(g.jointNum, 0, kChannelCount);
    s.bankFunction = g.bankFunction != 0;
    s.extended = extended;
    s.overallJudgement = g.allOnOffCnf != 0;
    s.parallelOutput = g.paraCnf != 0;
    s.groupJudgement = g.grpCnf != 0;
    for (int b = 1; b <= kBankCount; ++b) {
        s.bankHasData[static_cast<size_t>(b - 1)] = model.storedSet(b).compatible != 0;
    }
    return s;
}

std::vector<NavItem> rootItems(const TreeShape& shape) {
    std::vector<NavItem> roots;
    roots.push_back(folder(ItemKind::CurrentRoot, uiText("qavix::nav", "現在値"), kImageController,
                           kNavKindCurrent));
    if (shape.bankFunction) {
        for (int b = 1; b <= kBankCount; ++b) {
            const int image = shape.bankHasData[static_cast<size_t>(b - 1)] ? kImageBankWithData
                                                                            : kImageBankEmpty;
            roots.push_back(
                folder(ItemKind::BankRoot, "Bank " + std::to_string(b), image, navKindOf(b), b));
        }
    }
    return roots;
}

std::vector<NavItem> measurementItems(const TreeShape& shape, int bank) {
    std::vector<NavItem> items;
    if (shape.overallJudgement) {
        items.push_back(page(ItemKind::OverallJudgement, uiText("qavix::nav", "総合ON/OFF判定"),
                             kImageMeasurement, kPageOverallJudgement,
                             titled(bank, title(QT_TRANSLATE_NOOP("qavix::nav", "総合ON/OFF判定"))),
                             bank));
    }
    if (shape.parallelOutput) {
        items.push_back(page(ItemKind::ParallelOutput, uiText("qavix::nav", "パラレル出力"),
                             kImageMeasurement, kPageParallelOutput,
                             titled(bank, title(QT_TRANSLATE_NOOP("qavix::nav", "パラレル出力"))),
                             bank));
    }
    if (shape.groupJudgement) {
        items.push_back(page(ItemKind::GroupJudgement, uiText("qavix::nav", "グループ判定"),
                             kImageMeasurement, kPageGroupJudgement,
                             titled(bank, title(QT_TRANSLATE_NOOP("qavix::nav", "グループ判定"))),
                             bank));
    }
    return items;
}

NavItem optionsItem(int bank) {
    return page(ItemKind::Options, uiText("qavix::nav", "オプション設定"), kImageOptions,
                kPageOptions,
                titled(bank, title(QT_TRANSLATE_NOOP("qavix::nav", "オプション設定"))), bank);
}

namespace {

NavItem measurementFolder(const TreeShape& shape, int bank) {
    NavItem f = folder(ItemKind::Measurement, uiText("qavix::nav", "計測処理"), kImageMeasurement,
                       navKindOf(bank), bank);
    f.children = measurementItems(shape, bank);
    return f;
}

NavItem currentController(const TreeShape& shape) {
    NavItem display = folder(ItemKind::Display, uiText("qavix::nav", "表示"), kImageDisplayFolder,
                             kNavKindCurrent);
    display.children = {
        page(ItemKind::BasicInfo, uiText("qavix::nav", "基本情報"), kImagePage, kPageBasicInfo,
             title(QT_TRANSLATE_NOOP("qavix::nav", "ｺﾝﾄﾛｰﾗ基本情報"))),
        page(ItemKind::LevelGraph, uiText("qavix::nav", "受光レベルグラフ"), kImageGraph,
             kPageLevelGraph, title(QT_TRANSLATE_NOOP("qavix::nav", "受光ﾚﾍﾞﾙｸﾞﾗﾌ表示"))),
        page(ItemKind::LevelList, uiText("qavix::nav", "受光レベルリスト"), kImageList,
             kPageLevelList, title(QT_TRANSLATE_NOOP("qavix::nav", "受光ﾚﾍﾞﾙﾘｽﾄ表示"))),
        page(ItemKind::ScanMonitor, uiText("qavix::nav", "スキャンモニタ"), kImageScan,
             kPageScanMonitor, title(QT_TRANSLATE_NOOP("qavix::nav", "スキャンモニタ"))),
    };
    NavItem settings = folder(ItemKind::Settings, uiText("qavix::nav", "設定"),
                              kImageSettingsFolder, kNavKindCurrent);
    settings.children.push_back(page(ItemKind::Pio, uiText("qavix::nav", "P-I/O割付け"), kImagePio,
                                     kPagePio,
                                     title(QT_TRANSLATE_NOOP("qavix::nav", "P-I/O割付け"))));
    if (shape.anyMeasurement()) {
        settings.children.push_back(measurementFolder(shape, 0));
    }
    if (shape.extended) {
        settings.children.push_back(optionsItem(0));
    }
    settings.children.push_back(page(ItemKind::Clock, uiText("qavix::nav", "時計設定"), kImageClock,
                                     kPageClock,
                                     title(QT_TRANSLATE_NOOP("qavix::nav", "時計設定"))));

    NavItem controller = folder(ItemKind::Controller, uiText("qavix::nav", "コントローラ"),
                                kImageController, kNavKindCurrent);
    controller.children = {display, settings};
    return controller;
}

}  // namespace

std::vector<NavItem> currentValuesChildren(const TreeShape& shape) {
    std::vector<NavItem> children;
    children.push_back(currentController(shape));
    for (int ch = 1; ch <= shape.sensorCount; ++ch) {
        NavItem sensor = folder(ItemKind::Sensor,
                                i18n::fill(uiText("qavix::nav", "センサ %1"), {channelName(ch)}),
                                kImageSensor, ch);
        sensor.channel = ch;
        sensor.children.push_back(
            page(ItemKind::SensorOperation, uiText("qavix::nav", "動作設定"), kImagePage,
                 kPageSensorOperation,
                 filled(QT_TRANSLATE_NOOP("qavix::nav", "%1 動作設定"), {channelName(ch)}), 0, ch));
        if (shape.extended) {
            sensor.children.push_back(page(
                ItemKind::SensorGraph, uiText("qavix::nav", "受光レベルグラフ"), kImagePage,
                kPageLevelGraph,
                filled(QT_TRANSLATE_NOOP("qavix::nav", "%1 受光レベルグラフ"), {channelName(ch)}),
                0, ch));
        }
        children.push_back(sensor);
    }
    children.push_back(page(ItemKind::SettingsList, uiText("qavix::nav", "設定一覧"),
                            kImageSettingsList, kPageSettingsList,
                            title(QT_TRANSLATE_NOOP("qavix::nav", "設定値リスト"))));
    children.push_back(page(ItemKind::ErrorLog, uiText("qavix::nav", "エラーログ"), kImageErrorLog,
                            kPageErrorLog, title(QT_TRANSLATE_NOOP("qavix::nav", "エラーログ"))));
    return children;
}

std::vector<NavItem> bankChildren(const TreeShape& shape, int bank) {
    const std::string n = std::to_string(bank);
    NavItem controller = folder(ItemKind::Controller, uiText("qavix::nav", "コントローラ"),
                                kImageController, navKindOf(bank), bank);
    NavItem threshold = page(
        ItemKind::BankThresholdList, uiText("qavix::nav", "しきい値設定"), kImageList,
        kPageLevelList,
        filled(QT_TRANSLATE_NOOP("qavix::nav", "Bank%1 コントローラ しきい値設定"), {n}), bank);
    threshold.channelFromLastShown = true;
    controller.children.push_back(threshold);
    controller.children.push_back(
        page(ItemKind::Pio, uiText("qavix::nav", "P-I/O 割付け"), kImagePio, kPagePio,
             filled(QT_TRANSLATE_NOOP("qavix::nav", "Bank %1 P-I/O割付け"), {n}), bank));
    if (shape.anyMeasurement()) {
        controller.children.push_back(measurementFolder(shape, bank));
    }
    if (shape.extended) {
        controller.children.push_back(optionsItem(bank));
    }

    std::vector<NavItem> children;
    children.push_back(controller);
    for (int ch = 1; ch <= shape.sensorCount; ++ch) {
        NavItem sensor = folder(ItemKind::Sensor,
                                i18n::fill(uiText("qavix::nav", "センサ %1"), {channelName(ch)}),
                                kImageSensor, navKindOf(bank), bank);
        sensor.channel = ch;
        sensor.children.push_back(page(
            ItemKind::SensorOperation, uiText("qavix::nav", "動作設定"), kImagePage,
            kPageSensorOperation,
            filled(QT_TRANSLATE_NOOP("qavix::nav", "BANK %1 %2 動作設定"), {n, channelName(ch)}),
            bank, ch));
        if (shape.extended) {
            sensor.children.push_back(
                page(ItemKind::BankThresholdScreen, uiText("qavix::nav", "しきい値設定画面"),
                     kImagePage, kPageLevelGraph,
                     filled(QT_TRANSLATE_NOOP("qavix::nav", "Bank %1 CH %2 しきい値設定画面"),
                            {n, std::to_string(ch)}),
                     bank, ch));
        }
        children.push_back(sensor);
    }
    children.push_back(page(ItemKind::SettingsList, uiText("qavix::nav", "設定一覧"),
                            kImageSettingsList, kPageSettingsList,
                            filled(QT_TRANSLATE_NOOP("qavix::nav", "Bank %1 設定値リスト"), {n}),
                            bank));
    return children;
}

namespace {

void addTitles(const std::vector<NavItem>& items, PageTitles& titles) {
    for (const NavItem& item : items) {
        if (!item.writtenTitle.empty()) {
            titles.emplace(item.writtenTitle, item.title);
        }
        addTitles(item.children, titles);
    }
}

}  // namespace

PageTitles pageTitles() {
    // Every page there can be: all sensors, banks and switches, in extended mode.
    TreeShape every;
    every.sensorCount = kChannelCount;
    every.bankFunction = true;
    every.extended = true;
    every.overallJudgement = true;
    every.parallelOutput = true;
    every.groupJudgement = true;
    PageTitles titles;
    addTitles(currentValuesChildren(every), titles);
    for (int bank = 1; bank <= kBankCount; ++bank) {
        addTitles(bankChildren(every, bank), titles);
    }
    return titles;
}

std::string shownTitle(const PageTitles& titles, const std::string& written) {
    const auto found = titles.find(written);
    return found != titles.end() ? found->second : written;
}

}  // namespace qavix::nav
