#include "widgets/GreyedIcon.h"

#include <QImage>
#include <QPixmap>

namespace qavix {

namespace {

// How much of the picture's darkness and opacity the greyed look keeps.
constexpr double kDarknessKept = 0.5;
constexpr double kOpacityKept = 0.45;
constexpr int kSides[] = {16, 22, 24, 32, 48, 64};
constexpr qreal kRatios[] = {1.0, 2.0};

QPixmap greyed(const QPixmap& normal) {
    QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int light = 255 - static_cast<int>((255 - qGray(line[x])) * kDarknessKept);
            const int alpha = static_cast<int>(qAlpha(line[x]) * kOpacityKept);
            line[x] = qRgba(light, light, light, alpha);
        }
    }
    QPixmap out = QPixmap::fromImage(image);
    out.setDevicePixelRatio(normal.devicePixelRatio());
    return out;
}

}  // namespace

QIcon withGreyedDisabledLook(const QIcon& icon) {
    QIcon out;
    for (int side : kSides) {
        for (qreal ratio : kRatios) {
            const QPixmap normal = icon.pixmap(QSize(side, side), ratio, QIcon::Normal);
            if (normal.isNull()) {
                continue;
            }
            out.addPixmap(normal, QIcon::Normal);
            out.addPixmap(greyed(normal), QIcon::Disabled);
        }
    }
    return out;
}

}  // namespace qavix
