#include "qt/qt_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace corvane {

QIcon AppIcon(bool activity) {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath frame;
        frame.addRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 5.0, size / 5.0);
        painter.fillPath(frame, QColor(28, 43, 64));
        QFont font("DejaVu Sans Mono");
        font.setBold(true);
        font.setPixelSize(size * 7 / 10);
        painter.setFont(font);
        painter.setPen(QColor(120, 200, 255));
        painter.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("C"));
        if (activity) {
            const double r = size / 4.5;
            painter.setBrush(QColor(255, 160, 40));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(size - r - 0.5, r + 0.5), r, r);
        }
        painter.end();
        icon.addPixmap(pixmap);
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
