// quelvan-bench-results: how long quelvan-results takes over a large study. Writes RUNS runs
// of TRIALS trials with the program's own writer (one run in ten stopped after its first
// series, one participant in twenty running twice), then times the tool on them.
// Usage: quelvan-bench-results QUELVAN-RESULTS [RUNS [TRIALS]]
#include "results/resultswriter.h"
#include "results/trialrecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        fprintf(stderr, "usage: quelvan-bench-results QUELVAN-RESULTS [RUNS [TRIALS]]\n");
        return 2;
    }
    const int runs = args.value(2, QStringLiteral("10000")).toInt();
    const int trials = args.value(3, QStringLiteral("40")).toInt();
    const int perSeries = 10, seriesTotal = qMax(1, trials / perSeries);
    QTemporaryDir work;
    const QString folder = work.path() + QStringLiteral("/runs");
    QDir().mkpath(folder);
    QElapsedTimer clock;
    clock.start();
    QImage graph(40, 30, QImage::Format_RGB32);
    graph.fill(Qt::white);
    const QDateTime start(QDate(2026, 3, 2), QTime(9, 0));
    for (int r = 0; r < runs; ++r) {
        const int participant = r % 20 == 19 ? r - 1 : r; // every 20th run a second attempt
        resultsWriter writer(folder,
                             QStringLiteral("P%1").arg(participant, 5, 10, QLatin1Char('0')),
                             QStringLiteral("https://tests.example.org"), start.addSecs(60 * r));
        writer.testId = QStringLiteral("4be1c0d2a96f3e57");
        writer.open();
        const int played = r % 10 == 3 ? 1 : seriesTotal; // stopped after a series
        for (int s = 1; s <= played; ++s) {
            int right = 0;
            for (int i = 1; i <= perSeries; ++i) {
                trialRecord t;
                t.series = s;
                t.slideInSeries = i;
                t.slide = (s - 1) * perSeries + i;
                t.sample = QStringLiteral("circle_red");
                t.response = (r + i) % 5;
                t.responsePicture = QStringLiteral("circle_blue");
                t.correct = (r + i + s) % 4 != 0;
                right += t.correct;
                t.rtMs = t.shownMs = quint32(400 + (r * 7 + i * 13) % 900);
                t.pressMs = t.rtMs - 80;
                t.input = QStringLiteral("mouse");
                t.slideTimeMs = 5000;
                t.choices = QStringList{"square_red", "circle_blue", "star_green", "fail"};
                t.rightButtons = {1, 2};
                t.onset = start.addSecs(60 * r).addMSecs(5000 * t.slide);
                writer.trial(t);
            }
            writer.series(s, seriesTotal, perSeries, right, right * 100 / perSeries);
        }
        if (played == seriesTotal)
            writer.graph(graph);
        if (writer.failed)
            return 1;
    }
    printf("wrote %d runs of %d trials in %.1f s\n", runs, trials, clock.elapsed() / 1000.0);
    QVector<double> seconds;
    for (int i = 0; i < 3; ++i) {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        clock.restart();
        tool.start(args.at(1), {folder, work.path() + QStringLiteral("/set")});
        tool.waitForFinished(-1);
        seconds.append(clock.elapsed() / 1000.0);
        if (i == 0)
            printf("%s", tool.readAllStandardOutput().constData());
        if (tool.exitCode() != 0)
            return 1;
    }
    std::sort(seconds.begin(), seconds.end());
    printf("quelvan-results over %d runs of %d trials: median %.2f s (%.2f..%.2f, n=3); "
           "target < 10 s\n",
           runs, trials, seconds.at(1), seconds.first(), seconds.last());
    return seconds.at(1) < 10 ? 0 : 1;
}
