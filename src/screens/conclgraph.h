#ifndef CONCLGRAPH_H
#define CONCLGRAPH_H

#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

class QPainter;

// Line graph of the scores of all series, drawn with fixed pixel geometry.
class conclGraph : public QWidget
{
    Q_OBJECT
public:
    explicit conclGraph(QWidget *parent = nullptr);

    void setData(int left, int right, int top, int bottom, QList<float> data);
    QPoint toPoint(float index, float percent);

    int originX = 0;
    int originY = 0;
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
    QList<float> values;
    QString title;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // `text` in `room`, in a smaller font when the widget's does not fit.
    static void drawFitting(QPainter &painter, const QRect &room, int flags, const QString &text);
};

#endif // CONCLGRAPH_H
