#include "frame/TreeImages.h"

#include <QPainter>
#include <QPixmap>

#include "frame/NavigationTree.h"

namespace qavix {

namespace {

constexpr int kSize = 16;

void drawFolder(QPainter& p, const QColor& c) {
    p.setBrush(c.darker(115));
    p.drawRect(1, 3, 6, 3);
    p.setBrush(c);
    p.drawRect(1, 5, 14, 9);
}

void drawSheet(QPainter& p, const QColor& accent) {
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(3, 1, 10, 14);
    p.setPen(accent);
    for (int y = 4; y <= 11; y += 3) {
        p.drawLine(5, y, 11, y);
    }
}

QPixmap draw(int index) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(60, 60, 60));
    switch (index) {
        case nav::kImagePage:
            drawSheet(p, QColor(40, 90, 200));
            break;
        case nav::kImageGraph:
            p.setBrush(QColor(255, 255, 255));
            p.drawRect(1, 1, 14, 14);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30, 200, 30));
            p.drawRect(3, 8, 2, 6);
            p.drawRect(7, 4, 2, 10);
            p.setBrush(QColor(255, 50, 50));
            p.drawRect(11, 10, 2, 4);
            break;
        case nav::kImageList:
            drawSheet(p, QColor(30, 160, 30));
            break;
        case nav::kImageScan:
            p.setBrush(QColor(20, 20, 20));
            p.drawRect(1, 2, 14, 12);
            p.setPen(QColor(0, 255, 0));
            p.drawLine(2, 10, 5, 10);
            p.drawLine(5, 10, 5, 5);
            p.drawLine(5, 5, 10, 5);
            p.drawLine(10, 5, 10, 10);
            p.drawLine(10, 10, 14, 10);
            break;
        case nav::kImagePio:
            p.setBrush(QColor(90, 90, 110));
            p.drawRect(3, 3, 10, 10);
            p.setPen(QColor(230, 180, 40));
            for (int y = 4; y <= 11; y += 2) {
                p.drawLine(0, y, 2, y);
                p.drawLine(13, y, 15, y);
            }
            break;
        case nav::kImageErrorLog:
            p.setBrush(QColor(255, 220, 0));
            p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(15, 14), QPoint(1, 14)}));
            p.setPen(QColor(0, 0, 0));
            p.drawLine(8, 5, 8, 10);
            p.drawPoint(8, 12);
            break;
        case nav::kImageController:
            p.setBrush(QColor(70, 110, 170));
            p.drawRect(1, 2, 14, 12);
            p.setBrush(QColor(30, 200, 30));
            p.drawRect(3, 4, 3, 2);
            p.setBrush(QColor(255, 170, 0));
            p.drawRect(8, 4, 3, 2);
            break;
        case nav::kImageSensor:
            p.setBrush(QColor(200, 200, 210));
            p.drawRect(1, 1, 3, 14);
            p.drawRect(12, 1, 3, 14);
            p.setPen(QColor(255, 60, 60));
            for (int y = 3; y <= 13; y += 3) {
                p.drawLine(5, y, 11, y);
            }
            break;
        case nav::kImageMeasurement:
            drawFolder(p, QColor(255, 222, 92));
            break;
        case nav::kImageClock:
            p.setBrush(QColor(255, 255, 255));
            p.drawEllipse(1, 1, 14, 14);
            p.drawLine(8, 8, 8, 4);
            p.drawLine(8, 8, 11, 8);
            break;
        case nav::kImageSettingsFolder:
            drawFolder(p, QColor(150, 190, 240));
            break;
        case nav::kImageSettingsList:
            drawSheet(p, QColor(120, 120, 120));
            break;
        case nav::kImageOptions:
            drawFolder(p, QColor(200, 160, 230));
            break;
        case nav::kImageDisplayFolder:
            drawFolder(p, QColor(188, 223, 204));
            break;
        case nav::kImageBankWithData:
            p.setBrush(QColor(60, 140, 220));
            p.drawRect(2, 2, 12, 12);
            p.setBrush(QColor(255, 255, 255));
            p.drawRect(4, 4, 8, 3);
            break;
        case nav::kImageBankEmpty:
            p.setBrush(QColor(235, 235, 235));
            p.setPen(QColor(150, 150, 150));
            p.drawRect(2, 2, 12, 12);
            break;
        default:  // 15: not used by the tree
            p.setBrush(QColor(180, 180, 180));
            p.drawRect(2, 2, 12, 12);
            break;
    }
    return pm;
}

}  // namespace

QIcon treeImage(int index) {
    if (index < 0 || index >= nav::kTreeImageCount) {
        return QIcon();
    }
    return QIcon(draw(index));
}

}  // namespace qavix
