#include "monitor/ChartPainter.h"

#include <algorithm>
#include <cstring>
#include <map>

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

// The shading varies only across a bar, so one block of it per colour and width, as tall as
// the tallest bar, serves every bar of that colour: each bar is an unscaled copy of its top
// part, much cheaper than a gradient fill per bar.
class ShadeBlocks {
  public:
    explicit ShadeBlocks(int height) : m_height(std::max(height, 1)) {}

    const QImage& block(const QColor& colour, int width) {
        const quint64 key =
            (static_cast<quint64>(colour.rgb()) << 16) | static_cast<quint64>(width);
        auto it = m_blocks.find(key);
        if (it == m_blocks.end()) {
            it = m_blocks.emplace(key, make(colour, width)).first;
        }
        return it->second;
    }

  private:
    QImage make(const QColor& colour, int width) const {
        QImage img(width, m_height, QImage::Format_RGB32);
        auto* first = reinterpret_cast<QRgb*>(img.scanLine(0));
        // The left third runs from the colour to white, the rest from white back.
        const double peak = width / 3.0;
        for (int x = 0; x < width; ++x) {
            const double centre = x + 0.5;
            const double t = centre < peak ? centre / peak : 1.0 - (centre - peak) / (width - peak);
            const auto mix = [t](int c) { return static_cast<int>(c + (255 - c) * t + 0.5); };
            first[x] = qRgb(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
        }
        for (int y = 1; y < m_height; ++y) {
            std::memcpy(img.scanLine(y), first, static_cast<size_t>(width) * sizeof(QRgb));
        }
        return img;
    }

    int m_height;
    std::map<quint64, QImage> m_blocks;
};

void paintBar(QPainter& p, const ChartFrame& f, const chart::BarSpan& span, const ChartBar& bar,
              const ChartColours& colours, ShadeBlocks& shades) {
    const int base = chart::baseline(f);
    const int width = std::max(span.right - span.left, chart::kMinBarExtent);
    // A value above the axis fills the column to the top and no further.
    const int top =
        std::clamp(chart::valueToY(f, bar.value), 0, std::max(base - chart::kMinBarExtent, 0));
    const QRect rect(span.left, top, width, base - top);

    // Above the bar: the mark, or the blanked background, else the plain background.
    if (bar.marked || bar.blankBackground) {
        p.fillRect(QRect(span.left, 0, width, std::max(top - 1, 0)),
                   bar.marked ? kMarkedBackground : colours.blankBack);
    }

    p.drawImage(rect.topLeft(), shades.block(bar.colour, width), QRect(0, 0, width, rect.height()));
    if (width > 2 * kLineHeight && rect.height() > 2 * kLineHeight) {
        // The outline, two pixels wide, inside the bar.
        p.fillRect(QRect(rect.left(), rect.top(), width, kLineHeight), bar.colour);
        p.fillRect(QRect(rect.left(), rect.bottom() - 1, width, kLineHeight), bar.colour);
        p.fillRect(QRect(rect.left(), rect.top(), kLineHeight, rect.height()), bar.colour);
        p.fillRect(QRect(rect.right() - 1, rect.top(), kLineHeight, rect.height()), bar.colour);
    }
}

void paintThreshold(QPainter& p, const ChartFrame& f, const chart::BarSpan& span, int value,
                    const QColor& colour, bool selected, const QColor& selectedColour) {
    const int y = chart::valueToY(f, value);
    const int width = span.right - span.left;
    if (selected) {
        p.fillRect(QRect(span.left, y - 1, width, kLineHeight + 2), selectedColour);
    } else {
        p.fillRect(QRect(span.left, y, width, kLineHeight), colour);
    }
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
    p.fillRect(QRect(0, 0, f.width, f.height), kChartBackground);
    p.setFont(chartFont());
    paintGrid(p, paint);

    const int shown = std::min<int>(chart::barsOnScreen(f), static_cast<int>(paint.bars.size()));
    ShadeBlocks shades(chart::baseline(f));
    for (int k = 0; k < shown; ++k) {
        paintBar(p, f, chart::barSpan(f, k), paint.bars[static_cast<size_t>(k)], paint.colours,
                 shades);
    }
    for (int k = 0; k < shown; ++k) {
        const ChartBar& bar = paint.bars[static_cast<size_t>(k)];
        const chart::BarSpan span = chart::barSpan(f, k);
        paintThreshold(p, f, span, bar.thresholds.off, paint.colours.off, bar.selected,
                       paint.colours.selected);
        paintThreshold(p, f, span, bar.thresholds.on, paint.colours.on, bar.selected,
                       paint.colours.selected);
    }
    paintXLabels(p, paint);
    if (!paint.rubberBand.isNull()) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(paint.rubberBand.normalized());
    }
}

}  // namespace qavix
