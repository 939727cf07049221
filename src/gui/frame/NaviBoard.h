#pragma once
// What the navigation view shows: its groups of clickable page labels with their
// descriptions, which groups a navigation kind shows, and which labels the switches hide.
// No Qt: the view builds its widgets from this, tests read it directly.

#include <string>
#include <vector>

#include "frame/NavigationTree.h"

namespace qavix::nav {

enum class HeaderStyle { Group, Measurement };

// The small animation at a header.
enum class Picture { None, Controller, Display, Settings, Measurement, Sensor, Bank };

// What hides a label.
enum class LabelRule {
    Always,          // always shown
    OverallSwitch,   // the overall ON/OFF judgement switch is 0
    ParallelSwitch,  // the parallel output switch is 0
    GroupSwitch,     // the group judgement switch is 0
    ExtendedOnly,    // not started with "/ad": the page has no tree item
};

struct BoardLabel {
    int id = 0;
    std::string text;
    std::string description;
    ItemKind item = ItemKind::BasicInfo;  // the tree item a click selects
    int channel = 0;                      // 1..3 for a sensor's page
    LabelRule rule = LabelRule::Always;
};

struct BoardSection {
    std::string header;  // empty: the labels sit right under the group header
    HeaderStyle style = HeaderStyle::Group;
    Picture picture = Picture::None;
    int channel = 0;  // a bank's sensor section is shown only for a connected sensor
    std::vector<BoardLabel> labels;
};

struct BoardGroup {
    std::string header;
    Picture picture = Picture::None;
    int set = 0;  // 0 current values, 1..4 a bank: the tree root the labels' items lie below
    std::vector<BoardSection> sections;
};

enum BoardGroupIndex : int {
    kBoardCurrent = 0,
    kBoardCh1 = 1,
    kBoardCh2 = 2,
    kBoardCh3 = 3,
    kBoardBank1 = 4,  // Bank n is 3 + n
    kBoardGroupCount = 8,
};

const std::vector<BoardGroup>& boardGroups();

// The groups a navigation kind (0..7) shows, in order.
std::vector<int> groupsShown(int kind, int sensorCount);
bool labelShown(const BoardLabel& label, const TreeShape& shape);
bool sectionShown(const BoardSection& section, const TreeShape& shape);
// The labels a kind shows, as "group header/label text", for checks.
std::vector<std::string> shownLabels(const TreeShape& shape, int kind);

}  // namespace qavix::nav
