#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "frame/NavigationTree.h"

namespace qavix::nav {
namespace {

std::vector<std::string> texts(const std::vector<NavItem>& items) {
    std::vector<std::string> out;
    for (const NavItem& i : items) {
        out.push_back(i.text);
    }
    return out;
}

const NavItem* child(const std::vector<NavItem>& items, ItemKind kind, int channel = 0) {
    for (const NavItem& i : items) {
        if (i.kind == kind && (channel == 0 || i.channel == channel)) {
            return &i;
        }
    }
    return nullptr;
}

TreeShape shape(int sensors, bool extended = false) {
    TreeShape s;
    s.sensorCount = sensors;
    s.extended = extended;
    return s;
}

// Sensor count and extended mode decide the children of the current values and of a bank.
struct SensorCase {
    int sensors;
    bool extended;
    std::vector<std::string> currentChildren;
    std::vector<std::string> sensorChildren;      // below each current-values sensor
    std::vector<std::string> bankSensorChildren;  // below each bank sensor
};

// Test lists show the case by its switches rather than as bytes.
void PrintTo(const SensorCase& c, std::ostream* os) {
    *os << c.sensors << " sensors" << (c.extended ? ", extended" : "");
}

class SensorShapes : public ::testing::TestWithParam<SensorCase> {};

TEST_P(SensorShapes, SensorItemsFollowTheSensorCount) {
    const SensorCase& c = GetParam();
    const TreeShape s = shape(c.sensors, c.extended);
    const auto current = currentValuesChildren(s);
    EXPECT_EQ(texts(current), c.currentChildren);
    for (int ch = 1; ch <= c.sensors; ++ch) {
        const NavItem* sensor = child(current, ItemKind::Sensor, ch);
        ASSERT_NE(sensor, nullptr);
        EXPECT_EQ(sensor->image, kImageSensor);
        EXPECT_EQ(sensor->navKind, ch);
        EXPECT_EQ(texts(sensor->children), c.sensorChildren);
        EXPECT_EQ(sensor->children[0].title, "CH" + std::to_string(ch) + " 動作設定");
        EXPECT_EQ(sensor->children[0].channel, ch);
        EXPECT_EQ(sensor->children[0].page, kPageSensorOperation);
    }
    const auto bank = bankChildren(s, 2);
    EXPECT_EQ(static_cast<int>(bank.size()), 2 + c.sensors);  // コントローラ, sensors, 設定一覧
    for (int ch = 1; ch <= c.sensors; ++ch) {
        const NavItem* sensor = child(bank, ItemKind::Sensor, ch);
        ASSERT_NE(sensor, nullptr);
        EXPECT_EQ(sensor->navKind, 5);
        EXPECT_EQ(texts(sensor->children), c.bankSensorChildren);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, SensorShapes,
    ::testing::Values(SensorCase{0, false, {"コントローラ", "設定一覧", "エラーログ"}, {}, {}},
                      SensorCase{1,
                                 false,
                                 {"コントローラ", "センサ CH1", "設定一覧", "エラーログ"},
                                 {"動作設定"},
                                 {"動作設定"}},
                      SensorCase{
                          2,
                          true,
                          {"コントローラ", "センサ CH1", "センサ CH2", "設定一覧", "エラーログ"},
                          {"動作設定", "受光レベルグラフ"},
                          {"動作設定", "しきい値設定画面"}},
                      SensorCase{3,
                                 false,
                                 {"コントローラ", "センサ CH1", "センサ CH2", "センサ CH3",
                                  "設定一覧", "エラーログ"},
                                 {"動作設定"},
                                 {"動作設定"}},
                      SensorCase{3,
                                 true,
                                 {"コントローラ", "センサ CH1", "センサ CH2", "センサ CH3",
                                  "設定一覧", "エラーログ"},
                                 {"動作設定", "受光レベルグラフ"},
                                 {"動作設定", "しきい値設定画面"}}),
    [](const auto& row) {
        return std::to_string(row.param.sensors) + "Sensors" +
               (row.param.extended ? "Extended" : "");
    });

TEST(NavigationTree, ControllerFolderOfTheCurrentValues) {
    TreeShape s = shape(1, true);
    s.overallJudgement = s.parallelOutput = s.groupJudgement = true;
    const auto current = currentValuesChildren(s);
    const NavItem& controller = current[0];
    ASSERT_EQ(texts(controller.children), (std::vector<std::string>{"表示", "設定"}));
    const NavItem& display = controller.children[0];
    const NavItem& settings = controller.children[1];
    EXPECT_EQ(display.image, kImageDisplayFolder);
    EXPECT_EQ(settings.image, kImageSettingsFolder);
    EXPECT_EQ(texts(display.children),
              (std::vector<std::string>{"基本情報", "受光レベルグラフ", "受光レベルリスト",
                                        "スキャンモニタ"}));
    EXPECT_EQ(texts(settings.children),
              (std::vector<std::string>{"P-I/O割付け", "計測処理", "オプション設定", "時計設定"}));
    EXPECT_EQ(texts(settings.children[1].children),
              (std::vector<std::string>{"総合ON/OFF判定", "パラレル出力", "グループ判定"}));

    struct Expect {
        const NavItem* item;
        int image;
        int page;
        const char* title;
    };
    const Expect expected[] = {
        {&display.children[0], kImagePage, kPageBasicInfo, "ｺﾝﾄﾛｰﾗ基本情報"},
        {&display.children[1], kImageGraph, kPageLevelGraph, "受光ﾚﾍﾞﾙｸﾞﾗﾌ表示"},
        {&display.children[2], kImageList, kPageLevelList, "受光ﾚﾍﾞﾙﾘｽﾄ表示"},
        {&display.children[3], kImageScan, kPageScanMonitor, "スキャンモニタ"},
        {&settings.children[0], kImagePio, kPagePio, "P-I/O割付け"},
        {&settings.children[1].children[0], kImageMeasurement, kPageOverallJudgement,
         "総合ON/OFF判定"},
        {&settings.children[1].children[1], kImageMeasurement, kPageParallelOutput, "パラレル出力"},
        {&settings.children[1].children[2], kImageMeasurement, kPageGroupJudgement, "グループ判定"},
        {&settings.children[2], kImageOptions, kPageOptions, "オプション設定"},
        {&settings.children[3], kImageClock, kPageClock, "時計設定"},
        {&current[2], kImageSettingsList, kPageSettingsList, "設定値リスト"},
        {&current[3], kImageErrorLog, kPageErrorLog, "エラーログ"},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.item->text);
        EXPECT_EQ(e.item->image, e.image);
        EXPECT_EQ(e.item->page, e.page);
        EXPECT_EQ(e.item->title, e.title);
        EXPECT_EQ(e.item->bank, 0);
    }
    // The graph and the list below 表示 are not a sensor's: they keep no chart item.
    EXPECT_FALSE(display.children[1].isChartItem());
    EXPECT_FALSE(display.children[2].isChartItem());
    for (const NavItem* folder :
         {&current[0], &controller.children[0], &controller.children[1], &settings.children[1]}) {
        EXPECT_EQ(folder->page, kPageNavigation);
        EXPECT_EQ(folder->navKind, 0);
    }
}

// Each measurement-processing switch alone, none and all.
struct SwitchCase {
    bool overall, parallel, group;
    std::vector<std::string> items;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << "overall " << c.overall << ", parallel " << c.parallel << ", group " << c.group;
}

class MeasurementSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(MeasurementSwitches, FolderAndItemsFollowTheSwitches) {
    const SwitchCase& c = GetParam();
    TreeShape s = shape(1);
    s.overallJudgement = c.overall;
    s.parallelOutput = c.parallel;
    s.groupJudgement = c.group;

