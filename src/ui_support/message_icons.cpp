// Message-box pictures: a blue disc with "?" or "i", an amber triangle with "!", a red disc with a
// cross, each painted on 32 logical units so that any pixel ratio gets sharp edges.
#include "ui_support/message_icons.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

void PaintDiscWithMark(QPainter& p, const QColor& disc, const QString& mark)
{
    p.setPen(QPen(disc.darker(130), 1.0));
    p.setBrush(disc);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, mark);
}

void PaintWarning(QPainter& p)
{
    QPainterPath triangle;
    triangle.moveTo(16, 2.5);
    triangle.lineTo(30.5, 28.5);
    triangle.lineTo(1.5, 28.5);
    triangle.closeSubpath();
    const QColor amber(0xf5, 0xb8, 0x1c);
    p.setPen(QPen(amber.darker(140), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(amber);
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x33, 0x33, 0x33));
    p.drawRoundedRect(QRectF(14.5, 10, 3, 11), 1.5, 1.5);
    p.drawEllipse(QRectF(14.4, 22.6, 3.2, 3.2));
}

void PaintCritical(QPainter& p)
{
    const QColor red(0xd0, 0x34, 0x2c);
    p.setPen(QPen(red.darker(130), 1.0));
    p.setBrush(red);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
}

}  // namespace

QPixmap MessageIconPixmap(QMessageBox::Icon icon, qreal pixelRatio)
{
    if (icon == QMessageBox::NoIcon)
        return {};
    const qreal ratio = pixelRatio > 0 ? pixelRatio : 1.0;
    const int side = static_cast<int>(std::ceil(32 * ratio));
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor blue(0x2a, 0x6f, 0xd0);
    switch (icon) {
    case QMessageBox::Question:
        PaintDiscWithMark(p, blue, QStringLiteral("?"));
        break;
    case QMessageBox::Information:
        PaintDiscWithMark(p, blue, QStringLiteral("i"));
        break;
    case QMessageBox::Warning:
        PaintWarning(p);
        break;
    case QMessageBox::Critical:
        PaintCritical(p);
        break;
    case QMessageBox::NoIcon:
        break;
    }
    return pixmap;
}
