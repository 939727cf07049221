#include "frame/BarPlacement.h"

#include <algorithm>

#include "files/SettingsFile.h"

namespace qavix {

namespace {

struct BarDefaults {
    const char* section;
    int left;
    int top;
    int right;
    int bottom;
};

constexpr std::array<BarDefaults, kBarCount> kDefaults = {{
    {"ToolDialog", 2, 42, 167, 80},
    {"BankDialog", 165, 42, 298, 80},
    {"InfoDialog", 296, 42, 669, 80},
}};
constexpr int kFloatingInfoDefault = 100;
constexpr const char* kStatusBarSection = "StatusBar";

}  // namespace

const char* barSection(int bar) {
    return kDefaults.at(static_cast<size_t>(bar)).section;
}

BarPlacement readBarPlacement(const SettingsFile& file, int bar) {
    const BarDefaults& d = kDefaults.at(static_cast<size_t>(bar));
    BarPlacement p;
    p.visible = file.getInt(d.section, "Visible", 1) != 0;
    p.floating = file.getInt(d.section, "Float", 0) != 0;
    const bool floatingInfo = bar == kInfoBarIndex && p.floating;
    p.left = file.getInt(d.section, "Left", floatingInfo ? kFloatingInfoDefault : d.left);
    p.top = file.getInt(d.section, "Top", floatingInfo ? kFloatingInfoDefault : d.top);
    p.right = file.getInt(d.section, "Right", d.right);
    p.bottom = file.getInt(d.section, "Bottom", d.bottom);
    return p;
}

void writeBarPlacement(SettingsFile& file, int bar, const BarPlacement& p) {
    const char* s = barSection(bar);
    file.setInt(s, "Visible", p.visible ? 1 : 0);
    file.setInt(s, "Float", p.floating ? 1 : 0);
    file.setInt(s, "Left", p.left);
    file.setInt(s, "Top", p.top);
    file.setInt(s, "Right", p.right);
    file.setInt(s, "Bottom", p.bottom);
}

bool readStatusBarVisible(const SettingsFile& file) {
    return file.getInt(kStatusBarSection, "Visible", 1) != 0;
}

void writeStatusBarVisible(SettingsFile& file, bool visible) {
    file.setInt(kStatusBarSection, "Visible", visible ? 1 : 0);
}

std::vector<std::vector<int>> dockRows(const std::array<BarPlacement, kBarCount>& bars,
                                       const std::vector<int>& docked) {
    std::vector<int> order = docked;
    // Docking order: bottom edge ascending; the later bar first on a tie.
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int ba = bars[static_cast<size_t>(a)].bottom;
        const int bb = bars[static_cast<size_t>(b)].bottom;
        return ba != bb ? ba < bb : a > b;
    });
    std::vector<std::vector<int>> rows;
    int rowBottom = 0;
    for (int bar : order) {
        const int bottom = bars[static_cast<size_t>(bar)].bottom;
        if (rows.empty() || bottom != rowBottom) {
            rows.emplace_back();
            rowBottom = bottom;
        }
        rows.back().push_back(bar);
    }
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(), [&](int a, int b) {
            return bars[static_cast<size_t>(a)].left < bars[static_cast<size_t>(b)].left;
        });
    }
    return rows;
}

}  // namespace qavix