    const auto current = currentValuesChildren(s);
    const auto& settings = current[0].children[1].children;
    const NavItem* folder = child(settings, ItemKind::Measurement);
    const auto bank = bankChildren(s, 3);
    const auto& bankController = bank[0].children;
    const NavItem* bankFolder = child(bankController, ItemKind::Measurement);
    if (c.items.empty()) {
        EXPECT_EQ(folder, nullptr);
        EXPECT_EQ(bankFolder, nullptr);
        return;
    }
    ASSERT_NE(folder, nullptr);
    ASSERT_NE(bankFolder, nullptr);
    EXPECT_EQ(texts(folder->children), c.items);
    EXPECT_EQ(texts(bankFolder->children), c.items);
    EXPECT_EQ(bankFolder->navKind, 6);
    for (const NavItem& i : bankFolder->children) {
        EXPECT_EQ(i.title, "Bank 3 " + i.text);
        EXPECT_EQ(i.bank, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, MeasurementSwitches,
    ::testing::Values(SwitchCase{false, false, false, {}},
                      SwitchCase{true, false, false, {"総合ON/OFF判定"}},
                      SwitchCase{false, true, false, {"パラレル出力"}},
                      SwitchCase{false, false, true, {"グループ判定"}},
                      SwitchCase{
                          true, true, true, {"総合ON/OFF判定", "パラレル出力", "グループ判定"}}),
    [](const auto& row) {
        const SwitchCase& c = row.param;
        const std::string name = std::string(c.overall ? "Overall" : "") +
                                 (c.parallel ? "Parallel" : "") + (c.group ? "Group" : "");
        return name.empty() ? std::string("None") : name;
    });

TEST(NavigationTree, RootsFollowTheBankFunctionAndCompatibleFlags) {
    TreeShape s = shape(2);
    EXPECT_EQ(texts(rootItems(s)), std::vector<std::string>{"現在値"});

    s.bankFunction = true;
    s.bankHasData = {true, false, true, false};
    const auto roots = rootItems(s);
    ASSERT_EQ(texts(roots),
              (std::vector<std::string>{"現在値", "Bank 1", "Bank 2", "Bank 3", "Bank 4"}));
    EXPECT_EQ(roots[0].image, kImageController);
    const int images[] = {kImageBankWithData, kImageBankEmpty, kImageBankWithData, kImageBankEmpty};
    for (int b = 1; b <= 4; ++b) {
        EXPECT_EQ(roots[static_cast<size_t>(b)].image, images[b - 1]);
        EXPECT_EQ(roots[static_cast<size_t>(b)].bank, b);
        EXPECT_EQ(roots[static_cast<size_t>(b)].navKind, 3 + b);
        EXPECT_TRUE(roots[static_cast<size_t>(b)].children.empty());
    }
}

TEST(NavigationTree, BankSubtreeOrderTitlesAndChannels) {
    TreeShape s = shape(3, true);
    s.parallelOutput = true;
    const auto bank = bankChildren(s, 2);
    ASSERT_EQ(texts(bank), (std::vector<std::string>{"コントローラ", "センサ CH1", "センサ CH2",
                                                     "センサ CH3", "設定一覧"}));
    const NavItem& controller = bank[0];
    EXPECT_EQ(texts(controller.children), (std::vector<std::string>{"しきい値設定", "P-I/O 割付け",
                                                                    "計測処理", "オプション設定"}));
    const NavItem& threshold = controller.children[0];
    EXPECT_EQ(threshold.title, "Bank2 コントローラ しきい値設定");
    EXPECT_EQ(threshold.page, kPageLevelList);
    EXPECT_TRUE(threshold.channelFromLastShown);
    // The bank's threshold list shows the sensors' channel thresholds, as its threshold
    // screens do.
    EXPECT_TRUE(threshold.isChartItem());
    EXPECT_EQ(controller.children[1].title, "Bank 2 P-I/O割付け");
    EXPECT_EQ(controller.children[2].children[0].title, "Bank 2 パラレル出力");
    EXPECT_EQ(controller.children[3].title, "Bank 2 オプション設定");
    EXPECT_EQ(bank[4].title, "Bank 2 設定値リスト");
    EXPECT_EQ(bank[4].page, kPageSettingsList);

    const NavItem& ch3 = bank[3];
    EXPECT_EQ(ch3.children[0].title, "BANK 2 CH3 動作設定");
    EXPECT_EQ(ch3.children[0].channel, 3);
    EXPECT_EQ(ch3.children[1].title, "Bank 2 CH 3 しきい値設定画面");
    EXPECT_EQ(ch3.children[1].page, kPageLevelGraph);
    EXPECT_TRUE(ch3.children[1].isChartItem());
    for (const NavItem& i : bank) {
        EXPECT_EQ(i.bank, 2);
    }
    // No display or settings folder, no basic information, monitors, clock or error log.
    for (ItemKind k : {ItemKind::Display, ItemKind::Settings, ItemKind::BasicInfo,
                       ItemKind::ScanMonitor, ItemKind::Clock, ItemKind::ErrorLog}) {
        EXPECT_EQ(child(bank, k), nullptr);
        EXPECT_EQ(child(controller.children, k), nullptr);
    }
}

TEST(NavigationTree, WithoutExtendedModeNoOptionsOrPerSensorGraphs) {
    TreeShape s = shape(3, false);
    s.overallJudgement = true;
    const auto current = currentValuesChildren(s);
    const auto& settings = current[0].children[1].children;
    EXPECT_EQ(child(settings, ItemKind::Options), nullptr);
    const auto bank = bankChildren(s, 1);
    EXPECT_EQ(child(bank[0].children, ItemKind::Options), nullptr);
    for (const NavItem& i : currentValuesChildren(s)) {
        EXPECT_EQ(child(i.children, ItemKind::SensorGraph), nullptr);
    }
}

TEST(NavigationTree, ShapeComesFromTheWorkingSetAndTheStoredSets) {
    DeviceModel model;
    GeneralBlock& g = model.working().general;
    g.jointNum = 5;  // out of range: clamped to what the tree can show
    g.bankFunction = 0x10;
    g.paraCnf = 2;
    model.storedSet(3).compatible = 1;
    const TreeShape s = shapeOf(model, true);
    EXPECT_EQ(s.sensorCount, 3);
    EXPECT_TRUE(s.bankFunction);
    EXPECT_FALSE(s.overallJudgement);
    EXPECT_TRUE(s.parallelOutput);
    EXPECT_FALSE(s.groupJudgement);
    EXPECT_EQ(s.bankHasData, (std::array<bool, 4>{false, false, true, false}));
}

}  // namespace
}  // namespace qavix::nav
