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

} // namespace corvane
