#include "qt/qt_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace corvane {

QPixmap IconPixmap(int size, bool activity) {
    // data/icons/corvane.svg drawn at this size: a "C" with the prompt dot
    // on a dark rounded square, in a 64-unit square.
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(1, 1, 62, 62), 13, 13);
    painter.fillPath(frame, QColor(0x1c, 0x2b, 0x40));
    const QColor light(0x78, 0xc8, 0xff);
    QPen pen(light, 8, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    // From 45 degrees above the right round the left to 45 below it.
    painter.drawArc(QRectF(16, 16, 32, 32), 45 * 16, 270 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawEllipse(QPointF(46, 32), 3.5, 3.5);
    if (activity) {
        painter.setBrush(QColor(255, 160, 40));
        painter.drawEllipse(QPointF(50, 14), 11, 11);
    }
    painter.end();
    return pixmap;
}

QIcon AppIcon(bool activity) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(IconPixmap(size, activity));
    }
    return icon;
}

} // namespace corvane
