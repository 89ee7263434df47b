#include "maketest/picturepainter.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor palette[] = {
    QColor(220, 30, 30),  QColor(30, 160, 50),  QColor(30, 70, 220), QColor(245, 150, 20),
    QColor(140, 40, 170), QColor(20, 170, 170), QColor(120, 75, 30), QColor(235, 80, 160),
};
constexpr int paletteSize = int(sizeof palette / sizeof palette[0]);
constexpr int shapeCount = 8;

QPainterPath regularPolygon(const QPointF &c, qreal r, int corners, qreal turn, qreal inner = 0)
{
    QPainterPath path;
    const int points = inner > 0 ? corners * 2 : corners;
    for (int i = 0; i < points; ++i) {
        const qreal radius = (inner > 0 && i % 2) ? inner : r;
        const qreal a = turn + 2 * M_PI * i / points;
        const QPointF p(c.x() + radius * qCos(a), c.y() + radius * qSin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QPainterPath shapePath(int shape, qreal s)
{
    const QPointF c(s / 2, s / 2);
    const qreal r = s * 0.38;
    QPainterPath path;
    switch (shape % shapeCount) {
    case 0: path.addEllipse(c, r, r); break;
    case 1: path.addRect(QRectF(c.x() - r * 0.85, c.y() - r * 0.85, r * 1.7, r * 1.7)); break;
    case 2: path = regularPolygon(c + QPointF(0, r * 0.15), r * 1.05, 3, -M_PI / 2); break;
    case 3: path = regularPolygon(c, r, 4, -M_PI / 2); break;
    case 4: path = regularPolygon(c, r * 1.05, 5, -M_PI / 2, r * 0.45); break;
    case 5:
        path.addRect(QRectF(c.x() - r, c.y() - r * 0.3, 2 * r, r * 0.6));
        path.addRect(QRectF(c.x() - r * 0.3, c.y() - r, r * 0.6, 2 * r));
        path = path.simplified();
        break;
    case 6: path = regularPolygon(c, r, 6, 0); break;
    default:
        path.addEllipse(c, r, r);
        path.addEllipse(c, r * 0.5, r * 0.5); // odd-even fill makes a ring
        break;
    }
    return path;
}

} // namespace

QByteArray picturePainter::encodeJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.write(image);
    return bytes;
}

QByteArray picturePainter::shape(int shape, int colour, int s)
{
    QImage image(s, s, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), qMax(1.0, s / 60.0)));
    p.setBrush(palette[colour % paletteSize]);
    QPainterPath path = shapePath(shape, s);
    path.setFillRule(Qt::OddEvenFill);
    p.drawPath(path);
    p.end();
    return encodeJpeg(image);
}

QByteArray picturePainter::fail(int s)
{
    // A "no" sign: nothing here fits.
    QImage image(s, s, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = s * 0.36;
    const QPointF c(s / 2.0, s / 2.0);
    p.setPen(QPen(QColor(90, 90, 90), s / 11.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    const qreal d = r * 0.7071;
    p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
    p.end();
    return encodeJpeg(image);
}
