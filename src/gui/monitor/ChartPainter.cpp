#include "monitor/ChartPainter.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace qavix {

namespace {

using chart::ChartFrame;

constexpr int kLineHeight = 2;
constexpr int kLabelLeft = 4;
constexpr int kGridOverhang = 4;

void paintGrid(QPainter& p, const ChartPaint& paint) {
    const ChartFrame& f = paint.frame;
    const int left = chart::kLeftMargin - kGridOverhang;
    const int right = f.width - chart::kRightMargin;
    p.setPen(Qt::black);
    for (const chart::AxisTick& t : chart::yTicks(f)) {
        p.fillRect(QRect(QPoint(left, t.y), QPoint(right, t.y)), Qt::white);
        p.fillRect(QRect(QPoint(left, t.y - 1), QPoint(right, t.y - 1)), kGridGreen);
        p.fillRect(QRect(QPoint(left, t.y + 1), QPoint(right, t.y + 1)), kGridGreen);
        p.fillRect(QRect(QPoint(left, t.y + 2), QPoint(right, t.y + 2)), kGridGrey);
        const QRect box(kLabelLeft, t.labelTop - chart::kTextHeight / 2,
                        chart::kLeftMargin - 2 - kLabelLeft, chart::kTextHeight);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(t.text));
    }
}

// A value above the axis fills the column to the top and no further.
int barTop(const ChartFrame& f, int value) {
    return std::clamp(chart::valueToY(f, value), 0,
                      std::max(chart::baseline(f) - chart::kMinBarExtent, 0));
}

// Above each bar: the mark, or the blanked background, else the plain background.
void paintAboveBars(QPainter& p, const ChartPaint& paint, int shown) {
    const ChartFrame& f = paint.frame;
    for (int k = 0; k < shown; ++k) {
        const ChartBar& bar = paint.bars[static_cast<size_t>(k)];
        if (!bar.marked && !bar.blankBackground) {
            continue;
        }
        const chart::BarSpan span = chart::barSpan(f, k);
        const int width = std::max(span.right - span.left, chart::kMinBarExtent);
        p.fillRect(QRect(span.left, 0, width, std::max(barTop(f, bar.value) - 1, 0)),
                   bar.marked ? kMarkedBackground : paint.colours.blankBack);
    }
}

