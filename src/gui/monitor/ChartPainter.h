#pragma once
// Paints the level bar chart in layers (background and grid, bars with their shading and
// what lies above them, threshold lines, labels, rubber band) from one set of paint
// parameters, so the window, the PNG export and the benchmark draw the same picture.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <vector>

#include "monitor/BarRules.h"
#include "monitor/ChartGeometry.h"

namespace qavix {

struct ChartBar {
    int value = 0;
    QColor colour;
    chart::ThresholdPair thresholds;
    bool blankBackground = false;  // blanked beam whose blanking shows
    bool marked = false;           // thresholds changed since the last write or cancel
    bool selected = false;         // drawn in the selected style
    QString xLabel;                // "CH1-5", used where an x label names this bar
};

struct ChartColours {
    QColor on{20, 20, 255};
    QColor off{255, 0, 0};
    QColor selected{255, 128, 192};
    QColor blankBack{192, 192, 192};
};

struct ChartPaint {
    chart::ChartFrame frame;
    // The bars on screen, first visible bar first.
    std::vector<ChartBar> bars;
    // The x labels' bars, as item indexes, with their texts.
    std::vector<QString> xLabelTexts;
    ChartColours colours;
    QRect rubberBand;  // drawn when not empty
};

// Fixed colours of the chart itself (not user settings).
inline const QColor kChartBackground{255, 255, 212};
inline const QColor kGridGreen{0, 128, 0};
inline const QColor kGridGrey{170, 170, 170};
inline const QColor kMarkedBackground{63, 160, 177};

// The fixed-pitch font of the chart's texts.
QFont chartFont();

// Paints the frame's area with `p`, at its device's pixel ratio: the window's paint event
// paints straight into the window's back buffer this way.
void paintChart(QPainter& p, const ChartPaint& paint);
// The same into `image` (32 bits per pixel, opaque), at least the frame's size.
void paintChart(QImage& image, const ChartPaint& paint);

}  // namespace qavix
