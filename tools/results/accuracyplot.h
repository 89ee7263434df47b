#ifndef ACCURACYPLOT_H
#define ACCURACYPLOT_H

#include "results/runfolder.h"

#include <QImage>
#include <QMap>

// accuracy.png: accuracy by series, a thin line for each participant's run that counts and
// their mean in bold black.
class accuracyPlot
{
public:
    static QImage draw(const QVector<runInfo> &runs);
    // Where a series' accuracy (0 to 1) lies in the picture, among `seriesCount` series.
    static QPoint at(int series, int seriesCount, double accuracy);
    static constexpr int width = 800, height = 500;
    static QMap<int, double> accuracy(const runInfo &run); // series -> right / shown
};

#endif // ACCURACYPLOT_H
