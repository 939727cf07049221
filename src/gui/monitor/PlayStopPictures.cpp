#include "monitor/PlayStopPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qavix {

namespace {

constexpr int kSide = 16;

QPixmap blank(qreal dpr) {
    QPixmap pm(QSize(kSide, kSide) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon drawn(void (*draw)(QPainter&)) {
    QIcon icon;
    for (qreal dpr : {1.0, 2.0}) {
        QPixmap pm = blank(dpr);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace

QIcon playPicture() {
    return drawn([](QPainter& p) {
        QPainterPath triangle;
        triangle.moveTo(3.5, 2.5);
        triangle.lineTo(13.5, 8.0);
        triangle.lineTo(3.5, 13.5);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(20, 90, 20), 1.0));
        p.setBrush(QColor(40, 170, 40));
        p.drawPath(triangle);
    });
}

QIcon stopPicture() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(120, 20, 20), 1.0));
        p.setBrush(QColor(215, 45, 45));
        p.drawRoundedRect(QRectF(3.5, 3.5, 9.0, 9.0), 1.5, 1.5);
    });
}

}  // namespace qavix
