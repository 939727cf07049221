#include "monitor/ChartPainter.h"

#include <QPaintEngine>
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

// The shaded row of a bar `width` pixels wide: the left third from the colour to white, the
// rest back to the colour, with `edge` pixels of outline on both sides.
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

// Where a bar lies, in logical pixels, and whether it carries an outline.
struct BarBox {
    QRect rect;
    bool outline = false;
    const QColor* colour = nullptr;
};

std::vector<BarBox> barBoxes(const ChartPaint& paint, int shown) {
    const ChartFrame& f = paint.frame;
    const int base = chart::baseline(f);
    std::vector<BarBox> boxes;
    boxes.reserve(static_cast<size_t>(shown));
    for (int k = 0; k < shown; ++k) {
        const ChartBar& bar = paint.bars[static_cast<size_t>(k)];
        const chart::BarSpan span = chart::barSpan(f, k);
        const int width =
            std::min(std::max(span.right - span.left, chart::kMinBarExtent), f.width - span.left);
        const int top = barTop(f, bar.value);
        if (width <= 0 || span.left < 0 || top >= base) {
            continue;
        }
        const bool outline = width > 2 * kLineHeight && base - top > 2 * kLineHeight;
        boxes.push_back(BarBox{QRect(span.left, top, width, base - top), outline, &bar.colour});
    }
    return boxes;
}

// The image a raster painter writes into (a window's back buffer, or an image being
// painted), when its pixels may be written directly: 32-bit pixels, a transform that only
// moves and scales, and the area the painter may touch known.
QImage* writableTarget(QPainter& p) {
    QPaintEngine* engine = p.paintEngine();
    if (engine == nullptr || engine->type() != QPaintEngine::Raster || p.hasClipping() ||
        p.deviceTransform().type() > QTransform::TxScale) {
        return nullptr;
    }
    QPaintDevice* device = engine->paintDevice();
    if (device == nullptr || device->devType() != QInternal::Image) {
        return nullptr;
    }
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied ||
                   format == QImage::Format_ARGB32
               ? image
               : nullptr;
}

// The bars written straight into the target's pixels, line by line: every bar is a stack of
// equal rows, and copying a few pixels per bar per line costs far less than a fill per bar
// through the painter (whose patterned fills go through a thread pool). Only inside the
// area the painter may paint, which for a window is the part being repainted.
void writeBars(QImage& image, const QTransform& toDevice, const QRegion& allowed,
               const std::vector<BarBox>& boxes) {
    const QRect bounds = image.rect();
    const int edge = qRound(kLineHeight * toDevice.m11());
    // Taken once: each scanLine() call would check the image for sharing again.
    uchar* const pixels = image.bits();
    const qsizetype stride = image.bytesPerLine();
    std::map<quint64, std::vector<QRgb>> rows;
    for (const BarBox& box : boxes) {
        const QRect target = toDevice.mapRect(QRectF(box.rect)).toAlignedRect() & bounds;
        const QRect device = toDevice.mapRect(QRectF(box.rect)).toAlignedRect();
        if (target.isEmpty()) {
            continue;
        }
        const QRgb solid = box.colour->rgb();
        const quint64 key = (static_cast<quint64>(solid) << 24) |
                            (static_cast<quint64>(device.width()) << 1) | (box.outline ? 1U : 0U);
        auto it = rows.find(key);
        if (it == rows.end()) {
            const QImage row = shadeRow(*box.colour, device.width(), box.outline ? edge : 0);
            const auto* shade = reinterpret_cast<const QRgb*>(row.constScanLine(0));
            it = rows.emplace(key, std::vector<QRgb>(shade, shade + device.width())).first;
        }
        const std::vector<QRgb>& shaded = it->second;
        const QRegion parts = allowed.isNull() ? QRegion(target) : allowed.intersected(target);
        for (const QRect& part : parts) {
            const size_t from = static_cast<size_t>(part.left() - device.left());
            const size_t count = static_cast<size_t>(part.width());
            for (int y = part.top(); y <= part.bottom(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(pixels + y * stride) + part.left();
                const bool rim =
                    box.outline && (y < device.top() + edge || y > device.bottom() - edge);
                if (rim) {
                    std::fill_n(line, count, solid);
                } else {
                    std::memcpy(line, shaded.data() + from, count * sizeof(QRgb));
                }
            }
        }
    }
}

// The same through the painter, for a device whose pixels cannot be written (a printer).
void fillBars(QPainter& p, const std::vector<BarBox>& boxes) {
    std::map<quint64, QBrush> rows;
    for (const BarBox& box : boxes) {
        const QRect& r = box.rect;
        const quint64 key = (static_cast<quint64>(box.colour->rgb()) << 24) |
                            (static_cast<quint64>(r.width()) << 1) | (box.outline ? 1U : 0U);
        auto it = rows.find(key);
        if (it == rows.end()) {
            it = rows.emplace(key, QBrush(shadeRow(*box.colour, r.width(),
                                                   box.outline ? kLineHeight : 0)))
                     .first;
        }
        it->second.setTransform(QTransform::fromTranslate(r.left(), 0));
        p.fillRect(r, it->second);
        if (box.outline) {
            p.fillRect(QRect(r.left(), r.top(), r.width(), kLineHeight), *box.colour);
            p.fillRect(QRect(r.left(), r.bottom() + 1 - kLineHeight, r.width(), kLineHeight),
                       *box.colour);
        }
    }
}

void paintBars(QPainter& p, const ChartPaint& paint, int shown) {
    const std::vector<BarBox> boxes = barBoxes(paint, shown);
    if (QImage* image = writableTarget(p)) {
        writeBars(*image, p.deviceTransform(), p.paintEngine()->systemClip(), boxes);
    } else {
        fillBars(p, boxes);
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
