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

void drawGraph(QPainter& p) {
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(1, 1, 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 200, 30));
    p.drawRect(3, 8, 2, 6);
    p.drawRect(7, 4, 2, 10);
    p.setBrush(QColor(255, 50, 50));
    p.drawRect(11, 10, 2, 4);
}

void drawScan(QPainter& p) {
    p.setBrush(QColor(20, 20, 20));
    p.drawRect(1, 2, 14, 12);
    p.setPen(QColor(0, 255, 0));
    p.drawLine(2, 10, 5, 10);
    p.drawLine(5, 10, 5, 5);
    p.drawLine(5, 5, 10, 5);
    p.drawLine(10, 5, 10, 10);
    p.drawLine(10, 10, 14, 10);
}

void drawPio(QPainter& p) {
    p.setBrush(QColor(90, 90, 110));
    p.drawRect(3, 3, 10, 10);
    p.setPen(QColor(230, 180, 40));
    for (int y = 4; y <= 11; y += 2) {
        p.drawLine(0, y, 2, y);
        p.drawLine(13, y, 15, y);
    }
}

void drawWarning(QPainter& p) {
    p.setBrush(QColor(255, 220, 0));
    p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(15, 14), QPoint(1, 14)}));
    p.setPen(QColor(0, 0, 0));
    p.drawLine(8, 5, 8, 10);
    p.drawPoint(8, 12);
}

void drawController(QPainter& p) {
    p.setBrush(QColor(70, 110, 170));
    p.drawRect(1, 2, 14, 12);
    p.setBrush(QColor(30, 200, 30));
    p.drawRect(3, 4, 3, 2);
    p.setBrush(QColor(255, 170, 0));
    p.drawRect(8, 4, 3, 2);
}

void drawSensor(QPainter& p) {
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(1, 1, 3, 14);
    p.drawRect(12, 1, 3, 14);
    p.setPen(QColor(255, 60, 60));
    for (int y = 3; y <= 13; y += 3) {
        p.drawLine(5, y, 11, y);
    }
}

void drawClock(QPainter& p) {
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(1, 1, 14, 14);
    p.drawLine(8, 8, 8, 4);
    p.drawLine(8, 8, 11, 8);
}

void drawBank(QPainter& p, bool withData) {
    if (withData) {
        p.setBrush(QColor(60, 140, 220));
        p.drawRect(2, 2, 12, 12);
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(4, 4, 8, 3);
        return;
    }
    p.setBrush(QColor(235, 235, 235));
    p.setPen(QColor(150, 150, 150));
    p.drawRect(2, 2, 12, 12);
}

void drawImage(QPainter& p, int index) {
    switch (index) {
        case nav::kImagePage:
            return drawSheet(p, QColor(40, 90, 200));
        case nav::kImageGraph:
            return drawGraph(p);
        case nav::kImageList:
            return drawSheet(p, QColor(30, 160, 30));
        case nav::kImageScan:
            return drawScan(p);
        case nav::kImagePio:
            return drawPio(p);
        case nav::kImageErrorLog:
            return drawWarning(p);
        case nav::kImageController:
            return drawController(p);
        case nav::kImageSensor:
            return drawSensor(p);
        case nav::kImageMeasurement:
            return drawFolder(p, QColor(255, 222, 92));
        case nav::kImageClock:
            return drawClock(p);
        case nav::kImageSettingsFolder:
            return drawFolder(p, QColor(150, 190, 240));
        case nav::kImageSettingsList:
            return drawSheet(p, QColor(120, 120, 120));
        case nav::kImageOptions:
            return drawFolder(p, QColor(200, 160, 230));
        case nav::kImageDisplayFolder:
            return drawFolder(p, QColor(188, 223, 204));
        case nav::kImageBankWithData:
        case nav::kImageBankEmpty:
            return drawBank(p, index == nav::kImageBankWithData);
        default:  // 15: not used by the tree
            p.setBrush(QColor(180, 180, 180));
            p.drawRect(2, 2, 12, 12);
            return;
    }
}

QPixmap draw(int index) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(60, 60, 60));
    drawImage(p, index);
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
