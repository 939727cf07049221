#include "monitor/MonitorPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qavix {

namespace {

constexpr int kSide = 32;  // drawn large; QIcon scales down cleanly
constexpr qreal kScales[] = {1.0, 2.0};

template <typename Draw>
QIcon drawnIcon(Draw draw) {
    QIcon icon;
    for (qreal scale : kScales) {
        QPixmap pm(static_cast<int>(kSide * scale), static_cast<int>(kSide * scale));
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace

QIcon startPicture() {
    return drawnIcon([](QPainter& p) {
        QPainterPath triangle;
        triangle.moveTo(9, 6);
        triangle.lineTo(26, 16);
        triangle.lineTo(9, 26);
        triangle.closeSubpath();
        p.setPen(QPen(QColor(0, 90, 0), 1.5));
        p.setBrush(QColor(40, 170, 60));
        p.drawPath(triangle);
    });
}

QIcon stopPicture() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(110, 0, 0), 1.5));
        p.setBrush(QColor(200, 40, 40));
        p.drawRoundedRect(QRectF(8, 8, 16, 16), 2, 2);
    });
}

QIcon clearPicture() {
    return drawnIcon([](QPainter& p) {
        // A chart frame with grid columns, wiped by a diagonal stroke.
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(5, 7, 22, 18));
        p.setPen(QPen(QColor(150, 150, 150), 1));
        for (int x = 10; x < 27; x += 5) {
            p.drawLine(QPointF(x, 8), QPointF(x, 24));
        }
        p.setPen(QPen(QColor(30, 110, 200), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 22), QPointF(23, 10));
    });
}

}  // namespace qavix
