#ifndef RUNFOLDER_H
#define RUNFOLDER_H

#include <QDateTime>
#include <QStringList>
#include <QVector>

class QIODevice;

// One run as its files tell it.
struct runInfo
{
    QString stem; // the files' name before _trials.csv
    QString participant, runId, testId;
    QDateTime start;    // run_start, in UTC; invalid when no row tells it
    int sameSecond = 1; // n of a name's "-n": the n-th run of the participant in that second
    int seriesDone = 0, seriesTotal = 0, trials = 0;
    bool trialsRead = false, seriesRead = false, graph = false;
    int attempt = 0;
    bool counts = false;
    struct answer
    {
        int series;
        bool correct;
        int rtMs;
    };
    QVector<answer> answers;
    // Every series finished, by the series file, and the trials all read.
    bool complete() const
    {
        return trialsRead && seriesRead && seriesTotal > 0 && seriesDone >= seriesTotal;
    }
};

// Reads a folder of runs: the store's, whose names carry the run's id after the stem, or a
// participant's results folder. Never changes a file; what it cannot use is named in
// `skipped` with the reason. The trial rows of every run go to `trials` as they are read,
// in the columns of today's trials file, under one header.
class runFolder
{
public:
    runFolder(const QString &folder, QIODevice *trials);
    QVector<runInfo> runs;
    QStringList skipped; // "<file>: <why>"
    int trialRows = 0;

private:
    void readTrials(runInfo &run, const QString &path, QIODevice *out);
    void readSeries(runInfo &run, const QString &path);
    QString folder;
};

#endif // RUNFOLDER_H