// The shaded row of a bar `width` device pixels wide: the left third from the colour to
// white, the rest back to the colour, with `edge` pixels of outline on both sides.
QImage shadeRow(const QColor& colour, int width, int edge) {
    QImage row(width, 1, QImage::Format_RGB32);
    auto* pixels = reinterpret_cast<QRgb*>(row.scanLine(0));
    const double peak = width / 3.0;
    for (int x = 0; x < width; ++x) {
        const double centre = x + 0.5;
        const double t = centre < peak ? centre / peak : 1.0 - (centre - peak) / (width - peak);
        const auto mix = [t](int c) { return static_cast<int>(c + (255 - c) * t + 0.5); };
        const bool onEdge = x < edge || x >= width - edge;
        pixels[x] = onEdge ? colour.rgb()
                           : qRgb(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
    }
    return row;
}

// Each bar is its shaded row stretched down to the baseline, with the two-pixel outline
// across its top and bottom: one stretch and two fills per bar, whatever its height. The
// rows are made once per colour and width.
void paintBars(QPainter& p, const ChartPaint& paint, int shown) {
    const ChartFrame& f = paint.frame;
    const qreal dpr = p.device() != nullptr ? p.device()->devicePixelRatioF() : 1.0;
    const auto device = [dpr](int logical) { return static_cast<int>(logical * dpr); };
    const int base = chart::baseline(f);
    const int edge = kLineHeight;
    std::map<quint64, QImage> rows;
    for (int k = 0; k < shown; ++k) {
        const ChartBar& bar = paint.bars[static_cast<size_t>(k)];
        const chart::BarSpan span = chart::barSpan(f, k);
        const int width = std::min(std::max(span.right - span.left, chart::kMinBarExtent),
                                   f.width - span.left);
        const int top = barTop(f, bar.value);
        if (width <= 0 || span.left < 0 || top >= base) {
            continue;
        }
        const bool outline = width > 2 * edge && base - top > 2 * edge;
        const int rowWidth = device(span.left + width) - device(span.left);
        if (rowWidth <= 0) {
            continue;
        }
        const quint64 key = (static_cast<quint64>(bar.colour.rgb()) << 24) |
                            (static_cast<quint64>(rowWidth) << 1) | (outline ? 1U : 0U);
        auto it = rows.find(key);
        if (it == rows.end()) {
            it = rows.emplace(key, shadeRow(bar.colour, rowWidth, outline ? device(edge) : 0))
                     .first;
        }
        const int bodyTop = outline ? top + edge : top;
        const int bodyBottom = outline ? base - edge : base;
        p.drawImage(QRectF(span.left, bodyTop, width, bodyBottom - bodyTop), it->second,
                    QRectF(0, 0, rowWidth, 1));
        if (outline) {
            p.fillRect(QRect(span.left, top, width, edge), bar.colour);
            p.fillRect(QRect(span.left, base - edge, width, edge), bar.colour);
        }
    }
}

// One threshold line of one bar, as the rectangle it fills.
QRect thresholdRect(const ChartFrame& f, const chart::BarSpan& span, int value, bool selected) {
    const int y = chart::valueToY(f, value);
    const int width = span.right - span.left;
    return selected ? QRect(span.left, y - 1, width, kLineHeight + 2)
                    : QRect(span.left, y, width, kLineHeight);
}

// The ON (or OFF) lines of all bars. Neighbours at the same height and in the same style
// are filled as one run: beams usually share their thresholds, and one fill per run instead
// of one per bar keeps a full repaint cheap.
void paintThresholds(QPainter& p, const ChartPaint& paint, int shown, bool on) {
    const ChartFrame& f = paint.frame;
    QRect run;
    bool runSelected = false;
    const auto flush = [&] {
        if (!run.isNull()) {
            p.fillRect(run, runSelected ? paint.colours.selected
                                        : (on ? paint.colours.on : paint.colours.off));
        }
    };
    for (int k = 0; k < shown; ++k) {
        const ChartBar& bar = paint.bars[static_cast<size_t>(k)];
        const QRect r = thresholdRect(f, chart::barSpan(f, k),
                                      on ? bar.thresholds.on : bar.thresholds.off, bar.selected);
        if (!run.isNull() && bar.selected == runSelected && r.top() == run.top() &&
            r.height() == run.height() && r.left() == run.right() + 1) {
            run.setRight(r.right());
            continue;
        }
        flush();
        run = r;
        runSelected = bar.selected;
    }
    flush();
}

void paintXLabels(QPainter& p, const ChartPaint& paint) {
    const ChartFrame& f = paint.frame;
    const auto labels = chart::xLabels(f);
    p.setPen(Qt::black);
    for (size_t i = 0; i < labels.size() && i < paint.xLabelTexts.size(); ++i) {
        const QRect box(labels[i].left, f.height - chart::kTextHeight, chart::kXLabelWidth,
                        chart::kTextHeight);
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, paint.xLabelTexts[i]);
    }
}

}  // namespace

QFont chartFont() {
    QFont font("Noto Sans Mono CJK JP");
    font.setPixelSize(12);
    font.setWeight(QFont::Light);
    return font;
}

void paintChart(QPainter& p, const ChartPaint& paint) {
    const ChartFrame& f = paint.frame;
    const int shown = std::min<int>(chart::barsOnScreen(f), static_cast<int>(paint.bars.size()));
    p.save();
    p.fillRect(QRect(0, 0, f.width, f.height), kChartBackground);
    p.setFont(chartFont());
    paintGrid(p, paint);
    paintAboveBars(p, paint, shown);
    paintBars(p, paint, shown);
    paintThresholds(p, paint, shown, false);
    paintThresholds(p, paint, shown, true);
    paintXLabels(p, paint);
    if (!paint.rubberBand.isNull()) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(paint.rubberBand.normalized());
    }
    p.restore();
}

void paintChart(QImage& image, const ChartPaint& paint) {
    QPainter p(&image);
    paintChart(p, paint);
}

}  // namespace qavix
