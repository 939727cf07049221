#pragma once
// Where the three bars were when the program last closed, as Qavix.ini keeps them, and in
// which rows they dock again. No Qt here.

#include <array>
#include <string>
#include <vector>

namespace qavix {

class SettingsFile;

enum BarIndex : int { kToolBarIndex = 0, kBankBarIndex = 1, kInfoBarIndex = 2, kBarCount = 3 };

struct BarPlacement {
    bool visible = true;
    bool floating = false;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

const char* barSection(int bar);  // "ToolDialog", "BankDialog", "InfoDialog"

// Missing keys take the defaults of the bar (a floating information bar defaults to 100,100).
BarPlacement readBarPlacement(const SettingsFile& file, int bar);
void writeBarPlacement(SettingsFile& file, int bar, const BarPlacement& placement);

bool readStatusBarVisible(const SettingsFile& file);
void writeStatusBarVisible(SettingsFile& file, bool visible);

// Rows of docked bars, top row first, each row's bars left to right. Bars dock in
// increasing order of their saved bottom edge (between equal edges the later bar first);
// bars with the same bottom edge share a row, ordered by their left edge.
std::vector<std::vector<int>> dockRows(const std::array<BarPlacement, kBarCount>& bars,
                                       const std::vector<int>& docked);

}  // namespace qavix
