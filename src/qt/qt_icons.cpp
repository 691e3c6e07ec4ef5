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

QPixmap LockPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    // The shackle: an arch over the body.
    QPen shackle(QColor(90, 90, 90), s / 8.0);
    painter.setPen(shackle);
    painter.setBrush(Qt::NoBrush);
    const QRectF arch(s * 0.28, s * 0.08, s * 0.44, s * 0.5);
    painter.drawArc(arch, 0, 180 * 16);
    painter.drawLine(QPointF(arch.left(), s * 0.33), QPointF(arch.left(), s * 0.5));
    painter.drawLine(QPointF(arch.right(), s * 0.33), QPointF(arch.right(), s * 0.5));
    // The body, in the green that says "protected".
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 140, 60));
    painter.drawRoundedRect(QRectF(s * 0.15, s * 0.45, s * 0.7, s * 0.5), s / 10.0, s / 10.0);
    painter.setBrush(QColor(230, 240, 230));
    painter.drawEllipse(QPointF(s * 0.5, s * 0.66), s * 0.07, s * 0.07);
    painter.end();
    return pixmap;
}

} // namespace corvane
