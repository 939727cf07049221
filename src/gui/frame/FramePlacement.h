#pragma once
// The main frame's placement in Qavix.ini: the bars' rows and floating spots, and the
// window's normal rectangle kept on a screen. The rules (rows, clamping, the first start's
// size) are in BarPlacement and WindowPlacement; this applies them to the widgets.

#include <QMainWindow>
#include <QSplitter>
#include <QToolBar>
#include <array>

#include "files/SettingsFile.h"
#include "frame/BarPlacement.h"

namespace qavix {

class CLeftPaneView;

using FrameBars = std::array<QToolBar*, kBarCount>;

// The least size of the main window.
inline constexpr int kFrameMinWidth = 800;
inline constexpr int kFrameMinHeight = 600;

// Docks `bars` in their saved rows at the top, floats the floating ones where they were,
// hides the hidden ones. The bars are DialogBars.
void restoreBars(QMainWindow& window, const FrameBars& bars, const SettingsFile& settings);
void saveBars(const FrameBars& bars, SettingsFile& settings);

// The saved rectangle clamped to the screen it was on (the first start opens large), and
// the least size that screen allows.
void restoreWindowRect(QMainWindow& window, const SettingsFile& settings);
void saveWindowRect(const QMainWindow& window, SettingsFile& settings);
// Shows the window maximised, minimised or normal as the stored show command says.
void showWithStoredCommand(QMainWindow& window, int showCommand);

// The tree's width limits (no label cut, every branch open) and its share of the window
// of `clientWidth`, the saved width first.
void placeTreePane(QSplitter& splitter, CLeftPaneView& tree, int clientWidth,
                   const SettingsFile& settings);
void saveTreeWidth(const QSplitter& splitter, SettingsFile& settings);

}  // namespace qavix
