#include "screens/conclgraph.h"

#include <QCoreApplication>
#include <QPainter>

conclGraph::conclGraph(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(500, 420);
    setLayoutDirection(Qt::LeftToRight); // the series run left to right in every language
}

void conclGraph::setData(int left, int right, int top, int bottom, QList<float> data)
{
    values = data;
    marginLeft = left;
    marginRight = right;
    marginTop = top;
    marginBottom = bottom;
    update();
}

QPoint conclGraph::toPoint(float index, float percent)
{
    // An empty graph is never created; guard the division all the same.
    const int count = values.isEmpty() ? 1 : values.size();
    const int unitX = (width() - marginLeft - marginRight) / count;
    const int unitY = (height() - marginTop - marginBottom) / 100;
    return QPoint(int(originX + unitX * index), int(originY - unitY * percent));
}

void conclGraph::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    originX = marginLeft;
    originY = h - marginBottom;

    QPainter painter(this);
    const QPen axisPen(Qt::blue, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    const QPen gridPen(Qt::blue, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    const QPen scorePen(QColor(255, 0, 0), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);

    // Axes.
    painter.setPen(axisPen);
    painter.drawLine(originX, marginTop, originX, h - marginBottom);
    painter.drawLine(originX, originY, w - marginRight, originY);

    // Grid lines with their percent labels hanging below them; no 0% line. The labels keep
    // their 30-pixel box but are not clipped to it, so a wide font keeps the "%".
    painter.setPen(gridPen);
    int y100 = originY;
    for (int p = 10; p <= 100; p += 10) {
        const QPoint g = toPoint(0, p);
        painter.drawLine(g.x(), g.y(), w - marginRight, g.y());
        painter.drawText(QRect(1, g.y(), 30, 15), Qt::AlignLeft | Qt::TextDontClip,
                         QString::number(p) + QLatin1Char('%'));
        y100 = g.y();
    }

    painter.drawText(
        QRect(originX + marginLeft, 2, w - marginRight - 2 * marginLeft, 15), Qt::AlignCenter,
        QCoreApplication::translate("conclGraph", "Распределение результатов по сериям"));

    // One guide line and number per series, and the red polyline through the scores.
    QPoint previous;
    for (int i = 0; i < values.size(); ++i) {
        const QPoint pt = toPoint(i, values.at(i));
        painter.setPen(gridPen);
        painter.drawLine(pt.x(), originY, pt.x(), y100);
        painter.drawText(QRect(pt.x(), originY, 10, 15), Qt::AlignLeft, QString::number(i + 1));
        if (i > 0) {
            painter.setPen(scorePen);
            painter.drawLine(previous, pt);
        }
        previous = pt;
    }
}
