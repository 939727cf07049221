#pragma once
// Which items the navigation tree holds for a given controller and start-up mode: texts,
// images, page indexes, channels, banks, navigation kinds and page titles, in sibling
// order. No Qt here: the tree view copies these items, tests read them directly.

#include <array>
#include <map>
#include <string>
#include <vector>

#include "model/DeviceModel.h"
#include "pages/PageIndex.h"

namespace qavix::nav {

enum class ItemKind {
    CurrentRoot,
    BankRoot,
    Controller,
    Display,
    Settings,
    BasicInfo,
    LevelGraph,
    LevelList,
    ScanMonitor,
    Pio,
    Measurement,
    OverallJudgement,
    ParallelOutput,
    GroupJudgement,
    Options,
    Clock,
    Sensor,
    SensorOperation,
    SensorGraph,  // 受光レベルグラフ below a sensor of the current values
    SettingsList,
    ErrorLog,
    BankThresholdList,    // しきい値設定 below a bank's コントローラ
    BankThresholdScreen,  // しきい値設定画面 below a bank's sensor
};

// Images of the tree's image list.
enum TreeImage : int {
    kImagePage = 0,
    kImageGraph = 1,
    kImageList = 2,
    kImageScan = 3,
    kImagePio = 4,
    kImageErrorLog = 5,
    kImageController = 6,
    kImageSensor = 7,
    kImageMeasurement = 8,
    kImageClock = 9,
    kImageSettingsFolder = 10,
    kImageSettingsList = 11,
    kImageOptions = 12,
    kImageDisplayFolder = 13,
    kImageBankWithData = 14,
    kImageBankEmpty = 16,
    kTreeImageCount = 17,
};

// What decides the tree's shape.
struct TreeShape {
    int sensorCount = 0;  // 0..3
    bool bankFunction = false;
    bool extended = false;
    bool overallJudgement = false;
    bool parallelOutput = false;
    bool groupJudgement = false;
    std::array<bool, kBankCount> bankHasData{};  // compatible flags of Bank 1..4

    bool anyMeasurement() const { return overallJudgement || parallelOutput || groupJudgement; }
};

// The shape from the working set and the stored sets' compatible flags.
TreeShape shapeOf(const DeviceModel& model, bool extended);

struct NavItem {
    ItemKind kind = ItemKind::CurrentRoot;
    std::string text;
    int image = 0;
    int page = kPageNavigation;
    int navKind = -1;  // for folders and roots (page 1): the navigation view's kind
    int channel = 0;   // 0, or 1..3
    int bank = 0;      // 0 current values, 1..4
    // The bank threshold list takes the channel last shown (1 when none) at selection time.
    bool channelFromLastShown = false;
    std::string title;         // page title; empty for folders
    std::string writtenTitle;  // the title as written (Japanese), as the change journal keeps it
    std::vector<NavItem> children;

    // The item a threshold page keeps to know it was opened for the sensors' own thresholds
    // (ON_TH / OFF_TH): a sensor's graph, and a bank's threshold pages, its sensors'
    // threshold screens and its threshold list.
    bool isChartItem() const {
        return (page == kPageLevelGraph && (channel > 0 || bank > 0)) ||
               (page == kPageLevelList && bank > 0);
    }
};

// "現在値" and, with the bank function on, "Bank 1".."Bank 4"; without children.
std::vector<NavItem> rootItems(const TreeShape& shape);
// The children of "現在値", each with its subtree.
std::vector<NavItem> currentValuesChildren(const TreeShape& shape);
// The children of the root of Bank `bank` (1..4), each with its subtree.
std::vector<NavItem> bankChildren(const TreeShape& shape, int bank);

// The three measurement-processing items that exist for the switches, in order.
std::vector<NavItem> measurementItems(const TreeShape& shape, int bank);
// The option item of a bank or of the current values (extended mode only).
NavItem optionsItem(int bank);

// Every page's title as written (the change journal names a page so), and as the program
// shows it now.
using PageTitles = std::map<std::string, std::string>;
PageTitles pageTitles();

// A page's title as shown, from the title as written; a text that names no page is
// returned as it is.
std::string shownTitle(const PageTitles& titles, const std::string& written);

}  // namespace qavix::nav
