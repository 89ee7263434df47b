#include "results/accuracyplot.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const int left = 70, right = accuracyPlot::width - 30, top = 50, bottom = accuracyPlot::height - 60;

QPainterPath line(const QMap<int, double> &points, int seriesCount)
{
    QPainterPath path;
    for (auto it = points.cbegin(); it != points.cend(); ++it) {
        const QPoint p = accuracyPlot::at(it.key(), seriesCount, it.value());
        if (it == points.cbegin())
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}
} // namespace

QMap<int, double> accuracyPlot::accuracy(const runInfo &run)
{
    QMap<int, QPair<int, int>> counted; // series -> right, shown
    for (const runInfo::answer &a : run.answers) {
        counted[a.series].first += a.correct;
        ++counted[a.series].second;
    }
    QMap<int, double> result;
    for (auto it = counted.cbegin(); it != counted.cend(); ++it)
        result.insert(it.key(), double(it.value().first) / it.value().second);
    return result;
}

QPoint accuracyPlot::at(int series, int seriesCount, double accuracy)
{
    const int x = seriesCount < 2 ? (left + right) / 2
                                  : left + (series - 1) * (right - left) / (seriesCount - 1);
    return QPoint(x, bottom - qRound(accuracy * (bottom - top)));
}

QImage accuracyPlot::draw(const QVector<runInfo> &runs)
{
    QList<QMap<int, double>> lines;
    int seriesCount = 1;
    for (const runInfo &r : runs) {
        if (r.counts) {
            lines.append(accuracy(r));
            if (!lines.constLast().isEmpty())
                seriesCount = qMax(seriesCount, lines.constLast().lastKey());
        }
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(210, 210, 210));
    for (int percent = 0; percent <= 100; percent += 25) {
        const int y = at(1, seriesCount, percent / 100.0).y();
        p.drawLine(left, y, right, y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - 10, left - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(percent) + QLatin1Char('%'));
        p.setPen(QColor(210, 210, 210));
    }
    p.setPen(Qt::black);
    for (int s = 1; s <= seriesCount; ++s)
        p.drawText(QRect(at(s, seriesCount, 0).x() - 30, bottom + 6, 60, 20), Qt::AlignCenter,
                   QString::number(s));
    p.drawText(QRect(left, bottom + 28, right - left, 24), Qt::AlignCenter,
               QStringLiteral("series"));
    p.drawText(QRect(left, 10, right - left, 30), Qt::AlignCenter,
               QStringLiteral("Accuracy by series: %1 participant(s), the mean in bold")
                   .arg(lines.size()));
    QMap<int, QPair<double, int>> sums; // series -> sum, participants
    for (int i = 0; i < lines.size(); ++i) {
        p.setPen(QPen(QColor::fromHsv(i * 360 / qMax(1, lines.size()), 160, 210), 2));
        p.drawPath(line(lines.at(i), seriesCount));
        for (auto it = lines.at(i).cbegin(); it != lines.at(i).cend(); ++it) {
            sums[it.key()].first += it.value();
            ++sums[it.key()].second;
        }
    }
    QMap<int, double> mean;
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        mean.insert(it.key(), it.value().first / it.value().second);
    p.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line(mean, seriesCount));
    if (mean.size() == 1)
        p.drawPoint(at(mean.firstKey(), seriesCount, mean.first()));
    return image;
}
