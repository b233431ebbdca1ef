// SPDX-License-Identifier: MIT
#include "tools/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Artwork
{
namespace
{

QImage canvas(int w, int h, QColor fill)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// A round badge: a filled circle with a lighter rim.
void badge(QPainter &p, QColor colour)
{
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(10, 9), 14);
    g.setColorAt(0, colour.lighter(160));
    g.setColorAt(1, colour.darker(120));
    p.setBrush(g);
    p.setPen(QPen(colour.darker(160), 1));
    p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
}

} // namespace

QImage Background()
{
    QImage image(517, 531, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 531);
    g.setColorAt(0, QColor(232, 238, 246));
    g.setColorAt(1, QColor(196, 210, 228));
    p.fillRect(image.rect(), g);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    for (int y = 0; y < 531; y += 6)
        p.drawLine(0, y, 517, y);
    return image;
}

QImage Logo()
{
    QImage image = canvas(151, 59, QColor(240, 240, 240));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 64, 128));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 6, 46, 46), 8, 8);
    p.setPen(QPen(Qt::white, 3));
    p.drawText(QRectF(4, 6, 46, 46), Qt::AlignCenter, QStringLiteral("$"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 64, 128));
    p.drawText(QRectF(56, 8, 95, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Cheques"));
    font.setPixelSize(11);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRectF(56, 32, 95, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("cálculo de juros"));
    return image;
}

QImage ExitGlyph()
{
    QImage image = canvas(25, 25, QColor(247, 244, 242));
    {
        QPainter p(&image);
        badge(p, QColor(200, 30, 30));
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(6.5, 6.5, 11, 11), 120 * 16, 300 * 16);
        p.drawLine(QPointF(12, 5), QPointF(12, 12));
    }
    image.setPixel(0, 24, qRgb(247, 244, 242));
    return image;
}

QImage PrinterGlyph()
{
    QImage image = canvas(25, 25, QColor(254, 254, 254));
    {
        QPainter p(&image);
        badge(p, QColor(30, 80, 200));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(8, 6, 9, 4);   // paper in
        p.drawRect(6, 10, 13, 6); // body
        p.setBrush(QColor(30, 80, 200));
        p.drawRect(9, 12, 7, 1);
        p.setBrush(Qt::white);
        p.drawRect(8, 16, 9, 3); // paper out
    }
    image.setPixel(0, 24, qRgb(254, 254, 254));
    return image;
}

QImage RestartGlyph()
{
    QImage image = canvas(25, 25, Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(4, 4, 17, 17), 30 * 16, 270 * 16);
        QPainterPath head;
        head.moveTo(19, 3);
        head.lineTo(21, 11);
        head.lineTo(13, 9);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 30, 30));
        p.drawPath(head);
    }
    image.setPixel(0, 24, qRgb(255, 255, 255));
    return image;
}

QImage CheckGlyph()
{
    QImage image = canvas(25, 25, Qt::white);
    {
        QPainter p(&image);
        badge(p, QColor(30, 80, 200));
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(7, 12.5), QPointF(10.5, 16), QPointF(17.5, 8)}));
    }
    image.setPixel(0, 24, qRgb(255, 255, 255));
    return image;
}

QImage CalendarGlyph()
{
    QImage image = canvas(32, 16, QColor(192, 192, 192));
    QPainter p(&image);
    for (int cell = 0; cell < 2; ++cell) {
        const int x0 = cell * 16;
        const QColor ink = cell == 0 ? QColor(0, 0, 128) : QColor(128, 128, 128);
        p.fillRect(x0 + 1, 2, 14, 13, Qt::white);
        p.fillRect(x0 + 1, 2, 14, 3, cell == 0 ? QColor(128, 0, 0) : QColor(160, 160, 160));
        p.setPen(ink);
        p.drawRect(x0 + 1, 2, 13, 12);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.fillRect(x0 + 3 + col * 3, 7 + row * 3, 2, 2, ink);
    }
    return image;
}

} // namespace Artwork
