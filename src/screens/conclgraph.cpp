#include "screens/conclgraph.h"

#include <QCoreApplication>
#include <QPainter>

conclGraph::conclGraph(QWidget *parent)
    : QWidget(parent),
      //: Title of the final graph: the scores of all series. A long title wraps.
      title(QCoreApplication::translate("conclGraph", "Распределение результатов по сериям"))
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

    // Grid lines with their percent labels hanging below them; no 0% line. A label wider
    // than the room left of the axis is drawn smaller, never over the axis.
    painter.setPen(gridPen);
    int y100 = originY;
    for (int p = 10; p <= 100; p += 10) {
        const QPoint g = toPoint(0, p);
        painter.drawLine(g.x(), g.y(), w - marginRight, g.y());
        drawFitting(painter, QRect(1, g.y(), originX - 3, painter.fontMetrics().height()),
                    Qt::AlignLeft | Qt::TextDontClip, QString::number(p) + QLatin1Char('%'));
        y100 = g.y();
    }

    // The title on one line as always; one too long for it (a translation's) wraps across
    // the width above the axes.
    const QRect line(originX + marginLeft, 2, w - marginRight - 2 * marginLeft, 15);
    if (painter.fontMetrics().horizontalAdvance(title) <= line.width())
        painter.drawText(line, Qt::AlignCenter, title);
    else
        drawFitting(painter, QRect(2, 2, w - 4, marginTop - 4),
                    Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, title);

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

void conclGraph::drawFitting(QPainter &painter, const QRect &room, int flags, const QString &text)
{
    // Smaller until the text fits its room, never cut.
    painter.save();
    QFont font = painter.font();
    for (;;) {
        const QRect needed = QFontMetrics(font).boundingRect(room, flags, text);
        if ((needed.width() <= room.width() && needed.height() <= room.height())
            || font.pointSizeF() <= 4)
            break;
        font.setPointSizeF(font.pointSizeF() * 0.9);
    }
    painter.setFont(font);
    painter.drawText(room, flags, text);
    painter.restore();
}
