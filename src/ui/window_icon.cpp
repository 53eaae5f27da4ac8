#include "ui/window_icon.h"

#include <QPainter>
#include <QPixmap>

namespace zr {

namespace {

QPixmap Tile(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);  // drawn on a 64 x 64 grid
    const QColor tile("#1f4e79"), light("#e8f1fa"), dark("#0b2540"), fluid("#5fb3f0");
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(0, 0, 64, 64), 10, 10);
    p.translate(32, 32);
    p.rotate(-45);
    p.translate(-32, -32);
    p.setBrush(light);
    p.setPen(QPen(dark, 2));
    p.drawRoundedRect(QRectF(14, 26, 30, 12), 2, 2);  // barrel
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(16, 28, 14, 8), fluid);
    p.fillRect(QRectF(44, 30, 8, 4), dark);         // tip
    p.fillRect(QRectF(52, 31, 8, 2), light);        // needle
    p.fillRect(QRectF(6, 30, 8, 4), dark);          // plunger rod
    p.drawRoundedRect(QRectF(3, 24, 3, 16), 1, 1);  // thumb rest, still light
    return pixmap;
}

}  // namespace

QIcon WindowIcon() {
    QIcon icon;
    for (int side : {16, 32, 64}) icon.addPixmap(Tile(side));
    return icon;
}

}  // namespace zr
